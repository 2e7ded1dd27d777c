// SPDX-License-Identifier: MIT
#include "web/view.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/font_faces.h"
#include "platform/view_core.h"
#include "web/bridge.h"

namespace vorlane::web {

namespace {

// Beyond this many separate dirty areas one area around them all is cheaper.
constexpr std::size_t kMaxAreas = 24;

// Hands the drawing written so far to the page.
void draw(std::vector<std::int32_t>& ops) {
  if (ops.empty()) return;
  vl_draw(ops.data(), static_cast<int>(ops.size()));
  ops.clear();
}

// The surface's canvas, cut to `clip` and drawn from `origin` (device
// pixels). Each call into the page costs more than the drawing it asks
// for, so the boxes are written to `ops` and the page draws them all at
// once (vl_draw); a text, whose string the page reads, sends them first.
class BridgeCanvas final : public Canvas {
 public:
  BridgeCanvas(std::vector<std::int32_t>& ops, const PixelBox& clip, int originLeft, int originTop)
      : ops_(ops) {
    ops_.insert(ops_.end(),
                {kDrawBegin, clip.left, clip.top, clip.right, clip.bottom, originLeft, originTop});
  }
  BridgeCanvas(const BridgeCanvas&) = delete;
  BridgeCanvas& operator=(const BridgeCanvas&) = delete;
  ~BridgeCanvas() override { ops_.push_back(kDrawEnd); }

  void fill(const PixelBox& d, Colour colour) override {
    ops_.insert(ops_.end(),
                {kDrawFill, d.left, d.top, d.right, d.bottom, static_cast<std::int32_t>(colour)});
  }
  void hatch(const PixelBox& d, const TwipsBox& /*twips*/, int style) override {
    ops_.insert(ops_.end(), {kDrawHatch, d.left, d.top, d.right, d.bottom, style});
  }
  void text(const TextRun& run) override {
    draw(ops_);
    vl_text(View::cssFont(run.font).c_str(), run.colour, run.left, run.top, run.width,
            run.wrap ? 1 : 0, run.text.c_str());
  }

 private:
  std::vector<std::int32_t>& ops_;
};

// The parts of `a` outside `b`: at most four boxes, apart from each other.
struct Outside {
  std::array<PixelBox, 4> parts;
  int count = 0;

  Outside(const PixelBox& a, const PixelBox& b) {
    const PixelBox in = a & b;
    if (a.empty()) return;
    if (in.empty()) {
      parts[count++] = a;
      return;
    }
    if (a.top < in.top) parts[count++] = {a.left, a.top, a.right, in.top};
    if (in.bottom < a.bottom) parts[count++] = {a.left, in.bottom, a.right, a.bottom};
    if (a.left < in.left) parts[count++] = {a.left, in.top, in.left, in.bottom};
    if (in.right < a.right) parts[count++] = {in.right, in.top, a.right, in.bottom};
  }
  const PixelBox* begin() const { return parts.data(); }
  const PixelBox* end() const { return parts.data() + count; }
};

// Cuts `hole` out of `pieces`, which stay apart from each other; `spare` is
// a kept buffer.
void cutOut(std::vector<PixelBox>& pieces, const PixelBox& hole, std::vector<PixelBox>& spare) {
  spare.clear();
  for (const PixelBox& p : pieces) {
    for (const PixelBox& part : Outside(p, hole)) spare.push_back(part);
  }
  pieces.swap(spare);
}

}  // namespace

View::View(Window& window) : WidgetView(window), damage_(kMaxAreas) {
  ratio_ = vl_device_ratio();
  window_.setTextMetrics(this);
  window_.setObserver(this);
  windowChanged();
}

View::~View() {
  window_.setObserver(nullptr);
  if (window_.textMetrics() == this) window_.setTextMetrics(nullptr);
  for (const Entry& e : widgets_) vl_widget_destroy(e.widget.id);
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
  return labelExtent(vl_text_width(css.c_str(), text.c_str()), vl_text_height(css.c_str()));
}

void View::keyDown(std::uint16_t keyCode, int shift) {
  if (inputHook_) inputHook_();
  window_.keyDown(keyCode, shift);
}

void View::click(int widgetId) {
  if (inputHook_) inputHook_();
  const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                               [&](const Entry& e) { return e.widget.id == widgetId; });
  if (it == widgets_.end() || it->model->kind() != ControlKind::PushButton) return;
  if (!it->model->visible()) return;
  // The handler may unload the window, which destroys the model button and
  // changes widgets_: nothing of either is touched after this call.
  static_cast<PushButton&>(*it->model).click();
}

