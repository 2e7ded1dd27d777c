// SPDX-License-Identifier: MIT
// The faces the program carries as resources: the free faces of the
// other front ends, cut to the window's glyphs and renamed. They are loaded
// for this process alone: nothing is installed.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vorlane::windows {

// Loads every embedded face. Returns what failed, or an empty string.
std::string loadEmbeddedFonts(HINSTANCE instance);

// The family GDI knows the face drawn for a design face by: the embedded
// face's name, or the free face's own when none is embedded.
std::wstring embeddedFamily(std::string_view designFace);

}  // namespace vorlane::windows
