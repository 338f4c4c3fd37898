#pragma once
// The colour tone of the windows. The program keeps one hue for all skinned windows;
// some group captions get their own colours, and a window can be left unskinned.
// The painter of the view reads this state.

#include <optional>
#include <set>
#include <vector>

#include "ui/controls.h"

namespace lumora::ui {

// Told after every change of the skin: a new hue, or a window taken out.
class SkinObserver {
 public:
  virtual ~SkinObserver() = default;
  virtual void OnSkinChanged() = 0;
};

class Skin {
 public:
  // Skins every window of the process, present and future, shifted by hue (-160..180).
  void ApplySkin(int hue);
  // The caption of the control is drawn in that colour.
  void SetGroupTitleColour(Control& control, Colour colour);
  // The window and its controls are drawn without the skin.
  void RemoveSkin(WindowModel& window);

  // The hue of the last ApplySkin; none before the first.
  std::optional<int> Hue() const { return hue_; }
  bool Skinned(const WindowModel& window) const { return hue_ && !unskinned_.contains(&window); }

  void AddObserver(SkinObserver* observer) { observers_.push_back(observer); }
  void RemoveObserver(SkinObserver* observer);

 private:
  void Notify();

  std::vector<SkinObserver*> observers_;
  std::optional<int> hue_;
  std::set<const WindowModel*> unskinned_;
};

}  // namespace lumora::ui
