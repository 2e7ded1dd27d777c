// SPDX-License-Identifier: MIT
// The yardstick of the Windows program's budgets: a bare Win32 window of
// the game's size that does what a playing game must at the least, a 50 ms
// window timer and a small repaint at each tick. With VORLANE_MEASURE_FILE
// set it writes there "first-frame" once its first paint is done.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kClientWidth = 421;
constexpr int kClientHeight = 433;
int tick = 0;

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: {
      ++tick;
      const RECT cell{20 * (tick % 10), 20, 20 * (tick % 10) + 20, 40};
      InvalidateRect(hwnd, &cell, FALSE);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(hwnd, &ps);
      SetDCBrushColor(dc, tick % 2 != 0 ? RGB(255, 255, 0) : RGB(0, 0, 255));
      FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command*/, int /*show*/) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"BareWindow";
  RegisterClassExW(&wc);
  constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND hwnd = CreateWindowExW(0, L"BareWindow", L"Bare window", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              instance, nullptr);
  if (hwnd == nullptr) return 2;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  if (const char* file = std::getenv("VORLANE_MEASURE_FILE")) {
    if (FILE* f = std::fopen(file, "w")) {
      std::fputs("first-frame\n", f);
      std::fclose(f);
    }
  }
  SetTimer(hwnd, 1, 50, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
