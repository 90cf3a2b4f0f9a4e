# Install step (after the program is copied): TW_INSTALLED is made stripped, its debug
# information taken from TW_BUILT (the build's own file, so also after --strip) into
# TW_INSTALLED.debug beside it, named by a debug link. Without debug information in the
# build the program is only stripped. TW_OBJCOPY: objcopy.
if(NOT TW_OBJCOPY OR NOT EXISTS "${TW_OBJCOPY}")
    message(STATUS "No objcopy: ${TW_INSTALLED} is installed as built")
    return()
endif()
set(debug "${TW_INSTALLED}.debug")
file(REMOVE "${debug}")
execute_process(COMMAND "${TW_OBJCOPY}" --only-keep-debug "${TW_BUILT}" "${debug}"
    RESULT_VARIABLE kept OUTPUT_QUIET ERROR_QUIET)
set(has_debug FALSE)
if(kept EQUAL 0)
    execute_process(COMMAND "${TW_OBJCOPY}" --dump-section .debug_info=/dev/null "${debug}"
        RESULT_VARIABLE found OUTPUT_QUIET ERROR_QUIET)
    if(found EQUAL 0)
        set(has_debug TRUE)
    endif()
endif()
# Only the debug sections go: the dynamic symbols a crash report names functions by stay.
set(strip "${TW_OBJCOPY}" --strip-unneeded)
if(has_debug)
    file(CHMOD "${debug}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    message(STATUS "Debug information: ${debug}")
    execute_process(COMMAND ${strip} "--add-gnu-debuglink=${debug}" "${TW_INSTALLED}" RESULT_VARIABLE result)
else()
    file(REMOVE "${debug}")
    execute_process(COMMAND ${strip} "${TW_INSTALLED}" RESULT_VARIABLE result)
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Stripping ${TW_INSTALLED} failed")
endif()
