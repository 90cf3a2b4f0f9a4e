# The program started with no display says what is missing and fails.
# -DTW_PROGRAM=<executable> -DTW_WORK=<scratch folder for its home>
file(REMOVE_RECURSE "${TW_WORK}")
file(MAKE_DIRECTORY "${TW_WORK}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=TW_HEADLESS
        --unset=XDG_RUNTIME_DIR "HOME=${TW_WORK}" "${TW_PROGRAM}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
if(status EQUAL 0 OR NOT status MATCHES "^[0-9]+$")
    message(FATAL_ERROR "without a display the program ended with '${status}', not a failure status")
endif()
if(NOT err MATCHES "no display to open a window on.*DISPLAY")
    message(FATAL_ERROR "without a display the program said: '${err}'")
endif()
if(err MATCHES "tools/run.sh")
    message(FATAL_ERROR "the message names a script of the source tree: '${err}'")
endif()
