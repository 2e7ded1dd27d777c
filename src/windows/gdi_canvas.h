// SPDX-License-Identifier: MIT
// Drawing the control model with GDI: the fonts of the model made once at
// each scale, caption sizes measured with them, and the view core's canvas
// over a device context (a window's, or a memory bitmap's).
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"
#include "platform/view_core.h"
#include "platform/window.h"

namespace vorlane::windows {

// UTF-8, as the model keeps its text, to the UTF-16 of Windows' W functions.
std::wstring wide(std::string_view utf8);

// A 32-bit top-down bitmap of `width` x `height` pixels that GDI draws in
// memory, its pixels at `*bits` (blue, green, red, unused); null when there
// is no memory for it.
HBITMAP makeBitmap(int width, int height, void** bits);

// The HFONT of each model font at each device pixel ratio, made once:
// painting and measuring ask for the same few fonts over and over.
class FontCache {
 public:
  FontCache() = default;
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;
  ~FontCache();

  // Valid as long as the cache. The face is the one that stands in for the
  // model's design face (font_faces.h), as the program carries it.
  HFONT get(const Font& font, double ratio);

  // Where each character of `text` ends, from its start, in the font's
  // design units at an em of kDesignEm pixels: its advances unhinted, so
  // that a caption is as wide at every size as the other views lay it out.
  static constexpr double kDesignEm = 2048;
  const std::vector<int>& extents(HDC dc, const Font& font, const std::wstring& text);

 private:
  struct Entry {
    Font key;
    double ratio;
    HFONT font;
  };
  std::deque<Entry> entries_;
  std::vector<int> extents_;  // kept, so that laying a caption out does not allocate
};

// Caption sizes in twips, measured at 96 dots per inch (a logical pixel a
// pixel) in the fonts the view draws with.
class GdiTextMetrics final : public TextMetrics {
 public:
  explicit GdiTextMetrics(FontCache& fonts);
  GdiTextMetrics(const GdiTextMetrics&) = delete;
  GdiTextMetrics& operator=(const GdiTextMetrics&) = delete;
  ~GdiTextMetrics() override;
  SizeF measure(const Font& font, const std::string& text) override;

 private:
  FontCache& fonts_;
  HDC dc_;  // a memory context kept for measuring
};

// The view core's canvas on a device context, at `ratio` device pixels per
// logical pixel. The context's clipping is left as it was after each call.
class GdiCanvas final : public Canvas {
 public:
  // Fills use the context's DC brush while the canvas lives.
  GdiCanvas(HDC dc, double ratio, FontCache& fonts);
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;
  ~GdiCanvas() override;

  void fill(const PixelBox& device, Colour colour) override;
  void hatch(const PixelBox& device, const TwipsBox& twips, int style) override;
  void text(const TextRun& run) override;

 private:
  HDC dc_;
  double ratio_;
  FontCache& fonts_;
  HGDIOBJ oldBrush_;
};

}  // namespace vorlane::windows
