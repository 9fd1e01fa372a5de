#pragma once
// Files through kernel32's W entry points, for the codec and for the
// application alike: an owned handle, a whole-file reader, and the one way we
// replace a file, so that a failed write never leaves a damaged file behind.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tomari::fileio {

class FileHandle {
 public:
  explicit FileHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE Get() const { return h_; }
  void Reset(HANDLE h) {
    Close();
    h_ = h;
  }
  // False when the system reported an error on closing (data may be lost).
  bool Close();

 private:
  HANDLE h_;
};

// The whole file, read while others may have it open for writing. Fails on
// folders and on files larger than `limit` bytes; `bytes` is untouched then.
bool ReadWholeFile(const std::wstring& path, std::string& bytes, unsigned long long limit);

// Why a replacement did not happen.
enum class WriteError {
  None,
  Folder,    // `target` is a folder
  ReadOnly,  // the user asked for the file to stay as it is
  System,    // see `code`
  Producer   // the content could not be produced; `code` is the last system error
};

struct WriteOutcome {
  WriteError error = WriteError::None;
  DWORD code = 0;  // the system's error code for System and Producer
  bool ok() const { return error == WriteError::None; }
};

// Whether `target` may be replaced at all: a folder or a read-only file may not.
WriteError CheckReplaceable(const std::wstring& target);

// Fills a new temporary file beside `target` through `produce` (which gets its
// path and an open, empty handle; it may close the handle and write by name),
// flushes it, and only then moves it over `target`. The temporary file is
// created plain (a writer that re-creates a hidden file by name is refused by
// the system) and a hidden or system `target` gets those marks back after the
// move.
using Producer = std::function<bool(const std::wstring& temporary, FileHandle& file)>;
WriteOutcome ReplaceFile(const std::wstring& target, const Producer& produce);
WriteOutcome ReplaceFileWithBytes(const std::wstring& target, std::string_view bytes);

// Deletes the temporary files that ReplaceFile left in `folder` (ending in a
// backslash) when its process was killed halfway; those of running processes
// stay. Returns how many went.
int RemoveAbandonedTemporaryFiles(const std::wstring& folder);

}  // namespace tomari::fileio
