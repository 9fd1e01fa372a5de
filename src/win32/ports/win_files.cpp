#include "win32/ports/win_files.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

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

bool Win32FileSystem::CanReplace(const std::string& path) {
  if (path.empty()) return false;
  const std::wstring target = Utf8ToWide(path);
  if (fileio::CheckReplaceable(target) != fileio::WriteError::None) return false;
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    wchar_t name[48];
    std::swprintf(name, 48, L"~tomari-probe%lx-%x.tmp", GetCurrentProcessId(), attempt);
    HANDLE h = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool Win32FileSystem::MakeFolder(const std::string& path) {
  if (path.empty()) return false;
  std::wstring folder = Utf8ToWide(path);
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  const int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  if (result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  return false;
}

bool Win32FileSystem::Remove(const std::string& path) {
  if (path.empty()) return false;
  return DeleteFileW(Utf8ToWide(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::string Win32FileSystem::AppDataFolder() {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &path)) &&
      path != nullptr && *path != L'\0')
    folder = WideToUtf8(path);
  CoTaskMemFree(path);
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace tomari
