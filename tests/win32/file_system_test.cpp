// Win32FileSystem on real files: atomic replacement, failures that leave the
// old file, hidden files, and names outside the ANSI code page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "win32/ports/text_convert.h"
#include "win32/ports/win_files.h"

namespace tomari {
namespace {

// A fresh folder under %TEMP% with a name no code page but Unicode holds,
// removed with everything in it.
class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = std::wstring(temp) + L"トマリギ 시험 😀 " + std::to_wstring(GetCurrentProcessId()) +
              L"-" + std::to_wstring(++serial) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
  }
  void TearDown() override {
    for (const std::wstring& name : Names()) {
      std::wstring path = folder_ + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
    }
    RemoveDirectoryW(folder_.c_str());
  }

  std::string Path(const std::wstring& name) const { return WideToUtf8(folder_ + name); }
  std::wstring WidePath(const std::wstring& name) const { return folder_ + name; }

  // Everything in the folder, sorted.
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder_ + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      std::wstring name = data.cFileName;
      if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Read(const std::wstring& name) {
    std::string bytes;
    EXPECT_TRUE(files.ReadAll(Path(name), bytes));
    return bytes;
  }

  Win32FileSystem files;
  std::wstring folder_;
};

const std::string kOld = "[Main]\r\nTiming= 100\r\n";
const std::string kNew = "[Main]\r\nTiming= 50\r\nSkin=\x83\x67\x83\x7D\r\n";

TEST_F(FileSystemTest, ReadHeadGivesTheFirstBytesAndTheWholeSize) {
  const std::string path = Path(L"big.tsk");
  const std::string whole = kOld + std::string(3 << 20, '\n');
  ASSERT_TRUE(files.WriteAtomic(path, whole));
  for (const std::size_t limit : {std::size_t{0}, std::size_t{6}, whole.size() + 9}) {
    std::string head = "stale";
    std::uint64_t size = 0;
    ASSERT_TRUE(files.ReadHead(path, limit, head, size)) << limit;
    EXPECT_EQ(head, whole.substr(0, limit)) << limit;
    EXPECT_EQ(size, whole.size()) << limit;
  }
  std::string head;
  std::uint64_t size = 0;
  EXPECT_FALSE(files.ReadHead(Path(L"gone.tsk"), 8, head, size));
  EXPECT_FALSE(files.ReadHead(WideToUtf8(folder_), 8, head, size)) << "a folder";
}

TEST_F(FileSystemTest, WriteCreatesThenReplacesWholeAndLeavesNoTemporary) {
  const std::string path = Path(L"Setting.ini");
  EXPECT_FALSE(files.Exists(path));
  std::string bytes = "untouched";
  EXPECT_FALSE(files.ReadAll(path, bytes));
  EXPECT_EQ(bytes, "untouched");

  ASSERT_TRUE(files.WriteAtomic(path, kOld + kOld + kOld));
  EXPECT_TRUE(files.Exists(path));
  EXPECT_EQ(Read(L"Setting.ini"), kOld + kOld + kOld);
  // A shorter content leaves nothing of the longer one behind.
  ASSERT_TRUE(files.WriteAtomic(path, kNew));
  EXPECT_EQ(Read(L"Setting.ini"), kNew);
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"Setting.ini"});
}

TEST_F(FileSystemTest, BinaryAndLargeContentRoundTrips) {
  std::string bytes(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
  ASSERT_TRUE(files.WriteAtomic(Path(L"big.bin"), bytes));
  EXPECT_EQ(Read(L"big.bin"), bytes);
  ASSERT_TRUE(files.WriteAtomic(Path(L"empty.bin"), ""));
  EXPECT_TRUE(files.Exists(Path(L"empty.bin")));
  EXPECT_EQ(Read(L"empty.bin"), "");
}

TEST_F(FileSystemTest, AReaderOfTheOldFileSeesItWholeWhileItIsReplaced) {
  const std::string path = Path(L"Setting.ini");
  ASSERT_TRUE(files.WriteAtomic(path, kOld));
  // Opened the way ReadAll opens: everything shared.
  HANDLE reader = CreateFileW(WidePath(L"Setting.ini").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  // Wine refuses to rename over an open file; either way the old file is never
  // cut short or overwritten in place, and no temporary is left.
  const bool replaced = files.WriteAtomic(path, kNew);
  char buffer[256];
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(reader, buffer, sizeof(buffer), &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), kOld);
  CloseHandle(reader);
  EXPECT_EQ(Read(L"Setting.ini"), replaced ? kNew : kOld);
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"Setting.ini"});
}

