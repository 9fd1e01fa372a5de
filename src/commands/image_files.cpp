#include "commands/image_files.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace tomari {

namespace {

constexpr std::size_t kBmpHeaderSize = 58;  // 14 + 40 + the empty colour entry

const char* const kExtensions[] = {".bmp", ".jpg", ".png"};

bool EndsWithIgnoringCase(const std::string& s, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char c = s[s.size() - n + i];
    char d = suffix[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (d >= 'a' && d <= 'z') d = static_cast<char>(d - 'a' + 'A');
    if (c != d) return false;
  }
  return true;
}

void Put16(char* p, std::uint16_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>(v >> 8);
}

void Put32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A setting handed to the library as one byte; a value out of that range
// (only a hand-edited file has one) is taken as the nearest end, not wrapped.
std::uint8_t SettingByte(std::int32_t v) {
  return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

std::string OverwriteQuestion(const std::string& name) {
  return "同名のファイルが存在します。\r\n\"" + name + "\"\r\n上書きしますか？";
}

}  // namespace

std::string DateFileName(const DateTime& t) {
  char text[64];
  std::snprintf(text, sizeof(text), "%04d_%02d_%02d_%02d_%02d_%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::string WithExtension(const std::string& path, int type) {
  if (type < kFileBmp || type > kFilePng) return path;
  // The extensions are ASCII, so comparing the last four bytes is comparing the
  // last four characters: no byte of a longer UTF-8 character can match.
  if (EndsWithIgnoringCase(path, kExtensions[type])) return path;
  return path + kExtensions[type];
}

std::string SaveDialogFilter(bool hasImageLibrary) {
  using namespace std::string_literals;
  std::string filter = "WindowsBitmap(*.bmp)\0*.bmp\0"s;
  if (hasImageLibrary) {
    filter += "JointPhotographExpertsGroup(*.jpg)\0*.jpg\0"s;
    filter += "PortableNetworkGraphics(*.png)\0*.png\0"s;
  }
  filter += '\0';
  return filter;
}

void SplitPath(const std::string& path, std::string& folder, std::string& name) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) {
    folder.clear();
    name = path;
  } else {
    folder = path.substr(0, slash + 1);
    name = path.substr(slash + 1);
  }
}

std::string ShowSaveDialog(Prompts& prompts, WindowHandle owner, const std::string& title,
                           const std::string& filter, const std::string& initialFolder,
                           const std::string& defaultName, int& type) {
  SaveDialogRequest request;
  request.owner = owner;
  request.title = title;
  request.filter = filter;
  request.initialFolder = initialFolder;
  request.defaultName = defaultName;
  request.filterIndex = type + 1;
  std::string path;
  int index = request.filterIndex;
  if (!prompts.ShowSaveDialog(request, path, index) || path.empty()) return {};
  type = index - 1;
  return path;
}

bool ConfirmOverwrite(FileSystem& files, Prompts& prompts, WindowHandle owner,
                      const std::string& filter, std::string& path, int& type) {
  for (;;) {
    if (!files.Exists(path)) return true;
    std::string folder, name;
    SplitPath(path, folder, name);
    switch (prompts.ShowMessage(owner, OverwriteQuestion(name), kOverwriteTitle, kOverwriteStyle)) {
      case kIdYes:
        return true;
      case kIdNo: {
        std::string chosen =
            ShowSaveDialog(prompts, owner, kSaveDialogTitle, filter, folder, name, type);
        if (chosen.empty()) return false;
        path = chosen;
        break;
      }
      default:  // Cancel, the close box, or a box that could not be shown
        return false;
    }
  }
}

