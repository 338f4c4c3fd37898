#pragma once
// Command lines as Windows programs read them. A process gets its command line as one
// text; CommandLineToArgvW and the C runtime split it into arguments at blanks (space,
// tab) outside double quotes. A backslash is special only in a run that ends at a
// double quote: 2n backslashes and a quote give n backslashes and open or close the
// quotes, 2n+1 give n backslashes and a literal quote. So `key="abc\"` does not end
// where it seems to: its quote is literal and the argument runs on.
//
// No command interpreter stands between the program and the programs it starts, so
// &, |, %, ^, < and > mean nothing here. The rules see only ASCII characters, which
// never occur inside a UTF-8 sequence, so they work the same on UTF-8 and on UTF-16.

#include <string>
#include <string_view>
#include <vector>

namespace lumora::text {

// The text as one argument: in double quotes, with each run of backslashes before a
// quote of the text or before the closing quote doubled, and each quote of the text
// escaped. Every splitter of the rules above gives the text back exactly, whatever it
// holds (an empty text included); only a zero character, which ends a line handed to
// Windows, does not get through.
std::string QuoteArgument(std::string_view text);

struct ProgramAndArguments {
  std::string program;
  std::string_view arguments;  // the rest of the line, for SplitArguments
};

// The program's name at the start of a command line, by the rule of CreateProcess and
// CommandLineToArgvW: up to the next double quote when the line starts with one (no
// escapes), else up to the first white space.
ProgramAndArguments SplitProgramName(std::string_view line);

// The arguments of the text after a program's name, split as CommandLineToArgvW
// splits them, down to its own counting of runs of double quotes.
std::vector<std::string> SplitArguments(std::string_view arguments);

// The program's name and then its arguments; nothing for an empty line.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace lumora::text
