#pragma once
// Files and surfaces for the imaging and skin tests under Wine.
#include <windows.h>

#include <cmath>
#include <string>

#include "platform/bitmap.h"
#include "win32/ports/dib.h"
#include "win32/ports/text_convert.h"
#include "win32/win32_test_support.h"

namespace skintest {

inline std::wstring FullPath(const std::wstring& p) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = GetFullPathNameW(p.c_str(), MAX_PATH * 2, buffer, nullptr);
  return n ? std::wstring(buffer, n) : p;
}

// build/windows/Tomari\: Tomari.exe, TransG32.dll and Skins.
inline std::wstring DistDir() { return FullPath(win32test::TestBinDir() + L"..\\Tomari\\"); }

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()),
                                              &written, nullptr) &&
                                    written == bytes.size());
  CloseHandle(h);
  return ok;
}

inline std::string ReadBytes(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(h, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(h);
  bytes.resize(read);
  return bytes;
}

inline bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fresh folder under %TEMP%, removed with what is in it.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (int i = 0; i < 100 && path_.empty(); ++i) {
      std::wstring candidate = std::wstring(base) + L"tomari-skin-" +
                               std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(++counter) + L"\\";
      if (CreateDirectoryW(candidate.c_str(), nullptr)) path_ = candidate;
    }
  }
  ~TempFolder() {
    if (path_.empty()) return;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveDirectoryW((path_ + name).c_str());
        else
          DeleteFileW((path_ + name).c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + name; }
  std::string Utf8(const std::wstring& name = L"") const {
    return tomari::WideToUtf8(path_ + name);
  }
  // Number of entries in the folder.
  int Count() const {
    int n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
      const std::wstring name = data.cFileName;
      if (name != L"." && name != L"..") ++n;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
  }

 private:
  std::wstring path_;
};

// A memory surface holding `image`, as a capture hands it to the library.
class ImageSurface {
 public:
  explicit ImageSurface(const tomari::Bitmap& image) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, image.width, image.height);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    const BITMAPINFO info = tomari::TopDownDib32(image.width, image.height);
    SetDIBitsToDevice(dc_, 0, 0, image.width, image.height, 0, 0, 0, image.height,
                      image.pixels.data(), &info, DIB_RGB_COLORS);
  }
  // An empty width x height surface, for a library to draw into.
  ImageSurface(int width, int height) : ImageSurface(tomari::Bitmap(width, height, 0)) {}
  ~ImageSurface() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  ImageSurface(const ImageSurface&) = delete;
  ImageSurface& operator=(const ImageSurface&) = delete;
  HDC dc() const { return dc_; }
  tomari::Bitmap Read(int width, int height) const {
    tomari::Bitmap out(width, height);
    BITMAPINFO info = tomari::TopDownDib32(width, height);
    GetDIBits(dc_, bitmap_, 0, height, out.pixels.data(), &info, DIB_RGB_COLORS);
    for (auto& p : out.pixels) p &= 0x00FFFFFF;
    return out;
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Smooth gradients with some texture: what a photograph asks of an encoder.
inline tomari::Bitmap PhotoLike(int width, int height) {
  tomari::Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
      const int r = static_cast<int>(128 + 100 * std::sin(6.0 * fx + 1.0) * std::cos(3.0 * fy));
      const int g = static_cast<int>(40 + 180 * fy + 10 * std::sin(0.5 * x));
      const int bl = static_cast<int>(200 - 150 * fx * fy + 8 * std::cos(0.3 * (x + y)));
      b.At(x, y) = tomari::MakePixel(r, g, bl);
    }
  return b;
}

// The largest difference of any channel of any pixel; -1 when sizes differ.
inline int MaxChannelDifference(const tomari::Bitmap& a, const tomari::Bitmap& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int worst = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                             static_cast<int>((b.pixels[i] >> shift) & 0xFF));
      if (d > worst) worst = d;
    }
  return worst;
}

}  // namespace skintest
