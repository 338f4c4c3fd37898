// Stands in for a system program that someone left where the program might look for
// it: when started, it leaves a mark beside itself ("netsh.exe" -> "netsh.exe.ran").
#include <windows.h>

int main() {
  wchar_t mark[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameW(nullptr, mark, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  lstrcatW(mark, L".ran");
  const HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(file);
  return 0;
}
