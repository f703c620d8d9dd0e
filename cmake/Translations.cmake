# SPDX-License-Identifier: MIT
# The program's texts in the user's language. One catalogue per language in
# translations/ (drillweight_<language>.ts), compiled to .qm files in the
# build tree's translations/ beside the program, where the uninstalled
# program finds them, and installed to share/drillweight/translations.
#
#   cmake --build build --target update_translations
#
# reads every text the program marks for translation and brings the
# catalogues up to date (new texts come in unfinished, texts no longer used
# are dropped); the test translations_complete fails until each is translated.

find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

file(GLOB DRILLWEIGHT_TS_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/drillweight_*.ts)
# The folders whose texts the user reads. The command-line tool speaks English
# only, and tests, benchmarks and fuzz targets show nothing to a user.
set(DRILLWEIGHT_TRANSLATED_DIRS app common calc decor design journal numeric report storage units window)
# The plain layers mark their messages with DW_TEXT/DW_TEXT3 (common/message_text.h),
# which the catalogue tool reads as Qt's own markers.
set(DRILLWEIGHT_LUPDATE_OPTIONS
    -I . -extensions cpp,h -locations none -no-obsolete -silent
    -tr-function-alias QT_TRANSLATE_NOOP+=DW_TEXT,QT_TRANSLATE_NOOP3+=DW_TEXT3)

set(qm_dir ${CMAKE_BINARY_DIR}/translations)
set(qm_files)
foreach(ts IN LISTS DRILLWEIGHT_TS_FILES)
  get_filename_component(name ${ts} NAME_WE)
  set(qm ${qm_dir}/${name}.qm)
  add_custom_command(
    OUTPUT ${qm}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${qm_dir}
    COMMAND Qt6::lrelease -silent ${ts} -qm ${qm}
    DEPENDS ${ts}
    COMMENT "Compiling the catalogue ${name}"
    VERBATIM)
  list(APPEND qm_files ${qm})
endforeach()
add_custom_target(translations ALL DEPENDS ${qm_files})
install(FILES ${qm_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/drillweight/translations)

add_custom_target(update_translations
  COMMAND Qt6::lupdate ${DRILLWEIGHT_LUPDATE_OPTIONS} ${DRILLWEIGHT_TRANSLATED_DIRS} -ts ${DRILLWEIGHT_TS_FILES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Bringing the catalogues up to date with the program's texts"
  VERBATIM)

if(DRILLWEIGHT_TESTS)
  enable_testing()
  # The check reads the same folders with the same options, without
  # -no-obsolete, so that an entry the program no longer uses shows.
  set(check_options ${DRILLWEIGHT_LUPDATE_OPTIONS})
  list(REMOVE_ITEM check_options -no-obsolete)
  add_test(NAME translations_complete
           COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-translations.sh $<TARGET_FILE:Qt6::lupdate>
                   ${PROJECT_SOURCE_DIR} ${DRILLWEIGHT_TS_FILES} -- ${check_options} ${DRILLWEIGHT_TRANSLATED_DIRS})
  # The check itself, on small programs with a fault each.
  add_test(NAME translations_check_catches_its_faults
           COMMAND bash ${PROJECT_SOURCE_DIR}/tests/translations/check_translations_test.sh
                   $<TARGET_FILE:Qt6::lupdate> ${PROJECT_SOURCE_DIR}/scripts/check-translations.sh)
  # A message marked with another context than the messages' own does not
  # compile; with its own it does (so the refusal is the context's).
  foreach(context IN ITEMS Message Mesage message)
    add_test(NAME message_context_${context}_when_built
             COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only -I${PROJECT_SOURCE_DIR}
                     -DPROBE_CONTEXT=${context} ${PROJECT_SOURCE_DIR}/tests/translations/message_context_probe.cc)
    if(NOT context STREQUAL "Message")
      set_tests_properties(message_context_${context}_when_built PROPERTIES WILL_FAIL TRUE)
    endif()
  endforeach()
endif()
