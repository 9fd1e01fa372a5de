// Values of .tsk files: colours, cursor names and file names.
#include <utility>

#include "skin/skin.h"

namespace tomari {

namespace {

struct NamedColor {
  std::string_view name;
  SkinColor color;
};

constexpr NamedColor kColorWords[] = {
    {"RED", 0x0000FF},     {"GREEN", 0x00FF00},  {"BLUE", 0xFF0000},  {"CYAN", 0xFFFF00},
    {"MAGENTA", 0xFF00FF}, {"YELLOW", 0x00FFFF}, {"BLACK", 0x000000}, {"WHITE", 0xFFFFFF},
};

struct NamedCursor {
  std::string_view name;
  int id;
};

constexpr NamedCursor kCursorNames[] = {
    {"APPSTARTING", 32650}, {"ARROW", 32512},    {"", 32512},        {"CROSS", 32515},
    {"IBEAM", 32513},       {"NO", 32648},       {"SIZEALL", 32646}, {"SIZENESW", 32643},
    {"SIZENS", 32645},      {"SIZENWSE", 32642}, {"SIZEWE", 32644},  {"UPARROW", 32516},
    {"WAIT", 32514},        {"HAND", 32649},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

SkinColor ParseSkinColor(std::string_view value, SkinColor def) {
  const std::string upper = UpperAscii(value);
  if (upper == "DEFAULT") return def;
  for (const NamedColor& word : kColorWords)
    if (upper == word.name) return word.color;
  if (value.size() < 7 || value[0] != '#') return def;
  int channel[3];
  for (int i = 0; i < 3; ++i) {
    const int hi = HexDigit(value[1 + 2 * i]);
    const int lo = HexDigit(value[2 + 2 * i]);
    if (hi < 0 || lo < 0) return def;
    channel[i] = hi * 16 + lo;
  }
  return channel[0] + 256 * channel[1] + 65536 * channel[2];
}

Pixel SkinColorToPixel(SkinColor color) {
  return MakePixel(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

std::optional<int> SystemCursorId(std::string_view value) {
  const std::string upper = UpperAscii(value);
  for (const NamedCursor& cursor : kCursorNames)
    if (upper == cursor.name) return cursor.id;
  return std::nullopt;
}

std::string SkinFolderOf(const std::string& path) {
  const auto pos = path.find_last_of("\\/");
  return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

bool IsAbsolutePath(std::string_view path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]))
    return true;
  return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::string ResolveButtonImagePath(const std::string& value, const std::string& startupFolder,
                                   const std::string& skinFolder, FileSystem& fs) {
  if (IsAbsolutePath(value)) return value;
  if (!value.empty() && IsSeparator(value[0])) {
    // Rooted on the drive of the directory it was written against.
    return startupFolder.size() >= 2 && startupFolder[1] == ':' ? startupFolder.substr(0, 2) + value
                                                                : value;
  }
  std::string fromStart = startupFolder + value;
  if (fs.Exists(fromStart)) return fromStart;
  std::string fromSkin = skinFolder + value;
  if (fs.Exists(fromSkin)) return fromSkin;
  return fromStart;
}

}  // namespace tomari
