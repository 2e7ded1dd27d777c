// SPDX-License-Identifier: MIT
#include "windows/gdi_canvas.h"

#include <cmath>
#include <stdexcept>

#include "platform/font_faces.h"
#include "windows/fonts.h"

namespace vorlane::windows {

namespace {

// Hatch lines lie 8 logical pixels apart, as in the classic 8 x 8 brush
// patterns, anchored to the target's origin.
constexpr double kHatchSpacing = 8 * kTwipsPerPixel;

bool sameFont(const Font& a, const Font& b) {
  return a.points == b.points && a.bold == b.bold && a.italic == b.italic && a.face == b.face;
}

RECT toRect(const PixelBox& b) { return {b.left, b.top, b.right, b.bottom}; }

}  // namespace

std::wstring wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

FontCache::~FontCache() {
  for (const Entry& e : entries_) DeleteObject(e.font);
}

HFONT FontCache::get(const Font& font, double ratio) {
  for (const Entry& e : entries_) {
    if (e.ratio == ratio && sameFont(e.key, font)) return e.font;
  }
  LOGFONTW lf{};
  // A negative height is the em size, as a pixel size is elsewhere.
  lf.lfHeight = -static_cast<LONG>(std::lround(fontPixelSize(font.points) * ratio));
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfQuality = ANTIALIASED_QUALITY;
  const std::wstring face = embeddedFamily(font.face);
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  HFONT h = CreateFontIndirectW(&lf);
  if (h == nullptr) throw std::runtime_error("a font could not be made");
  entries_.push_back({font, ratio, h});
  return h;
}

GdiTextMetrics::GdiTextMetrics(FontCache& fonts) : fonts_(fonts), dc_(CreateCompatibleDC(nullptr)) {
  if (dc_ == nullptr) throw std::runtime_error("no device context for measuring text");
}

GdiTextMetrics::~GdiTextMetrics() { DeleteDC(dc_); }

SizeF GdiTextMetrics::measure(const Font& font, const std::string& text) {
  const HGDIOBJ old = SelectObject(dc_, fonts_.get(font, 1.0));
  const std::wstring w = wide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &size);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  SelectObject(dc_, old);
  // A pixel to spare keeps the last glyph's overhang inside the label.
  const auto width = static_cast<Twips>(size.cx + 1);
  const auto height = static_cast<Twips>(tm.tmHeight);
  return {width * kTwipsPerPixel, height * kTwipsPerPixel};
}

void GdiCanvas::fill(const PixelBox& device, Colour colour) {
  // Colour keeps red in its low byte, as a COLORREF does.
  SetDCBrushColor(dc_, colour);
  const RECT r = toRect(device);
  FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::hatch(const PixelBox& device, const TwipsBox& a, int style) {
  // The lines are drawn long and cut to the area's device pixels by the
  // clip; each twips position maps to the device pixel it rounds to.
  const int saved = SaveDC(dc_);
  IntersectClipRect(dc_, device.left, device.top, device.right, device.bottom);
  SelectObject(dc_, GetStockObject(DC_PEN));
  SetDCPenColor(dc_, RGB(0, 0, 0));
  const auto dev = [this](double twips) {
    return static_cast<int>(std::floor(twips * ratio_ / kTwipsPerPixel + 0.5));
  };
  const auto firstAbove = [](double v) { return std::ceil(v / kHatchSpacing) * kHatchSpacing; };
  const int top = device.top - 1;
  const int bottom = device.bottom + 1;
  if (style == 6) {
    for (double x = firstAbove(a.left); x < a.right(); x += kHatchSpacing) {
      MoveToEx(dc_, dev(x), top, nullptr);
      LineTo(dc_, dev(x), bottom);
    }
    for (double y = firstAbove(a.top); y < a.bottom(); y += kHatchSpacing) {
      MoveToEx(dc_, device.left - 1, dev(y), nullptr);
      LineTo(dc_, device.right + 1, dev(y));
    }
  } else if (style == 7) {
    // Lines x - y = c, then x + y = c, across the whole area's height.
    for (double c = firstAbove(a.left - a.bottom()); c < a.right() - a.top; c += kHatchSpacing) {
      const int d = dev(c);
      MoveToEx(dc_, top + d, top, nullptr);
      LineTo(dc_, bottom + d, bottom);
    }
    for (double c = firstAbove(a.left + a.top); c < a.right() + a.bottom(); c += kHatchSpacing) {
      const int d = dev(c);
      MoveToEx(dc_, d - top, top, nullptr);
      LineTo(dc_, d - bottom, bottom);
    }
  }
  RestoreDC(dc_, saved);
}

void GdiCanvas::text(const TextRun& run) {
  const std::wstring w = wide(run.text);
  const auto dev = [this](double logical) {
    return static_cast<LONG>(std::floor(logical * ratio_ + 0.5));
  };
  RECT r{dev(run.left), dev(run.top), dev(run.left + run.width), dev(run.top + run.height)};
  const HGDIOBJ old = SelectObject(dc_, fonts_.get(run.font, ratio_));
  SetTextColor(dc_, run.colour);
  SetBkMode(dc_, TRANSPARENT);
  UINT flags = DT_LEFT | DT_TOP | DT_NOPREFIX;
  flags |= run.wrap ? DT_WORDBREAK : DT_SINGLELINE;
  DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &r, flags);
  SelectObject(dc_, old);
}

}  // namespace vorlane::windows
