#include "ui/skin.h"

namespace lumora::ui {

void Skin::ApplySkin(int hue) { hue_ = hue; }

void Skin::SetGroupTitleColour(Control& control, Colour colour) { control.SetTextColour(colour); }

void Skin::RemoveSkin(WindowModel& window) { unskinned_.insert(&window); }

}  // namespace lumora::ui
