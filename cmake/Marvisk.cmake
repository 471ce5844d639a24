# Build rules shared by every folder.

# The program and both libraries land side by side here, so each finds the
# others in its own folder, the way a program's own folder is searched first.
set(MARVISK_OUTPUT_DIR ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${MARVISK_OUTPUT_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${MARVISK_OUTPUT_DIR})

# $ORIGIN as DT_RPATH, not DT_RUNPATH: under AddressSanitizer dlopen is called
# from the sanitizer's interceptor, and a RUNPATH of the real caller is then
# not consulted, while an RPATH of the executable is.
set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
set(CMAKE_BUILD_RPATH "$ORIGIN")
set(CMAKE_INSTALL_RPATH "$ORIGIN")
add_link_options(-Wl,--disable-new-dtags)

add_compile_options(-Wall -Wextra)
# The numbers of a given seed must not depend on the machine or the optimiser:
# no fused multiply-add, no fast-math, no host-specific instruction set.
add_compile_options(-ffp-contract=off -fno-fast-math)

# The presets name the build type; a build configured without one is a
# release build, not an unoptimised one.
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE Release)
endif()

if(MARVISK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# marvisk_add_test(Name SOURCES a.cpp ... LIBS lib ...)
# One test executable per unit, run by CTest with a pinned environment.
function(marvisk_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT T_SOURCES)
    message(FATAL_ERROR "marvisk_add_test(${name}): no SOURCES")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C;MARVISK_BIN_DIR=${MARVISK_OUTPUT_DIR};MARVISK_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 600)
endfunction()

# marvisk_add_benchmark(Name SOURCES ... LIBS ...)
function(marvisk_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# marvisk_add_tests(NameTest ... LIBS lib ...)
# Each NameTest.cpp of the calling folder is the test executable NameTest,
# linked with the libraries and Qt Test.
function(marvisk_add_tests)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  foreach(name ${T_UNPARSED_ARGUMENTS})
    marvisk_add_test(${name} SOURCES ${name}.cpp LIBS ${T_LIBS} Qt6::Test)
  endforeach()
endfunction()
