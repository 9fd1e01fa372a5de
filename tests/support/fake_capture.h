#pragma once
// The capture port in memory: windows with the pictures they show, a
// clipboard, and writers that put files into a FakeFileSystem. Every call is
// logged in order, so a test can say when the widget was off the screen.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/capture_system.h"
#include "support/fake_files.h"

namespace tomari::test {

// What a window shows: the whole window and its client area.
struct FakeShot {
  Bitmap whole;
  Bitmap inside;
};

// One image file written through the library writers.
struct WrittenImage {
  std::string format;  // "JPEG" or "PNG"
  std::string path;
  int width = 0;
  int height = 0;
  int quality = -1;  // JPEG
  bool progressive = false;
  int choice = -1;  // PNG
};

class FakeCapture : public CaptureSystem {
 public:
  explicit FakeCapture(FakeFileSystem& files) : files_(files) {}

  std::map<WindowHandle, FakeShot> windows;
  // "HideWidget", "ShowWidget", "Capture <handle> whole|inside", "Clipboard <owner>",
  // "WriteFile <path>", "WriteJpeg <path>", "WritePng <path>".
  std::vector<std::string> log;
  bool widgetShown = true;
  // Whether the widget was on the screen when the last picture was taken.
  bool widgetInLastPicture = false;
  // Runs inside TakePicture, before the picture is handed back.
  std::function<void()> onCapture;

  // The clipboard: while locked, CopyToClipboard fails and changes nothing.
  bool clipboardLocked = false;
  bool clipboardHasPicture = false;
  Bitmap clipboard;
  WindowHandle clipboardOwner = 0;

  // While not empty, every writer fails with this reason and touches no file.
  std::string failReason;
  std::vector<WrittenImage> images;

  Bitmap TakePicture(WindowHandle window, bool inside) override;
  void HideWidget() override;
  void ShowWidget() override;
  bool CopyToClipboard(const Bitmap& picture, WindowHandle owner) override;
  FileWriteResult WriteFile(const std::string& path, const std::string& bytes) override;
  FileWriteResult WriteJpeg(const Bitmap& picture, const std::string& path, std::uint8_t quality,
                            bool progressive) override;
  FileWriteResult WritePng(const Bitmap& picture, const std::string& path,
                           std::uint8_t choice) override;

 private:
  FileWriteResult WriteImage(WrittenImage image);
  FakeFileSystem& files_;
  bool hidden_ = false;
};

// A picture whose every pixel differs from its neighbours: (x, y) has red x,
// green y and blue x + 2y, each modulo 256.
Bitmap Gradient(int width, int height);

}  // namespace tomari::test
