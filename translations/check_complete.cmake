# Runs lupdate over the whole tree into a copy of the English translation and fails on any
# text that has no finished English translation (a new text, or one marked unfinished).
# Run as: cmake -DROOT=<source dir> -DWORK=<scratch dir> -DLUPDATE=<lupdate> -DPYTHON=<python3> -P check_complete.cmake
file(MAKE_DIRECTORY ${WORK})
file(COPY_FILE ${ROOT}/translations/parvelwebcam_en.ts ${WORK}/parvelwebcam_en.ts)
execute_process(COMMAND ${PYTHON} ${ROOT}/translations/collect_texts.py ${ROOT} ${WORK}/collected.cpp
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "collect_texts.py failed")
endif()
execute_process(COMMAND ${LUPDATE} -locations none -target-language en
    ${ROOT}/app ${ROOT}/ui ${ROOT}/decorations ${ROOT}/pipeline ${WORK}/collected.cpp
    -ts ${WORK}/parvelwebcam_en.ts
  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lupdate failed")
endif()
file(READ ${WORK}/parvelwebcam_en.ts ts)
string(REGEX MATCHALL "<source>[^<]*</source>[ \n]*<translation type=\"unfinished\">" open "${ts}")
list(LENGTH open count)
if(count GREATER 0)
  string(REPLACE ";" "\n" report "${open}")
  message(FATAL_ERROR "${count} texts without an English translation (run the parvel_lupdate target, then translate them in translations/parvelwebcam_en.ts):\n${report}")
endif()
