# Fails when a file includes a header of a module its own module may not
# include, or an outside header its module may not use.
# Run as: cmake -DROOT=<source tree> -P check_layering.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "ROOT not set")
endif()

# The allowed edges, one row per module: its directory | the modules it may
# include besides itself ("*" any, "-" none) | the outside headers it may
# include: std (the standard library: no directory, no extension), os (also
# the system's, but no toolkit or test framework), wx (also wxWidgets), any.
# The direction follows the design: platform <- ch10; platform <- quillon <-
# tessin <- sandral; ch10 <- tessin, sandral, vexa/engine; tessin, quillon <-
# vexa/engine <- vexa/ui. The wx back end is reached only by the window
# module built from its own directory (and by its tests). The tools may use
# the shared fixture builders of tests/support, nothing else of the tests.
# An include that names no header of the tree counts as a module of its own,
# which only the "*" rows may include.
set(modules
  "ch10|platform|std"
  "platform|-|os"
  "platform/ui|platform|os"
  "platform/ui/wx|platform/ui platform|wx"
  "quillon|platform|os"
  "tessin|quillon ch10 platform|os"
  "sandral|tessin quillon ch10 platform|os"
  "vexa/engine|tessin quillon ch10 platform|os"
  "vexa/res|platform/ui platform|os"
  "vexa/ui|vexa/engine vexa/res platform/ui tessin quillon ch10 platform|os"
  "tools|tests/support sandral tessin quillon ch10 platform|os"
  "tests/support|*|any"
  "tests|*|any"
  "bench|*|any")
set(third_party "^(wx|gtest|gmock|benchmark)/")

set(module_names "")
foreach(row IN LISTS modules)
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 may)
  string(REPLACE " " ";" may_${name} "${may}")
  list(GET fields 2 outside_${name})
  list(APPEND module_names "${name}")
endforeach()

# module_of(path out): the module whose directory is the longest prefix of path.
function(module_of path out)
  set(best "")
  set(best_length 0)
  foreach(name IN LISTS module_names)
    string(LENGTH "${name}" length)
    if((path STREQUAL name OR path MATCHES "^${name}/") AND length GREATER best_length)
      set(best "${name}")
      set(best_length ${length})
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

# Every file of the modules; the planted bad trees of this test are no part
# of the tree they lie in.
set(files "")
foreach(name IN LISTS module_names)
  file(GLOB_RECURSE found RELATIVE ${ROOT}
       ${ROOT}/${name}/*.h ${ROOT}/${name}/*.cpp ${ROOT}/${name}/*.c ${ROOT}/${name}/*.def)
  list(APPEND files ${found})
endforeach()
list(REMOVE_DUPLICATES files)
list(FILTER files EXCLUDE REGEX "^tests/layering/bad/")

# Each header answers to every tail of its path, so that "ch10/packet_view.h"
# and a bare "tessin.h" find the file whichever include directory serves them.
foreach(f IN LISTS files)
  if(NOT f MATCHES "\\.(h|def)$")
    continue()
  endif()
  module_of(${f} owner)
  set(tail ${f})
  while(TRUE)
    list(APPEND owners_${tail} "${owner}")
    if(NOT tail MATCHES "^[^/]*/(.*)$")
      break()
    endif()
    set(tail ${CMAKE_MATCH_1})
  endwhile()
endforeach()

# included_modules(file path out): the modules the quoted include may name: the
# file beside the includer, else every header of that path, else the module
# the path names by its directory. Empty when the tree has no such header.
function(included_modules file path out)
  get_filename_component(dir ${file} DIRECTORY)
  cmake_path(APPEND dir ${path} OUTPUT_VARIABLE beside)
  cmake_path(NORMAL_PATH beside)
  if(EXISTS ${ROOT}/${beside} AND NOT beside MATCHES "^\\.\\./")
    module_of(${beside} owner)
    set(${out} "${owner}" PARENT_SCOPE)
  elseif(DEFINED owners_${path})
    set(${out} "${owners_${path}}" PARENT_SCOPE)
  elseif(path MATCHES "/")
    module_of(${path} owner)
    set(${out} "${owner}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# outside_allowed(kind header out): whether a module of that kind may include <header>.
function(outside_allowed kind header out)
  set(ok FALSE)
  if(kind STREQUAL "any")
    set(ok TRUE)
  elseif(kind STREQUAL "std")
    if(NOT header MATCHES "[./]")
      set(ok TRUE)
    endif()
  elseif(NOT header MATCHES "${third_party}")
    set(ok TRUE)
  elseif(kind STREQUAL "wx" AND header MATCHES "^wx/")
    set(ok TRUE)
  endif()
  set(${out} ${ok} PARENT_SCOPE)
endfunction()

set(faults "")
foreach(f IN LISTS files)
  module_of(${f} module)
  set(may ${module} ${may_${module}})
  file(STRINGS ${ROOT}/${f} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    string(REGEX MATCH "(\"[^\"]*\"|<[^>]*>)" target "${line}")
    if(target MATCHES "^<(.*)>$")
      outside_allowed(${outside_${module}} "${CMAKE_MATCH_1}" ok)
      if(NOT ok)
        list(APPEND faults "${f}: ${module} includes ${target}")
      endif()
    elseif(target MATCHES "^\"(.*)\"$" AND NOT "*" IN_LIST may)
      set(path ${CMAKE_MATCH_1})
      included_modules(${f} ${path} owners)
      set(ok FALSE)
      foreach(owner IN LISTS owners)
        if(owner IN_LIST may)
          set(ok TRUE)
        endif()
      endforeach()
      if(NOT ok)
        if(NOT owners)
          set(owners "no module of the tree")
        endif()
        list(JOIN owners ", " owners)
        list(APPEND faults "${f}: ${module} includes ${path} of ${owners}")
      endif()
    endif()
  endforeach()
endforeach()

if(faults)
  foreach(fault IN LISTS faults)
    message(NOTICE "${fault}")
  endforeach()
  message(FATAL_ERROR "Layering broken")
endif()
message(STATUS "Layering holds")
