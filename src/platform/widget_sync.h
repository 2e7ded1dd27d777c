// SPDX-License-Identifier: MIT
// The real widgets a view keeps for the window's push buttons and panels,
// kept in step with the model: made after a load, placed whenever their
// model changes, dropped when it goes, stacked as the model stacks them.
// `Widget` is the view's handle of one (a Qt widget, a page element's id);
// the view makes, places, drops and stacks them as its Host.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/controls.h"
#include "platform/window.h"

namespace vorlane {

template <class Widget>
class WidgetSync {
 public:
  struct Entry {
    Control* model;
    Widget widget;
  };

  class Host {
   public:
    // A widget for a push button or a panel; false for any other control.
    virtual bool makeWidget(Control& model, Widget& widget) = 0;
    // The widget takes its model's place, size and visibility.
    virtual void placeWidget(Entry& entry) = 0;
    // The model is gone. This may run inside the widget's own click.
    virtual void dropWidget(Widget widget) = 0;
    // The widgets back to front, as the model stacks them.
    virtual void stackWidgets(const std::vector<Widget>& backToFront) = 0;

   protected:
    ~Host() = default;
  };

  explicit WidgetSync(Host& host) : host_(host) {}

  // Once a load has ended and the window's widgets are complete. Every
  // destruction is reported, so this finds nothing to drop; it keeps the
  // view honest should the window ever have had another observer.
  void sync(const Window& window) {
    const std::vector<Control*>& models = window.widgets();
    for (auto it = entries_.begin(); it != entries_.end();) {
      if (std::find(models.begin(), models.end(), it->model) == models.end()) {
        const Widget gone = it->widget;
        it = entries_.erase(it);
        host_.dropWidget(gone);
      } else {
        ++it;
      }
    }
    for (Control* model : models) {
      Entry* e = find(*model);
      if (e == nullptr) {
        Widget widget{};
        if (!host_.makeWidget(*model, widget)) continue;
        entries_.push_back({model, widget});
        e = &entries_.back();
      }
      host_.placeWidget(*e);
    }
    restack(window);
  }

  // A widget made by a load that has not ended yet is picked up by sync()
  // once it has.
  void changed(const Control& model) {
    if (Entry* e = find(model)) host_.placeWidget(*e);
  }

  // Called from the control's destructor: the pointer is only a key here.
  void destroyed(const Control& model) {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.model == &model; });
    if (it == entries_.end()) return;
    const Widget gone = it->widget;
    entries_.erase(it);
    host_.dropWidget(gone);
  }

  void restack(const Window& window) {
    order_.clear();
    for (const Control* model : window.widgets()) {
      if (const Entry* e = find(*model)) order_.push_back(e->widget);
    }
    host_.stackWidgets(order_);
  }

  Entry* find(const Control& model) {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.model == &model; });
    return it != entries_.end() ? &*it : nullptr;
  }
  const Entry* find(const Control& model) const {
    return const_cast<WidgetSync*>(this)->find(model);
  }

  // Where Tab (forward) or Shift+Tab moves the focus from `current` among
  // the push buttons a key can reach (`reachable(widget)`: shown, enabled),
  // in the design's tab order: from outside them to the first (or last),
  // from one to its neighbour, round and round. Null when there is none.
  template <class Reachable>
  const Entry* nextInTabOrder(const Widget& current, bool forward, Reachable reachable) const {
    std::vector<const Entry*> order;
    for (const Entry& e : entries_) {
      if (e.model->kind() == ControlKind::PushButton && reachable(e.widget)) order.push_back(&e);
    }
    if (order.empty()) return nullptr;
    const auto tabIndex = [](const Entry* e) {
      return static_cast<const PushButton*>(e->model)->tabIndex();
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](const Entry* a, const Entry* b) { return tabIndex(a) < tabIndex(b); });
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    const std::ptrdiff_t at = std::find_if(order.begin(), order.end(),
                                           [&](const Entry* e) { return e->widget == current; }) -
                              order.begin();
    std::ptrdiff_t target = forward ? 0 : n - 1;
    if (at < n) target = (at + (forward ? 1 : n - 1)) % n;
    return order[static_cast<std::size_t>(target)];
  }

  // In no particular order; restack() orders the widgets themselves.
  auto begin() { return entries_.begin(); }
  auto end() { return entries_.end(); }
  auto begin() const { return entries_.begin(); }
  auto end() const { return entries_.end(); }

 private:
  Host& host_;
  std::vector<Entry> entries_;
  std::vector<Widget> order_;  // kept, so that restacking does not allocate
};

// A view's side of the window's widget notices: each goes to the view's
// WidgetSync, and a change of the window syncs the widgets once its load has
// ended (while it loads, its controls are still being made).
template <class Widget>
class WidgetView : public WindowObserver, protected WidgetSync<Widget>::Host {
 public:
  void widgetChanged(Control& widget) override { widgets_.changed(widget); }
  void widgetDestroyed(Control& widget) override { widgets_.destroyed(widget); }
  void widgetOrderChanged() override { widgets_.restack(window_); }

 protected:
  explicit WidgetView(Window& window) : window_(window), widgets_(*this) {}

  // For windowChanged(): whether the window is loaded, its widgets synced if so.
  bool syncLoaded() {
    const bool loaded = window_.loaded();
    if (loaded) widgets_.sync(window_);
    return loaded;
  }

  Window& window_;
  WidgetSync<Widget> widgets_;
};

}  // namespace vorlane
