# What the programs need beside them once installed (the desktop entry and the AppStream
# metainfo, the icon in the sizes a desktop asks for, the manual pages, the copyright and the
# changelog), and the Debian
# package of it all, made by `cpack` in the build directory (scripts/package).

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

include(GNUInstallDirs)

find_program(SIFTER32_CONVERT convert DOC "ImageMagick's convert, for the icon's PNG renderings")
find_program(SIFTER32_GZIP gzip REQUIRED)
if(NOT SIFTER32_CONVERT)
  message(FATAL_ERROR "ImageMagick's convert is needed for the icons (Debian: imagemagick)")
endif()

# The hardening Debian builds its own programs with: checked copies of the C library's buffer
# functions and a read-only symbol table once loaded. Not under the sanitizers, whose own
# checks replace the former.
if(NOT SIFTER32_SANITIZE AND NOT SIFTER32_FUZZ)
  target_compile_definitions(sifter32_settings INTERFACE
    $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  target_link_options(sifter32_settings INTERFACE LINKER:-z,relro,-z,now)
endif()

set(generated_dir ${CMAKE_CURRENT_BINARY_DIR}/installed)
set(packaging_dir ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(generated_files)

# The 32x32 picture and whole multiples of it, each pixel a square block, so that every size
# is the program's own picture, crisp. No date chunks: the same picture gives the same bytes.
set(icon_source ${CMAKE_CURRENT_SOURCE_DIR}/resources/sifter32.xpm)
foreach(size 32 64 128 256)
  set(icon ${generated_dir}/icons/${size}x${size}/sifter32.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated_dir}/icons/${size}x${size}
    COMMAND ${SIFTER32_CONVERT} ${icon_source} -scale ${size}x${size} -strip
            -define png:exclude-chunks=date,time PNG32:${icon}
    DEPENDS ${icon_source} VERBATIM)
  list(APPEND generated_files ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual pages and the changelog go in compressed, at maximum compression and without the
# name and time stamp, as Debian wants them.
function(sifter32_gzip source output)
  get_filename_component(name ${output} NAME_WLE)
  set(copy ${generated_dir}/${name})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${SIFTER32_GZIP} -9nf ${copy}
    DEPENDS ${source} VERBATIM)
endfunction()

foreach(page sifter32.1 sifter32-cli.1)
  sifter32_gzip(${packaging_dir}/${page} ${generated_dir}/${page}.gz)
  list(APPEND generated_files ${generated_dir}/${page}.gz)
  install(FILES ${generated_dir}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

sifter32_gzip(${packaging_dir}/changelog.Debian ${generated_dir}/changelog.Debian.gz)
list(APPEND generated_files ${generated_dir}/changelog.Debian.gz)
install(FILES ${generated_dir}/changelog.Debian.gz ${packaging_dir}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sifter32)

install(FILES ${packaging_dir}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME sifter32)

add_custom_target(sifter32_installed_files ALL DEPENDS ${generated_files})

install(FILES resources/sifter32.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# What software centres list: the AppStream metainfo, named after its component id.
install(FILES ${packaging_dir}/sifter32.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME invalid.sifter32.sifter32.metainfo.xml)

# --- The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sifter32)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_VENDOR "Sifter32 developers")
set(CPACK_PACKAGE_CONTACT "Sifter32 developers <dev@sifter32.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "list the lines of Paradox scripts and Pascal sources that hold a text")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
Pick a directory, type a text and press Sifter: every line of the directory's
Paradox scripts (*.sc) or Pascal sources (*.pas) that holds the text is listed
with its line number, under a heading per file. For scripts the procedure
lines passed on the way can be listed too, so that each match sits in its
procedure. The list can be trimmed by hand and saved to a text file.

sifter32 is the window program (Qt); sifter32-cli runs the same search
without a window and prints the same rows, for scripts and pipelines.]])
# The dependencies are what dpkg-shlibdeps finds the programs linked against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# "Open in Editor" in the viewer hands files to the desktop through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_SIFTER32_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripPackaged.cmake)
# Directories as Debian has them, whatever the umask of the person building.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
