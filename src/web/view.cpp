// SPDX-License-Identifier: MIT
#include "web/view.h"

#include <algorithm>
#include <cmath>

#include "platform/font_faces.h"
#include "web/bridge.h"

namespace vorlane::web {

namespace {

constexpr int kSurface = 0;
constexpr int kButton = 0;
constexpr int kPanel = 1;
// Beyond this many separate dirty areas one area around them all is cheaper.
constexpr std::size_t kMaxAreas = 24;

// Twips to device pixels, edges rounded to the nearest pixel (halves up),
// as the desktop view's painter rounds the rectangles it fills.
struct Scale {
  double devicePerTwip;
  int operator()(double twips) const {
    return static_cast<int>(std::floor(twips * devicePerTwip + 0.5));
  }
  void fill(double left, double top, double width, double height, Colour colour) const {
    const Scale& px = *this;
    vl_fill(px(left), px(top), px(left + width), px(top + height), colour);
  }
};

// A rectangle: the fill, the hatch and the border, which lies inside the
// bounds as a desktop rectangle's thick border does. A border is painted
// as the whole box in its colour with the inside filled over it: the same
// pixels as four strips, in fewer calls.
void paintRectangle(const Scale& px, const Rectangle& r) {
  const double left = r.left();
  const double top = r.top();
  const double width = r.width();
  const double height = r.height();
  const double border =
      std::min({static_cast<double>(r.borderWidth()) * kTwipsPerPixel, width / 2, height / 2});
  // The inside, where the back colour and the hatch go: the whole box when
  // there is no border.
  const int x0 = px(left + border);
  const int y0 = px(top + border);
  const int x1 = px(left + width - border);
  const int y1 = px(top + height - border);
  if (border > 0) vl_fill(px(left), px(top), px(left + width), px(top + height), r.borderColor());
  vl_fill(x0, y0, x1, y1, r.backColor());
  if (r.fillStyle() != 1 && width - 2 * border > 0 && height - 2 * border > 0) {
    vl_hatch(x0, y0, x1, y1, r.fillStyle());
  }
}

void paintLabel(const Scale& px, const Label& label) {
  const Label::Look& look = label.look();
  if (!look.transparent) {
    px.fill(label.left(), label.top(), label.width(), label.height(), look.backColor);
  }
  if (label.caption().empty()) return;
  vl_text(View::cssFont(look.font).c_str(), look.foreColor, label.left() / kTwipsPerPixel,
          label.top() / kTwipsPerPixel, label.width() / kTwipsPerPixel, look.wordWrap ? 1 : 0,
          label.caption().c_str());
}

// The CSS pixels a twips rectangle covers, edges rounded to the nearest pixel.
struct PixelRect {
  int left, top, width, height;
};
PixelRect pixelRect(const RectF& twips) {
  const auto px = [](Twips v) { return static_cast<int>(std::lround(v / kTwipsPerPixel)); };
  const int left = px(twips.left);
  const int top = px(twips.top);
  return {left, top, px(twips.right()) - left, px(twips.bottom()) - top};
}

}  // namespace

View::View(Window& window) : window_(window) {
  ratio_ = vl_device_ratio();
  window_.setTextMetrics(this);
  window_.setObserver(this);
  windowChanged();
}

View::~View() {
  window_.setObserver(nullptr);
  if (window_.textMetrics() == this) window_.setTextMetrics(nullptr);
  for (const Entry& e : widgets_) vl_widget_destroy(e.id);
}

std::string View::cssFont(const Font& font) {
  std::string css;
  if (font.italic) css += "italic ";
  css += font.bold ? "bold " : "normal ";
  css += std::to_string(fontPixelSize(font.points));
  css += "px \"";
  css += freeFace(font.face);
  css += "\"";
  return css;
}

SizeF View::measure(const Font& font, const std::string& text) {
  const std::string css = cssFont(font);
  // A pixel to spare keeps the last glyph's overhang inside the label.
  const double width = std::ceil(vl_text_width(css.c_str(), text.c_str())) + 1;
  const double height = std::ceil(vl_text_height(css.c_str()));
  return {static_cast<Twips>(width) * kTwipsPerPixel, static_cast<Twips>(height) * kTwipsPerPixel};
}

View::Entry* View::find(const Control& control) {
  const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                               [&](const Entry& e) { return e.model == &control; });
  return it != widgets_.end() ? &*it : nullptr;
}

