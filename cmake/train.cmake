# Runs the instrumented interpreter INTERPRETER over each of PROGRAMS (a |-list), with their
# output thrown away: what it leaves behind is the count of every branch and call taken.
string(REPLACE "|" ";" programs "${PROGRAMS}")
foreach(program IN LISTS programs)
  execute_process(COMMAND ${INTERPRETER} ${program} OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "training run of ${program} failed: ${status}")
  endif()
endforeach()
