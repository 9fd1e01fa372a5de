#pragma once
// An in-memory file system: path -> bytes. Windows paths compare without regard
// to ASCII case, and "/" stands for "\".
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/ports.h"

namespace tomari::test {

// How the fakes compare Windows paths: without regard to ASCII case, "/" as
// "\", no final separator.
std::string PathKey(std::string path);

class FakeFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  bool ReadAll(const std::string& path, std::string& bytes) override;
  bool ReadHead(const std::string& path, std::size_t limit, std::string& head,
                std::uint64_t& size) override;
  bool WriteAtomic(const std::string& path, const std::string& bytes) override;
  bool CanReplace(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;
  bool Remove(const std::string& path) override {
    Erase(path);
    return true;
  }
  std::string AppDataFolder() override { return appData; }

  // Test set-up and inspection; none of these count as writes.
  void Put(const std::string& path, const std::string& bytes);
  // A file of `size` bytes that begins with `head`; the rest is never held.
  // ReadAll refuses it, as a real file system that cannot fit it would.
  void PutHuge(const std::string& path, const std::string& head, std::uint64_t size);
  void AddFolder(const std::string& path);
  void Erase(const std::string& path) { files_.erase(PathKey(path)); }
  std::optional<std::string> Get(const std::string& path) const;

  // Folders (ending in "\\") in which nothing can be created or replaced.
  std::vector<std::string> readOnlyFolders;
  std::string appData;
  // While set, WriteAtomic fails and leaves the files as they are.
  bool failWrites = false;
  // While set, ReadAll fails for existing files (a locked file).
  bool failReads = false;
  // ReadAll calls, successful or not.
  std::size_t readAllCalls = 0;
  // WriteAtomic calls, successful or not.
  std::size_t writeCalls = 0;
  // Told of each WriteAtomic call before it acts.
  std::function<void(const std::string& path)> onWrite;
  std::size_t WriteCount(const std::string& path) const;

 private:
  struct Entry {
    std::string path;  // as first written
    std::string bytes;
    std::size_t writes = 0;
    std::uint64_t hugeSize = 0;  // non-zero: PutHuge
  };
  std::map<std::string, Entry> files_;
  std::map<std::string, std::string> folders_;
};

}  // namespace tomari::test
