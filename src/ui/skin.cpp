#include "ui/skin.h"

#include <algorithm>

namespace lumora::ui {

void Skin::ApplySkin(int hue) {
  hue_ = hue;
  Notify();
}

void Skin::SetGroupTitleColour(Control& control, Colour colour) { control.SetTextColour(colour); }

void Skin::RemoveSkin(WindowModel& window) {
  unskinned_.insert(&window);
  Notify();
}

void Skin::RemoveObserver(SkinObserver* observer) { std::erase(observers_, observer); }

void Skin::Notify() {
  // An observer may go away while it is told.
  const std::vector<SkinObserver*> observers = observers_;
  for (SkinObserver* observer : observers)
    if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end())
      observer->OnSkinChanged();
}

}  // namespace lumora::ui
