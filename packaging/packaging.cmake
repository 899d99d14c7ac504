# What a desktop expects of an installed program (a menu entry, a MIME type for project
# files, icons, manual pages, completion) and the Debian package that carries it with the
# programs and templates. scripts/package builds the programs and these files, then cpack.
set(_pkg_src ${CMAKE_SOURCE_DIR}/packaging)
set(_pkg_out ${CMAKE_BINARY_DIR}/packaging)
set(_pkg_doc ${CMAKE_INSTALL_DATADIR}/doc/zorvane)
set(_pkg_built "")

# Manual pages and the changelog are installed compressed, without time stamps inside, as
# Debian's policy asks.
configure_file(${_pkg_src}/changelog.in ${_pkg_out}/changelog @ONLY)
function(zorvane_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${source} ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
foreach(page zorvane.1 zorvane-cli.1)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${page}.in ${_pkg_out}/${page} @ONLY)
  zorvane_gzip(${_pkg_out}/${page} ${_pkg_out}/${page}.gz)
  list(APPEND _pkg_built ${_pkg_out}/${page}.gz)
  install(FILES ${_pkg_out}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
zorvane_gzip(${_pkg_out}/changelog ${_pkg_out}/changelog.gz)
list(APPEND _pkg_built ${_pkg_out}/changelog.gz)

# The icon is drawn once as SVG; the sizes menus and file managers ask for are rendered
# from it.
set(_pkg_svg ${_pkg_src}/zorvane.svg)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  foreach(size 16 24 32 48 64 128 256)
    set(_dir ${_pkg_out}/icons/${size}x${size}/apps)
    add_custom_command(OUTPUT ${_dir}/zorvane.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${_dir}/zorvane.png ${_pkg_svg}
      DEPENDS ${_pkg_svg} VERBATIM)
    list(APPEND _pkg_built ${_dir}/zorvane.png)
    install(FILES ${_dir}/zorvane.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert not found: the icon is installed as SVG only")
endif()
add_custom_target(package_files ALL DEPENDS ${_pkg_built})

install(FILES ${_pkg_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${_pkg_src}/zorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_pkg_src}/zorvane-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME zorvane.xml)
install(FILES ${_pkg_src}/zorvane-cli.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zorvane-cli)
install(FILES ${_pkg_src}/copyright ${_pkg_out}/changelog.gz DESTINATION ${_pkg_doc})
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/manual.html)
  # The help command looks for it here beside an installed program.
  install(FILES ${CMAKE_SOURCE_DIR}/docs/manual.html DESTINATION ${_pkg_doc})
endif()

# Installing (and so cpack) must not build the tests: scripts/package builds what it needs.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zorvane Project")
set(CPACK_PACKAGE_CONTACT "Zorvane Project <zorvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "inspect RPGXP game projects")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Zorvane reads the Game.ini and Data/*.rxdata files of a project made with the\n\
RPGXP editor and answers what game makers ask every day: what an event says,\n\
where a switch or variable is used, which events call files that exist\n\
nowhere, what a map looks like and which RTP files the game needs.\n\
\n\
It comes as a desktop program (zorvane) that opens a project from the menu or\n\
a file manager, and as a command-line companion (zorvane-cli) for terminals,\n\
scripts and git diffs of .rxdata files.")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorvane.example.org/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl is opened at run time by the update check only, so dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4")
# Opening web pages and folders goes through xdg-open; the Japanese texts need a font, and
# projects made in Chinese hold Hanzi that the Japanese fonts lack (a third of GB2312's):
# WenQuanYi Micro Hei has all of GB2312 and Big5 in 5 MB (Noto CJK, 91 MB, is the other).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xdg-utils, fonts-ipafont-gothic, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${ZORVANE_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
include(CPack)
