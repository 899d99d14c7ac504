# The desktop program's message catalogs: each po/<language>.po becomes
# locale/<language>/LC_MESSAGES/zorvane.mo in the build tree (where the program finds it
# beside itself) and under share/locale when installed. `zorvane-pot` writes the template of
# the Japanese source texts for translators; `msgmerge -U po/en.po build/zorvane.pot` brings
# a catalog up to date with it.
find_program(MSGFMT_EXECUTABLE msgfmt)
find_program(XGETTEXT_EXECUTABLE xgettext)
if(NOT MSGFMT_EXECUTABLE)
  message(WARNING "msgfmt (gettext) not found: the desktop program is built without its English catalog")
  return()
endif()
file(GLOB ZORVANE_PO_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/po/*.po)
set(_mo_files)
foreach(po ${ZORVANE_PO_FILES})
  get_filename_component(lang ${po} NAME_WE)
  set(_dir ${CMAKE_BINARY_DIR}/locale/${lang}/LC_MESSAGES)
  add_custom_command(OUTPUT ${_dir}/zorvane.mo
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
    COMMAND ${MSGFMT_EXECUTABLE} --check -o ${_dir}/zorvane.mo ${po}
    DEPENDS ${po} VERBATIM)
  list(APPEND _mo_files ${_dir}/zorvane.mo)
  install(FILES ${_dir}/zorvane.mo DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${lang}/LC_MESSAGES)
endforeach()
add_custom_target(catalogs ALL DEPENDS ${_mo_files})
if(XGETTEXT_EXECUTABLE)
  file(GLOB _app_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.cpp ${CMAKE_SOURCE_DIR}/src/app/*.h)
  add_custom_target(zorvane-pot
    COMMAND ${XGETTEXT_EXECUTABLE} --language=C++ --from-code=UTF-8 --keyword=tr --keyword=trs
            --keyword=trf --keyword=wxTRANSLATE --package-name=zorvane
            -o ${CMAKE_BINARY_DIR}/zorvane.pot ${_app_sources}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
endif()
