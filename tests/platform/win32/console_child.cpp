// A console program for the tests of the real console runner: it prints what the
// test asks for, in the ways real programs do.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// CommandLineToArgvW, with the types of windows.h.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

int main(int argc, char** argv) {
  // The bytes the test names, without the C runtime's LF to CR LF translation.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "print") {  // numbered lines, argv[2] bytes in all
    const int total = argc > 2 ? std::atoi(argv[2]) : 0;
    std::string text;
    for (int line = 0; static_cast<int>(text.size()) < total; ++line)
      text += "line " + std::to_string(line) + "\n";
    text.resize(static_cast<std::size_t>(total));
    std::fwrite(text.data(), 1, text.size(), stdout);
  } else if (mode == "mixed") {  // standard output and error, interleaved
    for (int i = 0; i < 3; ++i) {
      std::fprintf(stdout, "out%d\n", i);
      std::fflush(stdout);
      Sleep(20);
      std::fprintf(stderr, "err%d\n", i);
      std::fflush(stderr);
      Sleep(20);
    }
  } else if (mode == "zero") {  // a zero byte inside the output
    std::fwrite("ab\0cd", 1, 5, stdout);
  } else if (mode == "cp936") {  // what a Chinese console prints: 中文
    std::fwrite("\xD6\xD0\xCE\xC4", 1, 4, stdout);
  } else if (mode == "sleep") {
    Sleep(static_cast<DWORD>(argc > 2 ? std::atoi(argv[2]) : 0));
    std::fputs("slept", stdout);
  } else if (mode == "forever") {
    std::printf("pid=%lu\n", GetCurrentProcessId());
    std::fflush(stdout);
    for (;;) Sleep(1000);
  } else if (mode == "args") {  // the arguments after the mode as the child reads them
    // In UTF-16, each ended by a zero character, as CommandLineToArgvW gives them.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 2; wide && i < count; ++i)
      std::fwrite(wide[i], sizeof(wchar_t), std::wcslen(wide[i]) + 1, stdout);
    LocalFree(wide);
  } else if (mode == "exit259") {  // the exit code that reads as "still running"
    std::fputs("bye", stdout);
    std::fflush(stdout);
    std::exit(259);
  }
  return 0;
}
