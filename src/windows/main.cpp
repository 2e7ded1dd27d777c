// SPDX-License-Identifier: MIT
// The program on Windows: the game window drawn by the Win32 view, driven
// by real time.

#include <windows.h>

#include "windows/run_game.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command*/, int /*show*/) {
  return vorlane::windows::runGame(instance);
}