void View::surfaceDamaged(const RectF& area) { damage_.add(damagedPixels(area)); }

void View::labelChanged(const Control& /*label*/) { labelsChanged_ = true; }

void View::damage(const PixelBox& area) {
  if (!area.empty()) damage_.add(area);
}

void View::windowChanged() {
  // A load sets the design size before the window counts as loaded, and
  // then its own; the design size is never seen, so it is not passed on.
  if (syncLoaded()) {
    const PixelBox client = clientPixels(window_);
    width_ = client.width();
    height_ = client.height();
    panels_.clear();
    for (const Control* c : window_.widgets()) {
      if (c->kind() == ControlKind::Panel) panelChanged(static_cast<const Panel&>(*c));
    }
    cut_ = true;
  }
  labelsChanged_ = true;
  vl_window(window_.caption().c_str(), window_.backColor(), width_, height_);
  damage_.all({0, 0, width_, height_});
  placeLayer_ = true;
}

void View::rescale() {
  ratio_ = vl_device_ratio();
  vl_window(window_.caption().c_str(), window_.backColor(), width_, height_);
  for (Entry& e : widgets_) placeWidget(e);
  damage_.all({0, 0, width_, height_});
  placeLayer_ = true;
}

void View::widgetChanged(Control& widget) {
  if (widget.kind() == ControlKind::Panel) {
    panelChanged(static_cast<const Panel&>(widget));
    cut_ = true;
  } else {
    WidgetView::widgetChanged(widget);
  }
}

void View::widgetDestroyed(Control& widget) {
  // Only the pointer is used: the control is being destroyed.
  const auto it = std::find_if(panels_.begin(), panels_.end(),
                               [&](const PanelArea& a) { return a.model == &widget; });
  if (it != panels_.end()) {
    damage(it->shown);
    panels_.erase(it);
    cut_ = true;
  } else {
    WidgetView::widgetDestroyed(widget);
  }
}

void View::widgetOrderChanged() {
  WidgetView::widgetOrderChanged();
  for (const PanelArea& a : panels_) damage(a.shown);
  cut_ = true;
}

void View::panelChanged(const Panel& panel) {
  const PixelBox now =
      panel.visible() ? pixelRect(panel.bounds()) & clientPixels(window_) : PixelBox{};
  auto it = std::find_if(panels_.begin(), panels_.end(),
                         [&](const PanelArea& a) { return a.model == &panel; });
  if (it == panels_.end()) it = panels_.insert(it, {&panel, {}, false, 0});
  const bool plainNow = plain(panel);
  if (it->plain && plainNow && it->colour == panel.backColor()) {
    // All of one colour, as the curtain's halves are: only what it leaves and
    // what it newly covers change as it slides.
    for (const PixelBox& part : Outside(it->shown, now)) damage(part);
    for (const PixelBox& part : Outside(now, it->shown)) damage(part);
  } else {
    damage(it->shown);
    damage(now);
  }
  *it = {&panel, now, plainNow, panel.backColor()};
}

void View::cutButtons() {
  // A button lies above the surface, so what panels in front of it cover is
  // cut from it: the holes, apart from each other, from its corner.
  const std::vector<Control*>& order = window_.widgets();
  for (Entry& e : widgets_) {
    if (!e.model->visible()) continue;
    const PixelBox button = pixelRect(e.model->bounds());
    covered_.clear();
    const auto front = std::find(order.begin(), order.end(), e.model);
    for (auto it = front; it != order.end(); ++it) {
      if ((*it)->kind() != ControlKind::Panel || !(*it)->visible()) continue;
      const PixelBox over = pixelRect((*it)->bounds()) & button;
      if (over.empty()) continue;
      // Only what no earlier hole has: the page cuts them even-odd.
      fragments_.assign(1, over);
      for (const PixelBox& hole : covered_) cutOut(fragments_, hole, spare_);
      covered_.insert(covered_.end(), fragments_.begin(), fragments_.end());
    }
    for (PixelBox& b : covered_) {
      b = {b.left - button.left, b.top - button.top, b.right - button.left, b.bottom - button.top};
    }
    if (covered_ == e.widget.covered) continue;
    e.widget.covered = covered_;
    cuts_.clear();
    for (const PixelBox& b : covered_)
      cuts_.insert(cuts_.end(), {b.left, b.top, b.right, b.bottom});
    vl_widget_cut(e.widget.id, cuts_.data(), static_cast<int>(covered_.size()));
  }
}

