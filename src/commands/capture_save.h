#pragma once
// Turning a captured picture into a file: its name (after the date and time,
// or through the save dialog), the extension that fits its type, the question
// before an existing file is replaced, and the writer for its type.
#include <cstdint>
#include <string>

#include "app/app.h"
#include "platform/ports.h"
#include "platform/bitmap.h"

namespace tomari {

// File types, as stored in Capture/FileType and as the save dialog's filter
// index minus one.
inline constexpr int kFileBmp = 0;
inline constexpr int kFileJpeg = 1;
inline constexpr int kFilePng = 2;

inline constexpr const char* kSaveDialogTitle = "キャプチャ画像の保存";
inline constexpr const char* kSaveDialogDefaultName = "Capture";
inline constexpr const char* kOverwriteTitle = "上書き確認";
inline constexpr std::uint32_t kOverwriteStyle = kMbYesNoCancel | kMbIconQuestion;  // 35

// "yyyy_mm_dd_hh_mm_ss", hours 00-23: 2003_01_17_17_30_05.
std::string DateFileName(const DateTime& local);

// Appends ".bmp", ".jpg" or ".png" for types 0, 1 and 2 unless the path's last
// four characters already are that extension in any case (so "a.jpeg" becomes
// "a.jpeg.jpg"). Any other type leaves the path alone.
std::string WithExtension(const std::string& path, int type);

// The save dialog's filter in the system's form (pairs of description and
// pattern, each ending in NUL, one more NUL at the end); BMP only without the
// imaging library.
std::string SaveDialogFilter(bool hasImageLibrary);

// Folder up to and including the last backslash ("" when there is none) and
// the rest.
void SplitPath(const std::string& path, std::string& folder, std::string& name);

// Opens the save dialog with the filter pair of `type` selected. Returns the
// chosen path, or "" on Cancel; on a choice `type` becomes the filter index - 1.
std::string ShowSaveDialog(Prompts& prompts, WindowHandle owner, const std::string& title,
                           const std::string& filter, const std::string& initialFolder,
                           const std::string& defaultName, int& type);

// Asks before `path` is replaced, until there is an answer: true when the file
// may be written (no file of that name, hidden and system files included; or
// the user said Yes; or the user chose, through the save dialog, a name that
// is free or that he then agrees to replace). Yes does not delete anything:
// the writer replaces the old file only once the new one is complete. May
// change `path` and `type`; a name chosen here gets no extension added.
bool ConfirmOverwrite(FileSystem& files, Prompts& prompts, WindowHandle owner,
                      const std::string& filter, std::string& path, int& type);

// Writes `picture` to `path` as a BMP file (BmpFileBytes).
FileWriteResult SaveBmpFile(CaptureSystem& capture, const Bitmap& picture, const std::string& path);

// How one save ended.
enum class SaveOutcome {
  Saved,       // the file is written
  Declined,    // the user cancelled the dialog or the overwrite question
  WriteFailed  // the user was told why
};

struct SaveResult {
  SaveOutcome outcome = SaveOutcome::Declined;
  std::string path;  // the last name decided on
  int type = kFileBmp;
};

// The file branch of a capture: name, extension, overwrite question, writer.
// With `dateName` (non-zero) the file goes to CaptureSaveFolder under the local
// date and time as CaptureFileType; otherwise the user names it in the save
// dialog, which starts on BMP. A CaptureFileType that names no type (only a
// hand-edited file has one) is taken as BMP, so a capture is never dropped
// silently. Dialogs and boxes are owned by `owner`. A failed write is reported
// in a message box naming the file and the reason.
SaveResult SaveCapture(App& app, Ports& ports, const Bitmap& picture, int dateName,
                       WindowHandle owner);

}  // namespace tomari
