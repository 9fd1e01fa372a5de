// The skin chooser's search over 500 skin folders (finder alone, then with the
// info read of every skin), and the text grab's collection over 5,000 children.
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "dialogs/file_finder.h"
#include "dialogs/skin_chooser.h"
#include "dialogs/text_grab.h"

using namespace tomari;

namespace {

// Skins\Skin000\Skin000.tsk ... plus a readme and an image in every folder.
class SkinTree : public Directory, public ReadOnlyFileSystem {
 public:
  explicit SkinTree(int skins) {
    auto& root = folders_["C:\\Tomari\\Skins\\"];
    for (int i = 0; i < skins; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "Skin%03d", i);
      root.push_back({name, true, 0});
      const std::string folder = std::string("C:\\Tomari\\Skins\\") + name + "\\";
      folders_[folder] = {{"back.bmp", false, 0}, {std::string(name) + ".tsk", false, 0},
                          {"readme.txt", false, 0}};
      files_[folder + name + ".tsk"] = "[Skin]\r\nName=" + std::string(name) +
                                       "\r\nVersion=1.0\r\nCopyright=bench\r\nBack=back.bmp\r\n"
                                       "[Button01]\r\nType=CLOSE\r\nLeft=0\r\nTop=0\r\n";
    }
  }
  bool List(const std::string& folder, std::vector<DirectoryEntry>& out) override {
    auto it = folders_.find(folder);
    if (it == folders_.end()) return false;
    out = it->second;
    return true;
  }
  bool FolderExists(const std::string& path) override { return folders_.count(path + "\\") != 0; }
  std::string FolderIdentity(const std::string& folder) override { return folder; }
  std::int64_t ToLocalFileTime(std::int64_t utc) override { return utc; }
  bool Exists(const std::string& path) override { return files_.count(path) != 0; }
  bool ReadAll(const std::string& path, std::string& bytes) override {
    auto it = files_.find(path);
    if (it == files_.end()) return false;
    bytes = it->second;
    return true;
  }
  bool ReadHead(const std::string& path, std::size_t limit, std::string& head,
                std::uint64_t& size) override {
    std::string all;
    if (!ReadAll(path, all)) return false;
    size = all.size();
    head = all.substr(0, limit);
    return true;
  }

 private:
  std::map<std::string, std::vector<DirectoryEntry>> folders_;
  std::map<std::string, std::string> files_;
};

// ASCII-only texts: the same bytes either way.
class PlainCodec : public TextCodec {
 public:
  unsigned AnsiCodePage() override { return 1252; }
  bool ToAnsi(const std::string& utf8, std::string& ansi) override {
    ansi = utf8;
    return true;
  }
  std::string FromAnsi(const std::string& ansi) override { return ansi; }
  bool IsLeadByte(unsigned char) override { return false; }
};

class NoImages : public ImageDecoder {
 public:
  Bitmap Decode(const std::string&) override { return {}; }
  bool ReadPngWithLibrary(const std::string&, int, int, Bitmap&) override { return false; }
};

class BigForm : public WindowTexts {
 public:
  explicit BigForm(int children) {
    for (int i = 0; i < children; ++i) {
      kids_.push_back(static_cast<WindowHandle>(0x1000 + i));
      texts_.push_back("Label " + std::to_string(i));
    }
  }
  std::int64_t NowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  std::string Title(WindowHandle) override { return "Big form"; }
  std::vector<WindowHandle> Descendants(WindowHandle) override { return kids_; }
  std::string TextByMessage(WindowHandle h, int) override { return texts_[h - 0x1000]; }
  MenuHandle MenuBar(WindowHandle) override { return 0; }
  MenuHandle SystemMenu(WindowHandle) override { return 0; }
  int MenuItemCount(MenuHandle) override { return 0; }
  std::string MenuItemText(MenuHandle, int) override { return {}; }
  MenuHandle SubMenu(MenuHandle, int) override { return 0; }

 private:
  std::vector<WindowHandle> kids_;
  std::vector<std::string> texts_;
};

class NullClipboard : public TextClipboard {
 public:
  bool SetText(const std::string&) override { return true; }
};

template <typename F>
double MillisecondsPerRun(int runs, F&& f) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) f();
  const std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - start;
  return d.count() / runs;
}

}  // namespace

int main() {
  SkinTree tree(500);
  PlainCodec codec;
  NoImages images;
  PreviewSources sources{tree, codec, images, false, "C:\\Tomari\\"};

  std::size_t found = 0;
  const double finder = MillisecondsPerRun(20, [&] {
    FileFinder f(tree);
    f.SetPattern("*.tsk");
    f.onFind = [&](const std::string&) { ++found; };
    f.SearchFiles("C:\\Tomari\\Skins");
  });
  std::printf("finder, 500 skin folders:          %8.3f ms per search (%zu files per search)\n",
              finder, found / 20);

  std::size_t listed = 0;
  const double chooser = MillisecondsPerRun(20, [&] {
    SkinChooserModel m(tree, sources, "C:\\Tomari\\", "C:\\Tomari\\Skins\\Skin250\\Skin250.tsk");
    m.Search();
    listed = m.Entries().size();
  });
  std::printf("chooser list with info, 500 skins: %8.3f ms per search (%zu entries)\n", chooser,
              listed);

  BigForm form(5000);
  NullClipboard clipboard;
  TextGrabModel grab(form, clipboard);
  const double collect = MillisecondsPerRun(20, [&] { grab.Collect(0x100); });
  std::printf("text grab, 5,000 children:         %8.3f ms per collection (%zu entries)\n", collect,
              grab.Entries().size());
  return 0;
}
