# Works the expected results text of the end-to-end test out again with the
# independent Python working and compares it with the committed text byte for
# byte, so that the expected text stays the independent working's and never
# becomes whatever the program printed.
#
# cmake -DPYTHON=... -DSOURCE=<source dir> -DOUTPUT=<file> -P CheckExpectedText.cmake
if(NOT PYTHON)
  message(FATAL_ERROR "python3 is needed to work out the expected text of the end-to-end test")
endif()
execute_process(
  COMMAND ${PYTHON} ${SOURCE}/tests/endtoend/oracle.py ${SOURCE}/examples/island-birds.txt
          1000 7 14 20 island-birds.txt
  OUTPUT_FILE ${OUTPUT}
  ERROR_VARIABLE trace
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "oracle.py failed (${status}):\n${trace}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${SOURCE}/tests/endtoend/island-birds-1000-7.txt
  RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${OUTPUT} differs from tests/endtoend/island-birds-1000-7.txt")
endif()
