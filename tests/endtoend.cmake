# The program's windows end to end, with the real co-occurrence test library:
# each program lives in a folder of its own and finds libQuorlan.so (and,
# through it, libPellivorn.so) in the program folder by its run path, the way
# the program itself finds them beside it.
if(TARGET marvisk_app AND TARGET marvisk_results AND TARGET Quorlan AND TARGET Pellivorn)
  foreach(name RunRoadTest EndToEndTest)
    marvisk_add_test(${name} SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/endtoend/${name}.cpp
      LIBS marvisk_app Qt6::Test)
    set_target_properties(${name} PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/endtoend
      BUILD_RPATH ${MARVISK_OUTPUT_DIR})
    add_dependencies(${name} Quorlan Pellivorn)
  endforeach()
endif()

# The expected text of EndToEndTest comes from the independent working in
# endtoend/oracle.py, which needs python3. Without it the check still runs and
# fails, saying so, rather than vanishing from the test list.
find_package(Python3 COMPONENTS Interpreter)
add_test(NAME EndToEndExpectedText
  COMMAND ${CMAKE_COMMAND} -DPYTHON=${Python3_EXECUTABLE} -DSOURCE=${CMAKE_SOURCE_DIR}
          -DOUTPUT=${CMAKE_BINARY_DIR}/tests/endtoend/island-birds-1000-7.oracle.txt
          -P ${CMAKE_CURRENT_SOURCE_DIR}/endtoend/CheckExpectedText.cmake)
set_tests_properties(EndToEndExpectedText PROPERTIES ENVIRONMENT "LC_ALL=C" TIMEOUT 600)
