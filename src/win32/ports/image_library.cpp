#include "win32/ports/image_library.h"

#include "base/saturate.h"
#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

template <class T>
T Entry(HMODULE module, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The path in the system ANSI code page, for a library that only takes those;
// false when some character has no exact ANSI form (a best-fit substitute
// would name another file).
bool ToAnsiPath(const std::string& utf8, std::string& ansi) {
  // The library reads up to the first NUL: a path with one would name another file.
  const std::wstring wide = Utf8ToWide(utf8);
  if (wide.empty() || wide.find(L'\0') != std::wstring::npos) return false;
  bool exact = false;
  ansi = WideToMultiByte(CP_ACP, wide, &exact);
  return exact && !ansi.empty();
}

}  // namespace

ImageLibrary::~ImageLibrary() { Unload(); }

void ImageLibrary::Unload() {
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
  readPng_ = nullptr;
  saveJpeg_ = nullptr;
  savePng_ = nullptr;
  readPngW_ = nullptr;
  saveJpegW_ = nullptr;
  savePngW_ = nullptr;
}

bool ImageLibrary::Load(const std::string& folder) {
  Unload();
  const std::wstring path = Utf8ToWide(folder + kFileName);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  // No "bad image" box for a broken file; its own dependencies resolve from
  // its folder, not from the current directory.
  DWORD oldMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  SetThreadErrorMode(oldMode, nullptr);
  if (!module) return false;
  auto readPng = Entry<ReadPngA>(module, "DCReadPNG");
  auto saveJpeg = Entry<SaveJpegA>(module, "DCSavetoJPEG");
  auto savePng = Entry<SavePngA>(module, "DCSavetoPNG");
  if (!readPng || !saveJpeg || !savePng) {
    FreeLibrary(module);
    return false;
  }
  module_ = module;
  readPng_ = readPng;
  saveJpeg_ = saveJpeg;
  savePng_ = savePng;
  readPngW_ = Entry<ReadPngW>(module, "DCReadPNGW");
  saveJpegW_ = Entry<SaveJpegW>(module, "DCSavetoJPEGW");
  savePngW_ = Entry<SavePngW>(module, "DCSavetoPNGW");
  return true;
}

bool ImageLibrary::ReadPng(const std::string& path, HDC surface) const {
  if (!module_ || !surface) return false;
  if (readPngW_) return readPngW_(Utf8ToWide(path).c_str(), surface) == 0;
  std::string ansi;
  return ToAnsiPath(path, ansi) && readPng_(ansi.c_str(), surface) == 0;
}

bool ImageLibrary::SaveJpeg(HDC surface, int width, int height, const std::string& path,
                            int quality, bool progressive) const {
  if (!module_ || !surface) return false;
  const short flag = progressive ? -1 : 0;
  if (saveJpegW_)
    return saveJpegW_(surface, width, height, Utf8ToWide(path).c_str(), Saturate<BYTE>(quality),
                      flag) == 0;
  std::string ansi;
  if (!ToAnsiPath(path, ansi)) return false;
  saveJpeg_(surface, width, height, ansi.c_str(), Saturate<BYTE>(quality), flag);
  return true;
}

bool ImageLibrary::SavePng(HDC surface, int width, int height, const std::string& path,
                           int choice) const {
  if (!module_ || !surface) return false;
  if (savePngW_)
    return savePngW_(surface, width, height, Utf8ToWide(path).c_str(), Saturate<BYTE>(choice)) == 0;
  std::string ansi;
  if (!ToAnsiPath(path, ansi)) return false;
  savePng_(surface, width, height, ansi.c_str(), Saturate<BYTE>(choice));
  return true;
}

}  // namespace tomari
