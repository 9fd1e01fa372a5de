// A capture from start to end over the fake desktop: where the picture goes,
// how a file is named and when the user is asked, and what a failure leaves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/bmp_file.h"
#include "commands/capture.h"
#include "commands/capture_save.h"
#include "perch/tracking.h"
#include "support/world.h"

namespace tomari {
namespace {

constexpr WindowHandle kTarget = 0x100;
const std::string kDateBase = "C:\\Shots\\2003_01_17_17_30_05";
const std::string kDateBmp = kDateBase + ".bmp";

struct CaptureWorld : test::World {
  const Bitmap whole = test::Gradient(640, 480);
  const Bitmap inside = test::Gradient(632, 453);

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
  // The overwrite question about `name`, the i-th message box.
  void ExpectAskedAbout(std::size_t i, const std::string& name) {
    ASSERT_LT(i, prompts.messages.size());
    const auto& m = prompts.messages[i];
    EXPECT_EQ(m.text, "同名のファイルが存在します。\r\n\"" + name + "\"\r\n上書きしますか？");
    EXPECT_EQ(m.title + " " + std::to_string(m.style) + " " + std::to_string(m.owner),
              "上書き確認 35 16");
  }
};

TEST(CaptureNothing, AnEmptyPictureOrNoTargetChangesNothing) {
  for (int c : {0, 1, 2, 3}) {
    CaptureWorld w;
    w.capture.windows[kTarget].inside = Bitmap(0, 453);  // a minimized window's inside
    w.app.settings.CaptureSaveType = 1;
    if (c >= 2) w.app.TargetWindow = c == 2 ? test::kWidget : 0;  // nothing attached
    EXPECT_EQ(w.Capture(1, c == 1, -1).outcome, CaptureOutcome::NoPicture) << c;
    EXPECT_TRUE(w.capture.widgetShown && !w.app.Busy) << c;
    // Neither the clipboard nor a writer is used; with no target the widget
    // is not even hidden.
    EXPECT_EQ(w.capture.log.size(), c >= 2 ? 0u : 3u) << c;
  }
}

TEST(CaptureToClipboard, ThePictureIsCopiedOrTheUserIsToldItWasNot) {
  for (bool held : {false, true}) {
    CaptureWorld w;
    w.capture.clipboardHeld = held;
    EXPECT_EQ(w.Capture(0, 0, -1).outcome,
              held ? CaptureOutcome::ClipboardUnavailable : CaptureOutcome::Copied);
    EXPECT_EQ(w.capture.clipboard.pixels, held ? Bitmap().pixels : w.whole.pixels);
    EXPECT_EQ(w.prompts.messages.size(), held ? 1u : 0u);
    EXPECT_EQ(w.files.writeCalls, 0u);
  }
}

TEST(CaptureDateNamed, TheFileTypeDecidesWriterExtensionAndSettings) {
  const struct {
    bool library;
    int type, jpegValue, pngValue;
    const char *ext, *image;  // what the library writer was given; "" for a BMP
  } kCases[] = {
      {true, kFileBmp, 0, 0, ".bmp", ""},
      {true, kFileJpeg, 300, 0, ".jpg", "JPEG 640x480 q255 p1"},
      {true, kFilePng, 0, -4, ".png", "PNG 632x453 c0"},
      {false, kFilePng, 0, 0, ".bmp", ""},
      {true, 3, 0, 0, ".bmp", ""},
      {true, -1, 0, 0, ".bmp", ""},
  };
  for (const auto& c : kCases) {
    CaptureWorld w;
    w.app.facts.HasImageLibrary = c.library;
    w.app.settings.CaptureFileType = c.type;
    w.app.settings.CaptureJpegValue = c.jpegValue;
    w.app.settings.CaptureJpegProgressive = 5;
    w.app.settings.CapturePngValue = c.pngValue;
    const CaptureResult r = w.Capture(c.type == kFilePng && c.library, 1, 1);
    EXPECT_EQ(r.outcome, CaptureOutcome::Saved) << c.type;
    EXPECT_EQ(r.path, kDateBase + c.ext) << c.type;
    if (*c.image)
      EXPECT_EQ(w.capture.images, std::vector<std::string>{c.image}) << c.type;
    else
      EXPECT_EQ(w.files.Get(kDateBmp), BmpFileBytes(w.whole)) << c.type;
  }
}

struct CaptureOverwrite : ::testing::Test {
  CaptureWorld w;
  CaptureOverwrite() { w.files.Put(kDateBmp, "old picture"); }
};

TEST_F(CaptureOverwrite, NoOpensTheDialogInTheFileFolderAndTheNewNameGetsNoExtension) {
  w.app.settings.CaptureFileType = kFilePng;
  w.files.Put(kDateBase + ".png", "old png");
  w.prompts.AnswerMessage(kIdNo);
  w.prompts.ChooseInDialog("C:\\Other\\renamed", 2);
  EXPECT_EQ(w.Capture(0, 1, 1).path, "C:\\Other\\renamed");
  ASSERT_EQ(w.prompts.dialogs.size(), 1u);
  const auto& d = w.prompts.dialogs[0];
  EXPECT_EQ(d.initialFolder + "|" + d.defaultName, "C:\\Shots\\|2003_01_17_17_30_05.png");
  EXPECT_EQ(d.filterIndex, 3) << "the dialog starts on the file's type";
  EXPECT_EQ(w.capture.log.back(), "WriteJpeg C:\\Other\\renamed")
      << "the filter decides the writer";
}

TEST_F(CaptureOverwrite, CancelWritesNothingAndEveryNameChosenIsAskedAbout) {
  w.prompts.AnswerMessage(kIdCancel);
  EXPECT_EQ(w.Capture(0, 1, 1).outcome, CaptureOutcome::Declined);
  w.prompts.AnswerMessage(kIdNo);
  w.prompts.CancelDialog();
  EXPECT_EQ(w.Capture(0, 1, 1).outcome, CaptureOutcome::Declined);
  EXPECT_EQ(w.prompts.messages.size(), 2u) << "no box after a cancelled dialog";
  // A name typed into the dialog is checked too (".bmp" gets added).
  w.prompts.ChooseInDialog("C:\\Shots\\2003_01_17_17_30_05", 1);
  w.prompts.AnswerMessage(kIdCancel);
  EXPECT_EQ(w.Capture(0, 1, 0).outcome, CaptureOutcome::Declined);
  w.ExpectAskedAbout(2, "2003_01_17_17_30_05.bmp");
  EXPECT_EQ(w.files.writeCalls, 0u);
  // A new name that also exists is asked about in its turn.
  w.files.Put("C:\\Shots\\taken.bmp", "also old");
  w.prompts.AnswerMessage(kIdNo);
  w.prompts.ChooseInDialog("C:\\Shots\\taken.bmp", 1);
  w.prompts.AnswerMessage(kIdYes);
  EXPECT_EQ(w.Capture(0, 1, 1).path, "C:\\Shots\\taken.bmp");
  w.ExpectAskedAbout(3, "2003_01_17_17_30_05.bmp");
  w.ExpectAskedAbout(4, "taken.bmp");
  EXPECT_EQ(w.files.Get("C:\\Shots\\taken.bmp"), BmpFileBytes(w.whole));
}

TEST(CaptureBusy, TheWidgetDoesNotFollowTheForegroundWhileTheDialogIsOpen) {
  CaptureWorld w;
  w.AddTarget(0x200);
  TrackingTick(w.app, w.ports);  // no foreground window yet: nothing to follow
  w.desktop.SetForegroundWindow(0x200);
  w.prompts.whileOpen = [&] { TrackingTick(w.app, w.ports); };
  w.prompts.CancelDialog();
  w.Capture(0, 1, 0);
  EXPECT_EQ(w.app.TargetWindow, kTarget);
}

}  // namespace
}  // namespace tomari
