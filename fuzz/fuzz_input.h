#pragma once
// What the fuzz targets share: the input cut into the texts a reader takes, and the
// check of a property, whose failure libFuzzer reports as a crash and saves the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::fuzz {

// The input as count texts, cut at its first count - 1 zero bytes: a seed stays a
// readable file, and the last text keeps any zero bytes after the cuts. Texts the input
// does not reach are empty.
inline std::vector<std::string_view> Pieces(const std::uint8_t* data, std::size_t size,
                                            std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> pieces;
  while (pieces.size() + 1 < count) {
    const std::size_t cut = rest.find('\0');
    if (cut == std::string_view::npos) break;
    pieces.push_back(rest.substr(0, cut));
    rest.remove_prefix(cut + 1);
  }
  pieces.push_back(rest);
  pieces.resize(count);
  return pieces;
}

// Every piece of the text between separators, empty ones and the last included.
inline std::vector<std::string> SplitAt(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t cut = text.find(separator); cut != std::string_view::npos;
       cut = text.find(separator, start)) {
    pieces.emplace_back(text.substr(start, cut - start));
    start = cut + 1;
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}

inline std::string_view Whole(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline void Check(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

}  // namespace lumora::fuzz
