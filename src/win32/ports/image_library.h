#pragma once
// TransG32.dll, loaded from the application folder when it is there. The
// application works without it (BMP only), exactly as when the file is missing.
#include <windows.h>

#include <string>

namespace tomari {

class ImageLibrary {
 public:
  static constexpr const char* kFileName = "TransG32.dll";

  ImageLibrary() = default;
  ~ImageLibrary();
  ImageLibrary(const ImageLibrary&) = delete;
  ImageLibrary& operator=(const ImageLibrary&) = delete;

  // Loads `folder` + TransG32.dll. True only when the file exists, loads into
  // this process and exports DCReadPNG, DCSavetoJPEG and DCSavetoPNG; a file
  // that is corrupt, of the other bitness or short of an entry point leaves
  // nothing loaded, so no call can go through a null pointer.
  bool Load(const std::string& folder);
  void Unload();
  bool Loaded() const { return module_ != nullptr; }
  // Our own library's UTF-16 variants, which also report a failed write.
  bool HasWideEntryPoints() const { return readPngW_ && saveJpegW_ && savePngW_; }

  // Draws the PNG file into the bitmap selected in `surface`.
  bool ReadPng(const std::string& path, HDC surface) const;
  // Writes width x height pixels from the top left of `surface`. With a
  // library that has only the ANSI entry points the outcome is unknown and a
  // call that was made counts as success; a path that the ANSI code page
  // cannot spell fails without a call.
  bool SaveJpeg(HDC surface, int width, int height, const std::string& path, int quality,
                bool progressive) const;
  bool SavePng(HDC surface, int width, int height, const std::string& path, int choice) const;

 private:
  using ReadPngA = int(__stdcall*)(const char*, HDC);
  using ReadPngW = int(__stdcall*)(const wchar_t*, HDC);
  using SaveJpegA = int(__stdcall*)(HDC, int, int, const char*, BYTE, short);
  using SaveJpegW = int(__stdcall*)(HDC, int, int, const wchar_t*, BYTE, short);
  using SavePngA = int(__stdcall*)(HDC, int, int, const char*, BYTE);
  using SavePngW = int(__stdcall*)(HDC, int, int, const wchar_t*, BYTE);

  HMODULE module_ = nullptr;
  ReadPngA readPng_ = nullptr;
  SaveJpegA saveJpeg_ = nullptr;
  SavePngA savePng_ = nullptr;
  ReadPngW readPngW_ = nullptr;
  SaveJpegW saveJpegW_ = nullptr;
  SavePngW savePngW_ = nullptr;
};

}  // namespace tomari
