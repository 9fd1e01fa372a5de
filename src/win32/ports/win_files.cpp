#include "win32/ports/win_files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>

#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return h_; }
  void Reset(HANDLE h) {
    Close();
    h_ = h;
  }
  bool Close() {
    if (!Valid()) return true;
    bool ok = CloseHandle(h_) != FALSE;
    h_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE h_;
};

// A name in the folder of `target` that no file has yet, created empty with
// `attributes`; empty when none could be created.
std::wstring CreateTemporaryBeside(const std::wstring& target, DWORD attributes,
                                   FileHandle& file) {
  static std::atomic<unsigned> counter{0};
  size_t slash = target.find_last_of(L"\\/");
  std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t name[48];
    std::swprintf(name, 48, L"~tomari%lx-%x.tmp", GetCurrentProcessId(), counter.fetch_add(1));
    std::wstring candidate = folder + name;
    HANDLE h = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           attributes, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      file.Reset(h);
      return candidate;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return {};
}

bool WriteWhole(HANDLE h, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

bool Win32FileSystem::Exists(const std::string& path) {
  if (path.empty()) return false;
  return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::ReadAll(const std::string& path, std::string& bytes) {
  if (path.empty()) return false;
  FileHandle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxReadBytes)
    return false;
  try {
    std::string content;
    content.reserve(static_cast<size_t>(size.QuadPart));
    // Read to the end rather than to the size seen above: the file may grow meanwhile.
    char buffer[64 * 1024];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr)) return false;
      if (got == 0) break;
      if (content.size() + got > kMaxReadBytes) return false;
      content.append(buffer, got);
    }
    bytes.swap(content);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool Win32FileSystem::ReadHead(const std::string& path, std::size_t limit, std::string& head,
                               std::uint64_t& size) {
  if (path.empty()) return false;
  FileHandle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
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
  if (path.empty()) return false;
  std::wstring target = Utf8ToWide(path);
  DWORD old = GetFileAttributesW(target.c_str());
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (old != INVALID_FILE_ATTRIBUTES) {
    if (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    DWORD kept = old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (kept) attributes = kept;
  }

  FileHandle file(INVALID_HANDLE_VALUE);
  std::wstring temporary = CreateTemporaryBeside(target, attributes, file);
  if (temporary.empty()) return false;
  bool written = WriteWhole(file.Get(), bytes) && FlushFileBuffers(file.Get());
  written = file.Close() && written;
  if (written &&
      MoveFileExW(temporary.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(temporary.c_str());
  return false;
}

bool Win32FileSystem::Remove(const std::string& path) {
  if (path.empty()) return false;
  return DeleteFileW(Utf8ToWide(path).c_str()) != FALSE;
}

}  // namespace tomari
