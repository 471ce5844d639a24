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

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

if(MARVISK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer, for Quorlan's helper threads and per-thread state: build
# only Quorlan, Pellivorn and Quorlan's tests this way (the rest of the
# program has one thread).
option(MARVISK_THREAD_SANITIZE "Build with ThreadSanitizer (Quorlan, Pellivorn and Quorlan's tests)" OFF)
if(MARVISK_THREAD_SANITIZE)
  if(MARVISK_SANITIZE)
    message(FATAL_ERROR "MARVISK_THREAD_SANITIZE and MARVISK_SANITIZE can't be combined")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# marvisk_add_test(Name SOURCES a.cpp ... LIBS lib ... [QT])
# One test executable per unit, run by CTest with a pinned environment.
function(marvisk_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
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
  if(NOT MARVISK_BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# marvisk_folder_library(Name LIBS ...): every .cpp of the calling folder (not
# its tests/) becomes one static library, with the source root on its include
# path so headers are included as "folder/File.h".
function(marvisk_folder_library name)
  cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()

# marvisk_folder_tests(LIBS ...): each tests/<Name>Test.cpp of the calling
# folder becomes the test executable <Name>Test. A folder whose tests need more
# writes its own tests/CMakeLists.txt instead.
function(marvisk_folder_tests)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/CMakeLists.txt)
    add_subdirectory(tests)
    return()
  endif()
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*Test.cpp)
  foreach(test ${tests})
    get_filename_component(testName ${test} NAME_WE)
    marvisk_add_test(${testName} SOURCES ${test} LIBS ${T_LIBS} Qt6::Test)
  endforeach()
endfunction()
