#pragma once
// UTF-8 and ASCII helpers shared by the core. Text inside the program is UTF-8,
// but it comes from files and other programs' windows, so every helper takes
// broken sequences without stalling or reading past the end.
#include <cstddef>
#include <string>
#include <string_view>

namespace tomari {

inline bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes in the well-formed UTF-8 sequence that starts at s[i] (lead bytes
// C2-F4 followed by enough continuation bytes); 1 for any byte that starts no
// whole sequence, so a scan always moves on. `i` must be inside `s`.
inline std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  std::size_t n = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
  }
  if (n > s.size() - i) return 1;
  for (std::size_t k = 1; k < n; ++k) {
    if (!IsUtf8Continuation(s[i + k])) return 1;
  }
  return n;
}

// Characters as a title bar counts them: every byte that is not a
// continuation byte starts one.
inline std::size_t CharacterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (char c : utf8)
    if (!IsUtf8Continuation(c)) ++n;
  return n;
}

// Only ASCII letters fold: names in our files are ASCII, and folding bytes of
// other characters would make different names equal.
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLower(c);
  return out;
}

}  // namespace tomari
