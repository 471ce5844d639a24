# Late binding of a shared library by its bare file name: a probe library built
# into a folder of its own, and a test in another folder of its own that copies
# the probe beside itself half way through (so no other test ever sees it).
add_library(MarviskBindingProbe SHARED ${CMAKE_CURRENT_SOURCE_DIR}/binding/BindingProbe.cpp)
set_target_properties(MarviskBindingProbe PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/binding-probe
  CXX_VISIBILITY_PRESET hidden)

marvisk_add_test(BindingTest
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/binding/BindingTest.cpp
  LIBS marvisk_platform_core)
set_target_properties(BindingTest PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/binding)
add_dependencies(BindingTest MarviskBindingProbe)
target_compile_definitions(BindingTest PRIVATE
  BINDING_PROBE_PATH="$<TARGET_FILE:MarviskBindingProbe>"
  BINDING_PROBE_NAME="$<TARGET_FILE_NAME:MarviskBindingProbe>")
