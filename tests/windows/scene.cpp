// SPDX-License-Identifier: MIT
// Draws scenes of a headless game with the Windows view's canvas into a
// memory bitmap (no window), for the check that it draws what the desktop
// view draws: vorlane_windows_scene SEED STEPS OUT.ppm [STEPS OUT.ppm]..., where
// STEPS is a space-separated list of aN (advance the clock N ms) and kN (key
// code N down), each scene a new game. Prints for each "scene OUT.ppm", then
// the visible rectangles and labels of the surface, "kind left top width
// height name" a line in pixels (kind R or L). One process draws them all:
// a Wine process start is dearer than a scene.

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/random.h"
#include "platform/scheduler.h"
#include "platform/view_core.h"
#include "scene_steps.h"
#include "window/form1.h"
#include "windows/fonts.h"
#include "windows/gdi_canvas.h"

namespace {

// The window's surface, then its panels on show, back to front, each from
// its own corner and cut to its place, as their child windows show them.
void draw(HDC dc, const vorlane::Window& window, vorlane::windows::FontCache& fonts,
          const vorlane::PixelBox& client) {
  vorlane::windows::GdiCanvas canvas(dc, 1.0, fonts);
  const vorlane::Painter painter(canvas, 1.0);
  painter.surface(window, client);
  for (const vorlane::Control* c : window.widgets()) {
    if (c->kind() != vorlane::ControlKind::Panel || !c->visible()) continue;
    const vorlane::PixelBox r = vorlane::pixelRect(c->bounds());
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, r.left, r.top, nullptr);
    IntersectClipRect(dc, 0, 0, r.width(), r.height());
    painter.panel(static_cast<const vorlane::Panel&>(*c), {0, 0, r.width(), r.height()});
    RestoreDC(dc, saved);
  }
}

bool writePpm(const char* path, const std::uint8_t* bgra, int width, int height) {
  FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return false;
  std::fprintf(f, "P6\n%d %d\n255\n", width, height);
  for (int i = 0; i < width * height; ++i) {
    const std::uint8_t rgb[3] = {bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]};
    std::fwrite(rgb, 1, 3, f);
  }
  return std::fclose(f) == 0;
}

// One scene, a new game: its controls printed, its picture written.
int drawScene(float seed, const char* steps, const char* out) {
  vorlane::Scheduler scheduler;
  vorlane::Random random;
  vorlane::Form1 form(scheduler, random, [seed] { return seed; });
  vorlane::windows::FontCache fonts;
  vorlane::windows::GdiTextMetrics metrics(fonts);
  form.setTextMetrics(&metrics);
  form.show();

  if (!vorlane::playSceneSteps(scheduler, form, steps)) return 2;
  std::printf("scene %s\n", out);
  const auto px = [](float v) { return std::lround(v / vorlane::kTwipsPerPixel); };
  for (const vorlane::Control* c : form.surface()) {
    if (!c->visible()) continue;
    std::printf("%c %ld %ld %ld %ld %s\n", c->kind() == vorlane::ControlKind::Label ? 'L' : 'R',
                px(c->left()), px(c->top()), px(c->width()), px(c->height()), c->name().c_str());
  }

  const int width = static_cast<int>(std::ceil(form.clientWidth() / vorlane::kTwipsPerPixel));
  const int height = static_cast<int>(std::ceil(form.clientHeight() / vorlane::kTwipsPerPixel));
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = vorlane::windows::makeBitmap(width, height, &bits);
  if (dc == nullptr || bitmap == nullptr) {
    std::fputs("vorlane_windows_scene: no memory bitmap\n", stderr);
    return 1;
  }
  const HGDIOBJ old = SelectObject(dc, bitmap);
  draw(dc, form, fonts, {0, 0, width, height});
  GdiFlush();
  const bool written = writePpm(out, static_cast<const std::uint8_t*>(bits), width, height);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  form.setTextMetrics(nullptr);
  if (!written) {
    std::fprintf(stderr, "vorlane_windows_scene: cannot write %s\n", out);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fputs("usage: vorlane_windows_scene SEED STEPS OUT.ppm [STEPS OUT.ppm]...\n", stderr);
    return 2;
  }
  if (const std::string failed = vorlane::windows::loadEmbeddedFonts(GetModuleHandleW(nullptr));
      !failed.empty()) {
    std::fprintf(stderr, "vorlane_windows_scene: %s\n", failed.c_str());
    return 1;
  }
  const float seed = std::strtof(argv[1], nullptr);
  for (int i = 2; i + 1 < argc; i += 2) {
    if (const int status = drawScene(seed, argv[i], argv[i + 1]); status != 0) return status;
  }
  return 0;
}
