// Stands in for a system DLL that someone left beside the program, under the name of
// one it uses: loaded, it leaves a mark beside itself ("MSIMG32.dll" -> "MSIMG32.dll.ran").
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t mark[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameW(self, mark, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcatW(mark, L".ran");
  const HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}

// The one function the program has ever imported from the DLL it stands in for, exported
// under that function's name (planted_dll.def), so that the loader can bind the program.
extern "C" BOOL WINAPI PlantedAlphaBlend(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION) {
  return FALSE;
}
