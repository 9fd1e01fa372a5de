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

using test::Gradient;
using test::kWidget;

constexpr WindowHandle kTarget = 0x100;
const std::string kDateBase = "C:\\Shots\\2003_01_17_17_30_05";
const std::string kDateBmp = kDateBase + ".bmp";

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
  // The overwrite question about `name`, the i-th message box.
  void ExpectAskedAbout(std::size_t i, const std::string& name) {
    ASSERT_LT(i, prompts.messages.size());
    const auto& m = prompts.messages[i];
    EXPECT_EQ(m.text, "同名のファイルが存在します。\r\n\"" + name + "\"\r\n上書きしますか？");
    EXPECT_EQ(m.title + " " + std::to_string(m.style) + " " + std::to_string(m.owner),
              "上書き確認 35 16");
  }
};

TEST(CaptureDestinations, MinusOneTakesTheSettingAndAnyOtherValueIsUsedAsGiven) {
  const struct {
    int type, saveType;  // CaptureType, CaptureSaveType
    int toFile, dateName;
    const char* expected;
  } kCases[] = {
      {0, 1, -1, -1, "clipboard"}, {0, 0, -1, 1, "clipboard"},  // CaptureType 0 wins
      {1, 1, 0, -1, "clipboard"},  {1, 0, 0, 1, "clipboard"},   // COPY whatever SaveType says
      {1, 1, -1, -1, "date"},      {1, 0, -1, -1, "dialog"},
      {0, 0, 1, 1, "date"},        {0, 1, 1, 0, "dialog"},   // FILESAVE, DATESAVE
      {0, 0, 2, -5, "date"},       {0, 1, -2, 0, "dialog"},  // non-zero is true
      {7, 3, -1, -1, "date"},
  };
  for (const auto& c : kCases) {
    CaptureWorld w;
    w.app.settings.CaptureType = c.type;
    w.app.settings.CaptureSaveType = c.saveType;
    w.prompts.CancelDialog();
    w.Capture(0, c.toFile, c.dateName);
    const std::string got = w.capture.clipboardHasPicture ? "clipboard"
                            : !w.prompts.dialogs.empty()  ? "dialog"
                            : w.files.Exists(kDateBmp)    ? "date"
                                                          : "none";
    EXPECT_EQ(got, c.expected) << c.type << " " << c.saveType << " " << c.toFile << " "
                               << c.dateName;
  }
  EXPECT_EQ(ParseCaptureDestination("FILESAVE"), (CaptureDestination{1, 0}));
  EXPECT_EQ(ParseCaptureDestination("datesave"), (CaptureDestination{1, 1}));
  EXPECT_EQ(ParseCaptureDestination("Copy"), (CaptureDestination{0, -1}));
  for (const char* other : {"", "SAVE", " COPY", "COPY ", "FILESAVE2"})
    EXPECT_EQ(ParseCaptureDestination(other), (CaptureDestination{-1, -1})) << other;
}

TEST(CaptureClipboard, PicturesGoThereOpenedByOurWidgetWhileItIsOffTheScreen) {
  CaptureWorld w;
  const int redraws = w.widget.redraws;
  EXPECT_EQ(w.Capture(0, 0, -1).outcome, CaptureOutcome::Copied);
  EXPECT_EQ(w.capture.clipboard.pixels, w.whole.pixels);
  EXPECT_EQ(w.capture.clipboardOwner, kWidget) << "never on behalf of the captured program";
  EXPECT_EQ(w.capture.log, (std::vector<std::string>{"HideWidget", "Capture 0x100 whole",
                                                     "ShowWidget", "Clipboard 0x10"}));
  EXPECT_FALSE(w.app.Busy);
  EXPECT_EQ(w.widget.redraws, redraws + 1) << "the buttons are drawn again afterwards";

  w.app.Busy = true;  // inside a busy time it stays busy
  EXPECT_EQ(w.Capture(1, 0, -1).outcome, CaptureOutcome::Copied);
  EXPECT_EQ(w.capture.clipboard.pixels, w.inside.pixels);
  EXPECT_TRUE(w.app.Busy);

  w.capture.clipboardLocked = true;
  w.capture.clipboardHasPicture = false;
  EXPECT_EQ(w.Capture(0, 0, -1).outcome, CaptureOutcome::ClipboardUnavailable);
  EXPECT_FALSE(w.capture.clipboardHasPicture);
  ASSERT_EQ(w.prompts.messages.size(), 1u);
  EXPECT_NE(w.prompts.messages[0].text.find("クリップボード"), std::string::npos);
  EXPECT_EQ(w.prompts.messages[0].style, kMbOk | kMbIconExclamation);
}

