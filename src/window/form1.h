// SPDX-License-Identifier: MIT
// The game window: its controls, its record of game state, its event
// handlers and the routines they call.
//
// Routines take no arguments and return nothing: a caller sets fields of the
// record (GameState) before a call and reads the callee's results there
// afterwards. The two loop counters `i` and `j` are shared by every routine: a
// loop reads its counter afresh at every step, a callee's loops change the
// caller's counters, and after a loop its counter holds the first value past
// the end. `hold` is a scratch value with three meanings, one per pair of
// routines: a saved `px` or `turn` in Form_KeyDown, a block number from drop
// to display, a row number from checkrow to deleterow.
//
// The three rectangle arrays; element 0 of each is the hidden template that
// the numbered elements copy:
//   Shape1  the falling piece: element 5 * (i - 1) + j draws box cell (i, j)
//           of the piece's 5 x 5 box, i and j from 1 to 5.
//   Shape2  the well: element 12 * row + column + 1 is the cell in row 0 to
//           21 and column 0 to 11; the cell is occupied exactly when the
//           element is visible. Rows 0 and 21 and columns 0 and 11 are walls.
//   Shape3  the preview: element 5 * r + c + 1, r and c from 0 to 4, shows
//           pattern cell (r + 1, c + 1) of the next piece as stored, in grid
//           row r and column c over `backdrop`.
//
// Each routine below says what it reads (<-), what it sets (->) and what it
// leaves in the shared counters that a caller relies on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "game/state.h"
#include "platform/control_array.h"
#include "platform/controls.h"
#include "platform/keys.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "platform/window.h"

namespace vorlane {

class Form1 : public Window, public GameState {
 public:
  // The controls of one load of the window, in the order the design makes them.
  struct Controls;

  Form1(Scheduler& scheduler, RandomSource& random, std::function<float()> timeOfDay);
  ~Form1() override;

  // Events.
  // Start-up on every load: cell from the client width, the window's size,
  // the counters and labels reset (hiscore kept), piece and turn 0, the random
  // source seeded; then loadshapes, border, loadpatterns, setup, nextdisplay
  // and cover, which leaves the intro (Timer2) ticking at 2 ms.
  void Form_Load();
  // <- px, turn, the well. Left/Right: hold = px, px - 1 or + 1; A: hold =
  // turn, turn + 1 (5 wraps to 1); S: hold = turn, turn - 1 (0 wraps to 4);
  // each then verified, and px or turn back from hold when blocked. Down:
  // speed = 1. P: Pause shown in front, all three timers disabled.
  void Form_KeyDown(std::uint16_t KeyCode, int Shift);
  // Gravity: drop, and when landed, stack then change (the next piece).
  void Timer1_Timer();
  // Intro: turn + 1, past 4 back to 1 with piece + 1; px = 3, py = 8; piece
  // below 8 is drawn by drop, piece 8 calls begin.
  void Timer2_Timer();
  // Curtain: the panels move 250 twips apart; Timer3 stops (interval 0) once
  // coverbottom's top is past the window's height.
  void Timer3_Timer();
  // Pause hidden, all three timers enabled again.
  void Pause_Click();
  // Restart: unload and show (Form_Load runs on the same record, so hiscore
  // survives), then the intro's interval 1.
  void Command1_Click();

