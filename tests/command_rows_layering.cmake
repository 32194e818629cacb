# Checks that the command rows (app/commands) include no widget header: handlers reach the window
# through its port, the picture through the session.
# Run as: cmake -DROOT=<source dir> -P command_rows_layering.cmake
set(failures "")
# The command rows see the window only through the port: no header of a widget of ours (every
# class whose header declares it a QWidget, QMainWindow, QDialog or QFrame subclass) and no Qt
# widget header.
file(GLOB_RECURSE all_headers ${ROOT}/app/*.h ${ROOT}/pipeline/*.h ${ROOT}/decorations/*.h ${ROOT}/ui/*.h)
set(widget_headers "")
foreach(header ${all_headers})
  file(STRINGS ${header} declarations REGEX "^class [A-Za-z]+ (final )?: public (QWidget|QMainWindow|QDialog|QFrame|QLabel|QMenu|QAbstractButton|QToolButton)")
  if(declarations)
    file(RELATIVE_PATH rel ${ROOT} ${header})
    list(APPEND widget_headers "${rel}")
  endif()
endforeach()
file(GLOB command_sources ${ROOT}/app/commands/*.h ${ROOT}/app/commands/*.cpp)
foreach(src ${command_sources})
  file(STRINGS ${src} lines REGEX "^#include")
  foreach(line ${lines})
    if(line MATCHES "^#include \"([^\"]+)\"")
      list(FIND widget_headers "${CMAKE_MATCH_1}" found)
      if(NOT found EQUAL -1)
        list(APPEND failures "${src}: ${line} (a widget header in the command rows)")
      endif()
    endif()
    if(line MATCHES "^#include <(QWidget|QMainWindow|QDialog|QStatusBar|QMenu|QMdiArea|QSplitter|QLabel|QPushButton)>")
      list(APPEND failures "${src}: ${line} (a widget header in the command rows)")
    endif()
  endforeach()
endforeach()

if(failures)
  string(REPLACE ";" "\n" report "${failures}")
  message(FATAL_ERROR "Widget headers in the command rows:\n${report}")
endif()
