#pragma once
// An in-memory file system: path -> bytes. Windows paths compare without regard
// to ASCII case, and "/" stands for "\".
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ports.h"

namespace tomari::test {

// How the fakes compare Windows paths: without regard to ASCII case, "/" as
// "\", no final separator.
inline std::string PathKey(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

class FakeFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    const std::string key = PathKey(path);
    if (files_.count(key) != 0 || folders_.count(key) != 0) return true;
    // A folder exists when something lives inside it.
    auto it = files_.lower_bound(key + "\\");
    return it != files_.end() && it->first.rfind(key + "\\", 0) == 0;
  }
  bool ReadAll(const std::string& path, std::string& bytes) override {
    ++readAllCalls;
    auto it = files_.find(PathKey(path));
    if (it == files_.end() || failReads || it->second.hugeSize != 0) return false;
    bytes = it->second.bytes;
    return true;
  }
  bool ReadHead(const std::string& path, std::size_t limit, std::string& head,
                std::uint64_t& size) override {
    auto it = files_.find(PathKey(path));
    if (it == files_.end() || failReads) return false;
    size = it->second.hugeSize != 0 ? it->second.hugeSize : it->second.bytes.size();
    head = it->second.bytes.substr(0, limit);
    return true;
  }
  bool WriteAtomic(const std::string& path, const std::string& bytes) override {
    ++writeCalls;
    if (onWrite) onWrite(path);
    if (!CanReplace(path)) return false;
    Put(path, bytes);
    ++files_[PathKey(path)].writes;
    return true;
  }
  bool CanReplace(const std::string& path) override {
    for (const std::string& folder : readOnlyFolders)
      if (PathKey(path).rfind(PathKey(folder) + "\\", 0) == 0) return false;
    return true;
  }
  bool MakeFolder(const std::string& path) override {
    if (CanReplace(path)) AddFolder(path);
    return CanReplace(path);
  }
  bool Remove(const std::string& path) override {
    Erase(path);
    return true;
  }
  std::string AppDataFolder() override { return appData; }

  // Test set-up and inspection; none of these count as writes.
  void Put(const std::string& path, const std::string& bytes) {
    Entry& e = files_[PathKey(path)];
    e.bytes = bytes;
    e.hugeSize = 0;
  }
  // A file of `size` bytes that begins with `head`; the rest is never held.
  // ReadAll refuses it, as a real file system that cannot fit it would.
  void PutHuge(const std::string& path, const std::string& head, std::uint64_t size) {
    Put(path, head);
    files_[PathKey(path)].hugeSize = size;
  }
  void AddFolder(const std::string& path) { folders_.insert(PathKey(path)); }
  void Erase(const std::string& path) { files_.erase(PathKey(path)); }
  std::optional<std::string> Get(const std::string& path) const {
    auto it = files_.find(PathKey(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.bytes;
  }
  std::size_t WriteCount(const std::string& path) const {
    auto it = files_.find(PathKey(path));
    return it == files_.end() ? 0 : it->second.writes;
  }

  // Folders (ending in "\\") in which nothing can be created or replaced.
  std::vector<std::string> readOnlyFolders;
  std::string appData;
  // While set, ReadAll fails for existing files (a locked file).
  bool failReads = false;
  // ReadAll and WriteAtomic calls, successful or not.
  std::size_t readAllCalls = 0;
  std::size_t writeCalls = 0;
  // Told of each WriteAtomic call before it acts.
  std::function<void(const std::string& path)> onWrite;

 private:
  struct Entry {
    std::string bytes;
    std::size_t writes = 0;
    std::uint64_t hugeSize = 0;  // non-zero: PutHuge
  };
  std::map<std::string, Entry> files_;
  std::set<std::string> folders_;
};

}  // namespace tomari::test
