# Builds the probes of the module's layering (see tests/tarvel/CMakeLists.txt) and checks that
# each folder compiles with the headers of the folders below it and fails, on that include,
# with the header of a folder above or beside it. Also refuses includes by relative path,
# which would step around the folders' include directories.
# Run: cmake -DBUILD_DIR=<build tree> -DPROBES=<probe list> -DMODULE_DIR=<tarvel/> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR PROBES MODULE_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "CheckLayering: ${var} is not set")
  endif()
endforeach()

set(faults "")

# One probe a line: target|builds or target|fails|header.
file(STRINGS ${PROBES} probes)
list(LENGTH probes probe_count)
if(probe_count EQUAL 0)
  message(FATAL_ERROR "CheckLayering: no probes in ${PROBES}")
endif()
foreach(probe IN LISTS probes)
  string(REPLACE "|" ";" fields "${probe}")
  list(GET fields 0 target)
  list(GET fields 1 expected)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(expected STREQUAL "builds")
    if(NOT result EQUAL 0)
      string(APPEND faults "${target} should build and did not:\n${output}\n")
    endif()
    continue()
  endif()
  list(GET fields 2 header)
  string(REPLACE "." "\\." pattern "${header}")
  if(result EQUAL 0)
    string(APPEND faults "${target} includes ${header} and still built\n")
  elseif(NOT output MATCHES "${pattern}: No such file|'${pattern}' file not found")
    string(APPEND faults "${target} failed, but not for want of ${header}:\n${output}\n")
  else()
    message(STATUS "${target}: refused, as it should be")
  endif()
endforeach()

file(GLOB_RECURSE sources ${MODULE_DIR}/*.h ${MODULE_DIR}/*.cpp)
foreach(source IN LISTS sources)
  file(STRINGS ${source} relative REGEX "^[ \t]*#[ \t]*include[ \t]*\"\\.")
  if(relative)
    string(APPEND faults "${source} includes by relative path: ${relative}\n")
  endif()
endforeach()

if(faults)
  message(FATAL_ERROR "The module's layering does not hold:\n${faults}")
endif()
message(STATUS "${probe_count} probes behaved as the layering says")