bool View::makeWidget(Control& model, Element& widget) {
  // Panels have no element: they are drawn on the surface.
  if (model.kind() != ControlKind::PushButton) return false;
  const auto& button = static_cast<const PushButton&>(model);
  widget = {nextId_++, {}};
  vl_widget_create(widget.id, button.caption().c_str(), cssFont(button.font()).c_str());
  return true;
}

void View::placeWidget(Entry& entry) {
  const PixelBox r = pixelRect(entry.model->bounds());
  vl_widget_place(entry.widget.id, r.left, r.top, r.width(), r.height(),
                  entry.model->visible() ? 1 : 0);
  cut_ = true;
}

void View::dropWidget(Element widget) { vl_widget_destroy(widget.id); }

void View::stackWidgets(const std::vector<Element>& backToFront) {
  order_.clear();
  for (const Element& e : backToFront) order_.push_back(e.id);
  vl_widget_order(order_.data(), static_cast<int>(order_.size()));
}

void View::flush() {
  placeLayer();
  // A piece coming in from above the window damages what is not there.
  const PixelBox client{0, 0, width_, height_};
  for (const PixelBox& a : damage_.areas()) {
    if (!(a & client).empty()) paintSurface(a & client);
  }
  draw(ops_);
  damage_.clear();
  if (cut_) cutButtons();
  cut_ = false;
  // Most ticks move blocks only: the labels are looked at when one changed.
  if (labelsChanged_) publishLabels();
  labelsChanged_ = false;
}

void View::placeLayer() {
  // A load moves the busy area after the window has changed: it is looked
  // at every flush, which costs a comparison.
  const PixelBox client{0, 0, width_, height_};
  const PixelBox layer = toDevice(pixelRect(window_.busyArea()) & client, ratio_);
  if (!placeLayer_ && layer == layer_) return;
  placeLayer_ = false;
  layer_ = layer;
  vl_layer(layer.left, layer.top, layer.right, layer.bottom);
  damage_.all(client);
}

void View::paintSurface(const PixelBox& area) {
  // What a panel covers never shows (a panel is all filled), so the surface
  // is drawn only around the panels: the first frame, under the closed
  // curtain, is the curtain's two fills.
  fragments_.assign(1, area);
  for (const PanelArea& p : panels_) {
    if (!p.shown.empty()) cutOut(fragments_, p.shown, spare_);
  }
  for (const PixelBox& f : fragments_) {
    BridgeCanvas canvas(ops_, toDevice(f, ratio_), 0, 0);
    Painter(canvas, ratio_).surface(window_, f);
  }
  // Then the panels over it, back to front, each from its corner.
  const PixelBox device = toDevice(area, ratio_);
  for (const Control* c : window_.widgets()) {
    if (c->kind() != ControlKind::Panel || !c->visible()) continue;
    const PixelBox box = pixelRect(c->bounds());
    if ((box & area).empty()) continue;
    const PixelBox corner = toDevice(box, ratio_);
    BridgeCanvas canvas(ops_, device & toDevice(box & area, ratio_), corner.left, corner.top);
    Painter(canvas, ratio_).panel(static_cast<const Panel&>(*c), {0, 0, box.width(), box.height()});
  }
}

void View::publishLabels() {
  // The counters, in the order the window shows them, top to bottom: the
  // labels that carry a value after their colon. A caption without one
  // ("Next Piece:") names something drawn, not a count. Built into kept
  // buffers: after the first flush no change allocates here.
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
