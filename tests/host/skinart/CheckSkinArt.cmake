# Redraws the skin's pictures with the generator and fails when any differs
# from the committed one (someone edited a picture or the generator alone).
# Arguments: -DPYTHON=... -DSOURCE_DIR=<repo> -DOUT=<scratch dir>
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${PYTHON} ${SOURCE_DIR}/tools/skinart/skinart.py ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tools/skinart/skinart.py failed (${rc})")
endif()
foreach(picture main mask active pw menuitems hw controls)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${picture}.bmp
                          ${SOURCE_DIR}/resources/skin/${picture}.bmp RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    message(FATAL_ERROR "resources/skin/${picture}.bmp is not what tools/skinart/skinart.py draws")
  endif()
endforeach()
file(REMOVE_RECURSE ${OUT})
