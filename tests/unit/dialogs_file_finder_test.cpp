#include <gtest/gtest.h>

#include <tuple>

#include "dialogs/file_finder.h"
#include "support/fake_directory.h"

namespace tomari {
namespace {

using Paths = std::vector<std::string>;

struct FinderWorld {
  test::FakeDirectory dir;
  FileFinder finder{dir};
  Paths found;

  FinderWorld() {
    finder.SetPattern("*.tsk");
    finder.onFind = [this](const std::string& p) { found.push_back(p); };
  }
};

TEST(FileFinder, WildcardRules) {
  using Row = std::tuple<const char*, const char*, bool>;  // name, pattern, matches
  for (const auto& [name, pattern, match] :
       {Row{"a.tsk", "*.tsk", true}, Row{"A.TSK", "*.tsk", true}, Row{"a.tskx", "*.tsk", false},
        Row{"a.tsk.bak", "*.tsk", false}, Row{"noext", "*.*", true}, Row{"noext", "*.", true},
        Row{"a.b", "*.", false}, Row{"ab", "a?", true}, Row{"a", "a?", true},
        Row{"abc", "a?", false}, Row{"a.x", "a?.x", true}, Row{"スキン.tsk", "?????.tsk", true},
        Row{"x", "", false}, Row{"Default.tsk", "def*", true}, Row{"ab", "*b*", true},
        Row{"ab", "ab.*", true}})
    EXPECT_EQ(MatchesWildcard(name, pattern), match) << name << " ~ " << pattern;
}

TEST(FileFinder, FilesBeforeSubFoldersDepthFirstAndFolderRecords) {
  FinderWorld w;
  w.finder.SearchFiles("C:\\Missing\\");
  EXPECT_EQ(w.finder.ListCount(), 0);
  EXPECT_TRUE(w.found.empty());
  for (const char* folder : {"C:\\S\\A", "C:\\S\\A\\Deep", "C:\\S\\B.tsk", "C:\\S\\Locked"})
    w.dir.AddFolder(folder);  // B.tsk: a folder that matches is walked, not reported
  for (const char* file : {"C:\\S\\A\\a.tsk", "C:\\S\\A\\Deep\\d.tsk", "C:\\S\\top.tsk",
                           "C:\\S\\B.tsk\\b.tsk", "C:\\S\\readme.txt"})
    w.dir.AddFile(file);
  w.dir.MakeUnreadable("C:\\S\\Locked");
  // Links back up the tree are not followed.
  w.dir.AddLink("C:\\S\\A\\Loop", "C:\\S");
  w.finder.SearchFiles("C:\\S   ");
  EXPECT_EQ(w.found, (Paths{"C:\\S\\top.tsk", "C:\\S\\A\\a.tsk", "C:\\S\\A\\Deep\\d.tsk",
                            "C:\\S\\B.tsk\\b.tsk"}));
  Paths folders;
  for (int i = 0; i < w.finder.ListCount(); ++i) folders.push_back(w.finder.Finddir(i));
  EXPECT_EQ(folders, (Paths{"", "C:\\S\\A", "C:\\S\\A\\Deep", "C:\\S\\B.tsk", "C:\\S\\Locked"}));
}

TEST(FileFinder, DateThresholdConversion) {
  // 2000-01-01 00:00 UTC is day 36526; to the nearest 1/10000 day (8.64 s).
  const std::int64_t y2000 = 125911584000000000;
  EXPECT_EQ(FileTimeFromDate(36526.0), y2000);
  EXPECT_EQ(FileTimeFromDate(1e300), INT64_MAX);

  FinderWorld w;
  w.dir.AddFile("C:\\S\\old.tsk", y2000 - 1);
  w.dir.AddFile("C:\\S\\new.tsk", y2000);
  w.finder.SetDate_Time(36526.0);
  w.finder.SearchFiles("C:\\S");
  EXPECT_EQ(w.found, Paths{"C:\\S\\new.tsk"});
  // Read back through local time.
  w.dir.localOffset = 9 * 36000000000LL;
  EXPECT_DOUBLE_EQ(w.finder.Date_Time(), 36526.0 + 9.0 / 24);
}

}  // namespace
}  // namespace tomari
