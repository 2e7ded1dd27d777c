// SPDX-License-Identifier: MIT
// The window controls the game is made of: rectangles, labels, push buttons
// and panels. Each control registers with its window for drawing order and
// change notification, and unregisters when it is destroyed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace vorlane {

class Window;
class Panel;

enum class ControlKind : std::uint8_t { Rectangle, Label, PushButton, Panel };

// What a control is created with. Arrays copy it from element 0.
struct Geometry {
  Twips left = 0;
  Twips top = 0;
  Twips width = 0;
  Twips height = 0;
  bool visible = true;
};

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  // The element number within a control array, or -1 for a plain control.
  int index() const { return index_; }
  Window& window() const { return window_; }
  // The panel that holds this control, or nullptr for the window itself.
  Panel* container() const { return container_; }
  // Rectangles and labels drawn straight on the window, below buttons and panels.
  bool onSurface() const;

  Twips left() const { return g_.left; }
  Twips top() const { return g_.top; }
  Twips width() const { return g_.width; }
  Twips height() const { return g_.height; }
  bool visible() const { return g_.visible; }
  RectF bounds() const { return {g_.left, g_.top, g_.width, g_.height}; }

  // Setting a property to the value it has does nothing; the setters are
  // inline so that this common case costs a compare.
  void setLeft(Twips v) {
    if (v != g_.left) change([&] { g_.left = v; });
  }
  void setTop(Twips v) {
    if (v != g_.top) change([&] { g_.top = v; });
  }
  void setWidth(Twips v) {
    if (v != g_.width) change([&] { g_.width = v; });
  }
  void setHeight(Twips v) {
    if (v != g_.height) change([&] { g_.height = v; });
  }
  void setVisible(bool v) {
    if (v != g_.visible) change([&] { g_.visible = v; });
  }

  // In front of every other control of its layer (or of its panel).
  void bringToFront();

 protected:
  Control(Window& window, ControlKind kind, std::string name, int index, Panel* container,
          const Geometry& g);

  // Applies a change and tells the window what was on show before it.
  template <class Mutate>
  void change(Mutate&& mutate) {
    const bool wasVisible = g_.visible;
    const RectF before = bounds();
    mutate();
    changed(wasVisible, before);
  }

  Geometry& geometry() { return g_; }

 private:
  void changed(bool wasVisible, const RectF& before);

  Window& window_;
  ControlKind kind_;
  int index_;
  Panel* container_;
  std::string name_;
  Geometry g_;
};

class Rectangle final : public Control {
 public:
  struct Look {
    Colour backColor = 0;
    Colour borderColor = 0;
    int borderWidth = 1;  // in pixels
    int fillStyle = 1;    // 1 plain, 6 cross hatch, 7 diagonal cross hatch
  };

  Rectangle(Window& window, std::string name, const Geometry& g, const Look& look,
            Panel* container = nullptr, int index = -1);
  // A new array element: a copy of the template that starts hidden.
  Rectangle(const Rectangle& tmpl, int index);

  Colour backColor() const { return look_.backColor; }
  Colour borderColor() const { return look_.borderColor; }
  int borderWidth() const { return look_.borderWidth; }
  int fillStyle() const { return look_.fillStyle; }
  const Look& look() const { return look_; }

  void setBackColor(Colour c) {
    if (c != look_.backColor) change([&] { look_.backColor = c; });
  }
  void setFillStyle(int style) {
    if (style != look_.fillStyle) change([&] { look_.fillStyle = style; });
  }

 private:
  Look look_;
};

class Label final : public Control {
 public:
  struct Look {
    Font font;
    Colour foreColor = 0;
    Colour backColor = 0;
    bool transparent = true;  // the window shows through
    bool autoSize = false;    // Width and Height follow the caption
    bool wordWrap = false;    // text wraps inside the label's own size
  };

  Label(Window& window, std::string name, const Geometry& g, std::string caption, const Look& look);

  const std::string& caption() const { return caption_; }
  const Look& look() const { return look_; }
  void setCaption(std::string_view text);

  // Resizes a self-sizing label to its caption in the window's text metrics.
  void fitToCaption();

 private:
  std::string caption_;
  Look look_;
};

class PushButton final : public Control {
 public:
  PushButton(Window& window, std::string name, const Geometry& g, std::string caption, Font font,
             int tabIndex, std::function<void()> onClick);

  const std::string& caption() const { return caption_; }
  const Font& font() const { return font_; }
  // The button's place in the window's keyboard focus order, lowest first.
  int tabIndex() const { return tabIndex_; }

  // Raises the click event. The handler may unload the window and with it
  // this button, so nothing of the button is touched once it runs.
  void click();

 private:
  std::string caption_;
  Font font_;
  int tabIndex_;
  std::function<void()> onClick_;
};

// A borderless area of one colour that holds and clips its own controls.
class Panel final : public Control {
 public:
  Panel(Window& window, std::string name, const Geometry& g, Colour backColor);
  ~Panel() override;

  Colour backColor() const { return backColor_; }
  // The controls inside, back to front.
  const std::vector<Control*>& children() const { return children_; }

 private:
  friend class Control;
  friend class Window;
  Colour backColor_;
  std::vector<Control*> children_;
};

}  // namespace vorlane
