// SPDX-License-Identifier: MIT
// The top-level window: caption, background, outer and client size, the
// controls in drawing order, and the load / unload / show life cycle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/types.h"

namespace vorlane {

class Scheduler;

// What a view needs to hear from the model to keep its picture current.
class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  // Part of the window's own surface (client coordinates) must be repainted.
  virtual void surfaceDamaged(const RectF& area) = 0;
  // A label on the surface changed its caption, place or visibility (its
  // area is damaged as well): for views that pass the labels' text on.
  virtual void labelChanged(const Control& /*label*/) {}
  // A push button or panel changed, went away or changed places. New ones
  // are only made while the window loads; windowChanged() follows the load.
  virtual void widgetChanged(Control& widget) = 0;
  virtual void widgetDestroyed(Control& widget) = 0;
  virtual void widgetOrderChanged() = 0;
  // Caption, background or size changed, or the window was (re)loaded.
  virtual void windowChanged() = 0;
};

// Measures captions for labels that size themselves to their text.
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual SizeF measure(const Font& font, const std::string& text) = 0;
};

class Window {
 public:
  // Nominal frame of a desktop window: the outer size less the client area.
  static constexpr Twips kFrameWidth = 120;   // 4 pixels each side
  static constexpr Twips kFrameHeight = 390;  // caption bar and borders

  explicit Window(Scheduler& scheduler);
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  Scheduler& scheduler() const { return scheduler_; }

  const std::string& caption() const { return caption_; }
  Colour backColor() const { return backColor_; }
  void setCaption(std::string text);
  void setBackColor(Colour c);

  // Outer size, frame and caption bar included.
  Twips width() const { return width_; }
  Twips height() const { return height_; }
  void setWidth(Twips w);
  void setHeight(Twips h);
  // The client area, read only for the program.
  Twips clientWidth() const { return width_ - kFrameWidth; }
  Twips clientHeight() const { return height_ - kFrameHeight; }

  bool loaded() const { return loaded_; }
  // How many times the window has been loaded. Controls live from a load to
  // the next unload, so whoever keeps pointers to them can tell by this
  // number whether they are still the window's.
  std::uint64_t loads() const { return loads_; }
  // Loads the window if it is not loaded (creating its controls from the
  // design and raising the load event), then shows it.
  void show();
  // Destroys every control, those created at run time included. The window
  // object, and whatever state its subclass keeps, lives on.
  void unload();

  // Input from the platform. Ignored while the window is not loaded.
  void keyDown(std::uint16_t keyCode, int shift);

  void setObserver(WindowObserver* observer) { observer_ = observer; }
  void setTextMetrics(TextMetrics* metrics) { metrics_ = metrics; }
  TextMetrics* textMetrics() const { return metrics_; }

  // Where the window changes at play speed, in client twips (empty: nowhere
  // in particular). A front end may keep it on a canvas of its own, so that
  // a frame of it does not carry the rest of the window.
  virtual RectF busyArea() const { return {}; }

  // Rectangles and labels, back to front.
  const std::vector<Control*>& surface() const { return surface_; }
  // Push buttons and panels, back to front; all lie above the surface.
  const std::vector<Control*>& widgets() const { return widgets_; }

 protected:
  // The design: sets caption, colour and client size and creates the controls.
  virtual void createControls() = 0;
  virtual void destroyControls() = 0;
  virtual void onLoad() = 0;
  virtual void onKeyDown(std::uint16_t keyCode, int shift) = 0;

  void setClientSize(Twips w, Twips h);

 private:
  friend class Control;
  friend class Panel;
  void attach(Control& c);
  void detach(Control& c);
  void raise(Control& c);
  void changed(Control& c, bool wasVisible, const RectF& before);
  std::vector<Control*>& layerOf(const Control& c);
  void damage(const RectF& area) const;
  void notifyWindow() const;

  Scheduler& scheduler_;
  WindowObserver* observer_ = nullptr;
  TextMetrics* metrics_ = nullptr;
  std::string caption_;
  Colour backColor_ = 0;
  Twips width_ = 0;
  Twips height_ = 0;
  bool loaded_ = false;
  std::uint64_t loads_ = 0;
  bool quiet_ = false;  // loading or unloading: one notice follows at the end
  std::vector<Control*> surface_;
  std::vector<Control*> widgets_;
};

}  // namespace vorlane
