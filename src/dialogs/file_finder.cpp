#include "dialogs/file_finder.h"

#include <cmath>
#include <limits>

namespace tomari {

namespace {

constexpr std::int64_t kDaysFrom1601To1899 = 109205;
constexpr std::int64_t kUnitsPerStep = 86400000;  // 100 ns units in 1/10000 day
constexpr double kUnitsPerDay = 864000000000.0;

std::u32string Decode(const std::string& s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (i + len > s.size()) len = 1;
    char32_t c = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    if (c >= U'a' && c <= U'z') c -= 0x20;
    out.push_back(c);
    i += static_cast<std::size_t>(len);
  }
  return out;
}

bool OnlyWildcards(const std::u32string& p, std::size_t from) {
  for (std::size_t i = from; i < p.size(); ++i)
    if (p[i] != U'*' && p[i] != U'?' && p[i] != U'.') return false;
  return true;
}

bool Match(const std::u32string& n, std::size_t i, const std::u32string& p, std::size_t j) {
  while (j < p.size()) {
    const char32_t c = p[j];
    if (c == U'*') {
      // Runs of stars are one star; then try every split.
      while (j < p.size() && p[j] == U'*') ++j;
      if (j == p.size()) return true;
      // A star before a dot stops at the name's last dot, so "*." only
      // matches names without an extension.
      std::size_t last = n.size();
      if (p[j] == U'.') {
        const auto dot = n.find_last_of(U'.');
        if (dot != std::u32string::npos && dot >= i) last = dot;
      }
      for (std::size_t k = i; k <= last; ++k)
        if (Match(n, k, p, j)) return true;
      return false;
    }
    if (c == U'?') {
      if (i == n.size() || n[i] == U'.') {
        ++j;  // matches nothing here
        continue;
      }
      ++i;
      ++j;
      continue;
    }
    if (c == U'.' && i == n.size() && OnlyWildcards(p, j + 1)) return true;
    if (i == n.size() || n[i] != c) return false;
    ++i;
    ++j;
  }
  return i == n.size();
}

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
  if (pattern == "*.*") return true;
  return Match(Decode(name), 0, Decode(pattern), 0);
}

std::int64_t FileTimeFromDate(double days) {
  const double steps = std::nearbyint(days * 10000.0);
  // Dates beyond what a file time can hold pin to its ends instead of wrapping.
  constexpr double kMaxSteps = 9.2e18 / kUnitsPerStep - kDaysFrom1601To1899 * 10000;
  if (!(steps < kMaxSteps)) return std::numeric_limits<std::int64_t>::max();
  if (!(steps > -kMaxSteps)) return std::numeric_limits<std::int64_t>::min();
  return (static_cast<std::int64_t>(steps) + kDaysFrom1601To1899 * 10000) * kUnitsPerStep;
}

double DateFromFileTime(std::int64_t fileTime) {
  return static_cast<double>(fileTime) / kUnitsPerDay - static_cast<double>(kDaysFrom1601To1899);
}

std::string AddBackslash(const std::string& path) {
  std::string p = path.substr(0, path.find_last_not_of(' ') + 1);
  if (p.empty() || (p.back() != '\\' && p.back() != '/')) p += '\\';
  return p;
}

std::string FileFinder::Finddir(int index) const {
  if (index == 0 && !folders_.empty()) return {};
  if (index < 1 || static_cast<std::size_t>(index) > folders_.size()) return {};
  return folders_[static_cast<std::size_t>(index) - 1];
}

int FileFinder::ListCount() const {
  return folders_.empty() ? 0 : static_cast<int>(folders_.size()) + 1;
}

double FileFinder::Date_Time() const {
  return DateFromFileTime(directory_.ToLocalFileTime(threshold_));
}

void FileFinder::Yield() {
  if (onYield) onYield();
}

void FileFinder::SearchFiles(const std::string& dirPath) {
  open_.clear();
  Walk(AddBackslash(dirPath));
}

void FileFinder::Walk(const std::string& folder) {
  if (stopped_) return;
  std::vector<DirectoryEntry> entries;
  if (!directory_.List(folder, entries)) return;  // unreadable: like an empty folder
  const std::string id = directory_.FolderIdentity(folder);
  if (!id.empty() && !open_.insert(id).second) return;
  SearchDirFiles(folder, entries);
  Yield();
  SearchDirs(folder, entries);
  if (!id.empty()) open_.erase(id);
}

void FileFinder::SearchDirFiles(const std::string& folder,
                                const std::vector<DirectoryEntry>& entries) {
  for (const DirectoryEntry& e : entries) {
    if (stopped_) return;
    if (!e.isFolder && e.lastWrite >= threshold_ && MatchesWildcard(e.name, pattern_) && onFind)
      onFind(folder + e.name);
    Yield();
  }
}

void FileFinder::SearchDirs(const std::string& folder,
                            const std::vector<DirectoryEntry>& entries) {
  for (const DirectoryEntry& e : entries) {
    if (stopped_) return;
    if (!e.isFolder) continue;
    const std::string sub = folder + e.name + '\\';
    const std::string id = directory_.FolderIdentity(sub);
    if (!id.empty() && open_.count(id) != 0) continue;  // leads back up the walk
    folders_.push_back(folder + e.name);
    Walk(sub);
  }
}

}  // namespace tomari
