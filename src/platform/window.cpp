// SPDX-License-Identifier: MIT
#include "platform/window.h"

#include <algorithm>
#include <utility>

#include "platform/scheduler.h"

namespace vorlane {

Window::Window(Scheduler& scheduler) : scheduler_(scheduler) {}

Window::~Window() = default;

void Window::setCaption(std::string text) {
  caption_ = std::move(text);
  notifyWindow();
}

void Window::setBackColor(Colour c) {
  backColor_ = c;
  notifyWindow();
}

void Window::setWidth(Twips w) {
  width_ = w;
  notifyWindow();
}

void Window::setHeight(Twips h) {
  height_ = h;
  notifyWindow();
}

void Window::setClientSize(Twips w, Twips h) {
  width_ = w + kFrameWidth;
  height_ = h + kFrameHeight;
  notifyWindow();
}

void Window::show() {
  if (loaded_) return;
  // The load sets the size twice and builds hundreds of controls: the view
  // hears of it once, at the end, and never shows a half-made window.
  quiet_ = true;
  createControls();
  loaded_ = true;
  ++loads_;
  onLoad();
  quiet_ = false;
  notifyWindow();
}

void Window::unload() {
  if (!loaded_) return;
  loaded_ = false;
  // One repaint of the whole window replaces a notice per destroyed control.
  quiet_ = true;
  // Every control goes: the lists are emptied at once, not searched for each
  // control as it is destroyed, which cost a restart more than all else.
  surface_.clear();
  widgets_.clear();
  destroyControls();
  quiet_ = false;
  notifyWindow();
}

void Window::keyDown(std::uint16_t keyCode, int shift) {
  if (loaded_) onKeyDown(keyCode, shift);
}

std::vector<Control*>& Window::layerOf(const Control& c) {
  return c.onSurface() ? surface_ : widgets_;
}

void Window::attach(Control& c) {
  if (Panel* panel = c.container()) {
    panel->children_.push_back(&c);
    if (observer_ != nullptr && !quiet_) observer_->widgetChanged(*panel);
    return;
  }
  layerOf(c).push_back(&c);
  if (observer_ == nullptr) return;
  // A new push button or panel is not fully constructed yet: the view picks
  // it up from widgets() when the load ends.
  if (c.onSurface() && c.visible()) damage(c.bounds());
}

namespace {
void eraseFromBack(std::vector<Control*>& v, const Control* c) {
  // Controls are mostly destroyed newest first, so search from the back.
  const auto it = std::find(v.rbegin(), v.rend(), c);
  if (it != v.rend()) v.erase(std::next(it).base());
}
}  // namespace

void Window::detach(Control& c) {
  if (Panel* panel = c.container()) {
    eraseFromBack(panel->children_, &c);
    return;
  }
  eraseFromBack(layerOf(c), &c);
  if (observer_ == nullptr) return;
  if (!c.onSurface()) {
    observer_->widgetDestroyed(c);
  } else if (!quiet_ && c.visible()) {
    damage(c.bounds());
  }
}

void Window::raise(Control& c) {
  std::vector<Control*>& v = c.container() != nullptr ? c.container()->children_ : layerOf(c);
  // What is raised once is mostly raised again, so it lies near the front:
  // the search starts there, at the back of the list.
  const auto found = std::find(v.rbegin(), v.rend(), &c);
  if (found == v.rend() || found == v.rbegin()) return;
  const auto it = std::next(found).base();
  std::rotate(it, std::next(it), v.end());
  if (observer_ == nullptr || quiet_) return;
  if (c.container() != nullptr) {
    observer_->widgetChanged(*c.container());
  } else if (c.onSurface()) {
    if (c.visible()) damage(c.bounds());
  } else {
    observer_->widgetOrderChanged();
  }
}

void Window::changed(Control& c, bool wasVisible, const RectF& before) {
  if (observer_ == nullptr || quiet_) return;
  if (c.container() != nullptr) {
    observer_->widgetChanged(*c.container());
  } else if (!c.onSurface()) {
    observer_->widgetChanged(c);
  } else {
    if (wasVisible) damage(before);
    if (c.visible()) damage(c.bounds());
    if (c.kind() == ControlKind::Label) observer_->labelChanged(c);
  }
}

void Window::damage(const RectF& area) const {
  if (observer_ != nullptr && !quiet_ && area.width > 0 && area.height > 0) {
    observer_->surfaceDamaged(area);
  }
}

void Window::notifyWindow() const {
  if (observer_ != nullptr && !quiet_) observer_->windowChanged();
}

}  // namespace vorlane
