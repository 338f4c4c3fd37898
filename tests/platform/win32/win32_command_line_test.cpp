// The command-line rules of the text module against Windows' own splitter, and quoted
// arguments through a real process start.
#include <gtest/gtest.h>
#include <windows.h>
// CommandLineToArgvW, with the types of windows.h.
#include <shellapi.h>

#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_console.h"
#include "support/test_support.h"
#include "text/command_line.h"

namespace lumora::platform::win32 {
namespace {

using Arguments = std::vector<std::string>;

Arguments WindowsSplit(std::string_view line) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(Wide(line).c_str(), &count);
  Arguments split;
  for (int i = 0; wide && i < count; ++i) split.push_back(Utf8(wide[i]));
  LocalFree(wide);
  return split;
}

TEST(Win32CommandLine, SplitsAsCommandLineToArgvWDoes) {
  const std::string_view lines[] = {
      "netsh  wlan\tset ",
      "\"C:\\Program Files\\x.exe\" a",
      "\"C:\\dir\\\"x y",
      "C:\\dir\\x.exe\ta",
      " x",
      "p a\\\\b \\",
      "p a\\\\\"b c\"",
      "p a\\\\\\\"b",
      "p key=\"abc\\\" ssid=x",
      "p key=\"abc\\\\\" ssid=x",
      "p ssid=\"my net\"x \"\"",
      "p \"a\"\"b\"",
      "p \"\"\"\"",
      "p \"\"\"x\"\" y",
      "p \"\"\"\"\"\"\"",
      "p \"unclosed  two",
      "p 网\\\" 络\"\\\\\"",
  };
  for (const std::string_view line : lines)
    EXPECT_EQ(text::SplitCommandLine(line), WindowsSplit(line)) << line;
}

std::string ChildCommand(std::string_view arguments) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  return "\"" + Utf8(folder) + "console_child.exe\" args " + std::string(arguments);
}

// The child's arguments: UTF-16, each ended by a zero character.
Arguments ChildArguments(const std::string& output) {
  std::u16string wide(output.size() / 2, u'\0');
  for (std::size_t i = 0; i < wide.size(); ++i)
    wide[i] = static_cast<char16_t>(static_cast<unsigned char>(output[2 * i]) |
                                    static_cast<unsigned char>(output[2 * i + 1]) << 8);
  Arguments split;
  for (std::size_t start = 0, end; (end = wide.find(u'\0', start)) != std::u16string::npos;
       start = end + 1)
    split.push_back(text::Utf8FromUtf16(std::u16string_view(wide).substr(start, end - start)));
  return split;
}

TEST(Win32CommandLine, QuotedArgumentsReachAStartedProgramExactly) {
  Win32Console console;
  for (const std::string& text : testing::HostileTexts()) {
    SCOPED_TRACE(text);
    const std::string arguments = "ssid=" + text::QuoteArgument(text) +
                                  " key=" + text::QuoteArgument(text + text) + " " +
                                  text::QuoteArgument(text);
    const Arguments expected{"ssid=" + text, "key=" + text + text, text};
    EXPECT_EQ(WindowsSplit("netsh " + arguments),
              (Arguments{"netsh", expected[0], expected[1], expected[2]}));
    EXPECT_EQ(ChildArguments(console.Run(ChildCommand(arguments), [] { return true; })), expected);
  }
}

}  // namespace
}  // namespace lumora::platform::win32
