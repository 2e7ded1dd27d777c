// SPDX-License-Identifier: MIT
// The design faces on this machine, and captions measured in them.
#include "desktop/fonts.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include "viewed_game.h"

namespace vorlane::desktop {
namespace {

TEST(Fonts, DesignFacesFindTheirSubstitutes) {
  FontCache fonts;
  const auto family = [&](const char* face) {
    return QFontInfo(fonts.get({face, 15.75F, true, false})).family();
  };
  EXPECT_EQ(family("Times New Roman"), QStringLiteral("Liberation Serif"));
  EXPECT_TRUE(family("Garamond").startsWith(QStringLiteral("EB Garamond")));
  EXPECT_EQ(family("Lucida Sans Unicode"), QStringLiteral("DejaVu Sans"));
  // URW's face comes in two formats, told apart by foundry: "Z003 [urw]".
  EXPECT_TRUE(family("Lucida Handwriting").startsWith(QStringLiteral("Z003")));
  // A face nobody has still gets a font.
  EXPECT_FALSE(family("No Such Face At All").isEmpty());
}

TEST(Fonts, PointsBecomePixelsAtFifteenTwipsEach) {
  EXPECT_EQ(pixelSizeOf(15.75F), 21);
  EXPECT_EQ(pixelSizeOf(20.25F), 27);
  EXPECT_EQ(pixelSizeOf(36), 48);
  EXPECT_EQ(pixelSizeOf(48), 64);
  FontCache fonts;
  const QFont& font = fonts.get({"Lucida Sans Unicode", 36, true, true});
  EXPECT_EQ(font.pixelSize(), 48);
  EXPECT_TRUE(font.bold());
  EXPECT_TRUE(font.italic());
  EXPECT_EQ(&fonts.get({"Lucida Sans Unicode", 36, true, true}), &font);  // made once
}

TEST(Fonts, MetricsGrowWithTheCaption) {
  FontCache fonts;
  QtTextMetrics metrics(fonts);
  const Font counter{"Times New Roman", 15.75F, true, false};
  const SizeF shorter = metrics.measure(counter, "Rows:000");
  const SizeF longer = metrics.measure(counter, "HiScore:000000");
  EXPECT_GT(longer.width, shorter.width);
  EXPECT_EQ(longer.height, shorter.height);
  // Whole pixels, in twips.
  EXPECT_EQ(std::fmod(longer.width, kTwipsPerPixel), 0.0F);
  // Liberation Serif has Times New Roman's widths: the design sizes, give or
  // take a pixel or two of rounding.
  EXPECT_NEAR(longer.width, 2175, 3 * kTwipsPerPixel);
  EXPECT_NEAR(shorter.width, 1335, 3 * kTwipsPerPixel);
  EXPECT_NEAR(longer.height, 360, 2 * kTwipsPerPixel);
}

TEST(Fonts, LabelsSizeThemselvesWithTheView) {
  test::ViewedGame g;
  FontCache fonts;
  QtTextMetrics metrics(fonts);
  const Label& score = g.form.scorelabel();
  const SizeF size = metrics.measure(score.look().font, score.caption());
  EXPECT_EQ(score.width(), size.width);
  EXPECT_EQ(score.height(), size.height);
  // Centred on the side panel's line at 17 cells.
  EXPECT_FLOAT_EQ(score.left() + score.width() / 2, 17 * g.form.cell);
}

}  // namespace
}  // namespace vorlane::desktop
