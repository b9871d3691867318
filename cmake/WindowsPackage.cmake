# What a Windows user is handed: the two programs with the DLLs the window program loads, a
# README and the licences, as a folder (package/sifter32-VERSION-win64/), a zip of it and an
# NSIS installer (target `windows_package`, which scripts/windows builds).
#
# SIFTER32_RUNTIME_DIRS: the folders of the DLLs that programs linked against Qt load (Qt's
# own and the C++ runtime's), for running them from the build.

# The C++ runtime that Qt's DLLs were linked against, from the compiler that built them.
set(runtime_dlls)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${dll}")
  endif()
  file(REAL_PATH "${found}" found)
  list(APPEND runtime_dlls ${found})
endforeach()

get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT qt_core_dll)
  get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(qt_bin_dir ${qt_core_dll} DIRECTORY)
get_filename_component(qt_prefix ${qt_bin_dir} DIRECTORY)

set(SIFTER32_RUNTIME_DIRS ${qt_bin_dir})
foreach(dll IN LISTS runtime_dlls)
  get_filename_component(dir ${dll} DIRECTORY)
  list(APPEND SIFTER32_RUNTIME_DIRS ${dir})
endforeach()
list(REMOVE_DUPLICATES SIFTER32_RUNTIME_DIRS)

# Exactly what the window program loads beyond the system's own DLLs: Qt's modules, the
# platform and the style plugin, and the runtime. tests/windows/package_test.sh checks that
# each is loaded and that nothing else is.
set(package_name sifter32-${PROJECT_VERSION}-win64)
set(package_dir ${CMAKE_BINARY_DIR}/package/${package_name})
set(package_zip ${CMAKE_BINARY_DIR}/${package_name}.zip)
set(package_setup ${CMAKE_BINARY_DIR}/sifter32-${PROJECT_VERSION}-setup.exe)
set(windows_packaging ${PROJECT_SOURCE_DIR}/packaging/windows)

configure_file(${windows_packaging}/README.txt.in ${CMAKE_BINARY_DIR}/package/README.txt
               NEWLINE_STYLE CRLF @ONLY)
configure_file(${windows_packaging}/licences.txt.in ${CMAKE_BINARY_DIR}/package/licences.txt
               NEWLINE_STYLE CRLF @ONLY)

find_program(SIFTER32_ZIP zip)
find_program(SIFTER32_MAKENSIS makensis)
add_custom_target(windows_package
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_dir} ${package_zip} ${package_setup}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}/platforms ${package_dir}/styles
          ${package_dir}/licences
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:sifter32> $<TARGET_FILE:sifter32-cli>
          ${qt_bin_dir}/Qt6Core.dll ${qt_bin_dir}/Qt6Gui.dll ${qt_bin_dir}/Qt6Widgets.dll
          ${runtime_dlls} ${CMAKE_BINARY_DIR}/package/README.txt ${package_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${qt_prefix}/plugins/platforms/qwindows.dll
          ${package_dir}/platforms
  COMMAND ${CMAKE_COMMAND} -E copy ${qt_prefix}/plugins/styles/qwindowsvistastyle.dll
          ${package_dir}/styles
  COMMAND ${CMAKE_STRIP} --strip-unneeded ${package_dir}/sifter32.exe ${package_dir}/sifter32-cli.exe
          ${package_dir}/libstdc++-6.dll ${package_dir}/libgcc_s_seh-1.dll
          ${package_dir}/libwinpthread-1.dll
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/package/licences.txt
          ${package_dir}/licences/README.txt
  COMMAND ${CMAKE_COMMAND} -E copy /usr/share/common-licenses/LGPL-3 ${package_dir}/licences/LGPL-3.txt
  COMMAND ${CMAKE_COMMAND} -E copy /usr/share/common-licenses/GPL-3 ${package_dir}/licences/GPL-3.txt
  COMMAND ${CMAKE_COMMAND} -E copy /usr/share/doc/gcc-mingw-w64-base/copyright
          ${package_dir}/licences/gcc-mingw-w64.txt
  COMMAND ${CMAKE_COMMAND} -E copy /usr/share/doc/mingw-w64-common/copyright
          ${package_dir}/licences/mingw-w64.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
          ${SIFTER32_ZIP} -q -r -X -9 ${package_zip} ${package_name}
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${package_dir} -DOUTPUT=${CMAKE_BINARY_DIR}/package
          -P ${PROJECT_SOURCE_DIR}/cmake/NsisFileList.cmake
  COMMAND ${SIFTER32_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSOURCE=${package_dir}
          -DLISTS=${CMAKE_BINARY_DIR}/package -DOUTFILE=${package_setup}
          ${windows_packaging}/sifter32.nsi
  DEPENDS sifter32 sifter32-cli
  BYPRODUCTS ${package_zip} ${package_setup}
  COMMENT "Making ${package_name}.zip and sifter32-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
