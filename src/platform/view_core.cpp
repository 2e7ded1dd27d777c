// SPDX-License-Identifier: MIT
#include "platform/view_core.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/window.h"

namespace vorlane {

PixelBox PixelBox::operator&(const PixelBox& o) const {
  return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
          std::min(bottom, o.bottom)};
}

PixelBox pixelRect(const RectF& twips) {
  const auto px = [](Twips v) { return static_cast<int>(std::lround(v / kTwipsPerPixel)); };
  return {px(twips.left), px(twips.top), px(twips.right()), px(twips.bottom())};
}

PixelBox damagedPixels(const RectF& twips) {
  return {static_cast<int>(std::floor(twips.left / kTwipsPerPixel)) - 1,
          static_cast<int>(std::floor(twips.top / kTwipsPerPixel)) - 1,
          static_cast<int>(std::ceil(twips.right() / kTwipsPerPixel)) + 1,
          static_cast<int>(std::ceil(twips.bottom() / kTwipsPerPixel)) + 1};
}

PixelBox toDevice(const PixelBox& logical, double ratio) {
  return {static_cast<int>(std::floor(logical.left * ratio)),
          static_cast<int>(std::floor(logical.top * ratio)),
          static_cast<int>(std::ceil(logical.right * ratio)),
          static_cast<int>(std::ceil(logical.bottom * ratio))};
}

RectF toTwips(const PixelBox& logical) {
  return {static_cast<Twips>(logical.left) * kTwipsPerPixel,
          static_cast<Twips>(logical.top) * kTwipsPerPixel,
          static_cast<Twips>(logical.width()) * kTwipsPerPixel,
          static_cast<Twips>(logical.height()) * kTwipsPerPixel};
}

PixelBox clientPixels(const Window& window) {
  return {0, 0, static_cast<int>(std::ceil(window.clientWidth() / kTwipsPerPixel)),
          static_cast<int>(std::ceil(window.clientHeight() / kTwipsPerPixel))};
}

SizeF labelExtent(double advance, double lineHeight) {
  // A pixel to spare keeps the last glyph's overhang inside the label.
  const double width = std::ceil(advance) + 1;
  const double height = std::ceil(lineHeight);
  return {static_cast<Twips>(width) * kTwipsPerPixel, static_cast<Twips>(height) * kTwipsPerPixel};
}

int Painter::device(double twips) const {
  // Multiplied before it is divided: a ratio such as 1.25 or 1.5 times a
  // whole number of twips is exact, and so is a quotient that lies halfway.
  return static_cast<int>(std::floor(twips * ratio_ / kTwipsPerPixel + 0.5));
}

PixelBox Painter::device(const TwipsBox& twips) const {
  return {device(twips.left), device(twips.top), device(twips.right()), device(twips.bottom())};
}

void Painter::rectangle(const Rectangle& r) const {
  constexpr int kFar = std::numeric_limits<int>::max() / 2;
  rectangle(r, {-kFar, -kFar, kFar, kFar});
}

void Painter::rectangle(const Rectangle& r, const PixelBox& clip) const {
  const TwipsBox box{r.left(), r.top(), r.width(), r.height()};
  const double border = std::min(
      {static_cast<double>(r.borderWidth()) * kTwipsPerPixel, box.width / 2, box.height / 2});
  // The border is the whole box in its colour with the inside filled over
  // it: the same pixels as four strips, in fewer calls.
  const TwipsBox inside{box.left + border, box.top + border, box.width - border - border,
                        box.height - border - border};
  const PixelBox in = PixelBox{device(box.left + border), device(box.top + border),
                               device(box.right() - border), device(box.bottom() - border)} &
                      clip;
  if (border > 0) {
    if (const PixelBox all = device(box) & clip; !all.empty()) canvas_.fill(all, r.borderColor());
  }
  if (in.empty()) return;
  // Inside a border of its own colour the fill is there already.
  if (border <= 0 || r.backColor() != r.borderColor()) canvas_.fill(in, r.backColor());
  if (r.fillStyle() != 1 && inside.width > 0 && inside.height > 0) {
    canvas_.hatch(in, inside, r.fillStyle());
  }
}

void Painter::label(const Label& l) const {
  const Label::Look& look = l.look();
  if (!look.transparent) {
    const PixelBox box = device(TwipsBox{l.left(), l.top(), l.width(), l.height()});
    if (!box.empty()) canvas_.fill(box, look.backColor);
  }
  if (l.caption().empty()) return;
  const auto px = [](Twips v) { return static_cast<double>(v) / kTwipsPerPixel; };
  canvas_.text({px(l.left()), px(l.top()), px(l.width()), px(l.height()), look.font, look.foreColor,
                look.wordWrap, l.caption()});
}

void Painter::surface(const Window& window, const PixelBox& dirty) const {
  const PixelBox clip = toDevice(dirty, ratio_);
  canvas_.fill(clip, window.backColor());
  const RectF area = toTwips(dirty);
  for (const Control* c : window.surface()) {
    if (!c->visible() || !c->bounds().intersects(area)) continue;
    if (c->kind() == ControlKind::Rectangle) {
      rectangle(static_cast<const Rectangle&>(*c), clip);
    } else if (c->kind() == ControlKind::Label) {
      label(static_cast<const Label&>(*c));
    }
  }
}

bool plain(const Panel& panel) {
  const Colour colour = panel.backColor();
  return std::all_of(panel.children().begin(), panel.children().end(), [colour](const Control* c) {
    if (!c->visible()) return true;
    if (c->kind() != ControlKind::Rectangle) return false;
    const auto& r = static_cast<const Rectangle&>(*c);
    return r.backColor() == colour && r.fillStyle() == 1 &&
           (r.borderWidth() <= 0 || r.borderColor() == colour);
  });
}

void Painter::panel(const Panel& panel, const PixelBox& dirty) const {
  const PixelBox clip = toDevice(dirty, ratio_);
  canvas_.fill(clip, panel.backColor());
  if (plain(panel)) return;
  const RectF area = toTwips(dirty);
  for (const Control* c : panel.children()) {
    if (c->kind() == ControlKind::Rectangle && c->visible() && c->bounds().intersects(area)) {
      rectangle(static_cast<const Rectangle&>(*c), clip);
    }
  }
}

void Damage::add(const PixelBox& area) {
  // Areas that touch become one: a moving block's old and new places, and
  // the blocks of one piece, are painted in one pass.
  PixelBox merged = area;
  for (bool grew = true; grew;) {
    grew = false;
    for (auto it = areas_.begin(); it != areas_.end(); ++it) {
      if (it->left > merged.right || merged.left > it->right || it->top > merged.bottom ||
          merged.top > it->bottom) {
        continue;
      }
      merged = {std::min(merged.left, it->left), std::min(merged.top, it->top),
                std::max(merged.right, it->right), std::max(merged.bottom, it->bottom)};
      areas_.erase(it);
      grew = true;
      break;
    }
  }
  areas_.push_back(merged);
  if (areas_.size() > limit_) {
    PixelBox around = areas_.front();
    for (const PixelBox& a : areas_) {
      around = {std::min(around.left, a.left), std::min(around.top, a.top),
                std::max(around.right, a.right), std::max(around.bottom, a.bottom)};
    }
    areas_.assign(1, around);
  }
}

}  // namespace vorlane
