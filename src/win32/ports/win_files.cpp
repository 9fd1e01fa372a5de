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

bool Win32FileSystem::WriteAtomic(const std::string& path, const std::string& bytes) {
  return !path.empty() && fileio::ReplaceFileWithBytes(Utf8ToWide(path), bytes).ok();
}

}  // namespace tomari
