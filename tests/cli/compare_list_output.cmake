# Runs `PROGRAM list --json WORKBOOK` and compares its output with EXPECTED.
execute_process(COMMAND ${PROGRAM} list --json ${WORKBOOK}
  OUTPUT_VARIABLE output RESULT_VARIABLE code)
file(READ ${EXPECTED} expected)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "exit code ${code}")
endif()
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "output differs:\n${output}\nexpected:\n${expected}")
endif()