TEST(CaptureNothing, AnEmptyPictureOrNoTargetChangesNothing) {
  for (int c : {0, 1, 2, 3}) {
    CaptureWorld w;
    w.capture.windows[kTarget].inside = Bitmap(0, 453);  // a minimized window's inside
    w.app.settings.CaptureSaveType = 1;
    if (c >= 2) w.app.TargetWindow = c == 2 ? kWidget : 0;  // nothing attached
    EXPECT_EQ(w.Capture(1, c == 1, -1).outcome, CaptureOutcome::NoPicture) << c;
    EXPECT_TRUE(w.prompts.messages.empty() && w.prompts.dialogs.empty()) << c;
    EXPECT_EQ(w.files.writeCalls, 0u) << c;
    EXPECT_TRUE(w.capture.widgetShown && !w.app.Busy) << c;
    // Neither the clipboard nor a writer is used; with no target the widget
    // is not even hidden.
    EXPECT_EQ(w.capture.log.size(), c >= 2 ? 0u : 3u) << c;
  }
}

TEST(CaptureDateNamed, TheFileTypeDecidesWriterExtensionAndSettings) {
  const struct {
    bool library;
    int type, jpegValue, pngValue;
    const char *ext, *image;  // what the library writer was given; "" for a BMP
  } kCases[] = {
      {true, kFileBmp, 0, 0, ".bmp", ""},
      {true, kFileJpeg, 73, 0, ".jpg", "JPEG 640x480 q73 p1"},
      {true, kFilePng, 0, 2, ".png", "PNG 632x453 c2"},
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
    const bool inside = c.type == kFilePng && c.library;
    const CaptureResult r = w.Capture(inside, 1, 1);
    EXPECT_EQ(r.outcome, CaptureOutcome::Saved) << c.type;
    EXPECT_EQ(r.path, kDateBase + c.ext) << c.type;
    EXPECT_EQ(w.capture.images,
              *c.image ? std::vector<std::string>{c.image} : std::vector<std::string>{})
        << c.type;
    if (!*c.image) {
      EXPECT_EQ(w.files.Get(kDateBmp), BmpFileBytes(w.whole)) << c.type;
    }
  }
}

TEST(CaptureSaveDialog, OpensOwnedByTheWidgetOnBmpWithTheDefaultName) {
  CaptureWorld w;
  w.app.settings.CaptureFileType = kFilePng;  // not what the dialog starts with
  w.prompts.CancelDialog();
  EXPECT_EQ(w.Capture(0, 1, 0).outcome, CaptureOutcome::Declined);
  ASSERT_EQ(w.prompts.dialogs.size(), 1u);
  EXPECT_EQ(w.prompts.dialogs[0],
            (SaveDialogRequest{kWidget, "キャプチャ画像の保存", SaveDialogFilter(true),
                               "C:\\Shots\\", "Capture", 1}));
  EXPECT_EQ(w.files.writeCalls, 0u);
  EXPECT_TRUE(w.prompts.messages.empty()) << "a cancelled dialog is silent";

  w.app.facts.HasImageLibrary = false;  // then only BMP is offered
  w.prompts.CancelDialog();
  w.Capture(0, 1, 0);
  EXPECT_EQ(w.prompts.dialogs.at(1).filter, SaveDialogFilter(false));
}

TEST(CaptureSaveDialog, TheFilterLeftSelectedDecidesTypeAndExtension) {
  const struct {
    const char* typed;
    int filterIndex;
    const char *written, *writer;
  } kCases[] = {
      {"C:\\x\\shot.BMP", 1, "C:\\x\\shot.BMP", "WriteFile"},
      {"C:\\x\\shot", 3, "C:\\x\\shot.png", "WritePng"},
      {"C:\\x\\shot.jpeg", 2, "C:\\x\\shot.jpeg.jpg", "WriteJpeg"},
  };
  for (const auto& c : kCases) {
    CaptureWorld w;
    w.prompts.ChooseInDialog(c.typed, c.filterIndex);
    const CaptureResult r = w.Capture(0, 1, 0);
    EXPECT_EQ(r.outcome, CaptureOutcome::Saved) << c.typed;
    EXPECT_EQ(r.path, c.written);
    EXPECT_EQ(w.capture.log.back(), std::string(c.writer) + " " + c.written);
  }
}

