// SPDX-License-Identifier: MIT
#include "platform/touch.h"

#include <algorithm>
#include <cmath>

#include "platform/keys.h"

namespace vorlane {

void TouchGestures::start(int id, Twips x, Twips y, double ms) {
  if (finger_) return;
  const RectF& w = geometry_.well;
  if (geometry_.cell <= 0 || x < w.left || x >= w.right() || y < w.top || y >= w.bottom()) return;
  finger_ = Finger{id, x, y, ms};
}

void TouchGestures::move(int id, Twips x, Twips y, double /*ms*/) {
  if (finger_ && finger_->id == id) follow(*finger_, x, y);
}

void TouchGestures::end(int id, Twips x, Twips y, double ms) {
  if (!finger_ || finger_->id != id) return;
  Finger f = *finger_;
  finger_.reset();
  follow(f, x, y);
  if (f.keyed || f.travel >= geometry_.tapSlop || ms - f.t0 >= kTapMs) return;
  const RectF& w = geometry_.well;
  // The right half turns the piece clockwise (A), the left half the other way (S).
  raise(f.x0 >= w.left + w.width / 2 ? vk::kA : vk::kS);
}

void TouchGestures::cancel(int id) {
  if (finger_ && finger_->id == id) finger_.reset();
}

void TouchGestures::follow(Finger& f, Twips x, Twips y) {
  const Twips dx = x - f.x0;
  const Twips dy = y - f.y0;
  f.travel = std::max(f.travel, std::hypot(dx, dy));
  if (f.dropped) return;
  // A drag is read by its main direction. Down when the finger went more
  // than a cell down and clearly more down than sideways (by half a cell:
  // a drag on the diagonal, or one that sags, is sideways), and only while
  // it has shifted no column: a sideways drag never drops the piece.
  if (!f.shifted && dy > geometry_.cell && dy > std::abs(dx) + geometry_.cell / 2) {
    f.dropped = true;
    f.keyed = true;
    raise(vk::kDown);
    return;
  }
  // One column per whole cell of travel from where the finger started; back
  // again moves the piece back.
  const int want = static_cast<int>(std::trunc(dx / geometry_.cell));
  while (f.columns != want) {
    f.keyed = true;
    f.shifted = true;
    if (f.columns < want) {
      ++f.columns;
      raise(vk::kRight);
    } else {
      --f.columns;
      raise(vk::kLeft);
    }
  }
}

void TouchGestures::raise(std::uint16_t key) {
  if (press_) press_(key);
}

}  // namespace vorlane
