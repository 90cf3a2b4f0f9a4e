# Helpers shared by every folder's CMakeLists.txt.

# --- Precompiled headers ---------------------------------------------------------------------
# Most of a compile used to be parsing the same headers in every file: the standard library,
# platform/Platform.h and GoogleTest, some 70,000 lines a file. Each build tree now compiles
# them once per kind of target, in a small provider target, and every target made by these
# helpers reuses one (tw_use_precompiled_headers below):
#   PLATFORM        the standard library: the platform modules, which include only what they use;
#   CODE            plus platform/Platform.h: the subsystems' libraries, programs and benchmarks;
#   PLATFORM_TESTS  PLATFORM plus GoogleTest and GoogleMock: the platform modules' tests;
#   TESTS           CODE plus GoogleTest and GoogleMock: the subsystems' tests.
# The headers come first in every file (as a forced include), so a file must not depend on
# defining a macro before its first include. A reused header only serves files compiled with
# the same code-generation options and predefined macros: set such options for the whole tree
# in CMakeLists.txt, never for one target. GCC says "precompiled header ... not used" when a
# file cannot use it; the file still builds, only slower.
# Optimised builds go without them (TW_PRECOMPILED_HEADERS is on by default only for Debug):
# there GCC 12 then reports array-bounds warnings inside the standard library's inlined string
# code that it keeps quiet when the same headers are read as text. The unity batches below do
# most of the saving in those builds anyway.
set(TW_PCH_STD <algorithm> <array> <atomic> <bit> <cctype> <cerrno> <charconv> <chrono> <climits> <cmath>
    <condition_variable> <cstdarg> <cstddef> <cstdint> <cstdio> <cstdlib> <cstring> <ctime> <deque>
    <filesystem> <fstream> <functional> <limits> <map> <memory> <mutex> <new> <numbers> <numeric> <optional>
    <set> <sstream> <string> <string_view> <thread> <tuple> <type_traits> <unordered_map> <unordered_set>
    <utility> <variant> <vector>)

# --- Unity builds ------------------------------------------------------------------------------
# The libraries and test binaries made by these helpers compile their files in batches of
# TW_UNITY_BATCH, each batch one translation unit that includes its files one after the other:
# the headers and the templates they share are compiled once a batch instead of once a file.
# (-DTW_UNITY_BUILD=OFF compiles every file alone, to edit one file at a time.)
# Names local to a file (an unnamed namespace, static functions and variables, file-scope
# `using namespace`, macros) can then meet another file's in the same batch, and which files
# share a batch changes as files come and go. When the compiler reports a redefinition, an
# ambiguity or a conflicting declaration between two files of one target, either give one of the
# names a more particular name, or move a helper both files need into a header they share, or
# leave one of the files out of the batches: name it in a tw_compile_alone call in its folder's
# CMakeLists.txt, and it compiles alone (still with the precompiled headers). A file that
# includes a system header whose names meet ours (Xlib's Cursor and Window) compiles alone too.
# tools/unity-check.sh finds every such meeting at once, whatever the batches (run it after a
# merge that brings new files).
if(NOT DEFINED TW_UNITY_BATCH)
    set(TW_UNITY_BATCH 8)
endif()
option(TW_UNITY_BUILD "Compile the libraries and tests in batches of files" ON)

# Targets named here compile every file alone even in a unity build: the test command builds
# one library so, so that a file that uses what only its batch neighbours include is caught.
set(TW_UNITY_OFF_TARGETS "" CACHE STRING "Targets whose files compile alone in a unity build")

