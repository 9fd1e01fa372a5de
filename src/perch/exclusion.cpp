#include "perch/exclusion.h"

#include <optional>
#include <string>

#include "base/text.h"

namespace tomari {

namespace {

// Bytes that are not valid UTF-8 are kept, each as a code point of its own
// that no real character uses, so they still compare equal only to themselves.
constexpr char32_t kRawByteBase = 0x110000;

// Upper-cases the letters whose case the user would expect to be ignored in a
// window title or class name: ASCII, Latin-1, Greek, Cyrillic and the full-width
// Latin letters that Japanese input produces. Width and kana type are not
// folded: "Ｎｏｔｅ" and "Note" stay different titles.
char32_t FoldCase(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;     // à..þ except ÷
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;  // α..ω except final ς
  if (c == 0x3C2) return 0x3A3;                                 // ς → Σ
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;                // а..я
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;                // ѐ..џ
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;              // ａ..ｚ
  return c;
}

std::u32string Folded(const std::string& s) {
  std::u32string out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    const std::size_t len = Utf8SequenceLength(s, i);
    bool ok = b < 0x80 || len > 1;
    char32_t c = len == 1 ? b : b & (0x7Fu >> len);
    for (std::size_t k = 1; k < len; ++k) c = (c << 6) | (p[i + k] & 0x3F);
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if (ok && ((len == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
               (len == 4 && (c < 0x10000 || c > 0x10FFFF))))
      ok = false;
    if (!ok) {
      out.push_back(kRawByteBase + b);
      ++i;
      continue;
    }
    out.push_back(FoldCase(c));
    i += static_cast<size_t>(len);
  }
  return out;
}

// `title` and `windowClass` come folded already.
bool TitlePasses(const ExclusionEntry& e, const std::u32string& title) {
  const std::u32string want = Folded(e.WindowTitle);
  if (e.InTitle != 0) return title.find(want) != std::u32string::npos;
  return title == want;
}

bool ClassPasses(const ExclusionEntry& e, const std::u32string& windowClass) {
  return Folded(e.WindowClass) == windowClass;
}

}  // namespace

bool ExclusionMatches(const ExclusionEntry& e, const std::string& title,
                      const std::string& windowClass) {
  if (!e.WindowTitle.empty() && !TitlePasses(e, Folded(title))) return false;
  if (!e.WindowClass.empty() && !ClassPasses(e, Folded(windowClass))) return false;
  return true;
}

bool IsExcludedWindow(const App& app, WindowSystem& windows, WindowHandle h) {
  if (app.ownWindows.Contains(h)) return true;
  // Title and class are read only when some entry needs them, and once: the
  // tick asks this several times a second about other programs' windows.
  std::optional<std::u32string> title;
  std::optional<std::u32string> windowClass;
  for (const ExclusionEntry& e : app.settings.ExclusionEntries) {
    if (!e.WindowTitle.empty()) {
      if (!title) title = Folded(windows.GetTitle(h));
      if (!TitlePasses(e, *title)) continue;
    }
    if (!e.WindowClass.empty()) {
      if (!windowClass) windowClass = Folded(windows.ClassNameOf(h));
      if (!ClassPasses(e, *windowClass)) continue;
    }
    return true;
  }
  return false;
}

}  // namespace tomari
