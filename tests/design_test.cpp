// SPDX-License-Identifier: MIT
// The window's design: every control as the window creates it, before
// start-up has moved or resized anything.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;

struct DesignWindow : ::testing::Test {
  test::ScriptedRandom random;
  Scheduler scheduler;
  test::TestForm form{scheduler, random, {.clientWidth = 5850, .runStartup = false}};
  void SetUp() override { form.show(); }
};

TEST_F(DesignWindow, WindowHasItsCaptionColourAndClientArea) {
  EXPECT_EQ(form.caption(), "Zarvex");
  EXPECT_EQ(form.backColor(), rgb(255, 255, 0));
  EXPECT_EQ(form.clientWidth(), 5850);
  EXPECT_EQ(form.clientHeight(), 5925);
}

TEST_F(DesignWindow, EveryControlStandsAtItsDesignPlace) {
  struct Placed {
    const char* name;
    const Control* control;
    Geometry design;
  };
  const std::vector<Placed> table = {
      {"Pause", &form.Pause(), {1560, 240, 3015, 1935, false}},
      {"coverbottom", &form.coverbottom(), {2880, 2520, 615, 615, true}},
      {"cob", &form.cob(), {0, 0, 495, 495, true}},
      {"covertop", &form.covertop(), {2880, 960, 615, 735, true}},
      {"cot", &form.cot(), {0, 0, 495, 495, true}},
      {"Command1", &form.Command1(), {0, 2400, 2655, 2175, false}},
      {"piecelabel", &form.piecelabel(), {3600, 4920, 1665, 360, true}},
      {"rowslabel", &form.rowslabel(), {3720, 4320, 1335, 360, true}},
      {"hscorelabel", &form.hscorelabel(), {3600, 3720, 2175, 360, true}},
      {"scorelabel", &form.scorelabel(), {3720, 3120, 1860, 360, true}},
      {"backdrop", &form.backdrop(), {3600, 1440, 1575, 1575, true}},
      {"npiece", &form.npiece(), {3600, 120, 1575, 1215, true}},
      {"Shape3(0)", &form.Shape3(0), {720, 1440, 495, 495, false}},
      {"Shape2(0)", &form.Shape2(0), {1560, 600, 495, 495, false}},
      {"Shape1(0)", &form.Shape1(0), {360, 600, 495, 495, false}},
  };
  for (const Placed& p : table) {
    SCOPED_TRACE(p.name);
    const Control& c = *p.control;
    EXPECT_EQ(c.left(), p.design.left);
    EXPECT_EQ(c.top(), p.design.top);
    EXPECT_EQ(c.width(), p.design.width);
    EXPECT_EQ(c.height(), p.design.height);
    EXPECT_EQ(c.visible(), p.design.visible);
  }
}

TEST_F(DesignWindow, ControlsAreCreatedInDesignOrderInTheirLayers) {
  EXPECT_THAT(form.widgets(),
              ElementsAre(&form.Pause(), &form.coverbottom(), &form.covertop(), &form.Command1()));
  EXPECT_THAT(form.surface(),
              ElementsAre(&form.piecelabel(), &form.rowslabel(), &form.hscorelabel(),
                          &form.scorelabel(), &form.backdrop(), &form.npiece(), &form.Shape3(0),
                          &form.Shape2(0), &form.Shape1(0)));
  EXPECT_THAT(form.coverbottom().children(), ElementsAre(&form.cob()));
  EXPECT_THAT(form.covertop().children(), ElementsAre(&form.cot()));
  // Only element 0 of each array exists.
  EXPECT_EQ(form.Shape1().count(), 1);
  EXPECT_EQ(form.Shape2().count(), 1);
  EXPECT_EQ(form.Shape3().count(), 1);
}

TEST_F(DesignWindow, TimersHaveTheirDesignIntervalsAndAreAllEnabled) {
  EXPECT_EQ(form.Timer3().interval(), 200);
  EXPECT_EQ(form.Timer2().interval(), 5);
  EXPECT_EQ(form.Timer1().interval(), 0);
  EXPECT_TRUE(form.Timer3().enabled());
  EXPECT_TRUE(form.Timer2().enabled());
  EXPECT_TRUE(form.Timer1().enabled());
}

