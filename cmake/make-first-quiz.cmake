# cmake -DPACK=kerbo-pack -DDIR=premier-quiz -P make-first-quiz.cmake
# Makes DIR afresh with `kerbo-pack new DIR --kind picture`: a commented
# description of every key, a few questions and the media they name.
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${PACK} new ${DIR} --kind picture RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kerbo-pack new ${DIR} --kind picture failed (${status})")
endif()
