# The art's contact sheet: every image of the resource list, as
# config-resources reads the list, in one picture made by montage. Run by
# the art_contact_sheet target:
#   cmake -DCONFIG_RESOURCES=PATH -DCONFIG=FILE -DIMAGES=DIR -DOUT=FILE -P ContactSheet.cmake
execute_process(COMMAND ${CONFIG_RESOURCES} ${CONFIG} OUTPUT_VARIABLE listed OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CONFIG}: the resource list does not read")
endif()
string(REPLACE "\n" ";" resources "${listed}")
set(images)
foreach(resource IN LISTS resources)
  string(JSON kind GET "${resource}" kind)
  if(kind STREQUAL "Texture")
    string(JSON path GET "${resource}" paths 0)
    get_filename_component(file "${path}" NAME)
    list(APPEND images ${IMAGES}/${file})
  endif()
endforeach()
execute_process(
  COMMAND montage -label %t -font DejaVu-Sans -pointsize 14 -background gray70 -tile 10x
          -geometry 176x176>+4+4 ${images} ${OUT}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OUT}: montage could not make the contact sheet")
endif()
message(STATUS "Contact sheet: ${OUT}")
