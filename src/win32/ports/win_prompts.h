#pragma once
// Message boxes and the save dialog of the system, through the W entry points.
#include "platform/prompts.h"

namespace tomari {

class Win32Prompts final : public Prompts {
 public:
  // Without a live owner the box is made top-most, so that it cannot open
  // beneath a top-most window of another program.
  int ShowMessage(WindowHandle owner, const std::string& text, const std::string& title,
                  std::uint32_t style) override;
  // GetSaveFileNameW, explorer style. Only the folder has to exist; the dialog
  // neither adds an extension nor asks about an existing file.
  bool AskSaveName(const SaveDialogRequest& request, std::string& path,
                      int& filterIndex) override;

  // Characters for the chosen path: room for any path the dialog can hand back.
  static constexpr unsigned kFileBufferChars = 32768;
};

}  // namespace tomari