  // Start-up and layout.
  // <- cell. -> Shape1(1..25) created hidden, one cell in size. Leaves i 26.
  void loadshapes();
  // <- cell. -> backdrop made square; backdrop, npiece and the four counters
  // centred on the line 17 cells from the left. Counters untouched.
  void setup();
  // Pieces and the preview.
  // -> shapes: rows 1 to 5 of pieces 1 to 24. Counters untouched.
  void loadpatterns();
  // <- turn, i, j (box cell). -> srow, scol: the pattern cell that the box
  // cell shows (see filledAt); a turn outside 1 to 4 leaves both unchanged.
  void rotate();
  // <- backdrop. -> Shape3(0) a fifth of backdrop; Shape3(1..25) created
  // hidden. Leaves i 26.
  void nextdisplay();
  // <- nextpiece (as stored: turn 1), backdrop. -> Shape3(1..25): each '1'
  // placed, in front, fill style 6, a fresh random colour (three draws each,
  // in element order), shown; each '0' hidden. Leaves i 5, j 5.
  void shownext();
  // The well.
  // <- cell. -> Shape2(1..264) created in cell order, in front, placed; the
  // walls shown, the interior hidden. Leaves i 22, j 12.
  void border();
  // Gravity step. <- speed, piece, turn, px. -> py += speed; landed false,
  // then display for every filled box cell (hold = its block number) after
  // all 25 blocks are hidden in turn. Leaves i 6, j 6, hold the last block
  // drawn (unchanged when none is, as for piece 0).
  void drop();
  // <- i, j (box cell), hold (its block number), px, py, cell. -> Shape1(hold)
  // placed and shown; landed = true when the cell below its own cell is
  // occupied (own cells above row 1 all look at cell 26), else landed
  // unchanged. Counters untouched.
  void display();
  // Collision test of the position in the record. <- piece, turn, px, py.
  // -> blocked = -1 when the cell below the own row of a filled box cell is
  // occupied (numbers past the last cell or below 0 read as wall), else 0.
  // Leaves i 6, j 6; px and turn untouched.
  void verified();
  // Lock. <- px, py, Shape1 (visible blocks, colour, fill style). -> each shown
  // block's colour and fill style into the well cell of its top edge, shown
  // (blocks above the well are left out); a block in row 0 or above ends the
  // game (Command1 centred and shown, Timer1 interval 0) and the lock goes on;
  // then checkrow, blocks + 1 with its label, addscore. Does not hide the
  // blocks nor reset landed. Leaves i past 20 (checkrow's).
  void stack();
  // <- the well. For i from 2 to 20: a full row i (columns 1 to 10) sets
  // hold = i and calls deleterow, which leaves i at 1, so the scan starts
  // again from row 2; copies of a full row 1 are passed over. Leaves i past 20.
  void checkrow();
  // <- hold (the full row). -> rows hold - 1 .. 1 moved one row down
  // (visibility, fill style, colour), row 1 kept as it was; 15 x addscore;
  // rows + 1 with its label. Leaves i 1 (checkrow relies on it), j 12.
  void deleterow();
  // -> score + 10 with its label; hiscore = score when higher, its label.
  void addscore();
  // Play.
  // Intro over: Timer2 interval 0, Timer1 interval 50, nextpiece drawn
  // (1 to 24), change.
  void begin();
  // Spawn. <- nextpiece. -> speed 0.1, piece = nextpiece, a new nextpiece,
  // shownext, px 3, py -4, turn 1; Shape1(1..25) hidden, fill style 7, a fresh
  // random colour each. Leaves i 26.
  void change();
  // Timer2 interval 2; the curtain closed: covertop and coverbottom, each the
  // window's outer size, meet across the middle, in front of everything.
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
  RectangleArray& Shape3() const { return loadedArray(shape3_); }
  RectangleArray& Shape2() const { return loadedArray(shape2_); }
  RectangleArray& Shape1() const { return loadedArray(shape1_); }
  Rectangle& Shape3(int n) const { return Shape3()(n); }
  Rectangle& Shape2(int n) const { return Shape2()(n); }
  Rectangle& Shape1(int n) const { return Shape1()(n); }

  // What a front end asks of the game, so that none reads its controls.
  // The well in twips, walls included: twelve cells by twenty-two from its
  // first wall cell's corner, where fingers steer the piece.
  RectF wellArea() const;
  // Between the side walls, from the window's top to the floor: where a tick
  // moves the piece (nothing before a load).
  RectF busyArea() const override;
  // Whether a game is under way, to pause when the window is hidden: loaded,
  // and neither Pause nor Game Over on show (the curtain and intro count).
  bool gameUnderWay() const;

  // Whether box cell (i, j) of `piece` holds a block after rotate(): character
  // `scol` of pattern row `srow` is '1'. Anything out of the table reads as no block.
  bool boxCellFilled() const;
  // The same question asked without the record's counters: whether box cell
  // (boxRow, boxColumn) of piece `pieceNumber` in rotation state `rotation`
  // holds a block, as rotate() then boxCellFilled() would answer. A state
  // outside 1 to 4 reads as no block. Changes nothing.
  bool filledAt(int pieceNumber, int rotation, int boxRow, int boxColumn) const;

 protected:
  void createControls() override;
  void destroyControls() override;
  void onLoad() override { Form_Load(); }
  void onKeyDown(std::uint16_t keyCode, int shift) override { Form_KeyDown(keyCode, shift); }

 private:
  Controls& controls() const;
  [[noreturn]] static void notLoaded();
  static RectangleArray& loadedArray(RectangleArray* array) {
    if (array == nullptr) notLoaded();
    return *array;
  }
  // Whether well cell n is occupied, for the two tests below a block: past the
  // floor counts as occupied, so no block is ever brought below it.
  bool occupied(long long n) const;
  // A piece number drawn uniformly from 1 to 24.
  int drawPiece();

  RandomSource& random_;
  std::function<float()> timeOfDay_;
  std::unique_ptr<Controls> controls_;
  // The arrays of controls_, which the well's routines reach for cell by
  // cell: at hand without a call. Null whenever controls_ is.
  RectangleArray* shape1_ = nullptr;
  RectangleArray* shape2_ = nullptr;
  RectangleArray* shape3_ = nullptr;
};

// The pattern cell (row, position) that box cell (boxRow, boxColumn) shows in
// rotation state `rotation`: each step is a further quarter turn clockwise
// about the box's centre cell (3, 3). A state outside 1 to 4 selects nothing
// and leaves row and position as they were.
constexpr void selectPatternCell(int rotation, int boxRow, int boxColumn, int& row, int& position) {
  if (rotation == 1) {
    row = boxRow;
    position = boxColumn;
  } else if (rotation == 2) {
    row = 6 - boxColumn;
    position = boxRow;
  } else if (rotation == 3) {
    row = 6 - boxRow;
    position = 6 - boxColumn;
  } else if (rotation == 4) {
    row = boxColumn;
    position = 6 - boxRow;
  }
}

// drop() asks these two for each of the 25 box cells on every tick; inline,
// they cost a few instructions each instead of two calls.
inline void Form1::rotate() { selectPatternCell(turn, i, j, srow, scol); }

inline bool Form1::boxCellFilled() const { return patternChar(piece, srow, scol) == '1'; }

}  // namespace vorlane
