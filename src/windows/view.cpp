// SPDX-License-Identifier: MIT
#include "windows/view.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "platform/keys.h"

// after windows.h, which it needs
#include <commctrl.h>

namespace vorlane::windows {

namespace {

constexpr wchar_t kWindowClass[] = L"VorlaneWindow";
constexpr wchar_t kPanelClass[] = L"VorlanePanel";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT kDestroyDropped = WM_APP + 1;
constexpr double kDefaultDpi = 96.0;

// Functions of Windows 10 (1607), looked up so that the program still
// starts on an older Windows, at the system's DPI there.
template <class Fn>
Fn user32(const char* name) {
  const FARPROC f = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(f));
}

// The window's DPI over 96; with no window yet, the system's (the primary
// monitor's).
double ratioOf(HWND hwnd) {
  static const auto getDpiForWindow = user32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  static const auto getDpiForSystem = user32<UINT(WINAPI*)()>("GetDpiForSystem");
  UINT dpi = 0;
  if (hwnd != nullptr && getDpiForWindow != nullptr) dpi = getDpiForWindow(hwnd);
  if (hwnd == nullptr && getDpiForSystem != nullptr) dpi = getDpiForSystem();
  if (dpi == 0) {
    const HDC dc = GetDC(hwnd);
    dpi = static_cast<UINT>(std::max(0, GetDeviceCaps(dc, LOGPIXELSX)));
    ReleaseDC(hwnd, dc);
  }
  return dpi > 0 ? dpi / kDefaultDpi : 1.0;
}

void frameAround(RECT& client, double ratio) {
  static const auto adjustForDpi =
      user32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (adjustForDpi != nullptr) {
    adjustForDpi(&client, kStyle, FALSE, 0, static_cast<UINT>(std::lround(ratio * kDefaultDpi)));
  } else {
    AdjustWindowRectEx(&client, kStyle, FALSE, 0);
  }
}

void registerClasses(HINSTANCE instance, WNDPROC window, WNDPROC panel) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, kWindowClass, &wc) != 0) return;
  wc.lpfnWndProc = window;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  // The small icon from its own image, not shrunk from the large one.
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  wc.lpszClassName = kWindowClass;
  if (RegisterClassExW(&wc) == 0) throw std::runtime_error("the window class could not be made");
  wc.lpfnWndProc = panel;
  wc.hIcon = nullptr;
  wc.hIconSm = nullptr;
  wc.lpszClassName = kPanelClass;
  if (RegisterClassExW(&wc) == 0) throw std::runtime_error("the panel class could not be made");
}

// Common Controls 6, which the manifest asks for, draws the buttons themed.
// It is loaded with the first button rather than at start-up: the first
// frame shows none. Without it the buttons are plain ones.
void loadCommonControls() {
  static const bool loaded = [] {
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const HMODULE dll = LoadLibraryW(L"comctl32.dll");
    const FARPROC f = dll != nullptr ? GetProcAddress(dll, "InitCommonControlsEx") : nullptr;
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    return f != nullptr && reinterpret_cast<Init>(reinterpret_cast<void*>(f))(&controls) != 0;
  }();
  static_cast<void>(loaded);
}

int shiftState() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftBit;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlBit;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltBit;
  return shift;
}

}  // namespace

View::View(Window& window, HINSTANCE instance) : WidgetView(window), instance_(instance) {
  registerClasses(instance, windowProc, panelProc);
  window_.setTextMetrics(&metrics_);
  window_.setObserver(this);
  windowChanged();
}

View::~View() {
  window_.setObserver(nullptr);
  if (window_.textMetrics() == &metrics_) window_.setTextMetrics(nullptr);
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  if (buffer_ != nullptr) {
    SelectObject(buffer_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(buffer_);
  }
}

RECT View::device(const PixelBox& logical) const {
  const PixelBox d = toDevice(logical, ratio_);
  return {d.left, d.top, d.right, d.bottom};
}

void View::create() {
  // Made once, hidden, at its size and centred on the primary monitor's work
  // area (on one too small for it the caption bar at least stays in reach):
  // nothing moves or resizes before it shows.
  made_ = true;
  ratio_ = ratioOf(nullptr);
  const SIZE outer = outerSize();
  LONG x = CW_USEDEFAULT;
  LONG y = CW_USEDEFAULT;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor) != 0) {
    const RECT& work = monitor.rcWork;
    x = std::max(work.left, work.left + (work.right - work.left - outer.cx) / 2);
    y = std::max(work.top, work.top + (work.bottom - work.top - outer.cy) / 2);
  }
  hwnd_ = CreateWindowExW(0, kWindowClass, wide(window_.caption()).c_str(), kStyle, x, y, outer.cx,
                          outer.cy, nullptr, nullptr, instance_, this);
  if (hwnd_ == nullptr) throw std::runtime_error("the window could not be made");
  // Where the system's DPI is not the monitor's, resize() puts it right.
  ratio_ = ratioOf(hwnd_);
}

void View::show() {
  if (hwnd_ == nullptr) return;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(hwnd_);
  flush();
}

