#pragma once
// Folder listings through FindFirstFileExW, and folder identities by volume
// serial number and file index.
#include "platform/directory.h"

namespace tomari {

class Win32Directory final : public Directory {
 public:
  bool List(const std::string& folder, std::vector<DirectoryEntry>& out) override;
  bool FolderExists(const std::string& path) override;
  std::string FolderIdentity(const std::string& folder) override;
  std::int64_t ToLocalFileTime(std::int64_t utc) override;
};

}  // namespace tomari