TEST_F(DesignWindow, ButtonsHaveTheirCaptionsAndFonts) {
  EXPECT_EQ(form.Pause().caption(), "Pause");
  EXPECT_EQ(form.Pause().font().face, "Garamond");
  EXPECT_EQ(form.Pause().font().points, 48);
  EXPECT_TRUE(form.Pause().font().bold);
  EXPECT_FALSE(form.Pause().font().italic);
  EXPECT_EQ(form.Command1().caption(), "Game Over");
  EXPECT_EQ(form.Command1().font().face, "Lucida Sans Unicode");
  EXPECT_EQ(form.Command1().font().points, 36);
  EXPECT_TRUE(form.Command1().font().bold);
  EXPECT_TRUE(form.Command1().font().italic);
}

TEST_F(DesignWindow, GameOverComesBeforePauseInTheFocusOrder) {
  EXPECT_EQ(form.Command1().tabIndex(), 0);
  EXPECT_EQ(form.Pause().tabIndex(), 1);
}

TEST_F(DesignWindow, CounterLabelsShareOneLookAndShowTheirDesignCaptions) {
  const std::vector<std::pair<const Label*, std::string>> counters = {
      {&form.piecelabel(), "Blocks:0000"},
      {&form.rowslabel(), "Rows:000"},
      {&form.hscorelabel(), "HiScore:000000"},
      {&form.scorelabel(), "Score:000000"}};
  for (const auto& [label, caption] : counters) {
    SCOPED_TRACE(caption);
    EXPECT_EQ(label->caption(), caption);
    EXPECT_EQ(label->look().font.face, "Times New Roman");
    EXPECT_EQ(label->look().font.points, 15.75F);
    EXPECT_TRUE(label->look().font.bold);
    EXPECT_FALSE(label->look().font.italic);
    EXPECT_TRUE(label->look().transparent);
    EXPECT_TRUE(label->look().autoSize);
  }
  const Label& next = form.npiece();
  EXPECT_EQ(next.caption(), "Next Piece:");
  EXPECT_EQ(next.look().font.face, "Lucida Handwriting");
  EXPECT_EQ(next.look().font.points, 20.25F);
  EXPECT_TRUE(next.look().font.bold);
  EXPECT_TRUE(next.look().font.italic);
  EXPECT_FALSE(next.look().transparent);
  EXPECT_EQ(next.look().backColor, rgb(255, 0, 0));
  EXPECT_FALSE(next.look().autoSize);
  EXPECT_TRUE(next.look().wordWrap);
}

TEST_F(DesignWindow, RectanglesHaveTheirColoursBordersAndFillStyles) {
  struct Looked {
    const char* name;
    const Rectangle* rect;
    Colour fill;
    Colour border;
    int fillStyle;
  };
  const Colour blue = rgb(0, 0, 255);
  const std::vector<Looked> table = {
      {"backdrop", &form.backdrop(), blue, blue, 1},
      {"Shape3(0)", &form.Shape3(0), rgb(0, 255, 0), blue, 1},
      {"Shape2(0)", &form.Shape2(0), rgb(255, 0, 0), blue, 7},
      {"Shape1(0)", &form.Shape1(0), rgb(0, 0, 192), blue, 1},
      {"cob", &form.cob(), rgb(0, 0, 0), rgb(0, 0, 0), 1},
      {"cot", &form.cot(), rgb(0, 0, 0), rgb(0, 0, 0), 1},
  };
  for (const Looked& l : table) {
    SCOPED_TRACE(l.name);
    EXPECT_EQ(l.rect->backColor(), l.fill);
    EXPECT_EQ(l.rect->borderColor(), l.border);
    EXPECT_EQ(l.rect->borderWidth(), 4);
    EXPECT_EQ(l.rect->fillStyle(), l.fillStyle);
  }
  EXPECT_EQ(form.coverbottom().backColor(), rgb(0, 0, 0));
  EXPECT_EQ(form.covertop().backColor(), rgb(0, 0, 0));
}

TEST_F(DesignWindow, AWellCellMadeFromTheTemplateLooksLikeAWallWithoutBeingColoured) {
  form.Shape2().load(1);
  Rectangle& c = form.Shape2(1);
  c.setVisible(true);
  EXPECT_EQ(c.backColor(), rgb(255, 0, 0));
  EXPECT_EQ(c.borderColor(), rgb(0, 0, 255));
  EXPECT_EQ(c.borderWidth(), 4);
  EXPECT_EQ(c.fillStyle(), 7);
}

}  // namespace
}  // namespace vorlane
