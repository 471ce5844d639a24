# Run as cmake -DREADELF=... -DFILE=... -DEXPECTED=... -P CheckRunPath.cmake:
# the file's run path must be exactly EXPECTED, as DT_RPATH and with no
# DT_RUNPATH. An empty entry (such as the one a trailing colon leaves) would
# make the loader search the current folder too.
execute_process(COMMAND ${READELF} -d ${FILE}
  OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf failed on ${FILE}")
endif()
if(table MATCHES "\\(RUNPATH\\)")
  message(FATAL_ERROR "${FILE} has a RUNPATH:\n${table}")
endif()
if(NOT table MATCHES "Library rpath: \\[([^]\n]*)\\]")
  message(FATAL_ERROR "${FILE} has no RPATH")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL EXPECTED)
  message(FATAL_ERROR "run path of ${FILE}: '${CMAKE_MATCH_1}', expected '${EXPECTED}'")
endif()
