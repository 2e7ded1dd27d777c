// SPDX-License-Identifier: MIT
// The game window in a web page: draws a model window, its controls and its
// panels on a canvas, keeps an HTML button for each model button, and hands
// keys and clicks to the model.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls.h"
#include "platform/view_core.h"
#include "platform/widget_sync.h"
#include "platform/window.h"

namespace vorlane::web {

// The page's element for a push button, and what of it the panels in front
// of it cover (CSS pixels from its corner), as the page last cut it.
struct Element {
  int id = 0;
  std::vector<PixelBox> covered;
};

class View final : public WidgetView<Element>, public TextMetrics {
 public:
  // Observes `window` and measures its labels from now on. Make the view
  // before the window is first shown, and once the page's fonts are loaded,
  // so that labels size themselves to the real fonts from the start.
  explicit View(Window& window);
  View(const View&) = delete;
  View& operator=(const View&) = delete;
  ~View() override;

  // Called before every key and click reaches the model; the application
  // lets the scheduler catch up there.
  void setInputHook(std::function<void()> hook) { inputHook_ = std::move(hook); }

  // Input from the page.
  void keyDown(std::uint16_t keyCode, int shift);
  void click(int widgetId);

  // Draws what changed since the last flush. The page calls it when each of
  // its events is handled, so a picture is never shown half made.
  void flush();
  // The device pixel ratio changed (zoom, another screen): all is redrawn.
  void rescale();

  // The CSS font of a model font.
  static std::string cssFont(const Font& font);

  // WindowObserver. Panels are drawn on the surface, in their stacking
  // order above its controls; a button's element lies above the surface,
  // cut where a panel in front of it covers it.
  void surfaceDamaged(const RectF& area) override;
  void labelChanged(const Control& label) override;
  void windowChanged() override;
  void widgetChanged(Control& widget) override;
  void widgetDestroyed(Control& widget) override;
  void widgetOrderChanged() override;

  // TextMetrics.
  SizeF measure(const Font& font, const std::string& text) override;

 private:
  using Entry = WidgetSync<Element>::Entry;

  // WidgetSync's host.
  bool makeWidget(Control& model, Element& widget) override;
  void placeWidget(Entry& entry) override;
  void dropWidget(Element widget) override;
  void stackWidgets(const std::vector<Element>& backToFront) override;

  // A panel as last drawn: where, and whether of one colour (which one).
  struct PanelArea {
    const Panel* model;
    PixelBox shown;
    bool plain;
    Colour colour;
  };

  void placeLayer();
  void paintSurface(const PixelBox& area);
  void panelChanged(const Panel& panel);
  void damage(const PixelBox& area);
  void cutButtons();
  void publishLabels();

  std::function<void()> inputHook_;
  std::vector<int> order_;  // the widgets' ids back to front, for the page
  std::vector<PanelArea> panels_;
  // Kept for cutButtons() and paintSurface(), so that a tick does not allocate.
  std::vector<PixelBox> covered_, fragments_, spare_;
  std::vector<std::int32_t> ops_;  // the drawing for the page (vl_draw)
  std::vector<int> cuts_;
  Damage damage_;     // the surface to repaint at the next flush, in CSS pixels
  double ratio_ = 1;  // device pixels per CSS pixel
  int nextId_ = 1;
  bool cut_ = false;        // the buttons' cuts to check at the next flush
  PixelBox layer_;          // the busy area as the page was last given it (device pixels)
  bool placeLayer_ = true;  // to give it again: the window or the ratio changed
  int width_ = 0;           // client size in CSS pixels
  int height_ = 0;
  bool labelsChanged_ = true;           // a label to pass on at the next flush
  std::string labels_;                  // what screen readers were last given
  std::string nextLabels_;              // built when a label changed; its buffer is kept
  std::vector<const Label*> counters_;  // the same
};

}  // namespace vorlane::web
