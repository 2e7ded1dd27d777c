// SPDX-License-Identifier: MIT
#include "platform/control_array.h"

#include <stdexcept>

namespace vorlane {

RectangleArray::RectangleArray(Window& window, std::string name, const Geometry& g,
                               const Rectangle::Look& look)
    : name_(std::move(name)) {
  elements_.push_back(std::make_unique<Rectangle>(window, name_, g, look, nullptr, 0));
}

RectangleArray::~RectangleArray() {
  // Newest first, the order in which the window's lists give them up cheapest.
  while (!elements_.empty()) elements_.pop_back();
}

void RectangleArray::load(int n) {
  if (n <= 0 || exists(n)) {
    throw std::logic_error(name_ + "(" + std::to_string(n) + ") " +
                           (n <= 0 ? "cannot be created" : "already exists"));
  }
  const auto slot = static_cast<std::size_t>(n);
  if (slot >= elements_.size()) elements_.resize(slot + 1);
  elements_[slot] = std::make_unique<Rectangle>(*elements_[0], n);
  while (dense_ < elements_.size() && elements_[dense_] != nullptr) ++dense_;
}

int RectangleArray::count() const {
  int n = 0;
  for (const auto& e : elements_) n += e != nullptr ? 1 : 0;
  return n;
}

void RectangleArray::missing(int n) const {
  throw std::out_of_range(name_ + "(" + std::to_string(n) + ") does not exist");
}

}  // namespace vorlane
