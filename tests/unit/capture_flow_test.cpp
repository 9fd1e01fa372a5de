// A capture from start to end over the fake desktop: where the picture goes,
// how a file is named and when the user is asked, and what a failure leaves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/capture.h"
#include "commands/bmp_file.h"
#include "commands/capture_save.h"
#include "perch/tracking.h"
#include "support/fake_capture.h"
#include "support/fake_prompts.h"
#include "support/world.h"

namespace tomari {
namespace {

using test::FakeCapture;
using test::FakePrompts;
using test::Gradient;
using test::kWidget;

constexpr WindowHandle kTarget = 0x100;
constexpr WindowHandle kOther = 0x200;
const std::string kDateBase = "C:\\Shots\\2003_01_17_17_30_05";

struct CaptureWorld : test::World {
  const Bitmap whole = Gradient(640, 480);
  const Bitmap inside = Gradient(632, 453);

  CaptureWorld() {
    desktop.AddWindow(kTarget, "Target", "TargetClass", Rect{100, 50, 740, 530});
    capture.windows[kTarget] = {whole, inside};
    app.TargetWindow = kTarget;
    app.facts.HasImageLibrary = true;
    app.settings.CaptureSaveFolder = "C:\\Shots\\";
    files.AddFolder("C:\\Shots");
    clock.local = DateTime{2003, 1, 17, 17, 30, 5, 250, 5};
  }
  CaptureResult Capture(int insideFlag, int toFile, int dateName) {
    return CaptureTarget(app, ports, insideFlag, toFile, dateName);
  }
  // Nothing was asked, written or copied.
  void ExpectNoOutput() {
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(prompts.dialogs.empty());
    EXPECT_FALSE(capture.clipboardHasPicture);
    EXPECT_EQ(files.writeCalls, 0u);
  }
};

// ---- destination: settings, -1 and the button words ---------------------------

TEST(CaptureDestinations, MinusOneTakesTheSettingAndAnyOtherValueIsUsedAsGiven) {
  const struct {
    int type, saveType;  // CaptureType, CaptureSaveType
    int toFile, dateName;
    const char* expected;  // "clipboard", "date" or "dialog"
  } kCases[] = {
      // clang-format off
      {0, 1, -1, -1, "clipboard"}, {0, 0, -1, 1, "clipboard"},  // CaptureType 0 wins
      {1, 1, 0, -1, "clipboard"},  {1, 0, 0, 1, "clipboard"},   // COPY whatever SaveType says
      {1, 1, -1, -1, "date"},      {1, 0, -1, -1, "dialog"},
      {0, 0, 1, 1, "date"},        {0, 1, 1, 0, "dialog"},       // FILESAVE, DATESAVE
      {0, 0, 2, -5, "date"},       {0, 1, -2, 0, "dialog"},      // non-zero is true
      {7, 3, -1, -1, "date"},
      // clang-format on
  };
  for (const auto& c : kCases) {
    CaptureWorld w;
    w.app.settings.CaptureType = c.type;
    w.app.settings.CaptureSaveType = c.saveType;
    w.prompts.CancelDialog();
    w.Capture(0, c.toFile, c.dateName);
    const std::string got = w.capture.clipboardHasPicture        ? "clipboard"
                            : !w.prompts.dialogs.empty()         ? "dialog"
                            : w.files.Exists(kDateBase + ".bmp") ? "date"
                                                                 : "none";
    EXPECT_EQ(got, c.expected) << "CaptureType " << c.type << " SaveType " << c.saveType
                               << " toFile " << c.toFile << " dateName " << c.dateName;
  }
}

TEST(CaptureDestinations, ButtonWordsAreReadInAnyCaseAndOthersLeaveItToTheSettings) {
  EXPECT_EQ(ParseCaptureDestination("FILESAVE"), (CaptureDestination{1, 0}));
  EXPECT_EQ(ParseCaptureDestination("datesave"), (CaptureDestination{1, 1}));
  EXPECT_EQ(ParseCaptureDestination("Copy"), (CaptureDestination{0, -1}));
  for (const char* other : {"", "SAVE", " COPY", "COPY ", "コピー", "FILESAVE2"})
    EXPECT_EQ(ParseCaptureDestination(other), (CaptureDestination{-1, -1})) << other;

  CaptureWorld w;
  w.app.settings.CaptureType = 1;
  w.app.settings.CaptureSaveType = 1;
  CaptureTarget(w.app, w.ports, 1, ParseCaptureDestination("copy"));
  EXPECT_TRUE(w.capture.clipboardHasPicture);
  EXPECT_FALSE(w.files.Exists(kDateBase + ".bmp"));
}

// ---- the clipboard ----------------------------------------------------------------

TEST(CaptureClipboard, WholeAndInsidePicturesGoThereOpenedByOurWidget) {
  CaptureWorld w;
  EXPECT_EQ(w.Capture(0, 0, -1).outcome, CaptureOutcome::Copied);
  EXPECT_EQ(w.capture.clipboard.width, 640);
  EXPECT_EQ(w.capture.clipboard.pixels, w.whole.pixels);
  EXPECT_EQ(w.capture.clipboardOwner, kWidget) << "never on behalf of the captured program";

  EXPECT_EQ(w.Capture(1, 0, -1).outcome, CaptureOutcome::Copied);
  EXPECT_EQ(w.capture.clipboard.width, 632);
  EXPECT_EQ(w.capture.clipboard.height, 453);
  EXPECT_EQ(w.capture.clipboard.pixels, w.inside.pixels);
  EXPECT_TRUE(w.prompts.messages.empty());
  EXPECT_EQ(w.files.writeCalls, 0u);
}

TEST(CaptureClipboard, TheWidgetIsOffTheScreenOnlyWhileThePixelsAreTaken) {
  CaptureWorld w;
  bool busyWhileTaking = false;
  w.capture.onCapture = [&] { busyWhileTaking = w.app.Busy; };
  const int redraws = w.widget.redraws;
  w.Capture(0, 0, -1);
  EXPECT_EQ(w.capture.log, (std::vector<std::string>{"HideWidget", "Capture 0x100 whole",
                                                     "ShowWidget", "Clipboard 0x10"}));
  EXPECT_FALSE(w.capture.widgetInLastPicture);
  EXPECT_TRUE(w.capture.widgetShown);
  EXPECT_TRUE(busyWhileTaking);
  EXPECT_FALSE(w.app.Busy);
  EXPECT_EQ(w.widget.redraws, redraws + 1) << "the buttons are drawn again afterwards";
}

TEST(CaptureClipboard, ABusyClipboardIsReportedAndLeftAsItWas) {
  CaptureWorld w;
  w.capture.clipboardLocked = true;
  EXPECT_EQ(w.Capture(0, 0, -1).outcome, CaptureOutcome::ClipboardUnavailable);
  EXPECT_FALSE(w.capture.clipboardHasPicture);
  ASSERT_EQ(w.prompts.messages.size(), 1u);
  const auto& m = w.prompts.messages[0];
  EXPECT_EQ(m.owner, kWidget);
  EXPECT_EQ(m.title, kDisplayName);
  EXPECT_EQ(m.style, kMbOk | kMbIconExclamation);
  EXPECT_NE(m.text.find("クリップボード"), std::string::npos) << m.text;
}

// ---- nothing to capture --------------------------------------------------------------

TEST(CaptureNothing, AWindowWithoutWidthOrHeightChangesNothing) {
  for (int toFile : {0, 1}) {
    CaptureWorld w;
    w.capture.windows[kTarget].inside = Bitmap(0, 453);  // a minimized window's inside
    w.app.settings.CaptureSaveType = 1;
    EXPECT_EQ(w.Capture(1, toFile, -1).outcome, CaptureOutcome::NoPicture);
    w.ExpectNoOutput();
    EXPECT_TRUE(w.capture.widgetShown);
    EXPECT_FALSE(w.app.Busy);
  }
}

TEST(CaptureNothing, WithoutATargetTheWidgetIsNotEvenHidden) {
  CaptureWorld w;
  w.app.TargetWindow = kWidget;  // nothing attached
  EXPECT_EQ(w.Capture(0, 0, -1).outcome, CaptureOutcome::NoPicture);
  w.app.TargetWindow = 0;
  EXPECT_EQ(w.Capture(0, 1, 1).outcome, CaptureOutcome::NoPicture);
  EXPECT_TRUE(w.capture.log.empty());
  w.ExpectNoOutput();
}

// ---- date-named files ------------------------------------------------------------------

TEST(CaptureDateNamed, BmpGoesToTheSaveFolderUnderTheLocalTime) {
  CaptureWorld w;
  const CaptureResult r = w.Capture(0, 1, 1);
  EXPECT_EQ(r.outcome, CaptureOutcome::Saved);
  EXPECT_EQ(r.path, kDateBase + ".bmp");
  EXPECT_EQ(w.files.Get(kDateBase + ".bmp"), BmpFileBytes(w.whole));
  w.Capture(1, 1, 1);  // same second: the user is asked, and says nothing (Cancel)
  EXPECT_EQ(w.files.Get(kDateBase + ".bmp"), BmpFileBytes(w.whole));
  EXPECT_TRUE(w.prompts.dialogs.empty());
}

TEST(CaptureDateNamed, JpegAndPngGoThroughTheLibraryWithTheirSettings) {
  CaptureWorld w;
  w.app.settings.CaptureFileType = kFileJpeg;
  w.app.settings.CaptureJpegValue = 73;
  w.app.settings.CaptureJpegProgressive = 5;
  EXPECT_EQ(w.Capture(0, 1, 1).path, kDateBase + ".jpg");
  w.clock.local.second = 6;
  w.app.settings.CaptureFileType = kFilePng;
  w.app.settings.CapturePngValue = 2;
  EXPECT_EQ(w.Capture(1, 1, 1).path, "C:\\Shots\\2003_01_17_17_30_06.png");

  ASSERT_EQ(w.capture.images.size(), 2u);
  const auto& jpeg = w.capture.images[0];
  EXPECT_EQ(jpeg.format, "JPEG");
  EXPECT_EQ(jpeg.path, kDateBase + ".jpg");
  EXPECT_EQ(jpeg.width, 640);
  EXPECT_EQ(jpeg.height, 480);
  EXPECT_EQ(jpeg.quality, 73);
  EXPECT_TRUE(jpeg.progressive);
  const auto& png = w.capture.images[1];
  EXPECT_EQ(png.format, "PNG");
  EXPECT_EQ(png.width, 632);
  EXPECT_EQ(png.choice, 2);
}

TEST(CaptureDateNamed, OutOfRangeLibraryValuesGoToTheNearestByteValue) {
  CaptureWorld w;
  w.app.settings.CaptureFileType = kFileJpeg;
  w.app.settings.CaptureJpegValue = 300;
  w.Capture(0, 1, 1);
  w.clock.local.second = 6;
  w.app.settings.CaptureFileType = kFilePng;
  w.app.settings.CapturePngValue = -4;
  w.Capture(0, 1, 1);
  ASSERT_EQ(w.capture.images.size(), 2u);
  EXPECT_EQ(w.capture.images[0].quality, 255) << "not 300 - 256 = 44";
  EXPECT_EQ(w.capture.images[1].choice, 0);
}

TEST(CaptureDateNamed, WithoutTheLibraryOrWithAnUnknownTypeTheFileIsBmp) {
  const struct {
    bool library;
    int type;
  } kCases[] = {{false, kFilePng}, {true, 3}, {true, -1}};
  for (const auto& c : kCases) {
    CaptureWorld w;
    w.app.facts.HasImageLibrary = c.library;
    w.app.settings.CaptureFileType = c.type;
    EXPECT_EQ(w.Capture(0, 1, 1).path, kDateBase + ".bmp") << c.type;
    EXPECT_EQ(w.files.Get(kDateBase + ".bmp"), BmpFileBytes(w.whole)) << c.type;
    EXPECT_TRUE(w.capture.images.empty());
  }
}

// ---- the save dialog ----------------------------------------------------------------------

TEST(CaptureSaveDialog, OpensOwnedByTheWidgetOnBmpWithTheDefaultName) {
  CaptureWorld w;
  w.app.settings.CaptureFileType = kFilePng;  // not what the dialog starts with
  w.prompts.CancelDialog();
  EXPECT_EQ(w.Capture(0, 1, 0).outcome, CaptureOutcome::Declined);
  ASSERT_EQ(w.prompts.dialogs.size(), 1u);
  SaveDialogRequest expected;
  expected.owner = kWidget;
  expected.title = "キャプチャ画像の保存";
  expected.filter = SaveDialogFilter(true);
  expected.initialFolder = "C:\\Shots\\";
  expected.defaultName = "Capture";
  expected.filterIndex = 1;
  EXPECT_EQ(w.prompts.dialogs[0], expected);
  EXPECT_EQ(w.files.writeCalls, 0u);
  EXPECT_TRUE(w.prompts.messages.empty()) << "a cancelled dialog is silent";

  // Without the library only BMP is offered.
  w.app.facts.HasImageLibrary = false;
  w.prompts.CancelDialog();
  w.Capture(0, 1, 0);
  ASSERT_EQ(w.prompts.dialogs.size(), 2u);
  EXPECT_EQ(w.prompts.dialogs[1].filter, SaveDialogFilter(false));
}

TEST(CaptureSaveDialog, TheFilterLeftSelectedDecidesTypeAndExtension) {
  const struct {
    const char* typed;
    int filterIndex;
    const char* written;
    const char* writer;  // the log entry's first word
  } kCases[] = {
      {"C:\\x\\shot.BMP", 1, "C:\\x\\shot.BMP", "WriteFile"},
      {"C:\\x\\shot", 3, "C:\\x\\shot.png", "WritePng"},
      {"C:\\x\\shot.jpeg", 2, "C:\\x\\shot.jpeg.jpg", "WriteJpeg"},
      {"C:\\x\\shot.png", 1, "C:\\x\\shot.png.bmp", "WriteFile"},
  };
  for (const auto& c : kCases) {
    CaptureWorld w;
    w.prompts.ChooseInDialog(c.typed, c.filterIndex);
    const CaptureResult r = w.Capture(0, 1, 0);
    EXPECT_EQ(r.outcome, CaptureOutcome::Saved) << c.typed;
    EXPECT_EQ(r.path, c.written);
    EXPECT_TRUE(w.files.Exists(c.written)) << c.written;
    EXPECT_EQ(w.capture.log.back(), std::string(c.writer) + " " + c.written);
  }
}

// ---- the overwrite question ----------------------------------------------------------------

struct CaptureOverwrite : ::testing::Test {
  CaptureWorld w;
  const std::string path = kDateBase + ".bmp";
  CaptureOverwrite() { w.files.Put(path, "old picture"); }
  void ExpectAskedAbout(std::size_t i, const std::string& name) {
    ASSERT_LT(i, w.prompts.messages.size());
    const auto& m = w.prompts.messages[i];
    EXPECT_EQ(m.text, "同名のファイルが存在します。\r\n\"" + name + "\"\r\n上書きしますか？");
    EXPECT_EQ(m.title, "上書き確認");
    EXPECT_EQ(m.style, 35u);
    EXPECT_EQ(m.owner, kWidget);
  }
};

TEST_F(CaptureOverwrite, YesReplacesTheFileInOneWrite) {
  w.prompts.AnswerMessage(kIdYes);
  EXPECT_EQ(w.Capture(0, 1, 1).outcome, CaptureOutcome::Saved);
  ExpectAskedAbout(0, "2003_01_17_17_30_05.bmp");
  EXPECT_EQ(w.files.Get(path), BmpFileBytes(w.whole));
  EXPECT_EQ(w.files.WriteCount(path), 1u);
}

TEST_F(CaptureOverwrite, AFailedWriteAfterYesKeepsTheOldFileAndSaysWhy) {
  w.prompts.AnswerMessage(kIdYes);
  w.capture.failReason = "ディスクに空きがありません。";
  const CaptureResult r = w.Capture(0, 1, 1);
  EXPECT_EQ(r.outcome, CaptureOutcome::WriteFailed);
  EXPECT_EQ(w.files.Get(path), "old picture");
  ASSERT_EQ(w.prompts.messages.size(), 2u);
  const auto& m = w.prompts.messages[1];
  EXPECT_NE(m.text.find("\"" + path + "\""), std::string::npos) << m.text;
  EXPECT_NE(m.text.find("ディスクに空きがありません。"), std::string::npos) << m.text;
  EXPECT_EQ(m.owner, kWidget);
  EXPECT_EQ(m.style, kMbOk | kMbIconExclamation);
}

TEST_F(CaptureOverwrite, NoOpensTheDialogInTheFileFolderAndTheNewNameGetsNoExtension) {
  w.app.settings.CaptureFileType = kFilePng;
  w.files.Put(kDateBase + ".png", "old png");
  w.prompts.AnswerMessage(kIdNo);
  w.prompts.ChooseInDialog("C:\\Other\\renamed", 2);
  const CaptureResult r = w.Capture(0, 1, 1);
  EXPECT_EQ(r.outcome, CaptureOutcome::Saved);
  EXPECT_EQ(r.path, "C:\\Other\\renamed");
  ASSERT_EQ(w.prompts.dialogs.size(), 1u);
  const auto& d = w.prompts.dialogs[0];
  EXPECT_EQ(d.initialFolder, "C:\\Shots\\");
  EXPECT_EQ(d.defaultName, "2003_01_17_17_30_05.png");
  EXPECT_EQ(d.filterIndex, 3) << "the dialog starts on the file's type";
  EXPECT_EQ(d.owner, kWidget);
  ASSERT_EQ(w.capture.images.size(), 1u);
  EXPECT_EQ(w.capture.images[0].format, "JPEG") << "the filter chosen decides the writer";
  EXPECT_EQ(w.files.Get(kDateBase + ".png"), "old png");
}

TEST_F(CaptureOverwrite, ANewNameThatAlsoExistsIsAskedAboutAgain) {
  w.files.Put("C:\\Shots\\taken.bmp", "also old");
  w.prompts.AnswerMessage(kIdNo);
  w.prompts.ChooseInDialog("C:\\Shots\\taken.bmp", 1);
  w.prompts.AnswerMessage(kIdYes);
  EXPECT_EQ(w.Capture(0, 1, 1).path, "C:\\Shots\\taken.bmp");
  ExpectAskedAbout(0, "2003_01_17_17_30_05.bmp");
  ExpectAskedAbout(1, "taken.bmp");
  EXPECT_EQ(w.files.Get("C:\\Shots\\taken.bmp"), BmpFileBytes(w.whole));
  EXPECT_EQ(w.files.Get(path), "old picture");
  EXPECT_EQ(w.prompts.unscripted, 0);
}

TEST_F(CaptureOverwrite, CancelOrACancelledDialogWritesNothing) {
  w.prompts.AnswerMessage(kIdCancel);
  EXPECT_EQ(w.Capture(0, 1, 1).outcome, CaptureOutcome::Declined);
  EXPECT_EQ(w.prompts.messages.size(), 1u);

  w.prompts.AnswerMessage(kIdNo);
  w.prompts.CancelDialog();
  EXPECT_EQ(w.Capture(0, 1, 1).outcome, CaptureOutcome::Declined);
  EXPECT_EQ(w.prompts.messages.size(), 2u) << "no box after a cancelled dialog";
  EXPECT_EQ(w.files.writeCalls, 0u);
  EXPECT_EQ(w.files.Get(path), "old picture");
  EXPECT_EQ(w.prompts.unscripted, 0);
}

TEST_F(CaptureOverwrite, ADialogFileNameIsCheckedToo) {
  w.prompts.ChooseInDialog("C:\\Shots\\2003_01_17_17_30_05", 1);  // ".bmp" gets added
  w.prompts.AnswerMessage(kIdCancel);
  EXPECT_EQ(w.Capture(0, 1, 0).outcome, CaptureOutcome::Declined);
  ExpectAskedAbout(0, "2003_01_17_17_30_05.bmp");
  EXPECT_EQ(w.files.Get(path), "old picture");
}

// ---- the widget stays put while the user is asked ---------------------------------------------

TEST(CaptureBusy, TheWidgetDoesNotFollowTheForegroundWhileTheDialogIsOpen) {
  CaptureWorld w;
  w.desktop.AddWindow(kOther, "Other", "OtherClass", Rect{300, 300, 500, 400});
  TrackingTick(w.app, w.ports);  // no foreground window yet: nothing to follow
  w.desktop.SetForegroundWindow(kOther);
  const auto movesBefore = w.widget.moves.size();
  bool busyInDialog = false;
  w.prompts.whileOpen = [&] {
    busyInDialog = w.app.Busy;
    TrackingTick(w.app, w.ports);
    TrackingTick(w.app, w.ports);
  };
  w.prompts.CancelDialog();
  w.Capture(0, 1, 0);
  EXPECT_TRUE(busyInDialog);
  EXPECT_EQ(w.widget.moves.size(), movesBefore);
  EXPECT_EQ(w.app.TargetWindow, kTarget);

  TrackingTick(w.app, w.ports);  // after the capture the tick carries on
  EXPECT_EQ(w.app.TargetWindow, kOther);
}

TEST(CaptureBusy, ACaptureInsideABusyTimeLeavesItBusy) {
  CaptureWorld w;
  w.app.Busy = true;
  w.Capture(0, 0, -1);
  EXPECT_TRUE(w.app.Busy);
  EXPECT_TRUE(w.capture.clipboardHasPicture);
}

}  // namespace
}  // namespace tomari
