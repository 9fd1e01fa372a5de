// Win32FileSystem on real files: whole replacement, failures that leave the
// old file, hidden files, and names outside the ANSI code page.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "win32/ports/text_convert.h"
#include "win32/ports/win_files.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

const std::string kOld = "[Main]\r\nTiming= 100\r\n";
const std::string kNew = "[Main]\r\nTiming= 50\r\nSkin=\x83\x67\x83\x7D\r\n";

// A folder whose name no code page but Unicode holds.
class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr)); }
  std::string Path(const std::wstring& name) const { return WideToUtf8(dir + name); }
  std::string Read(const std::wstring& name) {
    std::string bytes;
    EXPECT_TRUE(files.ReadAll(Path(name), bytes));
    return bytes;
  }
  // Entries of the folder whose names do not start with a dot.
  int Entries() const {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"*").c_str(), &data);
    int n = 0;
    do n += data.cFileName[0] != L'.';
    while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
  }
  HANDLE Open(const std::wstring& name, DWORD access, DWORD share) {
    return CreateFileW((dir + name).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  }

  win32test::TempFolder temp;
  const std::wstring dir = temp / L"トマリギ 시험 😀\\";
  Win32FileSystem files;
};

TEST_F(FileSystemTest, WritesReplaceWholeAndReadsShareWithOtherPrograms) {
  const std::string path = Path(L"Setting.ini");
  std::string bytes = "untouched";
  EXPECT_FALSE(files.Exists(path));
  EXPECT_FALSE(files.ReadAll(path, bytes));
  EXPECT_EQ(bytes, "untouched");
  const std::string big = kOld + std::string(3 << 20, '\x90');
  ASSERT_TRUE(files.WriteAtomic(path, big));
  EXPECT_EQ(Read(L"Setting.ini"), big);
  for (const std::size_t limit : {std::size_t{0}, std::size_t{6}, big.size() + 9}) {
    std::string head = "stale";
    std::uint64_t size = 0;
    ASSERT_TRUE(files.ReadHead(path, limit, head, size)) << limit;
    EXPECT_EQ(head, big.substr(0, limit)) << limit;
    EXPECT_EQ(size, big.size()) << limit;
  }
  // A shorter content leaves nothing of the longer one behind, nor a temporary.
  ASSERT_TRUE(files.WriteAtomic(path, kNew));
  EXPECT_EQ(Read(L"Setting.ini"), kNew);
  // Another program writing the file does not keep us from reading it.
  HANDLE writer = Open(L"Setting.ini", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Read(L"Setting.ini"), kNew);
  CloseHandle(writer);
  ASSERT_TRUE(files.WriteAtomic(Path(L"empty.bin"), ""));
  EXPECT_EQ(Read(L"empty.bin"), "");
  EXPECT_EQ(Entries(), 2) << "no temporary file is left behind";
}

TEST_F(FileSystemTest, AFailedWriteKeepsTheOldFileAndLeavesNothingBehind) {
  const std::string path = Path(L"Setting.ini");
  ASSERT_TRUE(files.WriteAtomic(path, kOld));
  // A reader of the old file sees it whole while it is replaced (Wine refuses
  // to rename over an open file: either outcome keeps the file whole).
  HANDLE reader = Open(L"Setting.ini", GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  const bool replaced = files.WriteAtomic(path, kNew);
  char buffer[256];
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(reader, buffer, sizeof(buffer), &got, nullptr));
  EXPECT_EQ(std::string(buffer, got), kOld);
  CloseHandle(reader);
  EXPECT_EQ(Read(L"Setting.ini"), replaced ? kNew : kOld);
  ASSERT_TRUE(files.WriteAtomic(path, kOld));
  // Open the way an editor or a virus scanner might: others may read, nothing else.
  HANDLE locked = Open(L"Setting.ini", GENERIC_READ, FILE_SHARE_READ);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files.WriteAtomic(path, kNew));
  EXPECT_EQ(Read(L"Setting.ini"), kOld);
  CloseHandle(locked);
  ASSERT_TRUE(SetFileAttributesW((dir + L"Setting.ini").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(files.WriteAtomic(path, kNew));
  EXPECT_EQ(Read(L"Setting.ini"), kOld);
  SetFileAttributesW((dir + L"Setting.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(CreateDirectoryW((dir + L"Folder.ini").c_str(), nullptr));
  EXPECT_FALSE(files.WriteAtomic(Path(L"Folder.ini"), kNew));
  EXPECT_FALSE(files.WriteAtomic(Path(L"missing\\Setting.ini"), kNew));
  EXPECT_FALSE(files.WriteAtomic("", kNew));
  EXPECT_FALSE(files.Exists(""));
  std::string head;
  std::uint64_t size = 0;
  EXPECT_FALSE(files.ReadHead(Path(L"Folder.ini"), 8, head, size)) << "a folder";
  EXPECT_EQ(Entries(), 2) << "Setting.ini and Folder.ini only";
}

TEST_F(FileSystemTest, HiddenFilesExistAndStayHiddenWhenReplaced) {
  const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  auto createHidden = [&](const std::wstring& name) {
    HANDLE h = CreateFileW((dir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, marks,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return (GetFileAttributesW((dir + name).c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0;
  };
  // Wine keeps DOS attributes in extended attributes; where the file system has
  // none, only a dot name reads as hidden.
  std::wstring name = L"TransG32.dll";
  if (!createHidden(name)) {
    DeleteFileW((dir + name).c_str());
    name = L".TransG32.dll";
    ASSERT_TRUE(createHidden(name));
  }
  EXPECT_TRUE(files.Exists(Path(name)));
  ASSERT_TRUE(files.WriteAtomic(Path(name), kNew));
  EXPECT_EQ(Read(name), kNew);
  EXPECT_EQ(GetFileAttributesW((dir + name).c_str()) & marks, marks);
}

}  // namespace
}  // namespace tomari