SIZE View::outerSize() const {
  const RECT client = device(clientPixels(window_));
  RECT frame{0, 0, client.right, client.bottom};
  frameAround(frame, ratio_);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

void View::resize() {
  const PixelBox client = clientPixels(window_);
  const RECT d = device(client);
  const int width = d.right;
  const int height = d.bottom;
  if (width <= 0 || height <= 0) return;
  if (width != bufferWidth_ || height != bufferHeight_) {
    void* bits = nullptr;
    HBITMAP bitmap = makeBitmap(width, height, &bits);
    if (bitmap == nullptr) throw std::bad_alloc();
    if (buffer_ == nullptr) {
      buffer_ = CreateCompatibleDC(nullptr);
      if (buffer_ == nullptr) throw std::bad_alloc();
      oldBitmap_ = SelectObject(buffer_, bitmap);
    } else {
      SelectObject(buffer_, bitmap);
      DeleteObject(bitmap_);
    }
    bitmap_ = bitmap;
    bufferWidth_ = width;
    bufferHeight_ = height;
  }
  const SIZE outer = outerSize();
  RECT now{};
  GetWindowRect(hwnd_, &now);
  if (now.right - now.left != outer.cx || now.bottom - now.top != outer.cy) {
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void View::rescale(double ratio, const RECT* suggested) {
  ratio_ = ratio;
  if (suggested != nullptr) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  resize();
  for (Entry& e : widgets_) {
    if (e.model->kind() == ControlKind::PushButton && e.widget != nullptr) {
      const Font& font = static_cast<const PushButton&>(*e.model).font();
      SendMessageW(e.widget, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(font, ratio_)), TRUE);
    }
    placeWidget(e);
  }
  damage_.all(clientPixels(window_));
  flush();
}

void View::surfaceDamaged(const RectF& area) {
  // Damage outside the window never shows and is left out.
  const PixelBox pixels = damagedPixels(area) & clientPixels(window_);
  if (!pixels.empty()) damage_.add(pixels);
}

void View::windowChanged() {
  // The design size a load sets before the window counts as loaded is never
  // seen, so the window is made once the first load has ended.
  if (!made_ && window_.loaded()) create();
  if (hwnd_ == nullptr) return;
  if (syncLoaded()) {
    resize();
    damage_.all(clientPixels(window_));
  }
  SetWindowTextW(hwnd_, wide(window_.caption()).c_str());
}

void View::paintBuffer(const PixelBox& logical) {
  if (buffer_ == nullptr) return;
  const RECT d = device(logical);
  const int saved = SaveDC(buffer_);
  IntersectClipRect(buffer_, d.left, d.top, d.right, d.bottom);
  GdiCanvas canvas(buffer_, ratio_, fonts_);
  Painter(canvas, ratio_).surface(window_, logical);
  RestoreDC(buffer_, saved);
}

void View::flush() {
  if (hwnd_ == nullptr) damage_.clear();  // none to draw before the window is made, or after
  if (damage_.empty()) return;
  for (const PixelBox& a : damage_.areas()) {
    paintBuffer(a);
    const RECT d = device(a);
    InvalidateRect(hwnd_, &d, FALSE);
  }
  damage_.clear();
  // Painted now, not at the next turn of the message loop: one wake-up a tick.
  UpdateWindow(hwnd_);
}

HWND View::makeButton(const PushButton& button) {
  loadCommonControls();
  // Only Tab gives a button the focus: the keyboard belongs to the game.
  const HWND widget = CreateWindowExW(
      0, L"BUTTON", wide(button.caption()).c_str(),
      WS_CHILD | WS_CLIPSIBLINGS | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER, 0, 0, 0,
      0, hwnd_, nullptr, instance_, nullptr);
  if (widget == nullptr) throw std::runtime_error("a button could not be made");
  SendMessageW(widget, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.get(button.font(), ratio_)),
               FALSE);
  return widget;
}

bool View::makeWidget(Control& model, HWND& widget) {
  if (model.kind() == ControlKind::PushButton) {
    widget = nullptr;  // made by placeWidget when it first shows
    return true;
  }
  if (model.kind() == ControlKind::Panel) {
    widget = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, hwnd_,
                             nullptr, instance_, nullptr);
    if (widget == nullptr) throw std::runtime_error("a panel could not be made");
    SetWindowLongPtrW(widget, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&model));
    return true;
  }
  return false;  // rectangles and labels are drawn on the surface
}

