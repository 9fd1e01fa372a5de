#include "imaging/file_io.h"

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <new>

namespace tomari::fileio {

namespace {

constexpr DWORD kKeptMarks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// The writing process's id and a counter: "~tomari<pid>-<n>.tmp", in hex.
constexpr const wchar_t* kTemporaryName = L"~tomari%lx-%x.tmp";

bool ProcessHasEnded(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// An empty, plain file of a fresh name in the folder of `target`, deleted again
// unless Keep() says it was moved into place.
class TemporaryFile {
 public:
  ~TemporaryFile() {
    if (!path_.empty()) DeleteFileW(path_.c_str());
  }
  bool Create(const std::wstring& target, FileHandle& file) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = target.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
      wchar_t name[48];
      std::swprintf(name, 48, kTemporaryName, GetCurrentProcessId(), counter.fetch_add(1));
      const std::wstring candidate = folder + name;
      HANDLE h = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        file.Reset(h);
        path_ = candidate;
        return true;
      }
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return false;
  }
  const std::wstring& Path() const { return path_; }
  void Keep() { path_.clear(); }

 private:
  std::wstring path_;
};

bool WriteAllBytes(HANDLE h, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 4u << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

WriteOutcome Failed() { return {WriteError::System, GetLastError()}; }

}  // namespace

bool FileHandle::Close() {
  if (!Valid()) return true;
  const bool ok = CloseHandle(h_) != FALSE;
  h_ = INVALID_HANDLE_VALUE;
  return ok;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes, unsigned long long limit) {
  if (path.empty()) return false;
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > limit)
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
      if (content.size() + got > limit) return false;
      content.append(buffer, got);
    }
    bytes.swap(content);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

WriteError CheckReplaceable(const std::wstring& target) {
  const DWORD old = GetFileAttributesW(target.c_str());
  if (old == INVALID_FILE_ATTRIBUTES) return WriteError::None;
  if (old & FILE_ATTRIBUTE_DIRECTORY) return WriteError::Folder;
  if (old & FILE_ATTRIBUTE_READONLY) return WriteError::ReadOnly;
  return WriteError::None;
}

WriteOutcome ReplaceFile(const std::wstring& target, const Producer& produce) {
  if (target.empty()) return {WriteError::System, ERROR_INVALID_NAME};
  if (const WriteError refused = CheckReplaceable(target); refused != WriteError::None)
    return {refused, 0};
  const DWORD old = GetFileAttributesW(target.c_str());
  const DWORD marks = old == INVALID_FILE_ATTRIBUTES ? 0 : old & kKeptMarks;

  TemporaryFile temporary;
  FileHandle file;
  if (!temporary.Create(target, file)) return Failed();
  if (!produce(temporary.Path(), file)) return {WriteError::Producer, GetLastError()};
  if (file.Valid() && !FlushFileBuffers(file.Get())) return Failed();
  if (!file.Close()) return Failed();
  if (!MoveFileExW(temporary.Path().c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return Failed();
  temporary.Keep();
  // A hidden or system file stays one.
  if (marks) SetFileAttributesW(target.c_str(), GetFileAttributesW(target.c_str()) | marks);
  return {};
}

WriteOutcome ReplaceFileWithBytes(const std::wstring& target, std::string_view bytes) {
  return ReplaceFile(target, [&](const std::wstring&, FileHandle& file) {
    return WriteAllBytes(file.Get(), bytes);
  });
}

int RemoveAbandonedTemporaryFiles(const std::wstring& folder) {
  int removed = 0;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"~tomari*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    unsigned long pid = 0;
    unsigned serial = 0;
    if (std::swscanf(found.cFileName, kTemporaryName, &pid, &serial) != 2) continue;
    if (pid == GetCurrentProcessId() || !ProcessHasEnded(pid)) continue;
    if (DeleteFileW((folder + found.cFileName).c_str())) ++removed;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return removed;
}

}  // namespace tomari::fileio
