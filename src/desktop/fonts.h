// SPDX-License-Identifier: MIT
// Fonts of the control model on Qt: the design faces' substitutes, the
// mapping of a model font to a QFont, and the text metrics that self-sizing
// labels measure their captions with.
#pragma once

#include <QFont>
#include <deque>
#include <string>

#include "platform/types.h"
#include "platform/window.h"

namespace vorlane::desktop {

// Points to pixels at the model's 15 twips per pixel (96 per inch), so that
// text keeps its size against the rest of the window whatever the screen's DPI.
int pixelSizeOf(float points);

// Points the design faces at close matches from Debian's font packages.
// Call once before the first font is used. A face that is not installed
// leaves Qt's own fallback to serve.
void installFontSubstitutes();

// The QFont of each model font, made once: painting and measuring ask for
// the same few fonts over and over.
class FontCache {
 public:
  // The reference stays valid as long as the cache.
  const QFont& get(const Font& font);

 private:
  struct Entry {
    Font key;
    QFont font;
  };
  std::deque<Entry> entries_;  // a deque, so that references stay put
};

// Caption sizes in twips, measured in the fonts the view draws with.
class QtTextMetrics final : public TextMetrics {
 public:
  explicit QtTextMetrics(FontCache& fonts) : fonts_(fonts) {}
  SizeF measure(const Font& font, const std::string& text) override;

 private:
  FontCache& fonts_;
};

}  // namespace vorlane::desktop