struct CaptureOverwrite : ::testing::Test {
  CaptureWorld w;
  CaptureOverwrite() { w.files.Put(kDateBmp, "old picture"); }
};

TEST_F(CaptureOverwrite, YesReplacesTheFileInOneWriteOrKeepsItWhenTheWriteFails) {
  w.prompts.AnswerMessage(kIdYes);
  w.capture.failReason = "ディスクに空きがありません。";
  EXPECT_EQ(w.Capture(0, 1, 1).outcome, CaptureOutcome::WriteFailed);
  EXPECT_EQ(w.files.Get(kDateBmp), "old picture");
  ASSERT_EQ(w.prompts.messages.size(), 2u);
  const std::string& text = w.prompts.messages[1].text;
  EXPECT_NE(text.find("\"" + kDateBmp + "\""), std::string::npos) << text;
  EXPECT_NE(text.find("ディスクに空きがありません。"), std::string::npos) << text;
  EXPECT_EQ(w.prompts.messages[1].style, kMbOk | kMbIconExclamation);

  w.capture.failReason.clear();
  w.prompts.AnswerMessage(kIdYes);
  EXPECT_EQ(w.Capture(0, 1, 1).outcome, CaptureOutcome::Saved);
  w.ExpectAskedAbout(2, "2003_01_17_17_30_05.bmp");
  EXPECT_EQ(w.files.Get(kDateBmp), BmpFileBytes(w.whole));
  EXPECT_EQ(w.files.WriteCount(kDateBmp), 1u);
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
  EXPECT_EQ(w.capture.log.back(), "WriteJpeg C:\\Other\\renamed")
      << "the filter decides the writer";
  EXPECT_EQ(w.files.Get(kDateBase + ".png"), "old png");
}

TEST_F(CaptureOverwrite, ANewNameThatAlsoExistsIsAskedAboutAgain) {
  w.files.Put("C:\\Shots\\taken.bmp", "also old");
  w.prompts.AnswerMessage(kIdNo);
  w.prompts.ChooseInDialog("C:\\Shots\\taken.bmp", 1);
  w.prompts.AnswerMessage(kIdYes);
  EXPECT_EQ(w.Capture(0, 1, 1).path, "C:\\Shots\\taken.bmp");
  w.ExpectAskedAbout(0, "2003_01_17_17_30_05.bmp");
  w.ExpectAskedAbout(1, "taken.bmp");
  EXPECT_EQ(w.files.Get("C:\\Shots\\taken.bmp"), BmpFileBytes(w.whole));
  EXPECT_EQ(w.files.Get(kDateBmp), "old picture");
}

TEST_F(CaptureOverwrite, CancelOrACancelledDialogWritesNothing) {
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
  EXPECT_EQ(w.files.Get(kDateBmp), "old picture");
  EXPECT_EQ(w.prompts.unscripted, 0);
}

TEST(CaptureBusy, TheWidgetDoesNotFollowTheForegroundWhileTheDialogIsOpen) {
  CaptureWorld w;
  w.AddTarget(0x200);
  TrackingTick(w.app, w.ports);  // no foreground window yet: nothing to follow
  w.desktop.SetForegroundWindow(0x200);
  const auto movesBefore = w.widget.moves.size();
  w.prompts.whileOpen = [&] {
    EXPECT_TRUE(w.app.Busy);
    TrackingTick(w.app, w.ports);
  };
  w.prompts.CancelDialog();
  w.Capture(0, 1, 0);
  EXPECT_EQ(w.widget.moves.size(), movesBefore);
  EXPECT_EQ(w.app.TargetWindow, kTarget);
  TrackingTick(w.app, w.ports);  // after the capture the tick carries on
  EXPECT_EQ(w.app.TargetWindow, 0x200u);
}

}  // namespace
}  // namespace tomari
