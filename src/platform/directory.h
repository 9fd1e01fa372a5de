#pragma once
// Listing folders, for walks over a folder tree.
#include <cstdint>
#include <string>
#include <vector>

namespace tomari {

struct DirectoryEntry {
  std::string name;  // without the folder
  bool isFolder = false;
  // Last write, in 100-nanosecond units since 1601-01-01 UTC.
  std::int64_t lastWrite = 0;
};

class Directory {
 public:
  virtual ~Directory() = default;
  // The entries of `folder` (which ends in a separator), "." and ".." left
  // out, in the order the file system lists them. False when the folder does
  // not exist or cannot be read.
  virtual bool List(const std::string& folder, std::vector<DirectoryEntry>& out) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // Names the folder itself, whatever path leads to it (through links and
  // junctions too); "" when that cannot be told.
  virtual std::string FolderIdentity(const std::string& folder) = 0;
  // A UTC file time as local file time.
  virtual std::int64_t ToLocalFileTime(std::int64_t utc) = 0;
};

}  // namespace tomari