# tw_compile_together(TARGET KIND): the precompiled headers of KIND and the unity batches for TARGET.
function(tw_compile_together target kind)
    tw_use_precompiled_headers(${target} ${kind})
    set(unity ${TW_UNITY_BUILD})
    if(target IN_LIST TW_UNITY_OFF_TARGETS)
        set(unity OFF)
    endif()
    set_target_properties(${target} PROPERTIES UNITY_BUILD ${unity} UNITY_BUILD_MODE BATCH
        UNITY_BUILD_BATCH_SIZE ${TW_UNITY_BATCH})
    if(unity AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # An included .cpp counts as a header for this warning: a test class outside the unnamed
        # namespace deriving from a fixture inside it is right in a .cpp file.
        target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
endfunction()

# tw_compile_alone(files...): these files of the folder (paths relative to it) stay out of the
# unity batches.
function(tw_compile_alone)
    foreach(file ${ARGN})
        if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${file})
            message(FATAL_ERROR "tw_compile_alone: no ${file} in ${CMAKE_CURRENT_SOURCE_DIR}")
        endif()
        set_source_files_properties(${file} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endforeach()
endfunction()

if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    option(TW_PRECOMPILED_HEADERS "Reuse precompiled headers of the common headers" ON)
else()
    option(TW_PRECOMPILED_HEADERS "Reuse precompiled headers of the common headers" OFF)
endif()

# tw_precompiled_header_providers(): the providers; called once, before the folders.
function(tw_precompiled_header_providers)
    if(NOT TW_PRECOMPILED_HEADERS)
        return()
    endif()
    set(source ${CMAKE_BINARY_DIR}/tw_pch_provider.cpp)
    if(NOT EXISTS ${source})
        file(WRITE ${source} "// The precompiled headers' own compile: nothing more.\n")
    endif()
    foreach(kind PLATFORM CODE PLATFORM_TESTS TESTS)
        string(TOLOWER ${kind} lower)
        if(kind MATCHES "TESTS" AND NOT TW_BUILD_TESTS)
            continue()
        endif()
        add_library(tw_pch_${lower} OBJECT ${source})
        # Never from ccache: a header compiled in another checkout names that checkout's files,
        # so "#pragma once" takes ours for other files and every type comes out defined twice.
        set_target_properties(tw_pch_${lower} PROPERTIES C_COMPILER_LAUNCHER "" CXX_COMPILER_LAUNCHER "")
        target_include_directories(tw_pch_${lower} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/platform)
        set(headers ${TW_PCH_STD})
        if(NOT kind MATCHES "PLATFORM")
            list(APPEND headers ${PROJECT_SOURCE_DIR}/platform/Platform.h)
        endif()
        if(kind MATCHES "TESTS")
            list(APPEND headers <gtest/gtest.h> <gmock/gmock.h>)
            target_link_libraries(tw_pch_${lower} PRIVATE GTest::gtest GTest::gmock)
        endif()
        target_precompile_headers(tw_pch_${lower} PRIVATE ${headers})
    endforeach()
endfunction()

# tw_use_precompiled_headers(TARGET KIND): TARGET reuses that provider's headers.
function(tw_use_precompiled_headers target kind)
    string(TOLOWER ${kind} lower)
    if(TARGET tw_pch_${lower})
        target_precompile_headers(${target} REUSE_FROM tw_pch_${lower})
    endif()
endfunction()

# The kind of code a folder holds: PLATFORM below platform/, CODE elsewhere.
function(tw_code_kind out)
    string(FIND "${CMAKE_CURRENT_SOURCE_DIR}/" "${PROJECT_SOURCE_DIR}/platform/" at)
    if(at EQUAL 0)
        set(${out} PLATFORM PARENT_SCOPE)
    else()
        set(${out} CODE PARENT_SCOPE)
    endif()
endfunction()

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
    tw_code_kind(kind)
    tw_compile_together(${name} ${kind})
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
    tw_code_kind(kind)
    if(kind STREQUAL "PLATFORM")
        tw_compile_together(${name} PLATFORM_TESTS)
    else()
        tw_compile_together(${name} TESTS)
    endif()
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
    tw_use_precompiled_headers(${name} CODE)
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark_main)
endfunction()

# tw_add_fuzzer(NAME SOURCE DEPENDS libs...): a libFuzzer entry, built only in a fuzzing tree
# (TW_FUZZ) and gathered in the target tw_fuzzers. The regular tests replay each entry's corpus.
function(tw_add_fuzzer name source)
    if(NOT TW_FUZZ)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} -fsanitize=fuzzer)
    target_compile_definitions(${name} PRIVATE TW_BUNDLE_DIR="${TW_BUNDLE_DIR}")
    add_dependencies(${name} tw_bundle_resources)
    add_dependencies(tw_fuzzers ${name})
endfunction()

# An executable whose crash reports can be read: its functions' names in the dynamic symbol
# table (for the backtrace) and a build id note.
function(tw_crash_readable target)
    set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
    target_link_options(${target} PRIVATE -Wl,--build-id)
endfunction()
