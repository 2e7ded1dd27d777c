// SPDX-License-Identifier: MIT
// The application: the game window on the desktop, driven by real time.

#include "desktop/run_game.h"

int main(int argc, char** argv) { return vorlane::runGame(argc, argv); }
