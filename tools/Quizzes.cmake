# The quiz executables of the Windows build, packed by kerbo-pack (the one
# built for the build machine, KERBO_HOST_PACK) from kerbo-player.exe:
#  - the demo quizzes resources/demos/NAME.quiz -> demos/NAME.exe, and
#    kerbo.exe, the picture demo;
#  - the test quizzes tests/data/quizzes/NAME.quiz -> quizzes/NAME.exe (a
#    NAME ending in -scrambled is packed with --scramble), and
#    quizzes/no-package.exe, the player as built, without any quiz resource.
# All of them belong to the target kerbo-quizzes, which the Windows tests
# depend on.

# The resource script pulls in the icons, the cursor and the version block, which its compile
# rule does not track by itself.
set_source_files_properties(${KERBO_RESOURCE_SCRIPT} DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/kerbo.ico;${CMAKE_SOURCE_DIR}/resources/version_info.rc;${CMAKE_SOURCE_DIR}/resources/play.ico;${CMAKE_SOURCE_DIR}/resources/stop.ico;${CMAKE_SOURCE_DIR}/resources/hand.cur")

set(_player $<TARGET_FILE:kerbo-player>)
set(_packed "")

# Packs DESCRIPTION into OUTPUT; every file beside or below the description
# counts as a dependency (its pictures and clips).
function(kerbo_pack_quiz description output)
  get_filename_component(dir ${description} DIRECTORY)
  file(GLOB_RECURSE media CONFIGURE_DEPENDS ${dir}/media/*)
  get_filename_component(name ${description} NAME_WE)
  set(options "")
  if(name MATCHES "-scrambled$")
    set(options --scramble)
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${KERBO_HOST_PACK} build ${description} -o ${output} --player ${_player} ${options}
    DEPENDS ${description} ${media} kerbo-player ${KERBO_HOST_PACK_TARGET} ${KERBO_HOST_PACK}
    COMMENT "Packing ${output}"
    VERBATIM)
  set(_packed ${_packed} ${output} PARENT_SCOPE)
endfunction()

file(GLOB _demos CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/demos/*.quiz)
foreach(description IN LISTS _demos)
  get_filename_component(name ${description} NAME_WE)
  kerbo_pack_quiz(${description} ${CMAKE_BINARY_DIR}/demos/${name}.exe)
endforeach()

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/kerbo.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/demos/picture.exe ${CMAKE_BINARY_DIR}/kerbo.exe
  DEPENDS ${CMAKE_BINARY_DIR}/demos/picture.exe
  COMMENT "kerbo.exe: the picture demo"
  VERBATIM)
list(APPEND _packed ${CMAKE_BINARY_DIR}/kerbo.exe)

file(GLOB _test_quizzes CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/data/quizzes/*.quiz)
foreach(description IN LISTS _test_quizzes)
  get_filename_component(name ${description} NAME_WE)
  kerbo_pack_quiz(${description} ${CMAKE_BINARY_DIR}/quizzes/${name}.exe)
endforeach()

add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/quizzes/no-package.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${_player} ${CMAKE_BINARY_DIR}/quizzes/no-package.exe
  DEPENDS kerbo-player
  COMMENT "quizzes/no-package.exe: the player without a quiz"
  VERBATIM)
list(APPEND _packed ${CMAKE_BINARY_DIR}/quizzes/no-package.exe)

add_custom_target(kerbo-quizzes ALL DEPENDS ${_packed})
