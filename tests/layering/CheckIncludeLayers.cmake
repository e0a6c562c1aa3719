# Fails when a file under src/ includes a folder that its own folder may not
# reach. Folders stand on floors; a folder includes its own files and folders
# on lower floors only, so every port sits below all of its readers and the
# core never reaches the desktop layer or the interface.
#
#   cmake -DSOURCE_DIR=<repository>/src -P CheckIncludeLayers.cmake

cmake_minimum_required(VERSION 3.25)

set(floor_1 support)
set(floor_2 accessibility workspace windowserver)
set(floor_3 catalogue silence sparks)
set(floor_4 input soundlog soundsets playback shell)
set(floor_5 engine platform/linux)
set(floor_6 ui)
set(floor_7 app)
set(floor_count 7)
# The interface reads the core through its ports, never the adapters behind them.
set(forbidden_edges "ui -> platform/linux")

foreach(floor RANGE 1 ${floor_count})
  foreach(folder IN LISTS floor_${floor})
    set("floor_of_${folder}" ${floor})
  endforeach()
endforeach()

function(folder_of path out)
  if(path MATCHES "^platform/linux/")
    set(${out} platform/linux PARENT_SCOPE)
  else()
    string(REGEX MATCH "^[^/]+" first "${path}")
    set(${out} "${first}" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(violations "")
foreach(source IN LISTS sources)
  folder_of("${source}" from)
  if(NOT DEFINED "floor_of_${from}")
    list(APPEND violations "${source}: folder ${from} stands on no floor")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include \"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    if(NOT EXISTS "${SOURCE_DIR}/${included}")
      continue() # a generated file or one beside the includer
    endif()
    folder_of("${included}" to)
    if(to STREQUAL from)
      continue()
    endif()
    if(NOT DEFINED "floor_of_${to}" OR NOT floor_of_${to} LESS floor_of_${from}
        OR "${from} -> ${to}" IN_LIST forbidden_edges)
      list(APPEND violations "${source}: ${from} may not include ${included}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n" text)
  message(FATAL_ERROR "Includes that break the floors:\n${text}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files include only their own folder and lower floors")
