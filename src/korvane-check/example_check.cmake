# Runs korvane-check on the example board for the `example` target and shows
# its findings. Status 1 (findings) is the expected outcome there; only a
# status of 2 or worse, a run korvane would fail, stops the build.
#   cmake -DCHECK=<program;emulator...> -DDIR=<working directory> -P this
execute_process(COMMAND ${CHECK} board board.txt WORKING_DIRECTORY ${DIR}
                RESULT_VARIABLE status)
if(NOT status MATCHES "^[01]$")
  message(FATAL_ERROR "korvane-check on the example ended with ${status}")
endif()
