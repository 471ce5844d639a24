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

# ThreadSanitizer, for Quorlan's helper threads and per-thread state: only
# Quorlan, Pellivorn and Quorlan's tests are built this way (the rest of the
# program has one thread).
if(MARVISK_THREAD_SANITIZE)
  if(MARVISK_SANITIZE)
    message(FATAL_ERROR "MARVISK_THREAD_SANITIZE and MARVISK_SANITIZE can't be combined")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# marvisk_offscreen_screen(Var WIDTH HEIGHT): Var names the offscreen
# platform's setting for one screen of WIDTH x HEIGHT pixels at 96 dots per
# inch, written as its configuration file into the build tree.
function(marvisk_offscreen_screen var width height)
  set(config ${CMAKE_BINARY_DIR}/screens/${width}x${height}.json)
  file(WRITE ${config} "{ \"screens\": [ { \"name\": \"screen\", \"x\": 0, \"y\": 0, \"width\": ${width}, \"height\": ${height}, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }\n")
  set(${var} "offscreen:configfile=${config}" PARENT_SCOPE)
endfunction()

# Widget tests see one common desktop screen, 1920 x 1080 at scale 1 (the
# offscreen platform's own default of 800 x 800 is smaller than the main
# window and the results window).
marvisk_offscreen_screen(MARVISK_TEST_SCREEN 1920 1080)

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
  marvisk_add_test_run(${name} ${name})
endfunction()

# marvisk_add_test_run(Name Executable [SCREEN WIDTH HEIGHT] [SCALE factor]):
# one more run of a test executable under its own name, on a screen of its
# own size and at a scale factor of its own (QT_SCALE_FACTOR) where given.
function(marvisk_add_test_run name executable)
  cmake_parse_arguments(R "" "SCALE" "SCREEN" ${ARGN})
  set(platform ${MARVISK_TEST_SCREEN})
  if(R_SCREEN)
    list(GET R_SCREEN 0 width)
    list(GET R_SCREEN 1 height)
    marvisk_offscreen_screen(platform ${width} ${height})
  endif()
  set(scale 1)
  if(R_SCALE)
    set(scale ${R_SCALE})
  endif()
  add_test(NAME ${name} COMMAND ${executable} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=${platform};QT_SCALE_FACTOR=${scale};LC_ALL=C;MARVISK_BIN_DIR=${MARVISK_OUTPUT_DIR};MARVISK_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
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
