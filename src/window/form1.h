// The game window: its controls, its record of game state, its event
// handlers and the routines they call. Routines take no arguments and
// return nothing; they talk through the record.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "game/state.h"
#include "platform/control_array.h"
#include "platform/controls.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "platform/window.h"

namespace vorlane {

// Virtual-key codes of the commands.
namespace vk {
inline constexpr std::uint16_t kLeft = 37;
inline constexpr std::uint16_t kUp = 38;
inline constexpr std::uint16_t kRight = 39;
inline constexpr std::uint16_t kDown = 40;
inline constexpr std::uint16_t kA = 65;
inline constexpr std::uint16_t kP = 80;
inline constexpr std::uint16_t kS = 83;
}  // namespace vk

class Form1 : public Window, public GameState {
 public:
  // The controls of one load of the window, in the order the design makes them.
  struct Controls;

  Form1(Scheduler& scheduler, RandomSource& random, std::function<float()> timeOfDay);
  ~Form1() override;

  // Events.
  void Form_Load();
  void Form_KeyDown(std::uint16_t KeyCode, int Shift);
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void Pause_Click();
  void Command1_Click();

  // Start-up and layout.
  void loadshapes();
  void setup();
  // Pieces and the preview.
  void loadpatterns();
  void rotate();
  void nextdisplay();
  void shownext();
  // The well.
  void border();
  void drop();
  void display();
  void verified();
  void stack();
  void checkrow();
  void deleterow();
  void addscore();
  // Play.
  void begin();
  void change();
  void cover();

  // The controls; using one while the window is not loaded throws.
  PushButton& Pause() const;
  Panel& coverbottom() const;
  Rectangle& cob() const;
  Panel& covertop() const;
  Rectangle& cot() const;
  Timer& Timer3() const;
  Timer& Timer2() const;
  Timer& Timer1() const;
  PushButton& Command1() const;
  Label& piecelabel() const;
  Label& rowslabel() const;
  Label& hscorelabel() const;
  Label& scorelabel() const;
  Rectangle& backdrop() const;
  Label& npiece() const;
  RectangleArray& Shape3() const;
  RectangleArray& Shape2() const;
  RectangleArray& Shape1() const;
  Rectangle& Shape3(int n) const { return Shape3()(n); }
  Rectangle& Shape2(int n) const { return Shape2()(n); }
  Rectangle& Shape1(int n) const { return Shape1()(n); }

  // Whether box cell (i, j) of `piece` holds a block after rotate(): character
  // `scol` of pattern row `srow` is '1'. Anything out of the table reads as no block.
  bool boxCellFilled() const;

 protected:
  void createControls() override;
  void destroyControls() override;
  void onLoad() override { Form_Load(); }
  void onKeyDown(std::uint16_t keyCode, int shift) override { Form_KeyDown(keyCode, shift); }

 private:
  Controls& controls() const;
  // Whether well cell n is occupied, for the two tests below a block: past the
  // floor counts as occupied, so no block is ever brought below it.
  bool occupied(long long n) const;
  // A piece number drawn uniformly from 1 to 24.
  int drawPiece();

  RandomSource& random_;
  std::function<float()> timeOfDay_;
  std::unique_ptr<Controls> controls_;
};

}  // namespace vorlane