TEST_F(FileSystemTest, MissingFolderFailsWithoutCreatingAnything) {
  EXPECT_FALSE(files.WriteAtomic(Path(L"missing\\Setting.ini"), kNew));
  EXPECT_FALSE(files.Exists(Path(L"missing")));
  EXPECT_TRUE(Names().empty());
}

TEST_F(FileSystemTest, ALockedOrReadOnlyTargetKeepsItsOldContent) {
  const std::string path = Path(L"Setting.ini");
  const std::wstring wide = WidePath(L"Setting.ini");
  ASSERT_TRUE(files.WriteAtomic(path, kOld));
  // Open the way an editor or a virus scanner might: others may read, nothing else.
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files.WriteAtomic(path, kNew));
  std::string seen;
  EXPECT_TRUE(files.ReadAll(path, seen)) << "reading shares with the open handle";
  EXPECT_EQ(seen, kOld);
  CloseHandle(h);

  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(files.WriteAtomic(path, kNew));
  EXPECT_NE(GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(Read(L"Setting.ini"), kOld);
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"Setting.ini"});
}

TEST_F(FileSystemTest, FolderInThePlaceOfTheFileIsLeftAlone) {
  ASSERT_TRUE(CreateDirectoryW(WidePath(L"Setting.ini").c_str(), nullptr));
  EXPECT_TRUE(files.Exists(Path(L"Setting.ini")));
  EXPECT_FALSE(files.WriteAtomic(Path(L"Setting.ini"), kNew));
  std::string bytes;
  EXPECT_FALSE(files.ReadAll(Path(L"Setting.ini"), bytes));
  EXPECT_NE(GetFileAttributesW(WidePath(L"Setting.ini").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FileSystemTest, HiddenFilesExistAndStayHiddenWhenReplaced) {
  auto createHidden = [&](const std::wstring& name) {
    HANDLE h = CreateFileW(WidePath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return (GetFileAttributesW(WidePath(name).c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0;
  };
  // Wine keeps DOS attributes in extended attributes; where the file system has
  // none, only a dot name reads as hidden.
  std::wstring name = L"TransG32.dll";
  if (!createHidden(name)) {
    DeleteFileW(WidePath(name).c_str());
    name = L".TransG32.dll";
    ASSERT_TRUE(createHidden(name));
  }

  EXPECT_TRUE(files.Exists(Path(name)));
  ASSERT_TRUE(files.WriteAtomic(Path(name), kNew));
  EXPECT_EQ(Read(name), kNew);
  const DWORD attributes = GetFileAttributesW(WidePath(name).c_str());
  EXPECT_NE(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_SYSTEM, 0u);
  EXPECT_EQ(Names(), std::vector<std::wstring>{name});
}

TEST_F(FileSystemTest, ReadsAFileThatAnotherProgramIsWriting) {
  ASSERT_TRUE(files.WriteAtomic(Path(L"log.txt"), kOld));
  HANDLE h = CreateFileW(WidePath(L"log.txt").c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Read(L"log.txt"), kOld);
  CloseHandle(h);
}

TEST_F(FileSystemTest, AnEmptyPathIsNoFile) {
  EXPECT_FALSE(files.Exists(""));
  EXPECT_FALSE(files.WriteAtomic("", kNew));
}

}  // namespace
}  // namespace tomari
