# SPDX-License-Identifier: MIT
# The fonts the window draws with, which the page and the Windows program
# carry: from the same Debian packages as the desktop's, each cut at build
# time to the characters the window draws in it (its captions in the sources
# below, the digits of its counters, "Hg", which the page measures line
# heights with, and "xz", which with the "o" of the captions FreeType's
# auto-hinter measures a face's x-height by: a face cut without them is
# hinted differently at a device pixel ratio of 2 and 3), renamed as its
# licence asks (see src/web/cut_font.py), with its package's copyright and
# licence beside it. Each entry of VORLANE_FONTS: the font, the cut font's
# file and name, the face the window asks for (src/platform/font_faces.h),
# the licence text.
set(VORLANE_FONTS
  /usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf
    VorlaneCounters-Bold "Vorlane Counters" "Liberation Serif" /usr/share/doc/fonts-liberation/copyright
  /usr/share/fonts/opentype/ebgaramond/EBGaramond12-Bold.otf
    VorlanePause-Bold "Vorlane Pause" "EB Garamond" /usr/share/doc/fonts-ebgaramond/copyright
  /usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf
    VorlaneGameOver-BoldOblique "Vorlane Game Over" "DejaVu Sans" /usr/share/doc/fonts-dejavu-core/copyright
  /usr/share/fonts/opentype/urw-base35/Z003-MediumItalic.otf
    VorlaneHand-MediumItalic "Vorlane Hand" Z003 /usr/share/doc/fonts-urw-base35/copyright)
set(VORLANE_FONT_EXTRA Hgxz)
set(VORLANE_FONT_CAPTIONS ${PROJECT_SOURCE_DIR}/src/window/form1.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/font_faces.h)
file(GLOB game_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/game/*.cpp)
list(APPEND VORLANE_FONT_CAPTIONS ${game_sources})

# pyftsubset's code is run by the Python that runs pyftsubset (Debian's
# fonttools), which has brotli for WOFF2 beside it.
find_program(VORLANE_PYFTSUBSET pyftsubset REQUIRED)
file(STRINGS ${VORLANE_PYFTSUBSET} shebang LIMIT_COUNT 1)
string(REGEX REPLACE "^#! *([^ ]+).*" "\\1" VORLANE_FONT_PYTHON "${shebang}")
set(VORLANE_CUT_FONT ${PROJECT_SOURCE_DIR}/src/web/cut_font.py)
