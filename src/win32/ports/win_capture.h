#pragma once
// Captures through GDI: the pixels of another program's window copied from its
// window (or client) drawing surface, the clipboard opened by our own window,
// and image files written beside the old one and swapped in when complete.
#include <windows.h>

#include "platform/capture_system.h"

namespace tomari {

class ImageLibrary;

class Win32Capture final : public CaptureSystem {
 public:
  // `widget` is hidden around each capture; `library` (may be null or not
  // loaded) writes JPEG and PNG.
  Win32Capture(HWND widget, const ImageLibrary* library) : widget_(widget), library_(library) {}
  // For a widget created after the port.
  void AttachWidget(HWND widget) { widget_ = widget; }

  // BitBlt from GetWindowDC (whole) or GetDC (inside), so the picture is what
  // the window shows on the screen, frame and title bar included for the
  // whole window. Also for a window of another process (checked under Wine).
  Bitmap TakePicture(WindowHandle window, bool inside) override;
  void HideWidget() override;
  void ShowWidget() override;
  // CF_BITMAP; the system synthesises CF_DIB for programs that ask for it, and
  // the bitmap stays pastable after we exit.
  bool CopyToClipboard(const Bitmap& picture, WindowHandle owner) override;
  FileWriteResult WriteFile(const std::string& path, const std::string& bytes) override;
  FileWriteResult WriteJpeg(const Bitmap& picture, const std::string& path, std::uint8_t quality,
                            bool progressive) override;
  FileWriteResult WritePng(const Bitmap& picture, const std::string& path,
                           std::uint8_t choice) override;

  // Pictures larger than this are not taken: a window this size is broken.
  static constexpr int kMaxSide = 32767;
  static constexpr long long kMaxPixels = 128LL * 1024 * 1024;
  // How long a busy clipboard is waited for, in all.
  static constexpr DWORD kClipboardWaitMs = 250;
  // How long the captured program may take to repaint what the widget covered.
  static constexpr UINT kRepaintWaitMs = 150;

 private:
  // `save(surface, path)` asks the library to write the picture's surface.
  template <class Save>
  FileWriteResult WriteThroughLibrary(const Bitmap& picture, const std::string& path, Save save);

  HWND widget_;
  const ImageLibrary* library_;
  bool hidden_ = false;
};

// The system's text for an error code, in the user's language, with the number.
std::string SystemErrorText(DWORD code);

}  // namespace tomari
