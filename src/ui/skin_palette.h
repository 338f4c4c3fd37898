#pragma once
// The colours the painter draws a skinned window in: one tone, taken from the skin's hue
// (-160..180), for every background, frame and control face, with texts that stay
// readable on each of them.

#include "ui/controls.h"

namespace lumora::ui {

struct SkinPalette {
  Colour face;          // the window, the tab pages, labels, check boxes, the slider
  Colour backTab;       // the tabs behind the current one
  Colour line;          // the tab strip's edges, group frames, control outlines
  Colour light;         // the bright edge beside a group frame's line
  Colour button;        // a push button's face
  Colour buttonHot;     // a push button's face while pressed
  Colour field;         // inside check boxes, radio buttons and the slider's channel
  Colour mark;          // check marks, radio dots, the slider's thumb
  Colour text;          // every text on the faces above
  Colour disabledText;  // the text of a disabled control
};

// The palette of the tone the hue gives; the default hue 150 is a calm blue.
SkinPalette PaletteForHue(int hue);

// The relative luminance of a colour (0 black .. 1 white), as readability is measured.
double RelativeLuminance(Colour colour);
// How far apart two colours stand for the eye, 1 (the same) to 21 (black on white).
double ContrastRatio(Colour first, Colour second);

// The smallest contrast the painter allows between a text and its background.
inline constexpr double kReadableContrast = 4.5;

// The text colour itself where it reads on the background with kReadableContrast;
// otherwise the nearest shade of it (darker on a light background, lighter on a dark
// one) that does. Caption colours set by the program stay recognisably theirs.
Colour ReadableOn(Colour text, Colour background);

}  // namespace lumora::ui
