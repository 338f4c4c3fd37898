// The baselines of the start-up benchmark: a Win32 program that only opens a window.
//   minimal_window.exe [N]   with N plain buttons on it (none by default), made before
//                            the window is shown, as a program makes the controls of
//                            the view it opens with
// Built as minimal_window_dlls.exe, it also loads at start what LumoraWiFiSim.exe loads:
// its manifest (the common controls of version 6), the DLLs it imports, OLE and the
// common control classes.
#include <windows.h>
// The common controls' and the shell's headers need the types above.
#include <commctrl.h>
#include <oleauto.h>
#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
#ifdef LUMORA_BENCH_PROGRAM_DLLS
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{
      sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  // Does nothing; it makes the loader bring OLE Automation in, as for the program.
  SysFreeString(nullptr);
#endif
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"LumoraBenchMinimal";
  RegisterClassExW(&windowClass);
  const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"LumoraBenchMinimal",
                                      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50, 50, 430, 316,
                                      nullptr, nullptr, instance, nullptr);
#ifdef LUMORA_BENCH_PROGRAM_DLLS
  // Does nothing to a window that takes no files; the shell is imported, as for the program.
  DragAcceptFiles(window, FALSE);
#endif
  const int buttons = commandLine ? static_cast<int>(std::wcstol(commandLine, nullptr, 10)) : 0;
  for (int i = 0; i < buttons; ++i) {
    wchar_t caption[16];
    wsprintfW(caption, L"按钮%d", i + 1);
    const HWND button =
        CreateWindowExW(0, WC_BUTTONW, caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                        8 + (i % 4) * 102, 8 + (i / 4) * 34, 96, 28, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + i)), instance, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
  }
  ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
