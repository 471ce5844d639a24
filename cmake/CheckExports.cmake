# Run as cmake -DNM=... -DLIBRARY=... -DEXPECTED="A;B" -P CheckExports.cmake:
# the library's dynamic symbol table must define exactly the names in EXPECTED,
# so that no helper of the library can be bound (or interposed) from outside.
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
set(expected ${EXPECTED})
list(SORT expected)
if(NOT defined STREQUAL expected)
  message(FATAL_ERROR "exported: ${defined}\nexpected: ${expected}")
endif()
