# SPDX-License-Identifier: MIT
# Writes the page's key table from the one C++ table of virtual-key codes,
# and the twip's size from the C++ type of lengths:
#   cmake -DKEYS_HEADER=src/platform/keys.h -DTYPES_HEADER=src/platform/types.h
#         -DOUTPUT=keycodes.js -P keycodes.cmake
# Codes (std::uint16_t) become vk.Name, shift state bits (int) bits.Name,
# kTwipsPerPixel twipsPerPixel.
file(STRINGS ${KEYS_HEADER} lines
  REGEX "^inline constexpr (std::uint16_t|int) k[A-Za-z0-9]+ = [0-9]+;")
set(vk "")
set(bits "")
foreach(line IN LISTS lines)
  string(REGEX MATCH "^inline constexpr ([a-z:0-9_]+) k([A-Za-z0-9]+) = ([0-9]+);" _ "${line}")
  if(CMAKE_MATCH_1 STREQUAL "int")
    string(APPEND bits "  ${CMAKE_MATCH_2}: ${CMAKE_MATCH_3},\n")
  else()
    string(APPEND vk "  ${CMAKE_MATCH_2}: ${CMAKE_MATCH_3},\n")
  endif()
endforeach()
file(STRINGS ${TYPES_HEADER} twips REGEX "^inline constexpr Twips kTwipsPerPixel = [0-9.]+F?;")
string(REGEX MATCH " = ([0-9]+)(\\.0*)?F?[^0-9.]" twips "${twips}")
set(twips "${CMAKE_MATCH_1}")
if(NOT twips MATCHES "^[0-9]+$")
  message(FATAL_ERROR "${TYPES_HEADER} has no whole kTwipsPerPixel")
endif()
file(WRITE ${OUTPUT}.tmp "// Written from src/platform/keys.h and types.h when the page is built.\n"
  "export const vk = Object.freeze({\n${vk}});\n"
  "export const bits = Object.freeze({\n${bits}});\n"
  "export const twipsPerPixel = ${twips};\n")
# Unchanged output keeps its time stamp, so nothing downstream rebuilds.
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
