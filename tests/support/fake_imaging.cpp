#include "support/fake_imaging.h"

#include "support/fake_files.h"

#include <new>

#include <algorithm>
#include <utility>

namespace tomari::test {

namespace {
std::string Key(const std::string& path) { return PathKey(path); }
}  // namespace

Bitmap FakeImageDecoder::Decode(const std::string& path) {
  decodeCalls.push_back(path);
  if (path == throwOn) throw std::bad_alloc();
  auto it = pictures_.find(Key(path));
  return it == pictures_.end() ? Bitmap{} : it->second;
}

bool FakeImageDecoder::ReadPngWithLibrary(const std::string& path, int width, int height,
                                          Bitmap& out) {
  libraryCalls.push_back({path, width, height});
  auto it = libraryPngs_.find(Key(path));
  if (it == libraryPngs_.end() || width <= 0 || height <= 0) return false;
  // Like drawing into a fresh surface of the header's size: black where the
  // picture does not reach, clipped where it is larger.
  Bitmap surface(width, height, 0);
  const Bitmap& png = it->second;
  for (int y = 0; y < std::min(height, png.height); ++y)
    for (int x = 0; x < std::min(width, png.width); ++x) surface.At(x, y) = png.At(x, y);
  out = std::move(surface);
  return true;
}

void FakeImageDecoder::AddPicture(const std::string& path, const Bitmap& pixels) {
  pictures_[Key(path)] = pixels;
}

void FakeImageDecoder::AddLibraryPng(const std::string& path, const Bitmap& pixels) {
  libraryPngs_[Key(path)] = pixels;
}

CursorHandle FakeCursorLoader::LoadSystem(int id) { return SystemHandle(id); }

CursorHandle FakeCursorLoader::LoadFromFile(const std::string& path) {
  fileLoads.push_back(path);
  if (files_.count(Key(path)) == 0) return 0;
  const CursorHandle handle = next_++;
  live_[handle] = path;
  return handle;
}

void FakeCursorLoader::Destroy(CursorHandle cursor) {
  destroyCalls.push_back(cursor);
  live_.erase(cursor);
}

void FakeCursorLoader::Show(CursorHandle cursor) { shown.push_back(cursor); }

void FakeCursorLoader::AddFile(const std::string& path) { files_.insert(Key(path)); }

}  // namespace tomari::test
