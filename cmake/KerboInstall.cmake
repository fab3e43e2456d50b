# cmake --install: what an author needs, under a prefix.
#   bin/          kerbo-player.exe, kerbo-pack.exe (Windows build) and the Linux
#                 kerbo-pack (the one built for the build machine when
#                 cross-compiling, or the native build's)
#   share/kerbo/  LISEZMOI.txt, README.txt, quiz-format.txt, demos/ (the demo
#                 descriptions with their media), premier-quiz/ (a first quiz
#                 made by kerbo-pack new)
# Components, for the release bundles (tools/release.sh): common (the player
# and the share/kerbo files), windows (kerbo-pack.exe), linux (kerbo-pack).
set(KERBO_INSTALL_DATA share/kerbo)

if(WIN32)
  install(TARGETS kerbo-player RUNTIME DESTINATION bin COMPONENT common)
  install(TARGETS kerbo-pack RUNTIME DESTINATION bin COMPONENT windows)
  if(CMAKE_CROSSCOMPILING)
    install(PROGRAMS ${KERBO_HOST_PACK} DESTINATION bin COMPONENT linux)
  endif()
else()
  install(TARGETS kerbo-pack RUNTIME DESTINATION bin COMPONENT linux)
endif()

install(FILES ${CMAKE_SOURCE_DIR}/docs/LISEZMOI.txt DESTINATION ${KERBO_INSTALL_DATA} COMPONENT common)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${KERBO_INSTALL_DATA} RENAME README.txt COMPONENT common)
install(FILES ${CMAKE_SOURCE_DIR}/docs/quiz-format.md DESTINATION ${KERBO_INSTALL_DATA} RENAME quiz-format.txt
  COMPONENT common)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/demos/ DESTINATION ${KERBO_INSTALL_DATA}/demos COMPONENT common)

# The first quiz: `kerbo-pack new` writes it into the build tree (with the
# build machine's kerbo-pack), and it is installed from there.
set(KERBO_FIRST_QUIZ ${CMAKE_BINARY_DIR}/premier-quiz)
add_custom_command(OUTPUT ${KERBO_FIRST_QUIZ}/quiz.quiz
  COMMAND ${CMAKE_COMMAND} -DPACK=${KERBO_HOST_PACK} -DDIR=${KERBO_FIRST_QUIZ}
    -P ${CMAKE_SOURCE_DIR}/cmake/make-first-quiz.cmake
  DEPENDS ${KERBO_HOST_PACK_TARGET} ${KERBO_HOST_PACK} ${CMAKE_SOURCE_DIR}/cmake/make-first-quiz.cmake
  COMMENT "premier-quiz/: a first quiz made by kerbo-pack new"
  VERBATIM)
add_custom_target(kerbo-first-quiz ALL DEPENDS ${KERBO_FIRST_QUIZ}/quiz.quiz)
install(DIRECTORY ${KERBO_FIRST_QUIZ}/ DESTINATION ${KERBO_INSTALL_DATA}/premier-quiz COMPONENT common)
