#include "platform/qt/fonts.h"

#include <QFontMetricsF>
#include <QString>
#include <cmath>

namespace vorlane::qt {

int pixelSizeOf(float points) { return static_cast<int>(std::lround(points * 4.0F / 3.0F)); }

void installFontSubstitutes() {
  // Liberation Serif shares Times New Roman's metrics, so the counter labels
  // keep their design widths; the others are the nearest in look.
  QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
  QFont::insertSubstitution(QStringLiteral("Garamond"), QStringLiteral("EB Garamond"));
  QFont::insertSubstitution(QStringLiteral("Lucida Sans Unicode"), QStringLiteral("DejaVu Sans"));
  QFont::insertSubstitution(QStringLiteral("Lucida Handwriting"), QStringLiteral("Z003"));
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
  // A pixel to spare keeps the last glyph's overhang inside the label.
  const qreal width = std::ceil(fm.horizontalAdvance(QString::fromStdString(text))) + 1;
  const qreal height = std::ceil(fm.height());
  return {static_cast<Twips>(width) * kTwipsPerPixel, static_cast<Twips>(height) * kTwipsPerPixel};
}

}  // namespace vorlane::qt
