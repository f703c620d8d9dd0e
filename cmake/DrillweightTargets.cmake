# SPDX-License-Identifier: MIT
# Helpers that keep every folder's CMakeLists.txt to a few lines.
# One folder is one library target; its sources are the .cpp/.h files in it.

function(dw_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wno-psabi)
endfunction()

# dw_add_library(<name> [QT] [DEPS <targets...>])
# QT marks a target that may use Qt; plain targets get no Qt include path,
# so the layering rule is enforced by the compiler and the linker.
function(dw_add_library name)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  dw_warnings(${name})
endfunction()

# dw_add_gtest(<name> [QT] [DEPS <targets...>] [ENV <VAR=value...>])
# One test executable per folder of tests/, discovered test by test for ctest.
# Qt tests run on the offscreen platform so no display is needed.
function(dw_add_gtest name)
  cmake_parse_arguments(ARG "QT" "" "DEPS;ENV" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  if(NOT ARG_QT)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  dw_warnings(${name})
  set(env ${ARG_ENV})
  if(ARG_QT)
    list(APPEND env QT_QPA_PLATFORM=offscreen)
  endif()
  # ctest's ENVIRONMENT property loses all but the first variable when it
  # passes through test discovery, so the variables are set by running each
  # test (and the discovery itself) through `cmake -E env`.
  if(env)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${env}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# A folder of the build. One that is named here but missing is a mistake in
# the tree (a moved or deleted folder), so it stops the configure step rather
# than quietly building less.
macro(dw_add_folder dir)
  if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    message(FATAL_ERROR "The build names ${dir}, which has no CMakeLists.txt")
  endif()
  add_subdirectory(${dir})
endmacro()
