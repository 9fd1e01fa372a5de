#include "win32/ports/win_directory.h"

#include <windows.h>

#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

std::int64_t ToInt64(const FILETIME& t) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
}

// Long paths (beyond MAX_PATH) need the \\?\ form on the W entry points.
std::wstring LongPath(const std::string& path) {
  std::wstring wide = Utf8ToWide(path);
  for (wchar_t& c : wide)
    if (c == L'/') c = L'\\';
  if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  if (wide.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  return L"\\\\?\\" + wide;
}

}  // namespace

bool Win32Directory::List(const std::string& folder, std::vector<DirectoryEntry>& out) {
  out.clear();
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(LongPath(folder + "*").c_str(), FindExInfoBasic, &data,
                                 FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    const std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..") continue;
    out.push_back({WideToUtf8(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                   ToInt64(data.ftLastWriteTime)});
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}

bool Win32Directory::FolderExists(const std::string& path) {
  const DWORD a = GetFileAttributesW(LongPath(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Win32Directory::FolderIdentity(const std::string& folder) {
  // Opening the folder follows links and junctions to the folder they name.
  HANDLE h = CreateFileW(LongPath(folder).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!ok) return {};
  return std::to_string(info.dwVolumeSerialNumber) + ":" +
         std::to_string((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

std::int64_t Win32Directory::ToLocalFileTime(std::int64_t utc) {
  FILETIME in{static_cast<DWORD>(utc), static_cast<DWORD>(static_cast<std::uint64_t>(utc) >> 32)};
  FILETIME local{};
  if (!FileTimeToLocalFileTime(&in, &local)) return utc;
  return ToInt64(local);
}

}  // namespace tomari
