// Command lines: any line splits without fault, and a line built by our quoting splits
// back into exactly the texts it was built from.

#include "fuzz_input.h"
#include "text/command_line.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::Whole(data, size);
  text::SplitCommandLine(input);

  // The arguments are the input's pieces between zero bytes, the one character no line
  // handed to Windows can carry.
  const std::vector<std::string> arguments = fuzz::SplitAt(input, '\0');

  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    line += text::QuoteArgument(argument);
  }
  fuzz::Check(text::SplitArguments(line) == arguments, "quoted arguments split back");

  // The program's name as the runner builds a line: quoted, then the arguments.
  const std::string& program = arguments.front();
  if (program.find('"') == std::string::npos) {
    const std::vector<std::string> split = text::SplitCommandLine("\"" + program + "\" " + line);
    std::vector<std::string> expected{program};
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    fuzz::Check(split == expected, "a quoted program name and its arguments split back");
  }
  return 0;
}
