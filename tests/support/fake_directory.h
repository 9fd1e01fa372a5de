#pragma once
// A folder tree in memory. Folders list their entries in the order they were
// added; a link is a folder entry that leads to another folder of the tree.
#include <map>
#include <string>
#include <vector>

#include "platform/directory.h"

namespace tomari::test {

class FakeDirectory : public Directory {
 public:
  bool List(const std::string& folder, std::vector<DirectoryEntry>& out) override;
  bool FolderExists(const std::string& path) override;
  std::string FolderIdentity(const std::string& folder) override;
  std::int64_t ToLocalFileTime(std::int64_t utc) override { return utc + localOffset; }

  // Paths with "\" separators, no final one; parents are created as needed.
  void AddFolder(const std::string& path);
  void AddFile(const std::string& path, std::int64_t lastWrite = 0);
  // A folder entry `path` that leads to the folder `target`.
  void AddLink(const std::string& path, const std::string& target);
  void MakeUnreadable(const std::string& path) { unreadable_[Key(path)] = true; }

  std::int64_t localOffset = 0;
  int listCalls = 0;

 private:
  static std::string Key(std::string path);
  // Follows links along the path; "" when some part does not exist.
  std::string Resolve(const std::string& path) const;
  std::map<std::string, std::vector<DirectoryEntry>> folders_;
  std::map<std::string, std::string> links_;  // resolved link path -> target
  std::map<std::string, bool> unreadable_;
};

}  // namespace tomari::test
