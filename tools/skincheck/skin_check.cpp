#include "skin_check.h"

#include <cstdio>

#include "base/ini.h"
#include "commands/commands.h"
#include "skin/skin.h"

namespace skincheck {

using namespace tomari;

namespace {

constexpr const char* kLooks[kButtonStateCount] = {"Back", "Float", "Down", "Unavailable",
                                                   "Available"};
constexpr const char* kSkinKeys[] = {"BackColor", "Back", "Map", "Float", "Down", "Unavailable",
                                     "Available", "Name", "Version", "Copyright"};
constexpr const char* kButtonKeys[] = {"Type",  "Value", "Cursor", "ToolTip", "Color",
                                       "Left",  "Top",   "Width",  "Height",  "Back",
                                       "Float", "Down",  "Unavailable", "Available"};

std::string ButtonSection(std::size_t n) {
  char name[16];
  std::snprintf(name, sizeof name, "Button%02u", static_cast<unsigned>(n));
  return name;
}

bool HasPixel(const Bitmap& image, Pixel pixel) {
  for (Pixel p : image.pixels)
    if ((p & 0xFFFFFF) == pixel) return true;
  return false;
}

class Checker {
 public:
  Checker(const std::string& tsk, const std::string& startupFolder, const CheckPorts& ports)
      : tsk_(tsk), startup_(startupFolder), ports_(ports), ini_(ports.codec, IniFile::Quotes::kDoubleOrSingle) {}

  std::vector<Problem> Run() {
    std::string bytes;
    std::uint64_t size = 0;
    if (!ports_.files.Exists(tsk_) || !ports_.files.ReadHead(tsk_, kMaxSkinFileBytes, bytes, size)) {
      Add(0, "not-a-skin", "ファイルを読めません / the file cannot be read");
      return problems_;
    }
    if (size > kMaxSkinFileBytes) {
      Add(0, "not-a-skin", "1 MB を超えるファイルはスキンとして読みません / larger than 1 MB: not read as a skin");
      return problems_;
    }
    ini_.Parse(bytes);
    SkinSource source{tsk_, startup_, false};
    SkinPorts skinPorts{ports_.files, ports_.codec, ports_.images, ports_.cursors};
    if (!LoadSkin(source, skin_, skinPorts)) {
      Add(0, "not-a-skin", "画像が大きすぎてスキンとして読めません / the images need more memory than a skin may hold");
      return problems_;
    }
    CheckCuts("Skin", kSkinKeys);
    CheckSkinImages();
    for (std::size_t i = 0; i < skin_.Buttons.size(); ++i) {
      const std::string section = ButtonSection(i + 1);
      CheckCuts(section, kButtonKeys);
      CheckButton(section, skin_.Buttons[i]);
    }
    FreeSkin(skin_, ports_.cursors);
    return problems_;
  }

 private:
  void Add(std::size_t line, const char* kind, std::string message) {
    problems_.push_back({line, kind, std::move(message)});
  }
  std::size_t Line(const std::string& section, const char* key) const { return ini_.LineOf(section, key); }
  std::string Value(const std::string& section, const char* key) const {
    return ini_.ReadString(section, key, "", kIniValueLimit);
  }

  template <std::size_t N>
  void CheckCuts(const std::string& section, const char* const (&keys)[N]) {
    for (const char* key : keys) {
      const auto whole = ini_.Find(section, key);
      if (whole && ini_.ReadString(section, key, "", kIniValueLimit) != *whole)
        Add(Line(section, key), "value-cut",
            "[" + section + "] " + key + ": 127 バイトを超える値は切り詰められます / values are cut at 127 bytes");
    }
  }

  // Loads an image as the program would; reports it when it does not load.
  Bitmap Image(const std::string& section, const char* key, const std::string& path) {
    if (ports_.undecodableHere && ports_.undecodableHere(path)) return {};
    Bitmap image = LoadSkinImage(path, false, ports_.files, ports_.images);
    if (image.Empty())
      Add(Line(section, key), "image-not-loaded",
          "[" + section + "] " + key + ": 画像を読み込めません / the image does not load: " + path);
    return image;
  }

  void CheckSkinImages() {
    for (const char* key : {"Back", "Map", "Float", "Down", "Unavailable", "Available"}) {
      const std::string value = Value("Skin", key);
      if (value.empty()) continue;
      Bitmap image = Image("Skin", key, skin_.folder + value);
      if (std::string(key) == "Back") back_ = std::move(image);
      if (std::string(key) == "Map") map_ = std::move(image);
    }
    if (skin_.BackColor != kNoColor && !back_.Empty() && !HasPixel(back_, SkinColorToPixel(skin_.BackColor)))
      Add(Line("Skin", "BackColor"), "key-colour-unused",
          "[Skin] BackColor: Back 画像にこの色の点がなく、形が切り抜かれません / no pixel of the Back image has the key colour: the widget keeps its full rectangle");
  }

