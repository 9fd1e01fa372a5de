#include "commands/capture_save.h"

#include "commands/bmp_file.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace tomari {

namespace {

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
  if (!prompts.AskSaveName(request, path, index) || path.empty()) return {};
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

FileWriteResult SaveBmpFile(CaptureSystem& capture, const Bitmap& picture,
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

SaveResult SaveCapture(App& app, Ports& ports, const Bitmap& picture, int dateName,
                       WindowHandle owner) {
  Prompts& prompts = ports.prompts;
  CaptureSystem& capture = ports.capture;
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
  // A hand-edited FileType, or a filter the dialog should not have offered,
  // still gets a file rather than nothing at all.
  if (result.type < kFileBmp || result.type > kFilePng) result.type = kFileBmp;
  result.path = WithExtension(result.path, result.type);
  if (!ConfirmOverwrite(ports.files, prompts, owner, filter, result.path, result.type))
    return result;

  FileWriteResult written;
  switch (result.type) {
    case kFileJpeg:
      written = capture.WriteJpeg(picture, result.path, SettingByte(s.CaptureJpegValue),
                                  s.CaptureJpegProgressive != 0);
      break;
    case kFilePng:
      written = capture.WritePng(picture, result.path, SettingByte(s.CapturePngValue));
      break;
    default:
      written = SaveBmpFile(capture, picture, result.path);
      break;
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
