# SPDX-License-Identifier: MIT
# Installing the program as a desktop program, and the Debian package made
# from that installation with CPack (`cpack` in the build directory, or
# scripts/package.sh). The programs' own install() lines sit beside their
# targets; this file adds the desktop integration and the package.
#
# The desktop entry, the metadata, the icon and the file type are named by
# DRILLWEIGHT_APP_ID (the top CMakeLists.txt).

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

# --- one version ---------------------------------------------------------------
# The project's version is the release's. The changelog's newest entry and the
# metadata's newest release are written by hand, so a version raised without
# them stops the configure step instead of shipping a package that disagrees
# with itself.
file(STRINGS ${packaging_dir}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^drillweight \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog has no entry for ${PROJECT_VERSION} on top: ${changelog_head}")
endif()
file(READ ${packaging_dir}/${DRILLWEIGHT_APP_ID}.metainfo.xml metainfo)
string(REGEX MATCH "<release version=\"([^\"]*)\"" newest_release "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "the metadata's newest release is ${CMAKE_MATCH_1}, the project's version ${PROJECT_VERSION}")
endif()

# --- the icon -----------------------------------------------------------------
# The PNGs come from the program's own drawing of its icon, rendered during the
# build, so the menu and the window show the same picture at every size: the
# small ones from images drawn for their own grids, the larger ones and the
# SVG from one drawing.
set(DRILLWEIGHT_ICON_SIZES 16 22 24 32 48 64 128 256)
add_executable(render_icon ${packaging_dir}/render_icon.cpp)
target_link_libraries(render_icon PRIVATE drillweight_app)
dw_warnings(render_icon)

set(icon_dir ${CMAKE_BINARY_DIR}/packaging/icons)
set(icon_files ${icon_dir}/scalable.svg)
foreach(size IN LISTS DRILLWEIGHT_ICON_SIZES)
  list(APPEND icon_files ${icon_dir}/${size}x${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND render_icon ${icon_dir} ${DRILLWEIGHT_ICON_SIZES} svg
  DEPENDS render_icon
  COMMENT "Rendering the program's icon"
  VERBATIM)

# --- the manual pages, English and Russian, compressed as Debian keeps them ---
# Each page names the version it documents; it comes from the project's.
set(man_files)
set(man_files_ru)
foreach(lang en ru)
  if(lang STREQUAL en)
    set(man_src ${packaging_dir})
  else()
    set(man_src ${packaging_dir}/${lang})
  endif()
  foreach(page vprtool drillweight)
    set(man_dir ${CMAKE_BINARY_DIR}/packaging/man/${lang})
    configure_file(${man_src}/${page}.1 ${man_dir}/${page}.1 @ONLY)
    add_custom_command(
      OUTPUT ${man_dir}/${page}.1.gz
      COMMAND gzip -9 -n -c ${man_dir}/${page}.1 > ${man_dir}/${page}.1.gz
      DEPENDS ${man_dir}/${page}.1
      COMMENT "Compressing the manual page of ${page} (${lang})")
    if(lang STREQUAL en)
      list(APPEND man_files ${man_dir}/${page}.1.gz)
    else()
      list(APPEND man_files_ru ${man_dir}/${page}.1.gz)
    endif()
  endforeach()
endforeach()

# --- the licence and the changelog, where Debian looks for them --------------
set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${changelog_gz}
  COMMAND gzip -9 -n -c ${packaging_dir}/changelog > ${changelog_gz}
  DEPENDS ${packaging_dir}/changelog
  COMMENT "Compressing the changelog")

add_custom_target(packaging_files ALL DEPENDS ${icon_files} ${man_files} ${man_files_ru} ${changelog_gz})

# --- what is installed --------------------------------------------------------
foreach(size IN LISTS DRILLWEIGHT_ICON_SIZES)
  install(FILES ${icon_dir}/${size}x${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${DRILLWEIGHT_APP_ID}.png)
endforeach()
install(FILES ${icon_dir}/scalable.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${DRILLWEIGHT_APP_ID}.svg)
install(FILES ${packaging_dir}/${DRILLWEIGHT_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging_dir}/${DRILLWEIGHT_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging_dir}/${DRILLWEIGHT_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${man_files_ru} DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)
install(FILES ${packaging_dir}/copyright ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/drillweight)

# --- the programs as Debian builds its own -----------------------------------
# Symbols bound at start-up, so the relocation table can be made read-only
# before the program runs, and no compiler notes in the installed programs.
foreach(program drillweight vprtool)
  target_link_options(${program} PRIVATE -Wl,-z,relro -Wl,-z,now)
endforeach()
install(CODE "
  foreach(program drillweight vprtool)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"cannot remove the compiler notes from \${program}\")
    endif()
  endforeach()
")

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
# No Homepage field: the project has no public address yet, and a made-up
# one would send people nowhere.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The libraries come from what the programs are linked against; the fonts
# the report is laid out in are found by name at run time, the print
# spooler's library is opened when a job is sent, and Qt's own catalogues
# (its dialogs in the user's language) are read at start, so no linker sees
# any of them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libcups2, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Debug information stays in the build tree; the package carries the programs.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
