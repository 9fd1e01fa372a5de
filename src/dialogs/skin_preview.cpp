#include "dialogs/skin_preview.h"

#include <algorithm>
#include <cmath>

#include "base/ini.h"

namespace tomari {

namespace {

std::string ButtonSection(int n) {
  std::string section = "Button";
  section += static_cast<char>('0' + n / 10);
  section += static_cast<char>('0' + n % 10);
  return section;
}

void CopyOnto(SkinImage& dest, const SkinImage& src, int left, int top, int width, int height) {
  const int w = std::min(width, src.width);
  const int h = std::min(height, src.height);
  for (int y = std::max(0, -top); y < h && top + y < dest.height; ++y)
    for (int x = std::max(0, -left); x < w && left + x < dest.width; ++x)
      dest.At(left + x, top + y) = src.At(x, y);
}

}  // namespace

std::string GetSkinInfo(const std::string& path, FileSystem& fs, TextCodec& codec) {
  IniFile ini(codec);
  ini.Load(fs, path);
  const auto slash = path.find_last_of('\\');
  const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
  return ini.ReadString("Skin", "Name", fileName) + " Ver." + ini.ReadString("Skin", "Version", "?") +
         "\r\n(C)" + ini.ReadString("Skin", "Copyright", "???");
}

std::string SkinInfoFirstLine(const std::string& info) {
  const auto end = info.rfind("\r\n");
  return end == std::string::npos ? info : info.substr(0, end);
}

SkinImage RenderSkinPreview(const std::string& path, SkinColor& keyColor,
                            const PreviewSources& in) {
  if (path.empty() || !in.fs.Exists(path)) return {};
  IniFile ini(in.codec);
  if (ini.Load(in.fs, path) != IniFile::LoadResult::kLoaded) return {};
  const std::string folder = SkinFolderOf(path);
  const auto text = [&](const std::string& section, const char* key) {
    return ini.ReadString(section, key, "");
  };
  const auto image = [&](const std::string& p) {
    return LoadSkinImage(p, in.hasImageLibrary, in.fs, in.decoder);
  };
  const std::string backName = text("Skin", "Back");
  SkinImage preview = backName.empty() ? SkinImage{} : image(folder + backName);
  keyColor = ParseSkinColor(ini.ReadString("Skin", "BackColor", "0"), 0);
  if (preview.Empty()) return {};

  // A map skin's buttons are parts of its Back image already; only a
  // rectangle skin has button images of its own to draw.
  const std::string mapName = text("Skin", "Map");
  if (!mapName.empty() && !image(folder + mapName).Empty()) return preview;

  const SkinImage back = preview;
  for (int n = 1; n <= kMaxSkinButtons; ++n) {
    const std::string section = ButtonSection(n);
    if (text(section, "Type").empty()) break;
    const int left = ini.ReadInt(section, "Left", -1);
    const int top = ini.ReadInt(section, "Top", -1);
    const int width = ini.ReadInt(section, "Width", 0);
    const int height = ini.ReadInt(section, "Height", 0);
    const std::string own = text(section, "Back");
    const SkinImage normal =
        own.empty() ? CutSkinImage(back, left, top, width, height)
                    : image(ResolveButtonImagePath(own, in.startupFolder, folder, in.fs));
    CopyOnto(preview, normal, left, top, width, height);
  }
  return preview;
}

Rect FitPreview(int width, int height, int areaWidth, int areaHeight) {
  int w = width;
  int h = height;
  if (width > 0 && height > 0 && (width > areaWidth || height > areaHeight)) {
    // The smaller ratio, so that both sides fit.
    const float ratio = std::min(static_cast<float>(areaWidth) / static_cast<float>(width),
                                 static_cast<float>(areaHeight) / static_cast<float>(height));
    w = static_cast<int>(std::lround(ratio * static_cast<float>(width)));
    h = static_cast<int>(std::lround(ratio * static_cast<float>(height)));
  }
  const int x = (areaWidth - w) / 2;
  const int y = (areaHeight - h) / 2;
  return {x, y, x + w, y + h};
}

}  // namespace tomari