void View::keyDown(std::uint16_t keyCode, int shift) {
  if (inputHook_) inputHook_();
  window_.keyDown(keyCode, shift);
}

void View::click(int widgetId) {
  if (inputHook_) inputHook_();
  const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                               [&](const Entry& e) { return e.id == widgetId; });
  if (it == widgets_.end() || it->model->kind() != ControlKind::PushButton) return;
  if (!it->model->visible()) return;
  // The handler may unload the window, which destroys the model button and
  // changes widgets_: nothing of either is touched after this call.
  static_cast<PushButton&>(*it->model).click();
}

void View::surfaceDamaged(const RectF& area) {
  // Outwards to whole pixels and one more, for the rounding of edges when
  // the rectangles are filled.
  const Area a{static_cast<int>(std::floor(area.left / kTwipsPerPixel)) - 1,
               static_cast<int>(std::floor(area.top / kTwipsPerPixel)) - 1,
               static_cast<int>(std::ceil(area.right() / kTwipsPerPixel)) + 1,
               static_cast<int>(std::ceil(area.bottom() / kTwipsPerPixel)) + 1};
  // Areas that touch become one: a moving block's old and new places, and
  // the blocks of one piece, are painted in one pass.
  Area merged = a;
  for (bool grew = true; grew;) {
    grew = false;
    for (auto it = dirty_.begin(); it != dirty_.end(); ++it) {
      if (it->left > merged.right || merged.left > it->right || it->top > merged.bottom ||
          merged.top > it->bottom) {
        continue;
      }
      merged = {std::min(merged.left, it->left), std::min(merged.top, it->top),
                std::max(merged.right, it->right), std::max(merged.bottom, it->bottom)};
      dirty_.erase(it);
      grew = true;
      break;
    }
  }
  dirty_.push_back(merged);
  if (dirty_.size() > kMaxAreas) {
    Area all = dirty_.front();
    for (const Area& d : dirty_) {
      all = {std::min(all.left, d.left), std::min(all.top, d.top), std::max(all.right, d.right),
             std::max(all.bottom, d.bottom)};
    }
    dirty_.assign(1, all);
  }
}

void View::widgetChanged(Control& widget) {
  // A widget made by a load that has not ended yet is picked up by
  // windowChanged() once it has.
  if (Entry* e = find(widget)) {
    place(*e);
    e->dirty = true;
  }
}

void View::widgetDestroyed(Control& widget) {
  // Called from the control's destructor: the pointer is only a key here.
  const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                               [&](const Entry& e) { return e.model == &widget; });
  if (it == widgets_.end()) return;
  vl_widget_destroy(it->id);
  widgets_.erase(it);
}

void View::widgetOrderChanged() { restack(); }

void View::windowChanged() {
  // While the window loads its controls are still being made; they are
  // complete once loaded() says so.
  const bool loaded = window_.loaded();
  if (loaded) syncWidgets();
  // A load sets the design size before the window counts as loaded, and
  // then its own; the design size is never seen, so it is not passed on.
  if (loaded) {
    width_ = static_cast<int>(std::ceil(window_.clientWidth() / kTwipsPerPixel));
    height_ = static_cast<int>(std::ceil(window_.clientHeight() / kTwipsPerPixel));
  }
  vl_window(window_.caption().c_str(), window_.backColor(), width_, height_);
  dirty_.assign(1, Area{0, 0, width_, height_});
}

void View::rescale() {
  ratio_ = vl_device_ratio();
  vl_window(window_.caption().c_str(), window_.backColor(), width_, height_);
  for (Entry& e : widgets_) {
    place(e);
    e.dirty = true;
  }
  dirty_.assign(1, Area{0, 0, width_, height_});
}

void View::syncWidgets() {
  const std::vector<Control*>& models = window_.widgets();
  for (auto it = widgets_.begin(); it != widgets_.end();) {
    if (std::find(models.begin(), models.end(), it->model) == models.end()) {
      vl_widget_destroy(it->id);
      it = widgets_.erase(it);
    } else {
      ++it;
    }
  }
  for (Control* model : models) {
    Entry* e = find(*model);
    if (e == nullptr) {
      const int id = nextId_++;
      if (model->kind() == ControlKind::PushButton) {
        const auto& button = static_cast<const PushButton&>(*model);
        vl_widget_create(id, kButton, button.caption().c_str(), cssFont(button.font()).c_str(), 0);
      } else if (model->kind() == ControlKind::Panel) {
        vl_widget_create(id, kPanel, "", "", static_cast<const Panel&>(*model).backColor());
      } else {
        continue;
      }
      widgets_.push_back({model, id, true});
      e = &widgets_.back();
    }
    place(*e);
    e->dirty = true;
  }
  restack();
}

