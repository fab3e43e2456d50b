# cmake -DPACK=kerbo-pack -DDIR=premier-quiz -P make-first-quiz.cmake
# Makes DIR afresh with `kerbo-pack new DIR --kind picture`: a commented
# description of every key, a few questions and the media they name. A
# kerbo-pack without the new command (it answers with its usage, exit code 2)
# leaves DIR out, with a warning.
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${PACK} new ${DIR} --kind picture RESULT_VARIABLE status ERROR_VARIABLE errors)
if(status EQUAL 2 AND errors MATCHES "usage:" AND NOT errors MATCHES "kerbo-pack new")
  message(WARNING "kerbo-pack has no 'new' command: no first quiz in ${DIR}")
elseif(NOT status EQUAL 0)
  message(FATAL_ERROR "kerbo-pack new ${DIR} --kind picture failed (${status}):\n${errors}")
endif()
