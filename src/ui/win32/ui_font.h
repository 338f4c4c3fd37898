#pragma once
// The font of every control: the first installed of Microsoft YaHei, SimSun and
// WenQuanYi Micro Hei, so that Chinese never shows as boxes.

#include <windows.h>

#include <string>

#include "ui/win32/gdi_objects.h"

namespace lumora::ui::win32 {

// The face name chosen once per process; the system's dialog face when none is there.
const std::wstring& UiFontFace();

// The face at points (9 unless said) for dpi.
ScopedFont CreateUiFont(int dpi, bool underline = false, int points = 9);

}  // namespace lumora::ui::win32