void View::place(const Entry& entry) const {
  const PixelRect r = pixelRect(entry.model->bounds());
  vl_widget_place(entry.id, r.left, r.top, r.width, r.height, entry.model->visible() ? 1 : 0);
}

void View::restack() const {
  std::vector<int> ids;
  ids.reserve(widgets_.size());
  for (const Control* model : window_.widgets()) {
    const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                                 [&](const Entry& e) { return e.model == model; });
    if (it != widgets_.end()) ids.push_back(it->id);
  }
  vl_widget_order(ids.data(), static_cast<int>(ids.size()));
}

void View::flush() {
  for (const Area& a : dirty_) paintSurface(a);
  dirty_.clear();
  for (Entry& e : widgets_) {
    if (e.dirty && e.model->kind() == ControlKind::Panel && e.model->visible()) paintPanel(e);
    if (e.model->visible()) e.dirty = false;
  }
  publishLabels();
}

void View::paintSurface(const Area& a) const {
  const int left = static_cast<int>(std::floor(a.left * ratio_));
  const int top = static_cast<int>(std::floor(a.top * ratio_));
  const int right = static_cast<int>(std::ceil(a.right * ratio_));
  const int bottom = static_cast<int>(std::ceil(a.bottom * ratio_));
  vl_begin(kSurface, left, top, right, bottom);
  vl_fill(left, top, right, bottom, window_.backColor());
  const RectF dirty{static_cast<Twips>(a.left) * kTwipsPerPixel,
                    static_cast<Twips>(a.top) * kTwipsPerPixel,
                    static_cast<Twips>(a.right - a.left) * kTwipsPerPixel,
                    static_cast<Twips>(a.bottom - a.top) * kTwipsPerPixel};
  const Scale px{ratio_ / kTwipsPerPixel};
  for (const Control* c : window_.surface()) {
    if (!c->visible() || !c->bounds().intersects(dirty)) continue;
    if (c->kind() == ControlKind::Rectangle) {
      paintRectangle(px, static_cast<const Rectangle&>(*c));
    } else if (c->kind() == ControlKind::Label) {
      paintLabel(px, static_cast<const Label&>(*c));
    }
  }
  vl_end();
}

void View::paintPanel(const Entry& entry) const {
  // A panel carries and clips its rectangles, whose coordinates are
  // relative to the panel.
  const auto& panel = static_cast<const Panel&>(*entry.model);
  const PixelRect r = pixelRect(panel.bounds());
  const int right = static_cast<int>(std::ceil(r.width * ratio_));
  const int bottom = static_cast<int>(std::ceil(r.height * ratio_));
  vl_begin(entry.id, 0, 0, right, bottom);
  vl_fill(0, 0, right, bottom, panel.backColor());
  const Scale px{ratio_ / kTwipsPerPixel};
  for (const Control* c : panel.children()) {
    if (c->kind() == ControlKind::Rectangle && c->visible()) {
      paintRectangle(px, static_cast<const Rectangle&>(*c));
    }
  }
  vl_end();
}

void View::publishLabels() {
  // The counters, in the order the window shows them, top to bottom: the
  // labels that carry a value after their colon. A caption without one
  // ("Next Piece:") names something drawn, not a count. Built into kept
  // buffers: after the first flush no tick allocates here.
  std::vector<const Label*>& counters = counters_;
  counters.clear();
  for (const Control* c : window_.surface()) {
    if (c->kind() != ControlKind::Label || !c->visible()) continue;
    const std::string& caption = static_cast<const Label&>(*c).caption();
    const std::size_t colon = caption.rfind(':');
    if (colon != std::string::npos && colon + 1 == caption.size()) continue;
    counters.push_back(static_cast<const Label*>(c));
  }
  std::sort(counters.begin(), counters.end(), [](const Label* a, const Label* b) {
    return a->top() != b->top() ? a->top() < b->top() : a->left() < b->left();
  });
  std::string& lines = nextLabels_;
  lines.clear();
  for (const Label* label : counters) {
    lines += label->name();
    lines += '\t';
    lines += label->caption();
    lines += '\n';
  }
  if (lines == labels_) return;
  labels_.swap(lines);
  vl_labels(labels_.c_str());
}

}  // namespace vorlane::web
