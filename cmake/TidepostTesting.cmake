# GoogleTest from Debian's sources (built with whichever compiler this build uses) and, for
# 64-bit Windows builds, wine64 as the emulator that ctest runs the test programs through.
set(TP_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(NOT EXISTS ${TP_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${TP_GOOGLETEST_SOURCE_DIR} "
                      "(install Debian's googletest package)")
endif()

if(TP_WINDOWS AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  find_program(TP_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
  find_program(TP_WINE64 NAMES wine64 wine)
  if(TP_WINE64)
    # One private Wine prefix per build folder, made on first use by the wrapper.
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${TP_WINE64} ${CMAKE_BINARY_DIR}/wineprefix)
    set(TP_CAN_RUN_TESTS ON)
  else()
    message(WARNING "wine64 not found: the Windows tests are built but not registered with ctest")
    set(TP_CAN_RUN_TESTS OFF)
  endif()
elseif(TP_WINDOWS)
  set(TP_CAN_RUN_TESTS OFF)  # 32-bit programs need a 32-bit Wine, which we do not install
else()
  set(TP_CAN_RUN_TESTS ON)
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${TP_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# tp_add_test_program(NAME SOURCES... LIBRARIES... [PROPERTIES...]): one GoogleTest program.
# Natively each test case is its own ctest entry; under Wine the whole program is one entry,
# since every process start costs a second or two there. PROPERTIES are ctest properties of
# every entry (fixtures, environment).
function(tp_add_test_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  tp_set_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
  if(NOT TP_CAN_RUN_TESTS)
    return()
  endif()
  if(TP_WINDOWS)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES TIMEOUT 900 ${ARG_PROPERTIES})
  else()
    # Each case is labelled with its program, so that a run can pick programs (ctest -L).
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT 120 LABELS ${name} ${ARG_PROPERTIES})
  endif()
endfunction()
