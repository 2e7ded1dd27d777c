// SPDX-License-Identifier: MIT
// The top-level window on screen: draws a model window and its controls,
// keeps a Qt push button for each model button and a child widget for each
// panel, and hands keys and clicks to the model.
#pragma once

#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "desktop/fonts.h"
#include "platform/controls.h"
#include "platform/view_core.h"
#include "platform/widget_sync.h"
#include "platform/window.h"

class QPushButton;

namespace vorlane::desktop {

class View final : public QWidget, public WidgetView<QWidget*> {
  Q_OBJECT

 public:
  // Observes `window` and measures its labels from now on. Make the view
  // before the window is first shown, so that labels size themselves to the
  // real fonts from the start.
  explicit View(Window& window);
  ~View() override;

  // Called before every key and click reaches the model; the application
  // lets the scheduler catch up there.
  void setInputHook(std::function<void()> hook) { inputHook_ = std::move(hook); }

  // The window this view shows.
  const Window& model() const { return window_; }

  // The Qt widget that stands for a model button or panel, or nullptr.
  QWidget* widgetFor(const Control& control) const;

  // The pixel area a twips rectangle covers, edges rounded to the nearest pixel.
  static QRect pixelRect(const RectF& twips);

  // WindowObserver.
  void surfaceDamaged(const RectF& area) override;
  void windowChanged() override;

  void setVisible(bool visible) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  // Tab and Shift+Tab: the push buttons on show, in the design's focus order.
  bool focusNextPrevChild(bool next) override;

 private:
  using Entry = WidgetSync<QWidget*>::Entry;

  // WidgetSync's host.
  bool makeWidget(Control& model, QWidget*& widget) override;
  void placeWidget(Entry& entry) override;
  void dropWidget(QWidget* widget) override;
  void stackWidgets(const std::vector<QWidget*>& backToFront) override;

  QWidget* createWidget(Control& control);
  void buttonClicked(QPushButton* button);
  void releaseFocus(QWidget* widget);
  QPushButton* focusedButton(QObject* watched) const;
  void centreOnScreen();

  FontCache fonts_;
  QtTextMetrics metrics_{fonts_};
  std::function<void()> inputHook_;
  bool wasLoaded_ = false;
  bool centrePending_ = false;
  Damage damage_{1};  // the surface damaged and not yet handed to Qt, in pixels
};

}  // namespace vorlane::desktop