std::size_t BmpRowSize(int width) {
  return width <= 0 ? 0 : (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
}

std::string BmpFileBytes(const Bitmap& picture) {
  if (picture.Empty()) return {};
  const int w = picture.width;
  const int h = picture.height;
  if (picture.pixels.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) return {};
  const std::size_t rowSize = BmpRowSize(w);
  // The file size field has 32 bits.
  if (rowSize > (0xFFFFFFFFu - kBmpHeaderSize) / static_cast<std::size_t>(h)) return {};
  const std::size_t total = kBmpHeaderSize + rowSize * static_cast<std::size_t>(h);

  // Zero-filled, so the reserved fields, the colour entry and the row padding
  // need no writing.
  std::string out(total, '\0');
  char* p = out.data();
  p[0] = 'B';
  p[1] = 'M';
  Put32(p + 2, static_cast<std::uint32_t>(total));
  Put32(p + 10, static_cast<std::uint32_t>(kBmpHeaderSize));
  Put32(p + 14, 40);
  Put32(p + 18, static_cast<std::uint32_t>(w));
  Put32(p + 22, static_cast<std::uint32_t>(h));  // positive: bottom row first
  Put16(p + 26, 1);
  Put16(p + 28, 24);

  // One pass per row over contiguous memory on both sides; the file keeps the
  // bottom row first.
  unsigned char* row = reinterpret_cast<unsigned char*>(p + kBmpHeaderSize);
  for (int y = h - 1; y >= 0; --y, row += rowSize) {
    const Pixel* src = picture.pixels.data() + static_cast<std::size_t>(y) * w;
    unsigned char* dst = row;
    for (int x = 0; x < w; ++x) {
      const Pixel c = src[x];
      dst[0] = static_cast<unsigned char>(c);
      dst[1] = static_cast<unsigned char>(c >> 8);
      dst[2] = static_cast<unsigned char>(c >> 16);
      dst += 3;
    }
  }
  return out;
}

FileWriteResult SaveDCAsBmp(CaptureSystem& capture, const Bitmap& picture,
                            const std::string& path) {
  std::string bytes;
  try {
    bytes = BmpFileBytes(picture);
  } catch (const std::bad_alloc&) {
    return {false, "画像が大きすぎて、メモリが足りません。"};
  }
  if (bytes.empty()) return {false, "BMP ファイルにできない大きさの画像です。"};
  return capture.WriteFile(path, bytes);
}

SaveResult SaveCapture(App& app, Ports& ports, Prompts& prompts, CaptureSystem& capture,
                       const Bitmap& picture, int dateName, WindowHandle owner) {
  const Settings& s = app.settings;
  const std::string filter = SaveDialogFilter(app.facts.HasImageLibrary);
  SaveResult result;

  if (dateName != 0) {
    result.path = s.CaptureSaveFolder + DateFileName(ports.clock.LocalNow());
    // Without the library only BMP can be written, whatever the settings say.
    result.type = app.facts.HasImageLibrary ? s.CaptureFileType : kFileBmp;
  } else {
    result.type = kFileBmp;
    result.path = ShowSaveDialog(prompts, owner, kSaveDialogTitle, filter, s.CaptureSaveFolder,
                                 kSaveDialogDefaultName, result.type);
    if (result.path.empty()) return result;
  }
  result.path = WithExtension(result.path, result.type);
  if (!ConfirmOverwrite(ports.files, prompts, owner, filter, result.path, result.type))
    return result;

  FileWriteResult written;
  switch (result.type) {
    case kFileBmp:
      written = SaveDCAsBmp(capture, picture, result.path);
      break;
    case kFileJpeg:
      written = capture.WriteJpeg(picture, result.path, SettingByte(s.CaptureJpegValue),
                                  s.CaptureJpegProgressive != 0);
      break;
    case kFilePng:
      written = capture.WritePng(picture, result.path, SettingByte(s.CapturePngValue));
      break;
    default:
      result.outcome = SaveOutcome::NoWriter;
      return result;
  }
  if (written.ok) {
    result.outcome = SaveOutcome::Saved;
    return result;
  }
  result.outcome = SaveOutcome::WriteFailed;
  std::string text = "キャプチャ画像を保存できませんでした。\r\n\"" + result.path + "\"";
  if (!written.reason.empty()) text += "\r\n" + written.reason;
  prompts.ShowMessage(owner, text, kDisplayName, kMbOk | kMbIconExclamation);
  return result;
}

}  // namespace tomari
