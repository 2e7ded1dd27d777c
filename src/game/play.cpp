// SPDX-License-Identifier: MIT
// Play control: the intro, gravity and spawning, the keyboard, the opening
// curtain, pause, game over and restart.
#include <algorithm>
#include <cmath>

#include "game/colour.h"
#include "window/form1.h"

namespace vorlane {

int Form1::drawPiece() {
  const double u = random_.next();
  return static_cast<int>(std::clamp(std::floor(u * 24.0), 0.0, 23.0)) + 1;
}

void Form1::Timer2_Timer() {
  // The intro: pieces 0 to 7 (0 has no blocks), four rotation states each,
  // one a tick; piece 8 starts play.
  turn = turn + 1;
  if (turn > 4) {
    turn = 1;
    piece = piece + 1;
  }
  py = 8;
  px = 3;
  if (piece < 8) drop();
  if (piece == 8) begin();
}

void Form1::begin() {
  Timer2().setInterval(0);
  Timer1().setInterval(50);
  nextpiece = drawPiece();
  change();
}

void Form1::Timer1_Timer() {
  drop();
  if (landed) {
    stack();
    change();
  }
}

void Form1::change() {
  speed = 0.1F;
  piece = nextpiece;
  nextpiece = drawPiece();
  shownext();
  px = 3;
  py = -4;
  turn = 1;
  for (i = 1; i <= 25; ++i) {
    Rectangle& block = Shape1(i);
    block.setVisible(false);
    block.setFillStyle(7);
    block.setBackColor(randomColour(random_));
  }
}

void Form1::Form_KeyDown(std::uint16_t KeyCode, int /*Shift*/) {
  // A shift or turn is tried on the record and taken back when the collision
  // test refuses it; the next tick that draws shows the result.
  switch (KeyCode) {
    case vk::kLeft:
    case vk::kRight:
      hold = px;
      px = KeyCode == vk::kLeft ? px - 1 : px + 1;
      verified();
      if (blocked == -1) px = hold;
      break;
    case vk::kA:
      hold = turn;
      turn = turn + 1;
      if (turn == 5) turn = 1;
      verified();
      if (blocked == -1) turn = hold;
      break;
    case vk::kS:
      hold = turn;
      turn = turn - 1;
      if (turn == 0) turn = 4;
      verified();
      if (blocked == -1) turn = hold;
      break;
    case vk::kDown:
      speed = 1;
      break;
    case vk::kP:
      Pause().setVisible(true);
      // In front of the curtain too: a pause while the curtain still covers
      // the window would otherwise hide the only way to resume.
      Pause().bringToFront();
      Timer1().setEnabled(false);
      Timer2().setEnabled(false);
      Timer3().setEnabled(false);
      break;
    default:
      break;
  }
}

bool Form1::gameUnderWay() const { return loaded() && !Pause().visible() && !Command1().visible(); }

void Form1::Pause_Click() {
  Pause().setVisible(false);
  Timer1().setEnabled(true);
  Timer2().setEnabled(true);
  Timer3().setEnabled(true);
}

void Form1::Command1_Click() {
  // The window goes and comes back with its design values; the record stays.
  // Start-up runs inside show(), and no tick can come before the intro's new
  // pace is set.
  unload();
  show();
  Timer2().setInterval(1);
}

void Form1::cover() {
  // Two black panels, each the window's outer size, meet across the middle.
  Timer2().setInterval(2);
  covertop().setLeft(0);
  covertop().setWidth(width());
  covertop().setHeight(height());
  covertop().setTop(-height() / 2);
  covertop().setVisible(true);
  coverbottom().setLeft(0);
  coverbottom().setWidth(width());
  coverbottom().setHeight(height());
  coverbottom().setTop(height() / 2);
  coverbottom().setVisible(true);
  covertop().bringToFront();
  coverbottom().bringToFront();
  cot().setHeight(covertop().height());
  cot().setWidth(covertop().width());
  cob().setHeight(coverbottom().height());
  cob().setWidth(coverbottom().width());
}

void Form1::Timer3_Timer() {
  covertop().setTop(covertop().top() - 250);
  coverbottom().setTop(coverbottom().top() + 250);
  if (coverbottom().top() > height()) Timer3().setInterval(0);
}

}  // namespace vorlane
