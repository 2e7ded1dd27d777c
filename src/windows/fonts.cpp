// SPDX-License-Identifier: MIT
#include "windows/fonts.h"

#include "platform/font_faces.h"
#include "windows/gdi_canvas.h"

namespace vorlane::windows {

namespace {

struct EmbeddedFace {
  std::string_view free;  // the free face, as font_faces.h names it
  const wchar_t* family;  // the cut face's family name
  int resource;           // its RCDATA resource
};

// Written by the build from the list of the window's fonts.
constexpr EmbeddedFace kEmbedded[] = {
#include "embedded_fonts.inc"
};

}  // namespace

std::string loadEmbeddedFonts(HINSTANCE instance) {
  for (const EmbeddedFace& face : kEmbedded) {
    const std::string name(face.free);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(face.resource),
                                MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return "the font " + name + " is missing from the program";
    DWORD count = 0;
    if (AddFontMemResourceEx(data, SizeofResource(instance, found), nullptr, &count) == nullptr ||
        count == 0) {
      return "the font " + name + " could not be loaded";
    }
  }
  return {};
}

std::wstring embeddedFamily(std::string_view designFace) {
  const std::string_view free = freeFace(designFace);
  for (const EmbeddedFace& face : kEmbedded) {
    if (face.free == free) return face.family;
  }
  return wide(free);
}

}  // namespace vorlane::windows
