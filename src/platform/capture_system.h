#pragma once
// What a capture needs from the system: the pixels of a window, our widget out
// of the picture, the clipboard, and image files written so that an existing
// file is replaced only by a complete new one. src/win32/ports/win_capture.*
// implements it with GDI, user32 and TransG32.dll; tests/support/fake_capture.*
// keeps everything in memory.
#include <cstdint>
#include <string>

#include "platform/types.h"
#include "platform/bitmap.h"

namespace tomari {

// The outcome of writing one file. `reason` says, in the user's language, why a
// write failed; it is empty on success.
struct FileWriteResult {
  bool ok = false;
  std::string reason;
};

class CaptureSystem {
 public:
  virtual ~CaptureSystem() = default;

  // The pixels the window shows now: with `inside` only its client area,
  // otherwise the whole window with frame and title bar, from its top-left
  // corner. Empty when the window is gone or has no width or height.
  virtual Bitmap TakePicture(WindowHandle window, bool inside) = 0;

  // Takes our widget off the screen so that it cannot appear in a picture, and
  // brings it back as it was. ShowWidget without a HideWidget does nothing.
  virtual void HideWidget() = 0;
  virtual void ShowWidget() = 0;

  // Puts the picture on the clipboard as a bitmap, the clipboard opened by
  // `owner` (one of our windows). False when the clipboard could not be had;
  // the clipboard is then unchanged and nothing of the picture is left behind.
  virtual bool CopyToClipboard(const Bitmap& picture, WindowHandle owner) = 0;

  // Each writer puts the new content beside `path` first and replaces `path`
  // with it only once it is complete: a failed write leaves an existing file
  // as it was.
  virtual FileWriteResult WriteFile(const std::string& path, const std::string& bytes) = 0;
  // JPEG and PNG through the imaging library; they fail when it is not there.
  virtual FileWriteResult WriteJpeg(const Bitmap& picture, const std::string& path,
                                    std::uint8_t quality, bool progressive) = 0;
  virtual FileWriteResult WritePng(const Bitmap& picture, const std::string& path,
                                   std::uint8_t choice) = 0;
};

}  // namespace tomari
