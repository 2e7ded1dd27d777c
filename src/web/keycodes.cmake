# SPDX-License-Identifier: MIT
# Writes the page's key table from the one C++ table of virtual-key codes:
#   cmake -DKEYS_HEADER=src/platform/keys.h -DOUTPUT=keycodes.js -P keycodes.cmake
# Codes (std::uint16_t) become vk.Name, shift state bits (int) bits.Name.
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
file(WRITE ${OUTPUT}.tmp "// Written from src/platform/keys.h when the page is built.\n"
  "export const vk = Object.freeze({\n${vk}});\n"
  "export const bits = Object.freeze({\n${bits}});\n")
# Unchanged output keeps its time stamp, so nothing downstream rebuilds.
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
