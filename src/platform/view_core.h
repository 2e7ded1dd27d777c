// SPDX-License-Identifier: MIT
// What a view of the control model draws, and how, whatever it draws on:
// twips rounded to pixels, rectangles (fill, hatch, border), labels, the
// window's surface in z-order, panels and their rectangles, and the damage
// a view gathers between repaints. Each front end implements Canvas on its
// own device; the rules live here once, so both pictures come out alike.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/types.h"

namespace vorlane {

class Window;

// Whole pixels, [left, right) x [top, bottom): logical pixels (15 twips
// each: the desktop's device-independent pixels, the page's CSS pixels) or
// device pixels, as each use says.
struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  // The part of this box inside `o`, empty when they do not overlap.
  PixelBox operator&(const PixelBox& o) const;
  bool operator==(const PixelBox&) const = default;
};

// A twips area in double precision, as the rules compute it before rounding.
struct TwipsBox {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;

  double right() const { return left + width; }
  double bottom() const { return top + height; }
};

// A label's caption and where it goes: the label's box in logical pixels.
struct TextRun {
  double left;
  double top;
  double width;
  double height;
  const Font& font;
  Colour colour;
  bool wrap;  // wrapped at spaces inside the box's width
  const std::string& text;
};

// The device a view draws on, already cut to the area being repainted.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void fill(const PixelBox& device, Colour colour) = 0;
  // FillStyle 6 (horizontal and vertical lines) or 7 (both diagonals) in
  // black over `device`, lines one device pixel wide and eight logical
  // pixels apart, anchored to the target's origin so that neighbouring
  // rectangles continue each other's pattern. Nothing outside `device`
  // changes. `twips` is the same area unrounded, for a device that draws
  // its lines through a transform of its own.
  virtual void hatch(const PixelBox& device, const TwipsBox& twips, int style) = 0;
  // From the box's top left, with the font's leading above each line.
  virtual void text(const TextRun& run) = 0;
};

// The logical pixels a twips rectangle covers, each edge rounded to the
// nearest pixel: where a widget goes.
PixelBox pixelRect(const RectF& twips);
// What to repaint when a twips area changed: outwards to whole logical
// pixels and one more, for the rounding of edges when rectangles are filled.
PixelBox damagedPixels(const RectF& twips);
// The device pixels that cover a logical area, outwards.
PixelBox toDevice(const PixelBox& logical, double ratio);
RectF toTwips(const PixelBox& logical);

// The window's client area in whole logical pixels, from its corner.
PixelBox clientPixels(const Window& window);

// A self-sizing label's extent, from its caption's advance and line height
// as a front end's fonts measure them in logical pixels.
SizeF labelExtent(double advance, double lineHeight);

// True when every pixel of `panel` is the panel's own colour: each visible
// child is a rectangle of that colour, unhatched, with no border of
// another. Such a panel (the curtain's halves) is drawn by its fill alone.
bool plain(const Panel& panel);

// Draws controls on a canvas at `ratio` device pixels per logical pixel.
// Every edge is rounded on its own, to the nearest device pixel (halves
// up), so that neighbours meet without gaps or overlaps.
class Painter {
 public:
  Painter(Canvas& canvas, double ratio) : canvas_(canvas), ratio_(ratio) {}

  // A twips coordinate as a device pixel edge.
  int device(double twips) const;
  PixelBox device(const TwipsBox& twips) const;

  // The fill, the hatch and the border, which lies inside the bounds (as a
  // desktop rectangle's thick border does), at most half the size.
  void rectangle(const Rectangle& r) const;
  // The back colour unless transparent, then the caption.
  void label(const Label& l) const;
  // The window's surface over `dirty` (logical pixels): the background,
  // then the visible rectangles and labels that reach into it, back to front.
  void surface(const Window& window, const PixelBox& dirty) const;
  // A panel over `dirty` (logical pixels from the panel's corner): its
  // colour, then its visible rectangles, placed from its corner too and cut
  // to `dirty`.
  void panel(const Panel& panel, const PixelBox& dirty) const;

 private:
  // Rectangles drawn on a surface or a panel are cut to the area being
  // painted: what lies outside is never handed to the canvas.
  void rectangle(const Rectangle& r, const PixelBox& clip) const;

  Canvas& canvas_;
  double ratio_;
};

// The surface damaged since the last repaint, as at most `limit` areas of
// logical pixels. An area that touches another joins it; beyond the limit
// one area around them all takes their place.
class Damage {
 public:
  explicit Damage(std::size_t limit) : limit_(limit) { areas_.reserve(limit + 1); }

  void add(const PixelBox& area);
  // Everything, which replaces whatever was gathered.
  void all(const PixelBox& area) { areas_.assign(1, area); }
  void clear() { areas_.clear(); }
  bool empty() const { return areas_.empty(); }
  const std::vector<PixelBox>& areas() const { return areas_; }

 private:
  std::size_t limit_;
  std::vector<PixelBox> areas_;
};

}  // namespace vorlane
