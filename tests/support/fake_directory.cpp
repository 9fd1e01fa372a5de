#include "support/fake_directory.h"

#include <utility>

#include "support/fake_files.h"

namespace tomari::test {

std::string FakeDirectory::Key(std::string path) { return PathKey(std::move(path)); }

std::string FakeDirectory::Resolve(const std::string& path) const {
  const std::string key = Key(path);
  std::string done;
  std::size_t pos = 0;
  while (pos <= key.size()) {
    const std::size_t next = key.find('\\', pos);
    const std::string part = key.substr(pos, next == std::string::npos ? std::string::npos : next - pos);
    done = done.empty() ? part : done + "\\" + part;
    auto link = links_.find(done);
    if (link != links_.end()) done = link->second;
    if (folders_.count(done) == 0) return {};
    if (next == std::string::npos) break;
    pos = next + 1;
  }
  return done;
}

void FakeDirectory::AddFolder(const std::string& path) {
  const std::string key = Key(path);
  if (folders_.count(key) != 0) return;
  folders_[key];
  const auto slash = path.find_last_of('\\');
  if (slash == std::string::npos) return;
  AddFolder(path.substr(0, slash));
  folders_[Key(path.substr(0, slash))].push_back({path.substr(slash + 1), true, 0});
}

void FakeDirectory::AddFile(const std::string& path, std::int64_t lastWrite) {
  const auto slash = path.find_last_of('\\');
  AddFolder(path.substr(0, slash));
  folders_[Key(path.substr(0, slash))].push_back({path.substr(slash + 1), false, lastWrite});
}

void FakeDirectory::AddLink(const std::string& path, const std::string& target) {
  const auto slash = path.find_last_of('\\');
  AddFolder(path.substr(0, slash));
  folders_[Key(path.substr(0, slash))].push_back({path.substr(slash + 1), true, 0});
  links_[Key(path)] = Key(target);
}

bool FakeDirectory::List(const std::string& folder, std::vector<DirectoryEntry>& out) {
  ++listCalls;
  const std::string key = Resolve(folder);
  if (key.empty() || unreadable_.count(key) != 0) return false;
  out = folders_.at(key);
  return true;
}

bool FakeDirectory::FolderExists(const std::string& path) { return !Resolve(path).empty(); }

std::string FakeDirectory::FolderIdentity(const std::string& folder) { return Resolve(folder); }

}  // namespace tomari::test
