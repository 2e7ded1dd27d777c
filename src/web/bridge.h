// SPDX-License-Identifier: MIT
// The page's drawing and DOM calls, implemented in JavaScript (bridge.js).
// Sizes and positions are in CSS pixels unless named device pixels; colours
// are the model's 24-bit values; texts are UTF-8 and NUL-terminated.
#pragma once

#include <cstdint>

// What vl_draw reads: each op's code, then its numbers.
enum DrawOp : std::int32_t {
  // left, top, right, bottom, origin left, origin top: what follows, to
  // kDrawEnd, is cut to that box and drawn from that origin.
  kDrawBegin,
  // left, top, right, bottom, colour (24 bits): a box filled.
  kDrawFill,
  // left, top, right, bottom, style: a box hatched with FillStyle 6 or 7 in
  // black lines one device pixel wide, anchored to the origin.
  kDrawHatch,
  kDrawEnd,
};

extern "C" {

// The window: title, background, client size.
void vl_window(const char* title, std::uint32_t backColour, int width, int height);
// The page's device pixels per CSS pixel.
double vl_device_ratio();

// The busy area in the surface's device pixels (an empty box: none), which
// the page may keep on a canvas of its own. The surface is to be drawn
// whole again after each call.
void vl_layer(int left, int top, int right, int bottom);

// Drawing on the surface: `count` numbers of DrawOps, boxes in device
// pixels from the origin of their kDrawBegin (a panel's corner; the hatch
// is anchored there too).
void vl_draw(const std::int32_t* ops, int count);
// A caption from the box's top left (CSS pixels from the origin), wrapped
// inside the box's width when asked, within the last kDrawBegin's clip.
void vl_text(const char* font, std::uint32_t colour, double left, double top, double width,
             int wrap, const char* text);

// The advance width and the line height of `text` in the CSS font `font`.
double vl_text_width(const char* font, const char* text);
double vl_text_height(const char* font);

// Push buttons, made once per id.
void vl_widget_create(int id, const char* caption, const char* font);
void vl_widget_place(int id, int left, int top, int width, int height, int visible);
// Cuts away what panels in front of the button cover: `count` boxes (left,
// top, right, bottom in CSS pixels from its corner, apart from each other).
void vl_widget_cut(int id, const int* boxes, int count);
void vl_widget_destroy(int id);
// The stacking order, back to front.
void vl_widget_order(const int* ids, int count);

// What a screen reader reads of the labels: "name\tcaption" lines.
void vl_labels(const char* lines);

// The page's monotonic clock in milliseconds (performance.now()).
double vl_now();
// The local time of day in seconds.
double vl_seconds_since_midnight();
// The one wake-up: at most one timeout or interval is ever pending, each
// set in place of the other.
void vl_timeout(double ms);
void vl_timeout_every(int ms);
void vl_timeout_clear();
}
