#include "support/fake_capture.h"

#include <cstdio>

namespace tomari::test {

namespace {

std::string HandleText(WindowHandle h) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%llx", static_cast<unsigned long long>(h));
  return text;
}

}  // namespace

Bitmap FakeCapture::TakePicture(WindowHandle window, bool inside) {
  log.push_back("Capture " + HandleText(window) + (inside ? " inside" : " whole"));
  widgetInLastPicture = widgetShown;
  if (onCapture) onCapture();
  auto it = windows.find(window);
  if (it == windows.end()) return {};
  return inside ? it->second.inside : it->second.whole;
}

void FakeCapture::HideWidget() {
  log.push_back("HideWidget");
  hidden_ = widgetShown;
  widgetShown = false;
}

void FakeCapture::ShowWidget() {
  log.push_back("ShowWidget");
  if (hidden_) widgetShown = true;
  hidden_ = false;
}

bool FakeCapture::CopyToClipboard(const Bitmap& picture, WindowHandle owner) {
  log.push_back("Clipboard " + HandleText(owner));
  if (clipboardLocked) return false;
  clipboard = picture;
  clipboardHasPicture = true;
  clipboardOwner = owner;
  return true;
}

FileWriteResult FakeCapture::WriteFile(const std::string& path, const std::string& bytes) {
  log.push_back("WriteFile " + path);
  if (!failReason.empty()) return {false, failReason};
  if (!files_.WriteAtomic(path, bytes)) return {false, "the fake file system refused"};
  return {true, {}};
}

FileWriteResult FakeCapture::WriteImage(WrittenImage image) {
  log.push_back("Write" + std::string(image.format == "JPEG" ? "Jpeg " : "Png ") + image.path);
  if (!failReason.empty()) return {false, failReason};
  if (!files_.WriteAtomic(image.path, image.format)) return {false, "the fake file system refused"};
  images.push_back(std::move(image));
  return {true, {}};
}

FileWriteResult FakeCapture::WriteJpeg(const Bitmap& picture, const std::string& path,
                                       std::uint8_t quality, bool progressive) {
  WrittenImage image;
  image.format = "JPEG";
  image.path = path;
  image.width = picture.width;
  image.height = picture.height;
  image.quality = quality;
  image.progressive = progressive;
  return WriteImage(std::move(image));
}

FileWriteResult FakeCapture::WritePng(const Bitmap& picture, const std::string& path,
                                      std::uint8_t choice) {
  WrittenImage image;
  image.format = "PNG";
  image.path = path;
  image.width = picture.width;
  image.height = picture.height;
  image.choice = choice;
  return WriteImage(std::move(image));
}

Bitmap Gradient(int width, int height) {
  Bitmap b(width, height);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) b.At(x, y) = MakePixel(x, y, x + 2 * y);
  return b;
}

}  // namespace tomari::test
