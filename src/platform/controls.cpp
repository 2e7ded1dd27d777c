// SPDX-License-Identifier: MIT
#include "platform/controls.h"

#include <algorithm>
#include <utility>

#include "platform/window.h"

namespace vorlane {

Control::Control(Window& window, ControlKind kind, std::string name, int index, Panel* container,
                 const Geometry& g)
    : window_(window),
      kind_(kind),
      index_(index),
      container_(container),
      name_(std::move(name)),
      g_(g) {
  window_.attach(*this);
}

Control::~Control() { window_.detach(*this); }

bool Control::onSurface() const {
  return container_ == nullptr && (kind_ == ControlKind::Rectangle || kind_ == ControlKind::Label);
}

void Control::bringToFront() { window_.raise(*this); }

void Control::changed(bool wasVisible, const RectF& before) {
  // Headless (tests, the fuzzer) nobody listens: no second call to learn that.
  if (window_.observer_ == nullptr || window_.quiet_) return;
  window_.changed(*this, wasVisible, before);
}

Rectangle::Rectangle(Window& window, std::string name, const Geometry& g, const Look& look,
                     Panel* container, int index)
    : Control(window, ControlKind::Rectangle, std::move(name), index, container, g), look_(look) {}

namespace {
Geometry hiddenCopy(const Control& c) { return {c.left(), c.top(), c.width(), c.height(), false}; }
}  // namespace

Rectangle::Rectangle(const Rectangle& tmpl, int index)
    : Control(tmpl.window(), ControlKind::Rectangle, tmpl.name(), index, tmpl.container(),
              hiddenCopy(tmpl)),
      look_(tmpl.look_) {}

Label::Label(Window& window, std::string name, const Geometry& g, std::string caption,
             const Look& look)
    : Control(window, ControlKind::Label, std::move(name), -1, nullptr, g),
      caption_(std::move(caption)),
      look_(look) {
  fitToCaption();
}

void Label::setCaption(std::string_view text) {
  if (text.size() == caption_.size()) {
    // Counters rewrite captions of one length whose last digits change
    // most: compared from the end, a difference shows at once.
    if (std::equal(text.rbegin(), text.rend(), caption_.rbegin())) return;
    change([&] { std::copy(text.begin(), text.end(), caption_.begin()); });
  } else {
    change([&] { caption_.assign(text); });
  }
  fitToCaption();
}

void Label::fitToCaption() {
  TextMetrics* metrics = window().textMetrics();
  if (!look_.autoSize || metrics == nullptr) return;
  const SizeF size = metrics->measure(look_.font, caption_);
  setWidth(size.width);
  setHeight(size.height);
}

PushButton::PushButton(Window& window, std::string name, const Geometry& g, std::string caption,
                       Font font, int tabIndex, std::function<void()> onClick)
    : Control(window, ControlKind::PushButton, std::move(name), -1, nullptr, g),
      caption_(std::move(caption)),
      font_(std::move(font)),
      tabIndex_(tabIndex),
      onClick_(std::move(onClick)) {}

void PushButton::click() {
  if (!window().loaded() || !onClick_) return;
  // A copy, since the handler may destroy this button and its handler with it.
  const std::function<void()> handler = onClick_;
  handler();
}

Panel::Panel(Window& window, std::string name, const Geometry& g, Colour backColor)
    : Control(window, ControlKind::Panel, std::move(name), -1, nullptr, g), backColor_(backColor) {}

Panel::~Panel() = default;

}  // namespace vorlane
