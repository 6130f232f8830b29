# Writes a C++ source holding every template file and icon of the module as byte arrays.
# Run at build time: cmake -DTEMPLATE_DIR=... -DICON_DIR=... -DOUTPUT=... -P EmbedResources.cmake
cmake_minimum_required(VERSION 3.25)

foreach(var TEMPLATE_DIR ICON_DIR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "EmbedResources: ${var} is not set")
  endif()
endforeach()

file(GLOB template_files ${TEMPLATE_DIR}/*.json)
file(GLOB icon_files ${ICON_DIR}/*.svg)
list(SORT template_files)
list(SORT icon_files)

# One array per file; a trailing zero keeps the bytes printable as text in a debugger.
function(append_array out_var name path)
  file(READ ${path} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  if(size EQUAL 0)
    message(FATAL_ERROR "EmbedResources: ${path} is empty")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
  set(${out_var} "${${out_var}}const unsigned char ${name}[] = {\n    ${bytes}0x00};\n" PARENT_SCOPE)
  set(${name}_size ${size} PARENT_SCOPE)
endfunction()

set(arrays "")
set(template_entries "")
set(index 0)
foreach(path IN LISTS template_files)
  get_filename_component(file_name ${path} NAME)
  append_array(arrays kTemplate${index} ${path})
  string(APPEND template_entries "    {\"${file_name}\", kTemplate${index}, ${kTemplate${index}_size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
set(template_count ${index})

set(icon_entries "")
set(index 0)
foreach(path IN LISTS icon_files)
  get_filename_component(stem ${path} NAME_WE)
  if(NOT stem MATCHES "^[0-9]+$" OR stem GREATER 65535)
    message(FATAL_ERROR "EmbedResources: icon file ${path} must be named <id>.svg with a 16-bit id")
  endif()
  append_array(arrays kIcon${index} ${path})
  string(APPEND icon_entries "    {${stem}, kIcon${index}, ${kIcon${index}_size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
set(icon_count ${index})

if(template_count EQUAL 0)
  set(template_table "const EmbeddedFile* const kTemplates = nullptr;\n")
else()
  set(template_table "const EmbeddedFile kTemplates[] = {\n${template_entries}};\n")
endif()
if(icon_count EQUAL 0)
  set(icon_table "const EmbeddedIcon* const kIcons = nullptr;\n")
else()
  set(icon_table "const EmbeddedIcon kIcons[] = {\n${icon_entries}};\n")
endif()

set(source "// Generated at build time from tarvel/resources; edits are overwritten.
#include \"resources/EmbeddedResources.h\"

namespace Tarvel {

namespace {

${arrays}
${template_table}
${icon_table}
}  // namespace

std::span<const EmbeddedFile> EmbeddedResources::GetTemplateFiles() {
  return {kTemplates, ${template_count}};
}

std::span<const EmbeddedIcon> EmbeddedResources::GetIconFiles() {
  return {kIcons, ${icon_count}};
}

}  // namespace Tarvel
")

file(WRITE ${OUTPUT} "${source}")
