# Helpers shared by every folder's CMakeLists.txt.

# tw_library_sources(OUT FOLDER): every .cpp below FOLDER but main.cpp and those in tests/ and
# fuzz/ folders, matched on the path below FOLDER (the checkout itself may sit in a "tests" folder).
function(tw_library_sources out folder)
    set(depends CONFIGURE_DEPENDS)
    if(CMAKE_SCRIPT_MODE_FILE)
        set(depends "") # the helpers' own test runs them as a script, which has no configure step
    endif()
    file(GLOB_RECURSE sources ${depends} RELATIVE ${folder} ${folder}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "(^|/)(tests|fuzz)/")
    list(FILTER sources EXCLUDE REGEX "(^|/)main\\.cpp$")
    list(TRANSFORM sources PREPEND ${folder}/)
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# tw_add_library(NAME DEPENDS libs...): one static library from every .cpp below the
# folder, leaving out tests/ and fuzz/.
function(tw_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    tw_library_sources(sources ${CMAKE_CURRENT_SOURCE_DIR})
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# tw_add_tests(NAME DEPENDS libs...): one GoogleTest binary from tests/*.cpp, its cases
# registered with CTest one by one so that they run in parallel.
function(tw_add_tests name)
    if(NOT TW_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    list(FILTER sources EXCLUDE REGEX "Benchmark\\.cpp$")
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} tw_test_support GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE TW_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        TW_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/tests/data" TW_BUNDLE_DIR="${TW_BUNDLE_DIR}")
    add_dependencies(${name} tw_bundle_resources)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# tw_add_benchmarks(NAME DEPENDS libs...): tests/*Benchmark.cpp as one Google Benchmark binary
# (built, not run by the test command).
function(tw_add_benchmarks name)
    if(NOT TW_BUILD_TESTS OR NOT benchmark_FOUND OR TW_SANITIZE)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*Benchmark.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark_main)
endfunction()
