#pragma once
// Files through kernel32's W entry points. Paths are UTF-8 with backslashes.
#include "platform/ports.h"

namespace tomari {

class Win32FileSystem final : public FileSystem {
 public:
  // Files and folders, hidden and system ones included.
  bool Exists(const std::string& path) override;
  // Reads while others have the file open for writing; fails on folders and on
  // files larger than kMaxReadBytes.
  bool ReadAll(const std::string& path, std::string& bytes) override;
  bool ReadHead(const std::string& path, std::size_t limit, std::string& head,
                std::uint64_t& size) override;
  // The new content goes to a temporary file beside `path`, is flushed to disk
  // and then renamed over `path`. A read-only `path` is not replaced (the user
  // asked for it to stay as it is); a hidden or system one keeps those marks.
  bool WriteAtomic(const std::string& path, const std::string& bytes) override;
  // Creates and at once deletes a file of a fresh name beside `path`.
  bool CanReplace(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;
  bool Remove(const std::string& path) override;
  std::string AppDataFolder() override;

  static constexpr unsigned long long kMaxReadBytes = 256ull << 20;
};

}  // namespace tomari
