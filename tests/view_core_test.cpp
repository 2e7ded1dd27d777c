// SPDX-License-Identifier: MIT
// The drawing rules both views share, through a canvas that records what it
// is asked to draw: rectangles at two device pixel ratios, labels, the
// surface in z-order, panels cutting their rectangles, and damage.
#include "platform/view_core.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "bare_window.h"
#include "platform/controls.h"
#include "platform/scheduler.h"
#include "platform/widget_sync.h"
#include "platform/window.h"

namespace vorlane {

// How a failed expectation shows a box.
void PrintTo(const PixelBox& b, std::ostream* os) {
  *os << "[" << b.left << "," << b.top << " - " << b.right << "," << b.bottom << ")";
}

namespace {

using ::testing::ElementsAre;

using test::BareWindow;

// One call to the canvas: "fill", "hatch" or "text".
struct Call {
  std::string what;
  PixelBox box;           // device pixels; for text the logical box, rounded
  unsigned value = 0;     // the colour, or the hatch style
  std::string text = {};  // text only

  bool operator==(const Call&) const = default;
};

void PrintTo(const Call& c, std::ostream* os) {
  *os << c.what << " ";
  PrintTo(c.box, os);
  *os << " " << c.value << " " << c.text;
}

class RecordingCanvas final : public Canvas {
 public:
  void fill(const PixelBox& device, Colour colour) override {
    calls.push_back({"fill", device, colour});
  }
  void hatch(const PixelBox& device, const TwipsBox& /*twips*/, int style) override {
    calls.push_back({"hatch", device, static_cast<unsigned>(style)});
  }
  void text(const TextRun& run) override {
    const auto px = [](double v) { return static_cast<int>(v); };
    calls.push_back(
        {"text",
         {px(run.left), px(run.top), px(run.left + run.width), px(run.top + run.height)},
         run.colour,
         run.text + (run.wrap ? " (wrapped)" : "")});
  }
  std::vector<Call> calls;
};

constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kBlue = rgb(0, 0, 255);
constexpr Colour kYellow = rgb(255, 255, 0);
const Rectangle::Look kWall{
    .backColor = kRed, .borderColor = kBlue, .borderWidth = 4, .fillStyle = 7};
// One colour, no border.
Rectangle::Look Plain(Colour c) {
  return {.backColor = c, .borderColor = 0, .borderWidth = 0, .fillStyle = 1};
}

struct Drawing : ::testing::Test {
  Scheduler scheduler;
  BareWindow window{scheduler};
  RecordingCanvas canvas;
};

TEST_F(Drawing, RectangleFillHatchAndBorderAtOneAndTwoDevicePixelsAPixel) {
  // A well cell: 292 twips from (50, 50), its border 4 pixels (60 twips).
  const Rectangle cell(window, "cell", {50, 50, 292, 292, true}, kWall);
  // Each edge to the nearest device pixel on its own: 50 / 15 = 3.33 -> 3,
  // 110 / 15 = 7.33 -> 7, 282 / 15 = 18.8 -> 19, 342 / 15 = 22.8 -> 23.
  Painter(canvas, 1).rectangle(cell);
  EXPECT_THAT(canvas.calls,
              ElementsAre(Call{"fill", {3, 3, 23, 23}, kBlue}, Call{"fill", {7, 7, 19, 19}, kRed},
                          Call{"hatch", {7, 7, 19, 19}, 7}));
  // Twice the pixels: not the doubled boxes but the edges rounded anew.
  canvas.calls.clear();
  Painter(canvas, 2).rectangle(cell);
  EXPECT_THAT(canvas.calls,
              ElementsAre(Call{"fill", {7, 7, 46, 46}, kBlue}, Call{"fill", {15, 15, 38, 38}, kRed},
                          Call{"hatch", {15, 15, 38, 38}, 7}));
}

TEST_F(Drawing, BorderTakesAtMostHalfTheSizeAndPlainFillHasNoHatch) {
  Rectangle small(window, "small", {0, 0, 90, 300, true}, kWall);
  Painter(canvas, 1).rectangle(small);
  // A 6-pixel-wide rectangle is all border: nothing inside to fill or hatch.
  EXPECT_THAT(canvas.calls, ElementsAre(Call{"fill", {0, 0, 6, 20}, kBlue}));

  canvas.calls.clear();
  small.setWidth(300);
  small.setFillStyle(1);
  Painter(canvas, 1).rectangle(small);
  EXPECT_THAT(canvas.calls,
              ElementsAre(Call{"fill", {0, 0, 20, 20}, kBlue}, Call{"fill", {4, 4, 16, 16}, kRed}));
}

TEST_F(Drawing, EdgesHalfwayBetweenDevicePixelsRoundUpAtAnyRatio) {
  // 1158 twips at 1.25 device pixels a pixel is 96.5 device pixels, and
  // 3915 at 1.5 is 391.5: both exactly halfway, both up.
  const Rectangle r(window, "r", {1158, 3915, 60, 60, true}, Plain(0));
  Painter(canvas, 1.25).rectangle(r);
  Painter(canvas, 1.5).rectangle(r);
  ASSERT_EQ(canvas.calls.size(), 2U);
  EXPECT_EQ(canvas.calls[0].box.left, 97);   // 1158 * 1.25 / 15
  EXPECT_EQ(canvas.calls[1].box.top, 392);   // 3915 * 1.5 / 15
  EXPECT_EQ(canvas.calls[1].box.left, 116);  // 115.8
}

TEST_F(Drawing, LabelFillsUnlessTransparentAndPlacesItsCaptionInItsBox) {
  Label label(window, "npiece", {3600, 120, 1575, 1215, true}, "Next Piece:",
              {.font = {},
               .foreColor = kBlue,
               .backColor = kRed,
               .transparent = false,
               .autoSize = false,
               .wordWrap = true});
  Painter(canvas, 2).label(label);
  EXPECT_THAT(canvas.calls,
              ElementsAre(Call{"fill", {480, 16, 690, 178}, kRed},
                          Call{"text", {240, 8, 345, 89}, kBlue, "Next Piece: (wrapped)"}));
  Label counter(window, "counter", {3720, 3120, 1860, 360, true}, "Score:000000", {});
  Label empty(window, "empty", {0, 0, 150, 150, true}, "", {});
  canvas.calls.clear();
  Painter(canvas, 1).label(counter);
  Painter(canvas, 1).label(empty);
  EXPECT_THAT(canvas.calls, ElementsAre(Call{"text", {248, 208, 372, 232}, 0, "Score:000000"}));
}

TEST_F(Drawing, SurfaceRepaintsItsBackgroundThenWhatReachesIntoTheAreaBackToFront) {
  window.setBackColor(kYellow);
  const Rectangle back(window, "back", {0, 0, 300, 300, true}, Plain(1));
  const Label label(window, "label", {150, 150, 300, 150, true}, "L", {});
  const Rectangle hidden(window, "hidden", {0, 0, 300, 300, false}, kWall);
  const Rectangle far(window, "far", {3000, 3000, 300, 300, true}, kWall);
  const Rectangle front(window, "front", {150, 0, 300, 300, true}, Plain(2));
  // The area from (5, 5) to (25, 25): the rectangles are cut to it, the
  // text is cut by the canvas.
  Painter(canvas, 1).surface(window, {5, 5, 25, 25});
  EXPECT_THAT(
      canvas.calls,
      ElementsAre(Call{"fill", {5, 5, 25, 25}, kYellow}, Call{"fill", {5, 5, 20, 20}, 1},
                  Call{"text", {10, 10, 30, 20}, 0, "L"}, Call{"fill", {10, 5, 25, 20}, 2}));
}

TEST_F(Drawing, PanelCutsItsRectanglesToItself) {
  Panel panel(window, "cover", {1500, 1500, 600, 300, true}, kRed);
  // Placed from the panel's corner: one reaches past its right edge, one
  // lies wholly below it.
  const Rectangle across(window, "across", {300, 0, 600, 300, true}, kWall, &panel);
  const Rectangle below(window, "below", {0, 600, 300, 300, true}, kWall, &panel);
  const Rectangle hidden(window, "hidden", {0, 0, 300, 300, false}, kWall, &panel);
  Painter(canvas, 2).panel(panel, {0, 0, 40, 20});
  EXPECT_THAT(canvas.calls,
              ElementsAre(Call{"fill", {0, 0, 80, 40}, kRed}, Call{"fill", {40, 0, 80, 40}, kBlue},
                          Call{"fill", {48, 8, 80, 32}, kRed}, Call{"hatch", {48, 8, 80, 32}, 7}));
}

TEST_F(Drawing, PanelAllOfItsOwnColourIsItsFillAlone) {
  // The curtain: a panel whose one rectangle is its colour, bordered so.
  const Rectangle::Look same{
      .backColor = kRed, .borderColor = kRed, .borderWidth = 4, .fillStyle = 1};
  Panel panel(window, "cover", {0, 0, 600, 300, true}, kRed);
  Rectangle inside(window, "inside", {0, 0, 600, 300, true}, same, &panel);
  const Rectangle hidden(window, "hidden", {0, 0, 300, 300, false}, kWall, &panel);
  EXPECT_TRUE(plain(panel));
  Painter(canvas, 1).panel(panel, {0, 0, 40, 20});
  EXPECT_THAT(canvas.calls, ElementsAre(Call{"fill", {0, 0, 40, 20}, kRed}));
  // Anything of another colour shows: a fill, a hatch, a border.
  inside.setBackColor(kBlue);
  EXPECT_FALSE(plain(panel));
  inside.setBackColor(kRed);
  inside.setFillStyle(6);
  EXPECT_FALSE(plain(panel));
  Panel framed(window, "framed", {0, 0, 600, 300, true}, kRed);
  const Rectangle border(
      window, "border", {0, 0, 600, 300, true},
      {.backColor = kRed, .borderColor = kBlue, .borderWidth = 1, .fillStyle = 1}, &framed);
  EXPECT_FALSE(plain(framed));
}

TEST(PixelRounding, DamageGrowsOutwardsByAPixelAndWidgetsRoundToTheNearest) {
  EXPECT_EQ(damagedPixels({50, 50, 292, 292}), (PixelBox{2, 2, 24, 24}));
  EXPECT_EQ(pixelRect({1560, 240, 3015, 1935}), (PixelBox{104, 16, 305, 145}));
  EXPECT_EQ(toDevice({3, 5, 7, 9}, 1.5), (PixelBox{4, 7, 11, 14}));
  EXPECT_EQ(toTwips({1, 2, 4, 6}).left, 15);
  EXPECT_EQ(toTwips({1, 2, 4, 6}).height, 60);
}

TEST(DamageAreas, TouchingAreasJoinAndTooManyBecomeOne) {
  Damage damage(3);
  damage.add({0, 0, 10, 10});
  damage.add({10, 0, 20, 10});  // touches the first
  damage.add({50, 50, 60, 60});
  damage.add({0, 100, 5, 105});
  EXPECT_THAT(damage.areas(), ElementsAre(PixelBox{0, 0, 20, 10}, PixelBox{50, 50, 60, 60},
                                          PixelBox{0, 100, 5, 105}));
  damage.add({100, 0, 110, 5});
  EXPECT_THAT(damage.areas(), ElementsAre(PixelBox{0, 0, 110, 105}));

  // At most one area: the box around everything, as the desktop hands it to Qt.
  Damage one(1);
  one.add({0, 0, 10, 10});
  one.add({30, 40, 35, 45});
  EXPECT_THAT(one.areas(), ElementsAre(PixelBox{0, 0, 35, 45}));
  one.clear();
  EXPECT_TRUE(one.empty());
}

// Widgets numbered from 1, and what was done to them.
class RecordingHost final : public WidgetSync<int>::Host {
 public:
  bool makeWidget(Control& model, int& widget) override {
    if (model.kind() != ControlKind::PushButton && model.kind() != ControlKind::Panel) return false;
    widget = ++made;
    log.push_back("make " + model.name());
    return true;
  }
  void placeWidget(WidgetSync<int>::Entry& entry) override {
    log.push_back("place " + std::to_string(entry.widget) + " at " +
                  std::to_string(pixelRect(entry.model->bounds()).left));
  }
  void dropWidget(int widget) override { log.push_back("drop " + std::to_string(widget)); }
  void stackWidgets(const std::vector<int>& backToFront) override {
    std::string order = "stack";
    for (int w : backToFront) order += " " + std::to_string(w);
    log.push_back(order);
  }
  int made = 0;
  std::vector<std::string> log;
};

TEST(WidgetSync, MakesPlacesStacksAndDropsTheWidgetsOfButtonsAndPanels) {
  Scheduler scheduler;
  BareWindow window(scheduler);
  RecordingHost host;
  WidgetSync<int> widgets(host);
  PushButton button(window, "button", {150, 0, 300, 300, true}, "B", {}, 0, {});
  auto panel = std::make_unique<Panel>(window, "panel", Geometry{300, 0, 300, 300, true}, kRed);
  const Rectangle inside(window, "inside", {0, 0, 150, 150, true}, kWall, panel.get());

  widgets.sync(window);
  EXPECT_THAT(host.log, ElementsAre("make button", "place 1 at 10", "make panel", "place 2 at 20",
                                    "stack 1 2"));
  host.log.clear();
  widgets.sync(window);  // nothing new: placed again, none made
  EXPECT_THAT(host.log, ElementsAre("place 1 at 10", "place 2 at 20", "stack 1 2"));

  host.log.clear();
  button.setLeft(600);  // the window has no observer: the view passes changes on
  widgets.changed(button);
  widgets.changed(inside);  // a panel's rectangle has no widget
  button.bringToFront();
  widgets.restack(window);
  ASSERT_NE(widgets.find(*panel), nullptr);
  EXPECT_EQ(widgets.find(*panel)->widget, 2);
  widgets.destroyed(*panel);
  widgets.destroyed(*panel);  // once only
  EXPECT_EQ(widgets.find(*panel), nullptr);
  EXPECT_THAT(host.log, ElementsAre("place 1 at 40", "stack 2 1", "drop 2"));
}

}  // namespace
}  // namespace vorlane
