# SPDX-License-Identifier: MIT
# Installing the program as a desktop program, and the Debian package made
# from that installation with CPack (`cpack` in the build directory, or
# scripts/package.sh). The programs' own install() lines sit beside their
# targets; this file adds the desktop integration and the package.
#
# The desktop entry, the metadata, the icon and the file type share one
# reverse-domain name. The project has no domain of its own yet, so it is a
# placeholder under a reserved one.

set(DRILLWEIGHT_APP_ID org.example.drillweight)
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

# --- the icon -----------------------------------------------------------------
# The PNGs come from the program's own drawing of its icon, rendered during the
# build, so the menu and the window show the same picture at every size. The
# SVG beside them is the same drawing written out by hand.
set(DRILLWEIGHT_ICON_SIZES 16 32 48 64 128 256)
add_executable(render_icon ${packaging_dir}/render_icon.cpp)
target_link_libraries(render_icon PRIVATE drillweight_app)
dw_warnings(render_icon)

set(icon_dir ${CMAKE_BINARY_DIR}/packaging/icons)
set(icon_files)
foreach(size IN LISTS DRILLWEIGHT_ICON_SIZES)
  list(APPEND icon_files ${icon_dir}/${size}x${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND render_icon ${icon_dir} ${DRILLWEIGHT_ICON_SIZES}
  DEPENDS render_icon
  COMMENT "Rendering the program's icon"
  VERBATIM)

# --- the manual pages, compressed as Debian keeps them ------------------------
set(man_files)
foreach(page vprtool drillweight)
  set(man_out ${CMAKE_BINARY_DIR}/packaging/man/${page}.1.gz)
  add_custom_command(
    OUTPUT ${man_out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
    COMMAND gzip -9 -n -c ${packaging_dir}/${page}.1 > ${man_out}
    DEPENDS ${packaging_dir}/${page}.1
    COMMENT "Compressing the manual page of ${page}")
  list(APPEND man_files ${man_out})
endforeach()

add_custom_target(packaging_files ALL DEPENDS ${icon_files} ${man_files})

# --- what is installed --------------------------------------------------------
foreach(size IN LISTS DRILLWEIGHT_ICON_SIZES)
  install(FILES ${icon_dir}/${size}x${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${DRILLWEIGHT_APP_ID}.png)
endforeach()
install(FILES ${packaging_dir}/${DRILLWEIGHT_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging_dir}/${DRILLWEIGHT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${DRILLWEIGHT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging_dir}/${DRILLWEIGHT_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# --- the Debian package ------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME drillweight)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The drillweight developers <drillweight@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weight of the drilling tool, with a printed report")
# CPack puts the summary first and indents the rest as a Debian description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A calculator for drilling crews: from the weights of the hoisting
equipment, the specific gravities of the mud and the pipe steel and up to
eight drill-string sections it works out the travelling-system weight, the
net and the buoyed string weight, the hook load and the total length, and
prints them on a one-page A3 report through a print preview.

Saved reports (*.VPR) open in the preview from the file manager, and the
vprtool command turns them into PDF documents or pictures.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://drillweight.example.org/)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The libraries come from what the programs are linked against; the fonts
# the report is laid out in are found by name at run time, and the print
# spooler's library is opened when a job is sent, so no linker sees either.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libcups2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Debug information stays in the build tree; the package carries the programs.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
