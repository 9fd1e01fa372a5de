// The system's save dialog and message boxes as a capture opens them, answered
// from another thread the way a user would: what they show, who owns them, and
// what the answers lead to.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commands/capture.h"
#include "commands/capture_save.h"
#include "win32/capture_test_support.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_capture.h"
#include "win32/ports/win_imaging.h"
#include "win32/ports/win_prompts.h"
#include "win32/skin_test_files.h"

namespace {

using capturetest::CaptureRig;
using capturetest::CountOffBars;
using capturetest::DialogDriver;
using capturetest::FakeWidgetWindow;
using capturetest::Press;
using capturetest::SeenDialog;
using tomari::CaptureOutcome;
using tomari::FromHwnd;

const std::wstring kSaveTitle = L"キャプチャ画像の保存";
const std::wstring kOverwriteTitle = L"上書き確認";

// Types `name` into the file dialog, picks filter `item` (0-based; -1 leaves
// it) and presses Save.
std::function<void(HWND)> SaveAs(std::wstring name, int item = -1) {
  return [name, item](HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, capturetest::kFileTypeCombo); combo && item >= 0) {
      SendMessageTimeoutW(combo, CB_SETCURSEL, item, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
      // What a pick with the mouse sends: Windows acts on the first, Wine on the second.
      for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(capturetest::kFileTypeCombo, code),
                            reinterpret_cast<LPARAM>(combo), SMTO_ABORTIFHUNG, 2000, nullptr);
    }
    if (HWND field = capturetest::FileNameField(dialog))
      SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    Press(dialog, IDOK);
  };
}

std::function<void(HWND)> Answer(int button) {
  return [button](HWND dialog) { Press(dialog, button); };
}

class CaptureDialogsWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(target.Start(L"--rect 100,50,400,300 --title DialogTarget --topmost"));
    ASSERT_TRUE(library.Load(tomari::WideToUtf8(skintest::DistDir())));
    rig.app.TargetWindow = FromHwnd(target.hwnd());
    rig.app.settings.CaptureSaveFolder = folder.Utf8();
    GetClientRect(target.hwnd(), &client);
    win32test::Pump(300);
  }
  tomari::Bitmap Decode(const std::wstring& name) {
    return decoder.Decode(tomari::WideToUtf8(folder / name));
  }

  win32test::Target target;
  skintest::TempFolder folder;
  tomari::ImageLibrary library;
  FakeWidgetWindow widget{RECT{800, 600, 864, 632}, RGB(0, 0, 0)};
  tomari::Win32Prompts prompts;
  tomari::Win32Capture capture{widget.hwnd(), &library};
  CaptureRig rig{nullptr, widget, prompts, capture};
  tomari::Win32ImageDecoder decoder;
  RECT client{};
};

TEST_F(CaptureDialogsWin32, SaveDialogOffersTheThreeTypesOnBmpAndTheChosenOneIsWritten) {
  rig.app.settings.CaptureFileType = tomari::kFileJpeg;  // the dialog still starts on BMP
  DialogDriver driver({{kSaveTitle, SaveAs(L"shot", 2)}});
  const tomari::CaptureResult r = rig.Capture(1, 1, 0);
  const auto& seen = driver.Finish();
  ASSERT_EQ(seen.size(), 1u);
  const SeenDialog& d = seen[0];
  EXPECT_EQ(d.owner, widget.hwnd()) << "owned by the widget, so never beneath a top-most target";
  EXPECT_EQ(d.filterItems, (std::vector<std::wstring>{L"WindowsBitmap(*.bmp)",
                                                      L"JointPhotographExpertsGroup(*.jpg)",
                                                      L"PortableNetworkGraphics(*.png)"}));
  EXPECT_EQ(d.filterSelection, 0);
  EXPECT_EQ(d.fileName, L"Capture");

  EXPECT_EQ(r.outcome, CaptureOutcome::Saved);
  EXPECT_EQ(r.path, folder.Utf8(L"shot.png"));
  const tomari::Bitmap png = Decode(L"shot.png");
  ASSERT_EQ(png.width, client.right);
  EXPECT_EQ(CountOffBars(png, 0, 0, png.width, png.height), 0);
  EXPECT_EQ(folder.Count(), 1);
  EXPECT_FALSE(rig.app.Busy);
}

TEST_F(CaptureDialogsWin32, OverwriteQuestionThenNoThenANewNameWithoutExtension) {
  ASSERT_TRUE(skintest::WriteBytes(folder / L"2003_01_17_17_30_05.bmp", "old"));
  DialogDriver driver({{kOverwriteTitle, Answer(IDNO)}, {kSaveTitle, SaveAs(L"renamed")}});
  const tomari::CaptureResult r = rig.Capture(1, 1, 1);
  const auto& seen = driver.Finish();
  ASSERT_EQ(seen.size(), 2u);

  const SeenDialog& question = seen[0];
  EXPECT_EQ(question.owner, widget.hwnd());
  std::wstring text;
  for (const auto& t : question.texts) text += t;
  EXPECT_EQ(text,
            L"同名のファイルが存在します。\r\n\"2003_01_17_17_30_05.bmp\"\r\n上書きしますか？");
  std::vector<int> buttons = question.buttons;
  std::sort(buttons.begin(), buttons.end());
  EXPECT_EQ(buttons, (std::vector<int>{IDCANCEL, IDYES, IDNO}));

  const SeenDialog& dialog = seen[1];
  EXPECT_EQ(dialog.fileName, L"2003_01_17_17_30_05.bmp");
  EXPECT_EQ(dialog.filterSelection, 0);

  EXPECT_EQ(r.outcome, CaptureOutcome::Saved);
  EXPECT_EQ(r.path, folder.Utf8(L"renamed"));
  EXPECT_EQ(skintest::ReadBytes(folder / L"2003_01_17_17_30_05.bmp"), "old");
  const std::string bytes = skintest::ReadBytes(folder / L"renamed");
  ASSERT_GT(bytes.size(), 58u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(CountOffBars(Decode(L"renamed"), 0, 0, client.right, client.bottom), 0);
}

}  // namespace
