#include "win32/ports/win_files.h"

#include <windows.h>

#include "imaging/file_io.h"
#include "win32/ports/text_convert.h"

namespace tomari {

bool Win32FileSystem::Exists(const std::string& path) {
  if (path.empty()) return false;
  return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::ReadAll(const std::string& path, std::string& bytes) {
  return !path.empty() && fileio::ReadWholeFile(Utf8ToWide(path), bytes, kMaxReadBytes);
}

bool Win32FileSystem::ReadHead(const std::string& path, std::size_t limit, std::string& head,
                               std::uint64_t& size) {
  if (path.empty()) return false;
  fileio::FileHandle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  LARGE_INTEGER total{};
  if (!GetFileSizeEx(file.Get(), &total) || total.QuadPart < 0) return false;
  size = static_cast<std::uint64_t>(total.QuadPart);
  try {
    std::string content(static_cast<std::size_t>(std::min<std::uint64_t>(limit, size)), '\0');
    std::size_t filled = 0;
    while (filled < content.size()) {
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(content.size() - filled, 1u << 20));
      DWORD got = 0;
      if (!ReadFile(file.Get(), content.data() + filled, want, &got, nullptr)) return false;
      if (got == 0) break;  // shrank meanwhile
      filled += got;
    }
    content.resize(filled);
    head.swap(content);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool Win32FileSystem::WriteAtomic(const std::string& path, const std::string& bytes) {
  return !path.empty() && fileio::ReplaceFileWithBytes(Utf8ToWide(path), bytes).ok();
}

}  // namespace tomari
