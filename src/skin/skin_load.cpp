// LoadSkin, FreeSkin and ApplySkin: a .tsk file into SkinData, and SkinData onto
// the widget.
#include <algorithm>
#include <limits>
#include <vector>

#include "app/app.h"
#include "app/ini.h"
#include "skin/skin.h"
#include "skin/skin_scale.h"

namespace tomari {

namespace {

// The image keys in ButtonState order, in the Skin section and per button.
constexpr const char* kStateKeys[kButtonStateCount] = {"Back", "Float", "Down", "Unavailable",
                                                       "Available"};

std::int32_t ClampedSum(std::int32_t a, std::int32_t b) {
  const std::int64_t sum = static_cast<std::int64_t>(a) + b;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::string ButtonSection(int n) {
  std::string section = "Button";
  section += static_cast<char>('0' + n / 10);
  section += static_cast<char>('0' + n % 10);
  return section;
}

}  // namespace

void LoadSkin(App& app, FileSystem& fs, TextCodec& codec, ImageDecoder& decoder,
              CursorLoader& cursors) {
  SkinData& skin = app.skin;
  FreeSkin(skin, cursors);
  const std::string& file = app.settings.MainSkin;
  if (file.empty() || !fs.Exists(file)) return;
  const bool hasLibrary = app.settings.HasImageLibrary;

  // Read once: a skin has up to 99 sections of a dozen keys each. A name that
  // exists but cannot be read (a folder, a locked file) is no skin either: the
  // plain widget beats an invisible 0 x 0 one.
  IniFile ini(codec);
  if (ini.Load(fs, file) != IniFile::LoadResult::kLoaded) return;
  const auto text = [&](const std::string& section, const char* key) {
    return ini.ReadString(section, key, "", kIniValueLimit);
  };
  const auto number = [&](const std::string& section, const char* key, std::int32_t def) {
    return ini.ReadInt(section, key, def);
  };
  const auto image = [&](const std::string& path) {
    return LoadSkinImage(path, hasLibrary, fs, decoder);
  };
  const auto skinImage = [&](const char* key) {
    const std::string value = text("Skin", key);
    return value.empty() ? SkinImage{} : image(skin.folder + value);
  };

  skin.folder = SkinFolderOf(file);
  skin.BackColor = ParseSkinColor(text("Skin", "BackColor"), kNoColor);
  skin.Images[kStateBack] = skinImage("Back");
  skin.Map = skinImage("Map");
  for (int state = kStateFloat; state < kButtonStateCount; ++state)
    skin.Images[state] = skinImage(kStateKeys[state]);
  const bool mapSkin = skin.IsMapSkin();

  for (int n = 1; n <= kMaxSkinButtons; ++n) {
    const std::string section = ButtonSection(n);
    const std::string type = text(section, "Type");
    if (type.empty()) break;
    SkinButton& button = skin.Buttons.emplace_back();
    button.Type = UpperAscii(type);
    button.Value = text(section, "Value");
    const SkinCursor cursor = GetSkinCursor(text(section, "Cursor"), skin.folder, cursors);
    button.Cursor = cursor.handle;
    button.CursorOwned = cursor.owned;
    button.ToolTip = text(section, "ToolTip");
    if (mapSkin) {
      button.Color = ParseSkinColor(text(section, "Color"), kNoColor);
      continue;
    }
    Rect& r = button.Rectangle;
    r.left = number(section, "Left", -1);
    r.top = number(section, "Top", -1);
    r.right = ClampedSum(r.left, number(section, "Width", 0));
    r.bottom = ClampedSum(r.top, number(section, "Height", 0));
    for (int state = 0; state < kButtonStateCount; ++state) {
      const std::string own = text(section, kStateKeys[state]);
      button.Images[state] =
          own.empty() ? CutSkinImage(skin.Images[state], r.left, r.top, r.Width(), r.Height())
                      : image(ResolveButtonImagePath(own, skin.StartupFolder, skin.folder, fs));
    }
  }

  if (!mapSkin)
    for (int state = kStateFloat; state < kButtonStateCount; ++state) skin.Images[state] = {};
  skin.loaded = true;
}

void ApplySkin(App& app, Ports& ports) {
  ImageDecoder& decoder = ports.images;
  CursorLoader& cursors = ports.cursors;
  LoadSkin(app, ports.files, ports.codec, decoder, cursors);
  ScaleSkin(app.skin, app.skin.Dpi);
  WidgetWindow& widget = ports.widget;
  const SkinData& skin = app.skin;
  if (!skin.loaded) {
    widget.SetSize(ScaleLength(kNoSkinWidth, skin.Dpi), ScaleLength(kNoSkinHeight, skin.Dpi));
    // An old skin's outline must not clip the plain widget.
    widget.SetShape(WidgetShape{});
    widget.SetLabel(NoSkinLabel());
    widget.Present(Bitmap{});
    return;
  }
  const SkinImage& back = skin.Back();
  widget.SetSize(back.width, back.height);
  SetRegionFromImage(widget, back, skin.BackColor);
  widget.SetLabel("");
  const std::vector<int> normal(skin.Buttons.size(), kStateBack);
  widget.Present(ComposeFace(skin, normal));
}

}  // namespace tomari
