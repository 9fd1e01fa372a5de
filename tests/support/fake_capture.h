#pragma once
// The capture port in memory: windows with the pictures they show, a
// clipboard, and writers that put files into a FakeFileSystem. Every call is
// logged in order, so a test can say when the widget was off the screen.
#include <cstdint>
#include <cstdio>
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

class FakeCapture : public CaptureSystem {
 public:
  explicit FakeCapture(FakeFileSystem& files) : files_(files) {}

  std::map<WindowHandle, FakeShot> windows;
  // "HideWidget", "ShowWidget", "Capture <handle> whole|inside", "Clipboard <owner>",
  // "WriteFile <path>", "WriteJpeg <path>", "WritePng <path>" (handles in hex).
  std::vector<std::string> log;
  bool widgetShown = true;

  Bitmap clipboard;
  bool clipboardHeld = false;  // by another program: no copy gets through
  // Each image written through the library: "JPEG <w>x<h> q<quality> p<progressive>"
  // or "PNG <w>x<h> c<choice>".
  std::vector<std::string> images;

  Bitmap TakePicture(WindowHandle window, bool inside) override {
    log.push_back("Capture " + Hex(window) + (inside ? " inside" : " whole"));
    auto it = windows.find(window);
    if (it == windows.end()) return {};
    return inside ? it->second.inside : it->second.whole;
  }
  void HideWidget() override {
    log.push_back("HideWidget");
    hidden_ = widgetShown;
    widgetShown = false;
  }
  void ShowWidget() override {
    log.push_back("ShowWidget");
    widgetShown = widgetShown || hidden_;
    hidden_ = false;
  }
  bool CopyToClipboard(const Bitmap& picture, WindowHandle owner) override {
    log.push_back("Clipboard " + Hex(owner));
    if (clipboardHeld) return false;
    clipboard = picture;
    return true;
  }
  FileWriteResult WriteFile(const std::string& path, const std::string& bytes) override {
    return Write("WriteFile", path, bytes, {});
  }
  FileWriteResult WriteJpeg(const Bitmap& p, const std::string& path, std::uint8_t quality,
                            bool progressive) override {
    return Write(
        "WriteJpeg", path, "JPEG",
        "JPEG " + Size(p) + " q" + std::to_string(quality) + " p" + (progressive ? "1" : "0"));
  }
  FileWriteResult WritePng(const Bitmap& p, const std::string& path, std::uint8_t choice) override {
    return Write("WritePng", path, "PNG", "PNG " + Size(p) + " c" + std::to_string(choice));
  }

 private:
  static std::string Hex(WindowHandle h) {
    char text[32];
    std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(h));
    return text;
  }
  static std::string Size(const Bitmap& p) {
    return std::to_string(p.width) + "x" + std::to_string(p.height);
  }
  FileWriteResult Write(const std::string& op, const std::string& path, const std::string& bytes,
                        const std::string& image) {
    log.push_back(op + " " + path);
    if (!files_.WriteAtomic(path, bytes)) return {false, "the fake file system refused"};
    if (!image.empty()) images.push_back(image);
    return {true, {}};
  }
  FakeFileSystem& files_;
  bool hidden_ = false;
};

// A picture whose every pixel differs from its neighbours: (x, y) has red x,
// green y and blue x + 2y, each modulo 256.
inline Bitmap Gradient(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) b.At(x, y) = MakePixel(x, y, x + 2 * y);
  return b;
}

}  // namespace tomari::test
