// SPDX-License-Identifier: MIT
// Fingers on the well as the keys a keyboard would press: a sideways drag
// shifts the piece one column per cell of travel, a tap turns it (right
// half clockwise, left half anticlockwise), a drag downwards lets it fall.
// Portable: the page feeds it points in twips and times in milliseconds,
// and it answers with virtual-key codes, which go the keyboard's way.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/types.h"

namespace vorlane {

class TouchGestures {
 public:
  // Where gestures start and how far a finger must go.
  struct Geometry {
    RectF well;           // a touch that starts outside it does nothing
    Twips cell = 0;       // the travel of one column, and of a drop
    Twips tapSlop = 150;  // a tap travels less (10 CSS pixels at scale 1)
  };
  // Longer than this, a touch that did not move is not a tap.
  static constexpr double kTapMs = 300;

  explicit TouchGestures(std::function<void(std::uint16_t)> press) : press_(std::move(press)) {}

  void setGeometry(const Geometry& geometry) { geometry_ = geometry; }
  const Geometry& geometry() const { return geometry_; }

  // One finger at a time: while one is followed, others are ignored until
  // it lifts. `id` tells fingers apart; times are any monotonic clock in ms.
  void start(int id, Twips x, Twips y, double ms);
  void move(int id, Twips x, Twips y, double ms);
  void end(int id, Twips x, Twips y, double ms);
  // The browser took the touch away (a system gesture): no tap, no more keys.
  void cancel(int id);

  bool following() const { return finger_.has_value(); }

 private:
  struct Finger {
    int id;
    Twips x0, y0;
    double t0;
    Twips travel = 0;  // the furthest it has been from where it started
    int columns = 0;   // Left (negative) or Right presses raised so far
    bool dropped = false;
    bool shifted = false;  // moved the piece sideways: read as a sideways drag
    bool keyed = false;    // raised any key: no longer a tap
  };
  void follow(Finger& f, Twips x, Twips y);
  void raise(std::uint16_t key);

  std::function<void(std::uint16_t)> press_;
  Geometry geometry_;
  std::optional<Finger> finger_;
};

}  // namespace vorlane
