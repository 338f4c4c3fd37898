#include "ui/win32/ui_font.h"

namespace lumora::ui::win32 {

namespace {

int CALLBACK NoteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one is enough
}

bool Installed(const wchar_t* face) {
  ScopedWindowDc screen(nullptr);
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  EnumFontFamiliesExW(screen.Get(), &wanted, &NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

std::wstring PickFace() {
  for (const wchar_t* face : {L"Microsoft YaHei", L"SimSun", L"WenQuanYi Micro Hei"})
    if (Installed(face)) return face;
  return L"MS Shell Dlg 2";
}

}  // namespace

const std::wstring& UiFontFace() {
  static const std::wstring face = PickFace();
  return face;
}

ScopedFont CreateUiFont(int dpi, bool underline, int points) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points, dpi, 72);
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  wcsncpy(font.lfFaceName, UiFontFace().c_str(), LF_FACESIZE - 1);
  return ScopedFont(CreateFontIndirectW(&font));
}

}  // namespace lumora::ui::win32
