// SPDX-License-Identifier: MIT
#include "web/view.h"

#include <algorithm>
#include <cmath>

#include "platform/font_faces.h"
#include "platform/view_core.h"
#include "web/bridge.h"

namespace vorlane::web {

namespace {

constexpr int kSurface = 0;
constexpr int kButton = 0;
constexpr int kPanel = 1;
// Beyond this many separate dirty areas one area around them all is cheaper.
constexpr std::size_t kMaxAreas = 24;

// The canvas of the surface or of a panel, between vl_begin and vl_end.
class BridgeCanvas final : public Canvas {
 public:
  BridgeCanvas(int target, const PixelBox& clip) {
    vl_begin(target, clip.left, clip.top, clip.right, clip.bottom);
  }
  BridgeCanvas(const BridgeCanvas&) = delete;
  BridgeCanvas& operator=(const BridgeCanvas&) = delete;
  ~BridgeCanvas() override { vl_end(); }

  void fill(const PixelBox& d, Colour colour) override {
    vl_fill(d.left, d.top, d.right, d.bottom, colour);
  }
  void hatch(const PixelBox& d, const TwipsBox& /*twips*/, int style) override {
    vl_hatch(d.left, d.top, d.right, d.bottom, style);
  }
  void text(const TextRun& run) override {
    vl_text(View::cssFont(run.font).c_str(), run.colour, run.left, run.top, run.width,
            run.wrap ? 1 : 0, run.text.c_str());
  }
};

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

void View::windowChanged() {
  // A load sets the design size before the window counts as loaded, and
  // then its own; the design size is never seen, so it is not passed on.
  if (syncLoaded()) {
    const PixelBox client = clientPixels(window_);
    width_ = client.width();
    height_ = client.height();
  }
  vl_window(window_.caption().c_str(), window_.backColor(), width_, height_);
  damage_.all({0, 0, width_, height_});
}

void View::rescale() {
  ratio_ = vl_device_ratio();
  vl_window(window_.caption().c_str(), window_.backColor(), width_, height_);
  for (Entry& e : widgets_) placeWidget(e);
  damage_.all({0, 0, width_, height_});
}

bool View::makeWidget(Control& model, Element& widget) {
  widget = {nextId_, true};
  if (model.kind() == ControlKind::PushButton) {
    const auto& button = static_cast<const PushButton&>(model);
    vl_widget_create(widget.id, kButton, button.caption().c_str(), cssFont(button.font()).c_str(),
                     0);
  } else if (model.kind() == ControlKind::Panel) {
    vl_widget_create(widget.id, kPanel, "", "", static_cast<const Panel&>(model).backColor());
  } else {
    return false;
  }
  ++nextId_;
  return true;
}

void View::placeWidget(Entry& entry) {
  const PixelBox r = pixelRect(entry.model->bounds());
  // A panel of one colour is its element's background: no canvas to fill,
  // at a phone's ratio the size of the window (the curtain's halves).
  const bool bare =
      entry.model->kind() == ControlKind::Panel && plain(static_cast<const Panel&>(*entry.model));
  vl_widget_place(entry.widget.id, r.left, r.top, r.width(), r.height(),
                  entry.model->visible() ? 1 : 0, bare ? 1 : 0);
  entry.widget.dirty = !bare;
}

void View::dropWidget(Element widget) { vl_widget_destroy(widget.id); }

void View::stackWidgets(const std::vector<Element>& backToFront) {
  order_.clear();
  for (const Element& e : backToFront) order_.push_back(e.id);
  vl_widget_order(order_.data(), static_cast<int>(order_.size()));
}

void View::flush() {
  for (const PixelBox& a : damage_.areas()) paintSurface(a);
  damage_.clear();
  for (Entry& e : widgets_) {
    if (e.widget.dirty && e.model->kind() == ControlKind::Panel && e.model->visible()) {
      paintPanel(e);
    }
    if (e.model->visible()) e.widget.dirty = false;
  }
  publishLabels();
}

void View::paintSurface(const PixelBox& area) const {
  BridgeCanvas canvas(kSurface, toDevice(area, ratio_));
  Painter(canvas, ratio_).surface(window_, area);
}

void View::paintPanel(const Entry& entry) const {
  const auto& panel = static_cast<const Panel&>(*entry.model);
  const PixelBox r = pixelRect(panel.bounds());
  const PixelBox area{0, 0, r.width(), r.height()};
  BridgeCanvas canvas(entry.widget.id, toDevice(area, ratio_));
  Painter(canvas, ratio_).panel(panel, area);
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
