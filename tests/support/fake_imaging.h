#pragma once
// Pictures and cursors from a script: the tests say which file decodes to which
// pixels, which PNG the imaging library accepts, and which cursor files load.
#include <algorithm>
#include <cstddef>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "platform/imaging.h"
#include "support/fake_files.h"

namespace tomari::test {

class FakeImageDecoder : public ImageDecoder {
 public:
  Bitmap Decode(const std::string& path) override {
    decodeCalls.push_back(path);
    if (path == throwOn) throw std::bad_alloc();
    auto it = pictures_.find(PathKey(path));
    return it == pictures_.end() ? Bitmap{} : it->second;
  }
  bool ReadPngWithLibrary(const std::string& path, int width, int height, Bitmap& out) override {
    libraryCalls.push_back({path, width, height});
    auto it = libraryPngs_.find(PathKey(path));
    if (it == libraryPngs_.end() || width <= 0 || height <= 0) return false;
    // Like drawing into a fresh surface of the header's size: black where the
    // picture does not reach, clipped where it is larger.
    out = Bitmap(width, height, 0);
    for (int y = 0; y < std::min(height, it->second.height); ++y)
      for (int x = 0; x < std::min(width, it->second.width); ++x)
        out.At(x, y) = it->second.At(x, y);
    return true;
  }

  // What the platform loader gives for a path (paths compare without ASCII case).
  void AddPicture(const std::string& path, const Bitmap& pixels) {
    pictures_[PathKey(path)] = pixels;
  }
  // What the library's DCReadPNG draws for a path.
  void AddLibraryPng(const std::string& path, const Bitmap& pixels) {
    libraryPngs_[PathKey(path)] = pixels;
  }

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
  CursorHandle LoadSystem(int id) override { return SystemHandle(id); }
  CursorHandle LoadFromFile(const std::string& path) override {
    if (files_.count(PathKey(path)) == 0) return 0;
    live_.insert(next_);
    return next_++;
  }
  void Destroy(CursorHandle cursor) override { live_.erase(cursor); }
  void Show(CursorHandle cursor) override { shown.push_back(cursor); }

  // Files that load; every other path fails.
  void AddFile(const std::string& path) { files_.insert(PathKey(path)); }
  // The handle a system cursor id is given: its id plus 0x10000.
  static CursorHandle SystemHandle(int id) { return 0x10000 + static_cast<CursorHandle>(id); }

  // File cursors loaded and not destroyed.
  std::size_t Live() const { return live_.size(); }
  std::vector<CursorHandle> shown;  // every Show

 private:
  std::set<std::string> files_;
  std::set<CursorHandle> live_;
  CursorHandle next_ = 0x900000;
};

}  // namespace tomari::test
