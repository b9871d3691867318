# The tests on Windows (under Wine when cross-built, in a Wine prefix of the build's own): the
# engine suite, GoogleTest built from Debian's sources with the same compiler and run as one
# program, and, where a Qt for Windows is at hand, the window tests that hold on every system.
# The shell scripts are Linux's; scripts/windows runs the companion against the Linux program,
# the installer, and the zip's window program on a virtual X server.

set(SIFTER32_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")
if(NOT EXISTS ${SIFTER32_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${SIFTER32_GTEST_SOURCE} (Debian: googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${SIFTER32_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_executable(sifter32_engine_tests ${engine_test_sources} ${win32_engine_test_sources})
target_link_libraries(sifter32_engine_tests PRIVATE sifter32_cli_support gtest_main
                      sifter32_static_runtime)
target_compile_options(sifter32_engine_tests PRIVATE -Wno-missing-field-initializers)
target_include_directories(sifter32_engine_tests PRIVATE support)

add_test(NAME engine_tests COMMAND sifter32_engine_tests --gtest_brief=1)
set(wine_environment)
if(CMAKE_CROSSCOMPILING)
  # A prefix of the build's own, made on first use; no prompts, no display, no debug output.
  set(wine_environment WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= DISPLAY=)
  set_tests_properties(engine_tests PROPERTIES ENVIRONMENT "${wine_environment}")
endif()

# The window tests where a Qt for Windows is at hand. They load Qt's DLLs and the C++ runtime's
# from where they lie (Wine's search path), and Qt's plugins from beside Qt's own DLLs.
if(Qt6_FOUND)
  set(run_environment ${wine_environment})
  if(CMAKE_CROSSCOMPILING)
    list(TRANSFORM SIFTER32_RUNTIME_DIRS PREPEND "Z:" OUTPUT_VARIABLE wine_path)
    list(JOIN wine_path "\\;" wine_path)
    list(APPEND run_environment "WINEPATH=${wine_path}")
  endif()
  sifter32_add_window_tests(support/test_support_win32.cpp "${run_environment}"
                            "${posix_window_tests}")
endif()
