# Checks tw_library_sources on a folder of its own whose path holds "tests" and "fuzz" folders
# above the sources, as a checkout below such a folder does. Run by CTest with cmake -P:
# -DTW_HELPERS=<cmake/Tarnwick.cmake> -DTW_WORK=<scratch folder>.
include(${TW_HELPERS})

set(root ${TW_WORK}/tests/fuzz/checkout/lib)
file(REMOVE_RECURSE ${TW_WORK})
foreach(f a.cpp sub/b.cpp sub/deeper/c.cpp tests/t.cpp fuzz/f.cpp sub/tests/u.cpp main.cpp sub/main.cpp
        latests/d.cpp fuzzy/e.cpp a.h)
    file(WRITE ${root}/${f} "")
endforeach()

tw_library_sources(found ${root})
list(TRANSFORM found REPLACE "^${root}/" "")
list(SORT found)
set(expected a.cpp fuzzy/e.cpp latests/d.cpp sub/b.cpp sub/deeper/c.cpp)
if(NOT found STREQUAL expected)
    message(FATAL_ERROR "library sources: got '${found}', expected '${expected}'")
endif()
file(REMOVE_RECURSE ${TW_WORK})
