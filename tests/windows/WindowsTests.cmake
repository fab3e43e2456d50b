# Windows tests: built with mingw-w64 against GoogleTest's sources, run by
# CTest under Wine (CMAKE_CROSSCOMPILING_EMULATOR), one at a time. On Windows
# itself they run directly; point KERBO_GTEST_SOURCE at a GoogleTest source
# tree there (the Debian package googletest puts one in /usr/src/googletest).
set(KERBO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree for the Windows tests")
set(_gtest_source ${KERBO_GTEST_SOURCE})
if(NOT EXISTS ${_gtest_source}/CMakeLists.txt)
  message(WARNING "GoogleTest sources not found in ${_gtest_source}: the Windows tests are not built")
  return()
endif()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${_gtest_source} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The quiz executables the tests open; each file's quizzes are built by the
# tools/CMakeLists.txt rules into ${KERBO_TEST_QUIZ_DIR}.
set(_quiz_dir ${CMAKE_BINARY_DIR}/quizzes)

file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
foreach(src IN LISTS _tests)
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "_test$" "" name ${name})
  add_executable(kerbo-wintest-${name} ${src} ${CMAKE_CURRENT_LIST_DIR}/wine_test_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gdi_object_recorder.cpp ${KERBO_RESOURCE_SCRIPT})
  target_link_libraries(kerbo-wintest-${name} PRIVATE kerbo_win32 gtest gmock gtest_main)
  target_include_directories(kerbo-wintest-${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_compile_definitions(kerbo-wintest-${name} PRIVATE
    KERBO_QUIZ_DIR="${_quiz_dir}" KERBO_TEST_DATA="${KERBO_TEST_DATA}" KERBO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(TARGET kerbo-quizzes)
    add_dependencies(kerbo-wintest-${name} kerbo-quizzes)
  endif()
  set(_run ${CMAKE_CURRENT_BINARY_DIR}/run-${name})
  file(MAKE_DIRECTORY ${_run})
  add_test(NAME win.${name} COMMAND kerbo-wintest-${name} WORKING_DIRECTORY ${_run})
  set_tests_properties(win.${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
endforeach()

file(GLOB _benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_bench.cpp)
foreach(src IN LISTS _benches)
  get_filename_component(name ${src} NAME_WE)
  string(REGEX REPLACE "_bench$" "" name ${name})
  add_executable(kerbo-winbench-${name} ${src} ${CMAKE_CURRENT_LIST_DIR}/wine_test_support.cpp ${KERBO_RESOURCE_SCRIPT})
  target_link_libraries(kerbo-winbench-${name} PRIVATE kerbo_win32 gtest)
  target_include_directories(kerbo-winbench-${name} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_compile_definitions(kerbo-winbench-${name} PRIVATE
    KERBO_QUIZ_DIR="${_quiz_dir}" KERBO_TEST_DATA="${KERBO_TEST_DATA}" KERBO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(TARGET kerbo-quizzes)
    add_dependencies(kerbo-winbench-${name} kerbo-quizzes)
  endif()
endforeach()

# End-to-end runs of real quiz executables, driven with xdotool.
file(GLOB _e2e CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.sh)
foreach(script IN LISTS _e2e)
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND bash ${script} ${CMAKE_BINARY_DIR})
  set_tests_properties(e2e.${name} PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
endforeach()

# The text width table of kerbo-pack is measured against the player's own
# controls: that test links the tool's library too.
if(TARGET kerbo-wintest-text_widths)
  target_link_libraries(kerbo-wintest-text_widths PRIVATE kerbo_tool_lib)
endif()

# GetFileVersionInfoA and VerQueryValueA.
if(TARGET kerbo-wintest-version_and_icon)
  target_link_libraries(kerbo-wintest-version_and_icon PRIVATE version)
endif()
