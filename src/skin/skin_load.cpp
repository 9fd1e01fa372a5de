// LoadSkin: a .tsk file and the images it names into SkinData.
#include <algorithm>
#include <limits>
#include <map>
#include <utility>

#include "base/ini.h"
#include "base/saturate.h"
#include "skin/skin.h"

namespace tomari {

namespace {

// The image keys in ButtonState order, in the Skin section and per button.
constexpr const char* kStateKeys[kButtonStateCount] = {"Back", "Float", "Down", "Unavailable",
                                                       "Available"};

std::int32_t ClampedSum(std::int32_t a, std::int32_t b) {
  return Saturate<std::int32_t>(std::int64_t{a} + b);
}

std::string ButtonSection(int n) {
  std::string section = "Button";
  section += static_cast<char>('0' + n / 10);
  section += static_cast<char>('0' + n % 10);
  return section;
}

// How much of a look starting at `origin` and `length` long can ever show on
// a face `extent` wide: what lies past the face's far edge is never drawn.
int Visible(std::int64_t origin, std::int64_t length, std::int64_t extent) {
  return static_cast<int>(std::clamp<std::int64_t>(std::min(length, extent - origin), 0,
                                                   std::numeric_limits<int>::max()));
}

// One load in progress: the parsed file, each image file decoded once however
// many keys name it, and the pixels held so far.
class SkinReader {
 public:
  SkinReader(const SkinSource& source, const SkinPorts& ports, SkinData& skin)
      : source_(source), ports_(ports), skin_(skin), ini_(ports.codec, IniFile::Quotes::kDoubleOrSingle) {}

  bool ReadFile() {
    std::string bytes;
    std::uint64_t size = 0;
    // A name that exists but cannot be read (a folder, a locked file) is no
    // skin either: the plain widget beats an invisible 0 x 0 one.
    if (source_.file.empty() || !ports_.files.Exists(source_.file)) return false;
    if (!ports_.files.ReadHead(source_.file, kMaxSkinFileBytes, bytes, size)) return false;
    if (size > kMaxSkinFileBytes) return false;
    ini_.Parse(bytes);
    return true;
  }

  void ReadSkinSection() {
    skin_.folder = SkinFolderOf(source_.file);
    skin_.BackColor = ParseSkinColor(Text("Skin", "BackColor"), kNoColor);
    skin_.Images[kStateBack] = SkinSectionImage("Back");
    skin_.Map = SkinSectionImage("Map");
    for (int state = kStateFloat; state < kButtonStateCount; ++state)
      skin_.Images[state] = SkinSectionImage(kStateKeys[state]);
  }

  void ReadButtons() {
    for (int n = 1; n <= kMaxSkinButtons && !OverBudget(); ++n) {
      const std::string section = ButtonSection(n);
      const std::string type = Text(section, "Type");
      if (type.empty()) break;
      ReadButton(section, type, skin_.Buttons.emplace_back());
    }
    // A rectangle skin's buttons carry their own looks now; only Back stays.
    if (!skin_.IsMapSkin())
      for (int state = kStateFloat; state < kButtonStateCount; ++state) skin_.Images[state] = {};
  }

  bool OverBudget() const { return held_ > source_.pixelBudget; }

 private:
  std::string Text(const std::string& section, const char* key) const {
    return ini_.ReadString(section, key, "", kIniValueLimit);
  }

  // Counts what the load holds; an image that would pass the budget is not
  // made, and the load ends as "not a skin". Each decoded file counts once.
  bool Take(std::int64_t width, std::int64_t height) {
    held_ += width > 0 && height > 0 ? width * height : 0;
    return !OverBudget();
  }

  const SkinImage& Decoded(const std::string& path) {
    auto found = decoded_.find(path);
    if (found != decoded_.end()) return found->second;
    SkinImage image;
    if (!OverBudget()) image = LoadSkinImage(path, source_.hasImageLibrary, ports_.files, ports_.images);
    if (!Take(image.width, image.height)) image = {};
    return decoded_.emplace(path, std::move(image)).first->second;
  }

  // A copy of `image` from (left, top), clipped to the face; the budget is
  // charged before the pixels are allocated.
  SkinImage Cut(const SkinImage& image, int left, int top, int width, int height) {
    // What CutSkinImage refuses anyway costs nothing.
    if (image.Empty() || width <= 0 || height <= 0 || width > kMaxImageSide ||
        height > kMaxImageSide || std::int64_t{width} * height > kMaxImagePixels)
      return {};
    if (!Take(width, height)) return {};
    return CutSkinImage(image, left, top, width, height);
  }

  SkinImage SkinSectionImage(const char* key) {
    const std::string value = Text("Skin", key);
    if (value.empty()) return {};
    const SkinImage& image = Decoded(skin_.folder + value);
    return Cut(image, 0, 0, image.width, image.height);
  }

  void ReadButton(const std::string& section, const std::string& type, SkinButton& button) {
    button.Type = UpperAscii(type);
    button.Value = Text(section, "Value");
    const SkinCursor cursor = GetSkinCursor(Text(section, "Cursor"), skin_.folder, ports_.cursors);
    button.Cursor = cursor.handle;
    button.CursorOwned = cursor.owned;
    button.ToolTip = Text(section, "ToolTip");
    if (skin_.IsMapSkin()) {
      button.Color = ParseSkinColor(Text(section, "Color"), kNoColor);
      return;
    }
    Rect& r = button.Rectangle;
    r.left = ini_.ReadInt(section, "Left", -1);
    r.top = ini_.ReadInt(section, "Top", -1);
    r.right = ClampedSum(r.left, ini_.ReadInt(section, "Width", 0));
    r.bottom = ClampedSum(r.top, ini_.ReadInt(section, "Height", 0));
    for (int state = 0; state < kButtonStateCount && !OverBudget(); ++state)
      button.Images[state] = ButtonLook(section, state, r);
  }

  // A button's look: its own image file, or the part of the Skin section's
  // image under it. Either way only what can show on the Back image is kept.
  SkinImage ButtonLook(const std::string& section, int state, const Rect& r) {
    const SkinImage& back = skin_.Back();
    const std::int64_t width = std::int64_t{r.right} - r.left;
    const std::int64_t height = std::int64_t{r.bottom} - r.top;
    const std::string own = Text(section, kStateKeys[state]);
    if (own.empty())
      return Cut(skin_.Images[state], r.left, r.top, Visible(r.left, width, back.width),
                 Visible(r.top, height, back.height));
    const SkinImage& image = Decoded(
        ResolveButtonImagePath(own, source_.startupFolder, skin_.folder, ports_.files));
    return Cut(image, 0, 0, Visible(r.left, std::min<std::int64_t>(width, image.width), back.width),
               Visible(r.top, std::min<std::int64_t>(height, image.height), back.height));
  }

  const SkinSource& source_;
  const SkinPorts& ports_;
  SkinData& skin_;
  IniFile ini_;
  std::map<std::string, SkinImage> decoded_;
  std::int64_t held_ = 0;
};

}  // namespace

bool LoadSkin(const SkinSource& source, SkinData& out, const SkinPorts& ports) {
  bool loaded = false;
  try {
    SkinReader reader(source, ports, out);
    if (reader.ReadFile()) {
      reader.ReadSkinSection();
      reader.ReadButtons();
      loaded = !reader.OverBudget();
    }
  } catch (...) {
    FreeSkin(out, ports.cursors);
    throw;
  }
  if (!loaded) FreeSkin(out, ports.cursors);
  out.loaded = loaded;
  return loaded;
}

}  // namespace tomari
