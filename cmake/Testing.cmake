# Test plumbing for the three builds.
#   native: Debian's GoogleTest, one ctest entry per test case.
#   win64:  GoogleTest built from Debian's source, each test exe run under Wine through
#           cmake/wine-run, inside one Wine session (Xvfb + prefix + persistent wineserver)
#           that the fixture "wine" starts before the first Windows test and stops after the last.
#   win32:  nothing runs; export-table checks are plain host commands.

if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(WINE_SESSION_DIR ${CMAKE_BINARY_DIR}/wine-session)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run ${WINE_SESSION_DIR})
    add_test(NAME wine_session_start COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session start ${WINE_SESSION_DIR})
    add_test(NAME wine_session_stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session stop ${WINE_SESSION_DIR})
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
    # A second session whose system default language is Chinese (Wine takes it from LANG).
    set(WINE_CHINESE_SESSION_DIR ${CMAKE_BINARY_DIR}/wine-session-zh)
    add_test(NAME wine_chinese_session_start
      COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session start ${WINE_CHINESE_SESSION_DIR} zh_CN.UTF-8)
    add_test(NAME wine_chinese_session_stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session stop ${WINE_CHINESE_SESSION_DIR})
    set_tests_properties(wine_chinese_session_start PROPERTIES FIXTURES_SETUP wine_zh)
    set_tests_properties(wine_chinese_session_stop PROPERTIES FIXTURES_CLEANUP wine_zh)
    set(CAN_RUN_WINDOWS_TESTS ON)
  endif()
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# add_unit_test(<name> SOURCES <files...> LIBRARIES <targets...> [WINDOWS_ONLY])
# Builds a GoogleTest executable and registers it where it can run.
function(add_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main)
  if(WIN32)
    if(CAN_RUN_WINDOWS_TESTS)
      # Discovery would have to run the exe at build time; one entry per exe keeps the build Wine-free.
      add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
      # A modal box nobody closes would hang a run: no Windows test may take five minutes.
      set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine LABELS wine TIMEOUT 300 ${ARG_PROPERTIES})
    endif()
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
  endif()
endfunction()

# add_chinese_wine_test(<name> <test exe target> [args...])
# Runs a Windows test exe once more in the Chinese session.
function(add_chinese_wine_test name target)
  if(CAN_RUN_WINDOWS_TESTS)
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-run ${WINE_CHINESE_SESSION_DIR} $<TARGET_FILE:${target}> ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_zh LABELS wine TIMEOUT 300)
  endif()
endfunction()

# add_export_check(<dll target> <file listing the expected names>)
# Reads the DLL's export table with objdump and compares the names, sorted, with the list.
function(add_export_check target expected)
  if(WIN32)
    add_test(NAME ${target}_exports
      COMMAND ${CMAKE_SOURCE_DIR}/cmake/check-exports ${MINGW_TRIPLE}-objdump $<TARGET_FILE:${target}> ${expected})
  endif()
endfunction()
