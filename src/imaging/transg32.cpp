// TransG32.dll: the imaging library the application probes for. Reads PNG files
// into a drawing surface and writes a surface's pixels as JPEG or PNG, through
// WIC. The three ANSI entry points keep the calling convention and argument
// layout that existing callers use; the W variants take UTF-16 paths.
//
// Every entry point returns 0 on success and a non-zero code on failure:
// 1 bad arguments, 2 the file could not be read or decoded, 3 it could not be
// encoded or written, 4 COM or WIC is not available on this thread.
#include <windows.h>

#include <string>

#include "imaging/wic_codec.h"

namespace {

using tomari::Bitmap;
namespace wic = tomari::wic;

enum Result : int { kOk = 0, kBadArguments = 1, kReadFailed = 2, kWriteFailed = 3, kNoWic = 4 };

// A path in the system ANSI code page; empty when it is not one.
std::wstring FromAnsi(const char* path) {
  if (!path || !*path) return {};
  const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
  if (n <= 1) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide.data(), n) != n) return {};
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

std::wstring FromWide(const wchar_t* path) { return path ? std::wstring(path) : std::wstring(); }

int ReadPng(const std::wstring& path, HDC surface) {
  if (path.empty() || !surface) return kBadArguments;
  wic::ComScope com;
  if (!com.Usable()) return kNoWic;
  Bitmap image;
  if (!wic::DecodeFile(path, image, wic::Container::Png)) return kReadFailed;
  return wic::DrawToSurface(image, surface) ? kOk : kReadFailed;
}

int Save(HDC surface, int width, int height, const std::wstring& path, wic::Format format,
         const wic::EncodeOptions& options) {
  if (!surface || width <= 0 || height <= 0 || path.empty()) return kBadArguments;
  wic::ComScope com;
  if (!com.Usable()) return kNoWic;
  Bitmap image;
  if (!wic::ReadSurface(surface, width, height, image)) return kBadArguments;
  return wic::EncodeFile(image, path, format, options) ? kOk : kWriteFailed;
}

wic::EncodeOptions JpegOptions(BYTE quality) {
  wic::EncodeOptions options;
  // The slider runs from 1 to 100; 0 would be a broken setting, not a wish
  // for the worst picture.
  options.jpegQuality = quality == 0 ? 1 : (quality > 100 ? 100 : quality);
  return options;
}

// 0 "通常", 1 "低圧縮（高速）", 2 "高圧縮（低速・非可逆）"; anything else is 0.
wic::EncodeOptions PngOptions(BYTE choice) {
  wic::EncodeOptions options;
  options.pngNoFilter = choice == 1;
  options.pngPalette = choice == 2;
  return options;
}

}  // namespace

// The `progressive` flag is accepted and ignored: WIC has no progressive JPEG
// encoder, and a baseline file opens everywhere a progressive one would.
extern "C" {

int __stdcall DCReadPNG(const char* path, HDC surface) { return ReadPng(FromAnsi(path), surface); }

int __stdcall DCReadPNGW(const wchar_t* path, HDC surface) {
  return ReadPng(FromWide(path), surface);
}

int __stdcall DCSavetoJPEG(HDC surface, int width, int height, const char* path, BYTE quality,
                           short progressive) {
  (void)progressive;
  return Save(surface, width, height, FromAnsi(path), wic::Format::Jpeg, JpegOptions(quality));
}

int __stdcall DCSavetoJPEGW(HDC surface, int width, int height, const wchar_t* path, BYTE quality,
                            short progressive) {
  (void)progressive;
  return Save(surface, width, height, FromWide(path), wic::Format::Jpeg, JpegOptions(quality));
}

int __stdcall DCSavetoPNG(HDC surface, int width, int height, const char* path, BYTE choice) {
  return Save(surface, width, height, FromAnsi(path), wic::Format::Png, PngOptions(choice));
}

int __stdcall DCSavetoPNGW(HDC surface, int width, int height, const wchar_t* path, BYTE choice) {
  return Save(surface, width, height, FromWide(path), wic::Format::Png, PngOptions(choice));
}

}  // extern "C"
