cmake_minimum_required(VERSION 3.25)
# Fails when a source file under src/ includes a header of a layer above its own, or of a sibling
# layer. Run as: cmake -DSOURCE_DIR=<repo> -P cmake/CheckLayering.cmake
#
# Each entry is "path prefix=rank"; the longest prefix matching a file's path (relative to src/)
# gives its layer. A file may include headers of lower ranks and of its own prefix only.
set(layers
  "base=0"
  "strings=1"
  "lns=2"
  "lonip=2.5"                # LonTalk over LS/UDP: only the embedded backend and programs use it
  "lns/embedded=3"           # the embedded backend: only the programs and tests pick it
  "session=4"
  "params=5"
  "transfer=6"
  "calibration/devicevariants=6.5"   # the variant and record queries sit below the workflows
  "calibration/calibrationrecords=6.5"
  "calibration/devicecontext=6.5"
  "device=7"
  "monitoring=7"
  "calibration=8"
  "ui=9"
  "widgets=10"
  "host/dbus=10"
  "host=11"
  "app=12"
)
# Layers nothing else in src/ may include, whatever its rank, but the programs (and, for lonip,
# the embedded backend that links devices through it).
set(private_layers "lns/embedded" "lonip")
set(private_users "app" "lns/embedded")
# Known exceptions, each with its reason (none today).
set(exceptions "")

function(layer_of path out_prefix out_rank)
  set(best_prefix "")
  set(best_rank "")
  foreach(entry IN LISTS layers)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 prefix)
    list(GET pair 1 rank)
    string(LENGTH "${prefix}" len)
    string(LENGTH "${best_prefix}" best_len)
    if((path STREQUAL prefix OR path MATCHES "^${prefix}[/.]") AND len GREATER best_len)
      set(best_prefix "${prefix}")
      set(best_rank "${rank}")
    endif()
  endforeach()
  set(${out_prefix} "${best_prefix}" PARENT_SCOPE)
  set(${out_rank} "${best_rank}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp")
set(violations "")
foreach(source IN LISTS sources)
  layer_of("${source}" from_prefix from_rank)
  if(from_prefix STREQUAL "")
    string(APPEND violations "\n  ${source}: in no layer (add its folder to cmake/CheckLayering.cmake)")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/src/${source}" includes REGEX "^#include \"[a-z_]+/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
    layer_of("${header}" to_prefix to_rank)
    if(to_prefix STREQUAL "" OR to_prefix STREQUAL from_prefix)
      continue()
    endif()
    if("${from_prefix}->${to_prefix}" IN_LIST exceptions)
      continue()
    endif()
    set(allowed FALSE)
    string(REGEX REPLACE "/.*" "" from_top "${from_prefix}")
    string(REGEX REPLACE "/.*" "" to_top "${to_prefix}")
    if(to_rank LESS from_rank OR (to_rank EQUAL from_rank AND from_top STREQUAL to_top))
      set(allowed TRUE)
    endif()
    if(to_prefix IN_LIST private_layers AND NOT from_prefix IN_LIST private_users)
      set(allowed FALSE)
    endif()
    if(NOT allowed)
      string(APPEND violations "\n  ${source} (${from_prefix}) includes ${header} (${to_prefix})")
    endif()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Layering: a folder includes a folder above it or beside it:${violations}")
endif()
