# Run as cmake -DNM=... -DLIBRARY=... -P CheckExports.cmake: libQuorlan.so's
# dynamic symbol table defines PValue and Beta and nothing else.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^ \n]+\n" names "${table}")
set(defined "")
foreach(line ${names})
  string(STRIP "${line}" name)
  list(APPEND defined ${name})
endforeach()
list(SORT defined)
set(expected Beta PValue)
if(NOT defined STREQUAL expected)
  message(FATAL_ERROR "exported: ${defined}\nexpected: ${expected}")
endif()