  void CheckButton(const std::string& section, const SkinButton& button) {
    if (!FindCommand(button.Type))
      Add(Line(section, "Type"), "unknown-command",
          "[" + section + "] Type: 知らないコマンドです / unknown command word: " + Value(section, "Type"));
    const std::string cursor = Value(section, "Cursor");
    if (!SystemCursorId(cursor) && button.Cursor == 0)
      Add(Line(section, "Cursor"), "cursor-not-loaded",
          "[" + section + "] Cursor: カーソルファイルを読み込めません / the cursor file does not load: " + skin_.folder + cursor);

    if (skin_.IsMapSkin()) {
      if (button.Color == kNoColor) {
        const std::size_t line = Line(section, "Color");
        Add(line ? line : Line(section, "Type"), "map-colour-unused",
            "[" + section + "] Color: 色がないためボタンに面積がありません / no colour: the button has no area");
      } else if (!map_.Empty() && !HasPixel(map_, SkinColorToPixel(button.Color))) {
        Add(Line(section, "Color"), "map-colour-unused",
            "[" + section + "] Color: Map 画像にこの色の点がありません / no pixel of the Map image has this colour");
      }
      return;
    }

    const Rect& r = button.Rectangle;
    if (!back_.Empty() && (r.left < 0 || r.top < 0 || r.right > back_.width || r.bottom > back_.height ||
                           r.right <= r.left || r.bottom <= r.top)) {
      std::size_t line = Line(section, "Left");
      if (line == 0) line = Line(section, "Type");
      Add(line, "button-outside-back",
          "[" + section + "] ボタンが Back 画像 (" + std::to_string(back_.width) + "x" +
              std::to_string(back_.height) + ") の外にはみ出しています / the button (" +
              std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
              std::to_string(r.bottom) + ") is not inside the Back image");
    }
    for (const char* look : kLooks) {
      const std::string value = Value(section, look);
      if (value.empty()) continue;
      const Bitmap image =
          Image(section, look, ResolveButtonImagePath(value, startup_, skin_.folder, ports_.files));
      const int width = r.right - r.left, height = r.bottom - r.top;
      if (!image.Empty() && (image.width != width || image.height != height))
        Add(Line(section, look), "button-image-size",
            "[" + section + "] " + look + ": 画像は " + std::to_string(image.width) + "x" +
                std::to_string(image.height) + "、ボタンは " + std::to_string(width) + "x" +
                std::to_string(height) + " です / the image is not the button's size");
    }
  }

  std::string tsk_;
  std::string startup_;
  const CheckPorts& ports_;
  IniFile ini_;
  SkinData skin_;
  Bitmap back_;
  Bitmap map_;
  std::vector<Problem> problems_;
};

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

std::vector<Problem> CheckSkin(const std::string& tsk, const std::string& startupFolder,
                               const CheckPorts& ports) {
  return Checker(tsk, startupFolder, ports).Run();
}

std::string FormatText(const std::string& tsk, const std::vector<Problem>& problems) {
  std::string out;
  for (const Problem& p : problems)
    out += tsk + ":" + std::to_string(p.line) + ": " + p.kind + ": " + p.message + "\n";
  out += tsk + (problems.empty() ? ": OK\n" : ": " + std::to_string(problems.size()) + " problem(s)\n");
  return out;
}

std::string FormatJson(const std::string& tsk, const std::vector<Problem>& problems) {
  std::string out = "{\"file\":" + JsonString(tsk) + ",\"problems\":[";
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const Problem& p = problems[i];
    out += (i ? ",{" : "{") + std::string("\"line\":") + std::to_string(p.line) +
           ",\"kind\":" + JsonString(p.kind) + ",\"message\":" + JsonString(p.message) + "}";
  }
  return out + "]}";
}

int RunSkinCheck(const std::vector<std::string>& args, const std::string& startupFolder,
                 const CheckPorts& ports, std::string& out) {
  bool json = false;
  bool usage = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--json")
      json = true;
    else if (a.empty() || a[0] == '-')
      usage = true;
    else
      files.push_back(a);
  }
  if (usage || files.empty()) {
    out = "usage: skincheck [--json] FILE.tsk...\n";
    return 2;
  }
  bool clean = true;
  if (json) out += "[";
  for (std::size_t i = 0; i < files.size(); ++i) {
    const auto problems = CheckSkin(files[i], startupFolder, ports);
    clean = clean && problems.empty();
    out += json ? (i ? "," : "") + FormatJson(files[i], problems) : FormatText(files[i], problems);
  }
  if (json) out += "]\n";
  return clean ? 0 : 1;
}

}  // namespace skincheck
