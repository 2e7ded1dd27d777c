// SPDX-License-Identifier: MIT
// The top-level window on Windows: draws a model window and its controls
// with GDI, keeps a BUTTON control for each model button and a child window
// for each panel, and hands keys and clicks to the model.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

#include "platform/view_core.h"
#include "platform/widget_sync.h"
#include "platform/window.h"
#include "windows/gdi_canvas.h"

namespace vorlane::windows {

class View final : public WidgetView<HWND> {
 public:
  // Observes `window` from now on, measuring its labels in the program's
  // fonts; makes the (hidden) window once its first load has ended.
  View(Window& window, HINSTANCE instance);
  View(const View&) = delete;
  View& operator=(const View&) = delete;
  ~View() override;

  // Called before every key and click reaches the model; the program lets
  // the scheduler catch up there.
  void setInputHook(std::function<void()> hook) { inputHook_ = std::move(hook); }

  // Shows the window with the keyboard.
  void show();

  // Draws what was damaged since the last call and puts it on screen: once
  // after each wake-up or run of input.
  void flush();

  // A key message on its way to one of the view's windows: true when the
  // view took it (the game's keys, Tab between the buttons, Enter on one).
  bool takeKey(const MSG& msg);

  // WindowObserver.
  void surfaceDamaged(const RectF& area) override;
  void windowChanged() override;

 private:
  using Entry = WidgetSync<HWND>::Entry;

  // WidgetSync's host. A button's window is made when the button first
  // shows, so that start-up waits for none: until then its widget is null.
  bool makeWidget(Control& model, HWND& widget) override;
  void placeWidget(Entry& entry) override;
  void dropWidget(HWND widget) override;
  void stackWidgets(const std::vector<HWND>& backToFront) override;

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK panelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void paintPanel(HWND panel);

  void create();
  HWND makeButton(const PushButton& button);
  RECT device(const PixelBox& logical) const;
  SIZE outerSize() const;  // the window's, frame and all, for the design at the ratio
  void resize();           // the window and its back buffer to the design at the ratio
  void rescale(double ratio, const RECT* suggested);
  void paintBuffer(const PixelBox& logical);
  void buttonClicked(HWND button);
  bool focusNext(bool forward);
  Entry* entryOf(HWND widget);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  double ratio_ = 1.0;
  FontCache fonts_;
  GdiTextMetrics metrics_{fonts_};
  std::function<void()> inputHook_;
  std::vector<HWND> dropped_;  // hidden, destroyed once back in the message loop
  bool made_ = false;          // the window, which is made once
  // The window's surface as last drawn, in device pixels; WM_PAINT copies
  // from it, and damage is drawn into it.
  HDC buffer_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int bufferWidth_ = 0;
  int bufferHeight_ = 0;
  Damage damage_{8};  // logical pixels
};

}  // namespace vorlane::windows
