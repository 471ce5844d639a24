# Runs the chart frame program: with the fonts of the machine it must draw
# exactly the committed pictures (at ratio 1 and at ratio 2); with no fonts at
# all it must stop with an error and write nothing. Arguments: PROGRAM,
# COMMITTED, COMMITTED2X, WORK.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/cache)
set(ENV{QT_QPA_PLATFORM} offscreen)

foreach(ratio 1 2)
  if(ratio EQUAL 1)
    set(committed ${COMMITTED})
  else()
    set(committed ${COMMITTED2X})
  endif()
  execute_process(COMMAND ${PROGRAM} ${WORK}/drawn${ratio}.png ${ratio} RESULT_VARIABLE drawnResult)
  if(NOT drawnResult EQUAL 0)
    message(FATAL_ERROR "chartframe failed at ratio ${ratio} with the machine's fonts: ${drawnResult}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/drawn${ratio}.png ${committed}
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "chartframe drew a picture other than ${committed}")
  endif()
endforeach()

# A font configuration that knows no fonts.
file(WRITE ${WORK}/fonts.conf "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>${WORK}/cache</cachedir></fontconfig>\n")
set(ENV{FONTCONFIG_FILE} ${WORK}/fonts.conf)
execute_process(COMMAND ${PROGRAM} ${WORK}/nofont.png RESULT_VARIABLE noFontResult ERROR_VARIABLE noFontError)
if(noFontResult EQUAL 0)
  message(FATAL_ERROR "chartframe drew a picture without its font")
endif()
if(EXISTS ${WORK}/nofont.png)
  message(FATAL_ERROR "chartframe wrote a picture without its font")
endif()
if(NOT noFontError MATCHES "chartframe: the font \"DejaVu Sans\" \\(regular and oblique\\) is not installed")
  message(FATAL_ERROR "chartframe said: ${noFontError}")
endif()
