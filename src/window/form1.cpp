// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "game/caption.h"

namespace vorlane {

namespace {

constexpr Colour kBlack = rgb(0, 0, 0);
constexpr Colour kBlue = rgb(0, 0, 255);

Label::Look counterLook() {
  return {.font = {"Times New Roman", 15.75F, true, false},
          .foreColor = kBlack,
          .backColor = kBlack,
          .transparent = true,
          .autoSize = true,
          .wordWrap = false};
}

Rectangle::Look curtainFill() {
  return {.backColor = kBlack, .borderColor = kBlack, .borderWidth = 4, .fillStyle = 1};
}

Rectangle::Look templateLook(Colour fill, int fillStyle) {
  return {.backColor = fill, .borderColor = kBlue, .borderWidth = 4, .fillStyle = fillStyle};
}

}  // namespace

// The window's design: every control with its design values, in the order the
// window creates them. Later controls of a layer lie in front of earlier ones.
struct Form1::Controls {
  explicit Controls(Form1& f)
      : Pause(f, "Pause", {1560, 240, 3015, 1935, false}, "Pause", {"Garamond", 48, true, false}, 1,
              [&f] { f.Pause_Click(); }),
        coverbottom(f, "coverbottom", {2880, 2520, 615, 615, true}, kBlack),
        cob(f, "cob", {0, 0, 495, 495, true}, curtainFill(), &coverbottom),
        covertop(f, "covertop", {2880, 960, 615, 735, true}, kBlack),
        cot(f, "cot", {0, 0, 495, 495, true}, curtainFill(), &covertop),
        Timer3(f.scheduler(), 200, true, [&f] { f.Timer3_Timer(); }),
        Timer2(f.scheduler(), 5, true, [&f] { f.Timer2_Timer(); }),
        Timer1(f.scheduler(), 0, true, [&f] { f.Timer1_Timer(); }),
        Command1(f, "Command1", {0, 2400, 2655, 2175, false}, "Game Over",
                 {"Lucida Sans Unicode", 36, true, true}, 0, [&f] { f.Command1_Click(); }),
        piecelabel(f, "piecelabel", {3600, 4920, 1665, 360, true}, "Blocks:0000", counterLook()),
        rowslabel(f, "rowslabel", {3720, 4320, 1335, 360, true}, "Rows:000", counterLook()),
        hscorelabel(f, "hscorelabel", {3600, 3720, 2175, 360, true}, "HiScore:000000",
                    counterLook()),
        scorelabel(f, "scorelabel", {3720, 3120, 1860, 360, true}, "Score:000000", counterLook()),
        backdrop(f, "backdrop", {3600, 1440, 1575, 1575, true}, templateLook(kBlue, 1)),
        npiece(f, "npiece", {3600, 120, 1575, 1215, true}, "Next Piece:",
               {.font = {"Lucida Handwriting", 20.25F, true, true},
                .foreColor = kBlack,
                .backColor = rgb(255, 0, 0),
                .transparent = false,
                .autoSize = false,
                .wordWrap = true}),
        Shape3(f, "Shape3", {720, 1440, 495, 495, false}, templateLook(rgb(0, 255, 0), 1)),
        Shape2(f, "Shape2", {1560, 600, 495, 495, false}, templateLook(rgb(255, 0, 0), 7)),
        Shape1(f, "Shape1", {360, 600, 495, 495, false}, templateLook(rgb(0, 0, 192), 1)) {}

  PushButton Pause;
  Panel coverbottom;
  Rectangle cob;
  Panel covertop;
  Rectangle cot;
  Timer Timer3;
  Timer Timer2;
  Timer Timer1;
  PushButton Command1;
  Label piecelabel;
  Label rowslabel;
  Label hscorelabel;
  Label scorelabel;
  Rectangle backdrop;
  Label npiece;
  RectangleArray Shape3;
  RectangleArray Shape2;
  RectangleArray Shape1;
};

Form1::Form1(Scheduler& scheduler, RandomSource& random, std::function<float()> timeOfDay)
    : Window(scheduler), random_(random), timeOfDay_(std::move(timeOfDay)) {}

Form1::~Form1() { destroyControls(); }

void Form1::createControls() {
  setCaption("Zarvex");
  setBackColor(rgb(255, 255, 0));
  setClientSize(5850, 5925);
  controls_ = std::make_unique<Controls>(*this);
  shape1_ = &controls_->Shape1;
  shape2_ = &controls_->Shape2;
  shape3_ = &controls_->Shape3;
}

void Form1::destroyControls() {
  shape1_ = shape2_ = shape3_ = nullptr;
  controls_.reset();
}

void Form1::notLoaded() { throw std::logic_error("Form1 is not loaded"); }

Form1::Controls& Form1::controls() const {
  if (!controls_) notLoaded();
  return *controls_;
}

PushButton& Form1::Pause() const { return controls().Pause; }
Panel& Form1::coverbottom() const { return controls().coverbottom; }
Rectangle& Form1::cob() const { return controls().cob; }
Panel& Form1::covertop() const { return controls().covertop; }
Rectangle& Form1::cot() const { return controls().cot; }
Timer& Form1::Timer3() const { return controls().Timer3; }
Timer& Form1::Timer2() const { return controls().Timer2; }
Timer& Form1::Timer1() const { return controls().Timer1; }
PushButton& Form1::Command1() const { return controls().Command1; }
Label& Form1::piecelabel() const { return controls().piecelabel; }
Label& Form1::rowslabel() const { return controls().rowslabel; }
Label& Form1::hscorelabel() const { return controls().hscorelabel; }
Label& Form1::scorelabel() const { return controls().scorelabel; }
Rectangle& Form1::backdrop() const { return controls().backdrop; }
Label& Form1::npiece() const { return controls().npiece; }

void Form1::Form_Load() {
  Timer2().setEnabled(false);
  // The cell size follows from the client width; everything else from it.
  cell = std::floor(clientWidth() / 20.0F);
  setWidth(22 * cell);
  setHeight(22 * cell + 450);
  Shape1(0).setWidth(cell);
  Shape1(0).setHeight(cell);
  Shape2(0).setWidth(cell);
  Shape2(0).setHeight(cell);
  loadshapes();
  Timer2().setEnabled(true);
  rows.set(0);
  blocks.set(0);
  score.set(0);
  piece = 0;
  turn = 0;
  scorelabel().setCaption("Score:000000");
  hscorelabel().setCaption(Caption("HiScore:", hiscore.text()));
  if (hiscore.value() == 0) hscorelabel().setCaption("HiScore:000000");
  random_.seed(timeOfDay_());
  border();
  loadpatterns();
  setup();
  nextdisplay();
  cover();
}

void Form1::loadshapes() {
  for (i = 1; i <= 25; ++i) {
    Shape1().load(i);
    Shape1(i).setWidth(cell);
    Shape1(i).setHeight(cell);
  }
}

void Form1::setup() {
  // The side panel is centred on the line halfway between the well's right
  // edge (12 cells) and the window's (22 cells).
  const float x = 17 * cell;
  backdrop().setWidth(backdrop().height());
  npiece().setLeft(x - npiece().width() / 2);
  backdrop().setLeft(x - backdrop().width() / 2);
  for (Label* label : {&scorelabel(), &hscorelabel(), &rowslabel(), &piecelabel()}) {
    label->setLeft(x - label->width() / 2);
  }
}

}  // namespace vorlane
