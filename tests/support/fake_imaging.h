#pragma once
// Pictures and cursors from a script: the tests say which file decodes to which
// pixels, which PNG the imaging library accepts, and which cursor files load.
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/imaging.h"

namespace tomari::test {

class FakeImageDecoder : public ImageDecoder {
 public:
  Bitmap Decode(const std::string& path) override;
  bool ReadPngWithLibrary(const std::string& path, int width, int height, Bitmap& out) override;

  // What the platform loader gives for a path (paths compare without ASCII case).
  void AddPicture(const std::string& path, const Bitmap& pixels);
  // What the library's DCReadPNG draws for a path.
  void AddLibraryPng(const std::string& path, const Bitmap& pixels);

  // Paths in call order.
  std::vector<std::string> decodeCalls;
  // Decoding this path runs out of memory.
  std::string throwOn;
  struct LibraryCall {
    std::string path;
    int width = 0;
    int height = 0;
  };
  std::vector<LibraryCall> libraryCalls;

 private:
  std::map<std::string, Bitmap> pictures_;
  std::map<std::string, Bitmap> libraryPngs_;
};

class FakeCursorLoader : public CursorLoader {
 public:
  CursorHandle LoadSystem(int id) override;
  CursorHandle LoadFromFile(const std::string& path) override;
  void Destroy(CursorHandle cursor) override;
  void Show(CursorHandle cursor) override;

  // Files that load; every other path fails.
  void AddFile(const std::string& path);
  // The handle a system cursor id is given: its id plus this base.
  static constexpr CursorHandle kSystemBase = 0x10000;
  static CursorHandle SystemHandle(int id) { return kSystemBase + static_cast<CursorHandle>(id); }
  static bool IsSystemHandle(CursorHandle h) {
    return h >= kSystemBase && h < kSystemBase + 0x10000;
  }

  // File cursors loaded and not destroyed.
  std::size_t Live() const { return live_.size(); }
  std::vector<std::string> fileLoads;      // paths asked for, in order
  std::vector<CursorHandle> destroyCalls;  // every Destroy, valid or not
  std::vector<CursorHandle> shown;         // every Show

 private:
  std::set<std::string> files_;
  std::map<CursorHandle, std::string> live_;
  CursorHandle next_ = 0x900000;
};

}  // namespace tomari::test
