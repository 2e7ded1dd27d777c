// SPDX-License-Identifier: MIT
// The page's drawing and DOM calls, implemented in JavaScript (bridge.js).
// Sizes and positions are in CSS pixels unless named device pixels; colours
// are the model's 24-bit values; texts are UTF-8 and NUL-terminated.
#pragma once

#include <cstdint>

extern "C" {

// The window: title, background, client size.
void vl_window(const char* title, std::uint32_t backColour, int width, int height);
// The page's device pixels per CSS pixel.
double vl_device_ratio();

// Drawing on the surface (target 0) or on panel `target`, within the clip
// rectangle given in device pixels. Every call between begin and end draws
// on that target.
void vl_begin(int target, int left, int top, int right, int bottom);
void vl_fill(int left, int top, int right, int bottom, std::uint32_t colour);
// FillStyle 6 or 7 in black lines one device pixel wide, anchored to the
// target's origin, over the device-pixel rectangle.
void vl_hatch(int left, int top, int right, int bottom, int style);
// A caption from the box's top left, wrapped inside the box's width when asked.
void vl_text(const char* font, std::uint32_t colour, double left, double top, double width,
             int wrap, const char* text);
void vl_end();

// The advance width and the line height of `text` in the CSS font `font`.
double vl_text_width(const char* font, const char* text);
double vl_text_height(const char* font);

// Push buttons (kind 0) and panels (kind 1), made once per id.
void vl_widget_create(int id, int kind, const char* caption, const char* font,
                      std::uint32_t backColour);
// A `plain` panel is all its own colour: its element's background shows it,
// with no canvas behind it.
void vl_widget_place(int id, int left, int top, int width, int height, int visible, int plain);
void vl_widget_destroy(int id);
// The stacking order, back to front.
void vl_widget_order(const int* ids, int count);

// What a screen reader reads of the labels: "name\tcaption" lines.
void vl_labels(const char* lines);

// The page's monotonic clock in milliseconds (performance.now()).
double vl_now();
// The local time of day in seconds.
double vl_seconds_since_midnight();
// The one wake-up: at most one timeout is ever pending.
void vl_timeout(double ms);
void vl_timeout_clear();
}