void View::placeWidget(Entry& entry) {
  const PixelBox logical = pixelRect(entry.model->bounds());
  const auto dev = [this](int v) { return static_cast<int>(std::floor(v * ratio_ + 0.5)); };
  const bool shown = entry.model->visible();
  const bool made = entry.widget == nullptr;
  if (made) {
    if (!shown) return;
    entry.widget = makeButton(static_cast<const PushButton&>(*entry.model));
  }
  if (!shown && GetFocus() == entry.widget) SetFocus(hwnd_);
  SetWindowPos(entry.widget, nullptr, dev(logical.left), dev(logical.top),
               dev(logical.right) - dev(logical.left), dev(logical.bottom) - dev(logical.top),
               SWP_NOZORDER | SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  // A panel's rectangles have no windows of their own.
  if (entry.model->kind() == ControlKind::Panel) InvalidateRect(entry.widget, nullptr, FALSE);
  if (made) widgets_.restack(window_);
}

void View::dropWidget(HWND widget) {
  if (widget == nullptr) return;
  // This may run inside the button's own click (the "Game Over" button
  // unloads the window): the window is hidden and cut off from its model
  // now, and destroyed once control is back in the message loop.
  if (GetFocus() == widget) SetFocus(hwnd_);
  ShowWindow(widget, SW_HIDE);
  SetWindowLongPtrW(widget, GWLP_USERDATA, 0);
  dropped_.push_back(widget);
  PostMessageW(hwnd_, kDestroyDropped, 0, 0);
}

void View::stackWidgets(const std::vector<HWND>& backToFront) {
  // Each to the top in back-to-front order leaves them stacked as the model's.
  for (HWND widget : backToFront) {
    if (widget == nullptr) continue;
    SetWindowPos(widget, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

View::Entry* View::entryOf(HWND widget) {
  if (widget == nullptr) return nullptr;
  const auto it = std::find_if(widgets_.begin(), widgets_.end(),
                               [&](const Entry& e) { return e.widget == widget; });
  return it != widgets_.end() ? &*it : nullptr;
}

bool View::focusNext(bool forward) {
  const Entry* target = widgets_.nextInTabOrder(GetFocus(), forward, [](HWND w) {
    return IsWindowVisible(w) != 0 && IsWindowEnabled(w) != 0;
  });
  if (target == nullptr) return false;
  SetFocus(target->widget);
  // The focus cue shows, as it does once the keyboard is used in a dialog.
  SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  return true;
}

bool View::takeKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (msg.hwnd != hwnd_ && GetParent(msg.hwnd) != hwnd_) return false;
  const auto key = static_cast<std::uint16_t>(msg.wParam);
  const int shift = shiftState();
  if (msg.message == WM_SYSKEYDOWN && key == VK_F4) return false;  // Alt+F4 closes
  // Three keys are the window's rather than the game's: Tab moves the focus
  // while a button is on show to take it (not with Ctrl or Alt), and Space
  // or Enter presses the button that has it. The button does Space itself,
  // pushed on the key-down and clicked on the key-up, as a mouse click is.
  if (key == vk::kTab && (shift & (kCtrlBit | kAltBit)) == 0 &&
      focusNext((shift & kShiftBit) == 0)) {
    return true;
  }
  const HWND focus = GetFocus();
  if (const Entry* e = entryOf(focus);
      e != nullptr && e->model->kind() == ControlKind::PushButton && IsWindowVisible(focus) != 0) {
    if (key == vk::kSpace) return false;
    if (key == vk::kReturn) {
      buttonClicked(focus);
      return true;
    }
  }
  // Every other key-down is the game's, auto-repeats included, as the
  // keyboard reports its virtual-key code.
  if (inputHook_) inputHook_();
  window_.keyDown(key, shift);
  return true;
}

void View::buttonClicked(HWND button) {
  if (inputHook_) inputHook_();
  Entry* e = entryOf(button);
  if (e == nullptr || e->model->kind() != ControlKind::PushButton || !e->model->visible()) return;
  // After a click the keys are the game's again.
  SetFocus(hwnd_);
  // The handler may unload the window, which destroys the model button and
  // changes widgets_: nothing of either is touched after this call.
  static_cast<PushButton&>(*e->model).click();
}

void View::paintPanel(HWND panel) {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(panel, &ps);
  const auto* model = reinterpret_cast<const Panel*>(GetWindowLongPtrW(panel, GWLP_USERDATA));
  if (model != nullptr) {
    const PixelBox r = pixelRect(model->bounds());
    GdiCanvas canvas(dc, ratio_, fonts_);
    Painter(canvas, ratio_).panel(*model, {0, 0, r.width(), r.height()});
  }
  EndPaint(panel, &ps);
}

LRESULT CALLBACK View::panelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT) {
    auto* view = reinterpret_cast<View*>(GetWindowLongPtrW(GetParent(hwnd), GWLP_USERDATA));
    if (view != nullptr) {
      view->paintPanel(hwnd);
      return 0;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK View::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<View*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    view->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<View*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (view == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return view->handle(message, wParam, lParam);
}

LRESULT View::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(hwnd_, &ps);
      const RECT& r = ps.rcPaint;
      if (buffer_ != nullptr) {
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer_, r.left, r.top,
               SRCCOPY);
      }
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
        buttonClicked(reinterpret_cast<HWND>(lParam));
        return 0;
      }
      break;
    case kDestroyDropped:
      for (HWND widget : dropped_) DestroyWindow(widget);
      dropped_.clear();
      return 0;
    case WM_DPICHANGED:
      rescale(HIWORD(wParam) / kDefaultDpi, reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SYSCOMMAND:
      // Alt alone does not take the keyboard into the window menu: Alt is
      // one of the game's keys.
      if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace vorlane::windows
