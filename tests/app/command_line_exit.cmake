# Runs the program with command lines it must answer on the terminal without opening a window
# (no display is set): mistakes give a message on standard error and status 2, --help and
# --version print to standard output and end with 0.
# Run as: cmake -DPROGRAM=<parvelwebcam> -P command_line_exit.cmake
set(ENV{DISPLAY} "")
set(ENV{WAYLAND_DISPLAY} "")
set(ENV{QT_QPA_PLATFORM} "")
function(expect status out_regex err_regex)
  execute_process(COMMAND ${PROGRAM} ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
    TIMEOUT 30)
  if(NOT rc STREQUAL "${status}")
    message(FATAL_ERROR "parvelwebcam ${ARGN}: status ${rc}, expected ${status}\nstdout: ${out}\nstderr: ${err}")
  endif()
  if(NOT out MATCHES "${out_regex}" OR NOT err MATCHES "${err_regex}")
    message(FATAL_ERROR "parvelwebcam ${ARGN}:\nstdout: ${out}\nstderr: ${err}")
  endif()
endfunction()
expect(2 "^$" "bogus.*--help" --bogus)
expect(2 "^$" "--source" --source=)
expect(2 "^$" "klingon" --lang klingon)
expect(2 "^$" "test:0x0.*7680" --source test:0x0)
expect(2 "^$" "test:abc" --source test:abc)
expect(2 "^$" "Unexpected argument: extra" --lang en extra)
expect(0 "--source.*--lang.*--stats" "^$" --help)
expect(0 "ParvelWebcam [0-9]" "^$" --version)
