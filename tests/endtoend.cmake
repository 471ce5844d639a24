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
