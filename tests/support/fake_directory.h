#pragma once
// A folder tree in memory. Folders list their entries in the order they were
// added; a link is a folder entry that leads to another folder of the tree.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "support/fake_files.h"

namespace tomari::test {

class FakeDirectory : public Directory {
 public:
  bool List(const std::string& folder, std::vector<DirectoryEntry>& out) override {
    const std::string key = Resolve(folder);
    if (key.empty() || unreadable_.count(key) != 0) return false;
    out = folders_.at(key);
    return true;
  }
  bool FolderExists(const std::string& path) override { return !Resolve(path).empty(); }
  std::string FolderIdentity(const std::string& folder) override { return Resolve(folder); }
  std::int64_t ToLocalFileTime(std::int64_t utc) override { return utc + localOffset; }

  // Paths with "\" separators, no final one; parents are created as needed.
  void AddFolder(const std::string& path) {
    if (folders_.count(PathKey(path)) == 0) AddEntry(path, true, 0);
  }
  void AddFile(const std::string& path, std::int64_t lastWrite = 0) {
    AddEntry(path, false, lastWrite);
  }
  // A folder entry `path` that leads to the folder `target`.
  void AddLink(const std::string& path, const std::string& target) {
    AddEntry(path, false, 0, true);
    links_[PathKey(path)] = PathKey(target);
  }
  void MakeUnreadable(const std::string& path) { unreadable_.insert(PathKey(path)); }

  std::int64_t localOffset = 0;

 private:
  void AddEntry(const std::string& path, bool folder, std::int64_t lastWrite, bool link = false) {
    if (folder) folders_[PathKey(path)];
    const auto slash = path.find_last_of('\\');
    if (slash == std::string::npos) return;
    AddFolder(path.substr(0, slash));
    folders_[PathKey(path.substr(0, slash))].push_back(
        {path.substr(slash + 1), folder || link, lastWrite});
  }
  // Follows links along the path; "" when some part does not exist.
  std::string Resolve(const std::string& path) const {
    const std::string key = PathKey(path);
    std::string done;
    for (std::size_t pos = 0, next = 0; next != std::string::npos; pos = next + 1) {
      next = key.find('\\', pos);
      const std::string part = key.substr(pos, next == std::string::npos ? next : next - pos);
      done = done.empty() ? part : done + "\\" + part;
      if (auto link = links_.find(done); link != links_.end()) done = link->second;
      if (folders_.count(done) == 0) return {};
    }
    return done;
  }
  std::map<std::string, std::vector<DirectoryEntry>> folders_;
  std::map<std::string, std::string> links_;  // resolved link path -> target
  std::set<std::string> unreadable_;
};

}  // namespace tomari::test
