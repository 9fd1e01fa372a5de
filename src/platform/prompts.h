#pragma once
// Questions put to the user: message boxes and the file dialogs. The core says
// what is asked and reads the answer; src/win32/ports/win_prompts.* shows the
// system's own boxes, and tests/support/fake_prompts.* answers from a script.
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace tomari {

// Message box styles, by the system's numbers, so that a style such as 35
// (Yes/No/Cancel with the question mark) reads the same here as in user32.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbYesNoCancel = 0x3;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;

// The button the user chose, by the system's numbers.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// What the save dialog opens with.
struct SaveDialogRequest {
  WindowHandle owner = 0;
  std::string title;
  // The system's filter form: description NUL pattern NUL ... and one more NUL.
  std::string filter;
  std::string initialFolder;
  std::string defaultName;
  int filterIndex = 1;  // 1-based: which pair is selected at first
  friend bool operator==(const SaveDialogRequest&, const SaveDialogRequest&) = default;
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  // A modal message box; returns the chosen button (kIdOk, kIdYes, ...). A box
  // that could not be shown answers kIdCancel.
  virtual int ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                          std::uint32_t style) = 0;
  // The system's save dialog. It neither adds an extension nor asks about an
  // existing file: both are the caller's. True when the user chose a name;
  // `path` is then the full path and `filterIndex` the 1-based filter left
  // selected. False, and both left alone, on Cancel.
  virtual bool AskSaveName(const SaveDialogRequest& request, std::string& path,
                              int& filterIndex) = 0;
};

}  // namespace tomari
