// SPDX-License-Identifier: MIT
// A control array of rectangles: element 0 comes from the design, further
// elements are created by number as hidden copies of it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace vorlane {

class RectangleArray {
 public:
  RectangleArray(Window& window, std::string name, const Geometry& g, const Rectangle::Look& look);
  RectangleArray(const RectangleArray&) = delete;
  RectangleArray& operator=(const RectangleArray&) = delete;
  ~RectangleArray();

  const std::string& name() const { return name_; }

  // Creates element n as a copy of element 0 that starts hidden. Creating an
  // element that exists is a programming error and throws.
  void load(int n);
  bool exists(int n) const {
    const auto slot = static_cast<std::size_t>(n);  // a negative n wraps past every size
    return slot < dense_ || (slot < elements_.size() && elements_[slot] != nullptr);
  }
  // Element n; addressing one that was never created throws.
  Rectangle& operator()(int n) const {
    if (!exists(n)) missing(n);
    return *elements_[static_cast<std::size_t>(n)];
  }
  // The number of elements, template included.
  int count() const;

 private:
  [[noreturn]] void missing(int n) const;

  std::string name_;
  std::vector<std::unique_ptr<Rectangle>> elements_;
  // Elements 0 to dense_ - 1 all exist: arrays are loaded in order, so this
  // answers almost every lookup with one compare.
  std::size_t dense_ = 1;
};

}  // namespace vorlane
