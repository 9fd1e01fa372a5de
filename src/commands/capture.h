#pragma once
// Capturing the target window, whole or its inside, to the clipboard or to a
// file. Started by the popup menu's capture items and by the CAPTUREALL and
// CAPTUREINSIDE skin buttons.
#include <string>
#include <string_view>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// Where a picture goes: `toFile` 0 clipboard, non-zero file; `dateName` 0 the
// save dialog, non-zero a date-named file in the save folder. -1 leaves the
// choice to Capture/Type and Capture/SaveType.
struct CaptureDestination {
  int toFile = -1;
  int dateName = -1;
  friend bool operator==(const CaptureDestination&, const CaptureDestination&) = default;
};

// A capture button's Value, compared in upper case: "FILESAVE" (file, save
// dialog), "DATESAVE" (file, date name), "COPY" (clipboard); anything else,
// the empty value included, leaves both choices to the settings.
CaptureDestination ParseCaptureDestination(std::string_view value);

enum class CaptureOutcome {
  NoPicture,             // no target, or a window without width or height: nothing changed
  Copied,                // the picture is on the clipboard
  ClipboardUnavailable,  // the clipboard could not be opened; the user was told
  Saved,                 // the file is written
  Declined,              // the user cancelled the save dialog or the overwrite question
  WriteFailed            // the file could not be written; the user was told
};

struct CaptureResult {
  CaptureOutcome outcome = CaptureOutcome::NoPicture;
  std::string path;  // the file's name, for the file outcomes
};

// Captures TargetWindow (inside: 0 whole window, non-zero client area) with
// Busy set for the whole run, so neither tick moves or redraws the widget while
// the save dialog or a question is open; the buttons are redrawn afterwards.
// Without a target nothing happens.
CaptureResult CaptureTarget(App& app, Ports& ports, int inside, int toFile, int dateName);
inline CaptureResult CaptureTarget(App& app, Ports& ports, int inside,
                                   const CaptureDestination& destination) {
  return CaptureTarget(app, ports, inside, destination.toFile, destination.dateName);
}

// The work for any window: -1 in `toFile` or `dateName` is replaced by the
// setting, any other non-zero value counts as true. The widget is off the
// screen only while the pixels are taken; the dialogs and boxes that follow are
// owned by it, so they open above a target that was made top-most.
CaptureResult CaptureWindow(App& app, Ports& ports, WindowHandle window,
                            int inside, int toFile, int dateName);

}  // namespace tomari
