#pragma once
// Walks a folder tree and reports every file whose name matches a wildcard
// pattern and that was written at or after a threshold: a folder's own files
// first, then each sub-folder in the order the file system lists them, depth
// first. It calls back after every entry so that the caller can keep its
// window alive, and it can be stopped from any callback.
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/directory.h"

namespace tomari {

// Whether `name` matches `pattern` by the file system's wildcard rules: "*"
// any run of characters, "?" one character (or none just before a "." or at
// the end), "*.*" everything, a "." before nothing but wildcards also matching
// the end of a name; letters compared without regard to ASCII case.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

// File time (100 ns since 1601-01-01) of a date counted in days from
// 1899-12-30, time of day as the fraction, taken as UTC and to the nearest
// 1/10000 of a day.
std::int64_t FileTimeFromDate(double days);
double DateFromFileTime(std::int64_t fileTime);

class FileFinder {
 public:
  explicit FileFinder(Directory& directory) : directory_(directory) {}

  // Each reported file, by its full path.
  std::function<void(const std::string& path)> onFind;
  // After every entry and every sub-folder's files.
  std::function<void()> onYield;

  // Found folders: 0 is the empty entry, then the folders in the order they
  // were entered.
  std::string Finddir(int index) const;
  // The number of folders found plus 1; 0 when none was found.
  int ListCount() const;

  const std::string& Pattern() const { return pattern_; }
  void SetPattern(const std::string& pattern) { pattern_ = pattern; }
  // The threshold as a date (converted to local time on reading).
  double Date_Time() const;
  void SetDate_Time(double days) { threshold_ = FileTimeFromDate(days); }
  std::int64_t Threshold() const { return threshold_; }

  void SearchFiles(const std::string& dirPath);
  // Every level of a running walk returns before its next entry; later
  // searches of this finder return at once.
  void StopSerch() { stopped_ = true; }
  bool Stopped() const { return stopped_; }

 private:
  void SearchDirFiles(const std::string& folder, const std::vector<DirectoryEntry>& entries);
  void SearchDirs(const std::string& folder, const std::vector<DirectoryEntry>& entries);
  void Walk(const std::string& folder);
  void Yield();

  Directory& directory_;
  std::vector<std::string> folders_;
  std::string pattern_;
  bool stopped_ = false;
  std::int64_t threshold_ = 0;
  // Identities of the folders on the way down to the current one: a link
  // leading back to one of them is not followed.
  std::set<std::string> open_;
};

// Trailing spaces removed and a final separator added.
std::string AddBackslash(const std::string& path);

}  // namespace tomari
