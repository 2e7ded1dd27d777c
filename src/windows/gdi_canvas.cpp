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

}  // namespace

std::wstring wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

HBITMAP makeBitmap(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
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

const std::vector<int>& FontCache::extents(HDC dc, const Font& font, const std::wstring& text) {
  // The same font at an em of kDesignEm pixels (a size no caption has).
  Font design = font;
  design.points = static_cast<float>(kDesignEm * 3 / 4);
  const HGDIOBJ old = SelectObject(dc, get(design, 1.0));
  extents_.assign(text.size(), 0);
  SIZE size{};
  int fit = 0;
  GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(text.size()), 0, &fit, extents_.data(),
                        &size);
  SelectObject(dc, old);
  return extents_;
}

GdiTextMetrics::GdiTextMetrics(FontCache& fonts) : fonts_(fonts), dc_(CreateCompatibleDC(nullptr)) {
  if (dc_ == nullptr) throw std::runtime_error("no device context for measuring text");
}

GdiTextMetrics::~GdiTextMetrics() { DeleteDC(dc_); }

SizeF GdiTextMetrics::measure(const Font& font, const std::string& text) {
  const std::wstring w = wide(text);
  const std::vector<int>& ends = fonts_.extents(dc_, font, w);
  const double advance =
      ends.empty() ? 0 : ends.back() * fontPixelSize(font.points) / FontCache::kDesignEm;
  const HGDIOBJ old = SelectObject(dc_, fonts_.get(font, 1.0));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  SelectObject(dc_, old);
  // A pixel to spare keeps the last glyph's overhang inside the label.
  const auto width = static_cast<Twips>(std::ceil(advance) + 1);
  const auto height = static_cast<Twips>(tm.tmHeight);
  return {width * kTwipsPerPixel, height * kTwipsPerPixel};
}

GdiCanvas::GdiCanvas(HDC dc, double ratio, FontCache& fonts)
    : dc_(dc),
      ratio_(ratio),
      fonts_(fonts),
      oldBrush_(SelectObject(dc, GetStockObject(DC_BRUSH))) {}

GdiCanvas::~GdiCanvas() { SelectObject(dc_, oldBrush_); }

void GdiCanvas::fill(const PixelBox& device, Colour colour) {
  // Colour keeps red in its low byte, as a COLORREF does.
  // PatBlt is GDI's own: a program that only draws needs no user32.
  SetDCBrushColor(dc_, colour);
  PatBlt(dc_, device.left, device.top, device.width(), device.height(), PATCOPY);
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
    // Lines x - y = c, then x + y = c, across the whole area's height: the
    // pixels whose centres lie on them, so x + y = c - 1 for whole pixels.
    for (double c = firstAbove(a.left - a.bottom()); c < a.right() - a.top; c += kHatchSpacing) {
      const int d = dev(c);
      MoveToEx(dc_, top + d, top, nullptr);
      LineTo(dc_, bottom + d, bottom);
    }
    for (double c = firstAbove(a.left + a.top); c < a.right() + a.bottom(); c += kHatchSpacing) {
      const int d = dev(c) - 1;
      MoveToEx(dc_, d - top, top, nullptr);
      LineTo(dc_, d - bottom, bottom);
    }
  }
  RestoreDC(dc_, saved);
}

void GdiCanvas::text(const TextRun& run) {
  const std::wstring w = wide(run.text);
  if (w.empty()) return;
  const auto dev = [this](double logical) {
    return static_cast<int>(std::floor(logical * ratio_ + 0.5));
  };
  const RECT box{dev(run.left), dev(run.top), dev(run.left + run.width), dev(run.top + run.height)};
  // Each glyph goes where its unhinted advances put it, at this size: the
  // caption takes the width it was measured at.
  const std::vector<int>& ends = fonts_.extents(dc_, run.font, w);
  const double scale = fontPixelSize(run.font.points) * ratio_ / FontCache::kDesignEm;
  const auto at = [&](std::size_t i) {  // where character i starts, from the text's start
    return i == 0 ? 0.0 : ends[i - 1] * scale;
  };
  const HGDIOBJ old = SelectObject(dc_, fonts_.get(run.font, ratio_));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  SetTextColor(dc_, run.colour);
  SetBkMode(dc_, TRANSPARENT);
  SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  // Lines break at the last space that keeps them inside the box's width,
  // and a word too long for a line has one of its own.
  const double width = (box.right - box.left);
  int y = box.top + tm.tmExternalLeading;
  std::vector<INT> dx;
  for (std::size_t start = 0; start < w.size();) {
    std::size_t end = w.size();
    if (run.wrap) {
      std::size_t lastBreak = std::wstring::npos;
      for (std::size_t i = start; i < w.size(); ++i) {
        if (w[i] == L' ') lastBreak = i;
        if (at(i + 1) - at(start) > width && lastBreak != std::wstring::npos && lastBreak > start) {
          end = lastBreak;
          break;
        }
      }
    }
    dx.clear();
    for (std::size_t i = start; i < end; ++i) {
      dx.push_back(
          static_cast<INT>(std::lround(at(i + 1) - at(start)) - std::lround(at(i) - at(start))));
    }
    ExtTextOutW(dc_, box.left, y, ETO_CLIPPED, &box, w.c_str() + start,
                static_cast<UINT>(end - start), dx.data());
    y += tm.tmHeight + tm.tmExternalLeading;
    start = end;
    while (start < w.size() && w[start] == L' ') ++start;
  }
  SelectObject(dc_, old);
}

}  // namespace vorlane::windows
