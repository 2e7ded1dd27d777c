// SPDX-License-Identifier: MIT
#include "desktop/fonts.h"

#include <QFontMetricsF>
#include <QString>
#include <cmath>
#include <string_view>

#include "platform/font_faces.h"
#include "platform/view_core.h"

namespace vorlane::desktop {

int pixelSizeOf(float points) { return fontPixelSize(points); }

void installFontSubstitutes() {
  const auto qs = [](std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
  };
  for (const FaceSubstitute& s : kFaceSubstitutes) {
    QFont::insertSubstitution(qs(s.design), qs(s.free));
  }
}

namespace {
bool sameFont(const Font& a, const Font& b) {
  return a.points == b.points && a.bold == b.bold && a.italic == b.italic && a.face == b.face;
}
}  // namespace

const QFont& FontCache::get(const Font& font) {
  for (const Entry& e : entries_) {
    if (sameFont(e.key, font)) return e.font;
  }
  QFont q(QString::fromStdString(font.face));
  q.setPixelSize(pixelSizeOf(font.points));
  q.setBold(font.bold);
  q.setItalic(font.italic);
  entries_.push_back({font, q});
  return entries_.back().font;
}

SizeF QtTextMetrics::measure(const Font& font, const std::string& text) {
  const QFontMetricsF fm(fonts_.get(font));
  return labelExtent(fm.horizontalAdvance(QString::fromStdString(text)), fm.height());
}

}  // namespace vorlane::desktop
