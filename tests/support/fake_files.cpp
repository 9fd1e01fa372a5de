#include "support/fake_files.h"

namespace tomari::test {

std::string PathKey(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

namespace {
std::string Key(const std::string& path) { return PathKey(path); }
}  // namespace

bool FakeFileSystem::Exists(const std::string& path) {
  const std::string key = Key(path);
  if (files_.count(key) != 0 || folders_.count(key) != 0) return true;
  // A folder exists when something lives inside it.
  const std::string prefix = key + "\\";
  auto it = files_.lower_bound(prefix);
  return it != files_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

bool FakeFileSystem::ReadAll(const std::string& path, std::string& bytes) {
  ++readAllCalls;
  auto it = files_.find(Key(path));
  if (it == files_.end() || failReads || it->second.hugeSize != 0) return false;
  bytes = it->second.bytes;
  return true;
}

bool FakeFileSystem::ReadHead(const std::string& path, std::size_t limit, std::string& head,
                              std::uint64_t& size) {
  auto it = files_.find(Key(path));
  if (it == files_.end() || failReads) return false;
  const Entry& e = it->second;
  size = e.hugeSize != 0 ? e.hugeSize : e.bytes.size();
  head = e.bytes.substr(0, limit);
  return true;
}
void FakeFileSystem::PutHuge(const std::string& path, const std::string& head,
                             std::uint64_t size) {
  Put(path, head);
  files_[Key(path)].hugeSize = size;
}

bool FakeFileSystem::WriteAtomic(const std::string& path, const std::string& bytes) {
  ++writeCalls;
  if (onWrite) onWrite(path);
  if (failWrites || !CanReplace(path)) return false;
  auto [it, inserted] = files_.try_emplace(Key(path));
  if (inserted) it->second.path = path;
  it->second.bytes = bytes;
  it->second.hugeSize = 0;
  ++it->second.writes;
  return true;
}

bool FakeFileSystem::CanReplace(const std::string& path) {
  const std::string key = Key(path);
  for (const std::string& folder : readOnlyFolders)
    if (key.rfind(Key(folder) + "\\", 0) == 0) return false;
  return true;
}

bool FakeFileSystem::MakeFolder(const std::string& path) {
  if (!CanReplace(path)) return false;
  AddFolder(path);
  return true;
}

void FakeFileSystem::Put(const std::string& path, const std::string& bytes) {
  auto [it, inserted] = files_.try_emplace(Key(path));
  if (inserted) it->second.path = path;
  it->second.bytes = bytes;
  it->second.hugeSize = 0;
}

void FakeFileSystem::AddFolder(const std::string& path) { folders_.emplace(Key(path), path); }

std::optional<std::string> FakeFileSystem::Get(const std::string& path) const {
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.bytes;
}

std::size_t FakeFileSystem::WriteCount(const std::string& path) const {
  auto it = files_.find(Key(path));
  return it == files_.end() ? 0 : it->second.writes;
}

}  // namespace tomari::test
