// The settings dialog's model: what it loads, the rules of its pages, what OK
// stores, and the widget's side around the dialog.
#include "dialogs/settings_dialog.h"

#include <gtest/gtest.h>

#include "app/settings.h"
#include "clock/title_clock.h"
#include "support/perch_fixture.h"

namespace tomari {
namespace {

using test::PerchWorld;

struct ZoneShown {
  int zone, sign, hours, minutes;
  friend bool operator==(const ZoneShown&, const ZoneShown&) = default;
};
ZoneShown Shown(const SettingsDialogModel& m) {
  return {m.Zone(), m.ZoneSign(), m.ZoneHours(), m.ZoneMinutes()};
}

Settings Stored(int worldTime, int pm, int hour, int minute) {
  Settings s;
  s.ClockWorldTime = worldTime;
  s.ClockWorldTimePM = pm;
  s.ClockWorldTimeHour = hour;
  s.ClockWorldTimeMinute = minute;
  return s;
}

TEST(SettingsDialogZone, StoredCityOutranksStoredOffsetAndUserDefinedKeepsIt) {
  SettingsDialogModel tokyo(Stored(17, 1, 3, 0), 0);
  EXPECT_EQ(Shown(tokyo), (ZoneShown{17, 0, 9, 0}));
  Settings out;
  tokyo.WriteTo(out);
  EXPECT_EQ((ZoneShown{out.ClockWorldTime, out.ClockWorldTimePM, out.ClockWorldTimeHour,
                       out.ClockWorldTimeMinute}),
            (ZoneShown{17, 0, 9, 0}));

  EXPECT_EQ(Shown(SettingsDialogModel(Stored(0, 1, 3, 30), 0)), (ZoneShown{0, 1, 3, 30}));
}

TEST(SettingsDialogZone, CitiesFillTheOffsetAndHandChangesMakeItUserDefined) {
  SettingsDialogModel m(Stored(0, 0, 0, 0), 0);
  m.SelectZone(2);  // London: zero offsets show "-"
  EXPECT_EQ(Shown(m), (ZoneShown{2, 1, 0, 0}));
  m.SelectZone(11);  // New Delhi
  EXPECT_EQ(Shown(m), (ZoneShown{11, 0, 5, 30}));
  m.SelectZoneMinutes(45);
  EXPECT_EQ(Shown(m), (ZoneShown{0, 0, 5, 45}));
  m.SelectZone(17);
  m.SelectZoneSign(1);
  EXPECT_EQ(Shown(m), (ZoneShown{0, 1, 9, 0}));
  m.SelectZone(17);
  m.SelectZoneHours(3);
  EXPECT_EQ(Shown(m), (ZoneShown{0, 0, 3, 0}));
}

TEST(SettingsDialogZone, ListTexts) {
  const auto zones = ZoneListTexts();
  ASSERT_EQ(zones.size(), 32u);
  EXPECT_EQ(zones[0], "ユーザー定義");
  EXPECT_EQ(zones[1], "(GMT 00:00):国際標準時(UTC)");
  EXPECT_EQ(zones[11], "(GMT+05:30):ニューデリー(DEL)");
  EXPECT_EQ(zones[17], "(GMT+09:00):東京(TYO)");
  EXPECT_EQ(zones[21], "(GMT-10:00):ホノルル(HNL)");
  EXPECT_EQ(ZoneHourTexts().back(), "12");
  EXPECT_EQ(ZoneMinuteTexts().size(), 60u);
}

// Stored values a control cannot show are brought into its range, so OK writes
// only values the program can use.
TEST(SettingsDialogLoad, OutOfRangeValuesAreClamped) {
  Settings s;
  s.MainTiming = 0;
  s.PositionX = -3;
  s.PositionY = 9;
  s.LayerTransparency = 300;
  s.DragParent = 15;
  s.CaptureType = 5;
  s.CaptureSaveType = -1;
  s.CaptureFileType = 2;  // no imaging library
  s.CaptureJpegValue = 0;
  s.CapturePngValue = 7;
  s.ClockPosition = 4;
  s.ClockWorldTime = 40;  // the clock reads it as UTC
  s.MainMulti = -1;       // any non-zero is checked
  Settings out;
  SettingsDialogModel(s, 0).WriteTo(out);
  EXPECT_EQ(out.MainTiming, 1);
  EXPECT_EQ(out.PositionX, 0);
  EXPECT_EQ(out.PositionY, 4);
  EXPECT_EQ(out.LayerTransparency, 255);
  EXPECT_EQ(out.DragParent, 10);
  EXPECT_EQ(out.CaptureType, 1);
  EXPECT_EQ(out.CaptureSaveType, 0);
  EXPECT_EQ(out.CaptureFileType, 0);
  EXPECT_EQ(out.CaptureJpegValue, 1);
  EXPECT_EQ(out.CapturePngValue, 2);
  EXPECT_EQ(out.ClockPosition, 1);
  EXPECT_EQ(out.ClockWorldTime, 1);
  EXPECT_EQ(out.MainMulti, 1);

  s = Stored(0, -1, 20, 75);
  s.MainTiming = 5000;
  s.CaptureFileType = 2;
  s.HasImageLibrary = true;
  SettingsDialogModel m(s, 42);
  EXPECT_EQ(Shown(m), (ZoneShown{0, 1, 12, 59}));
  EXPECT_EQ(m.Timing(), 1000);
  EXPECT_EQ(m.FileType(), 2);
  EXPECT_EQ(m.Page(), 0);
}

TEST(SettingsDialogOk, WritesEveryControlAndReportsASkinChange) {
  Settings s;
  s.AppFolder = "C:\\Tomari\\";
  s.MainSkin = "C:\\Skins\\A.tsk";
  s.PositionXOffset = 12;
  s.PositionYOffset = -7;
  SettingsDialogModel m(s, 0);
  Settings out = s;
  EXPECT_FALSE(m.WriteTo(out));
  EXPECT_EQ(out.PositionXOffset, 12);
  EXPECT_EQ(out.PositionYOffset, -7);

  EXPECT_EQ(m.ResetExplanation(),
            "ユーザーが動かした位置の記憶をリセットし、基準位置に合わせます。");
  m.SetResetOffsets(true);
  EXPECT_EQ(m.ResetExplanation(),
            "OKボタンを押せば位置の記憶がリセットされ、基準位置に合わせます。");
  EXPECT_FALSE(m.SetSkinPath("C:\\Skins\\A.tsk"));
  EXPECT_TRUE(m.SetSkinPath("C:\\Skins\\a.tsk"));  // case counts
  m.SetTiming(250);
  m.SetMulti(true);
  m.SetAutoPosition(false);
  m.SetAnchorX(3);
  m.SetAnchorY(1);
  m.SetOpacity(200);
  m.SetCaptureType(1);
  m.SetSaveType(1);
  m.SetFileType(1);  // hidden without the imaging library: ignored
  m.SetJpegQuality(55);
  m.SetJpegProgressive(true);
  m.SetPngValue(GetCheckedIndex(std::array{false, false, true}));
  m.SetClockPosition(GetCheckedIndex(std::array{false, false}));  // none checked: kept
  m.SetFormatText("hh:nn");
  m.SetSummerTime(true);
  out = s;
  EXPECT_TRUE(m.WriteTo(out));
  EXPECT_EQ(out.PositionXOffset, 0);
  EXPECT_EQ(out.PositionYOffset, 0);
  EXPECT_EQ(out.MainSkin, "C:\\Skins\\a.tsk");
  EXPECT_EQ(out.MainTiming, 250);
  EXPECT_EQ(out.MainMulti, 1);
  EXPECT_EQ(out.PositionAuto, 0);
  EXPECT_EQ(out.PositionX, 3);
  EXPECT_EQ(out.PositionY, 1);
  EXPECT_EQ(out.LayerTransparency, 200);
  EXPECT_EQ(out.CaptureType, 1);
  EXPECT_EQ(out.CaptureSaveType, 1);
  EXPECT_EQ(out.CaptureFileType, 0);
  EXPECT_EQ(out.CaptureJpegValue, 55);
  EXPECT_EQ(out.CaptureJpegProgressive, 1);
  EXPECT_EQ(out.CapturePngValue, 2);
  EXPECT_EQ(out.ClockPosition, 1);
  EXPECT_EQ(out.ClockFormatText, "hh:nn");
  EXPECT_EQ(out.ClockWorldTimeSDT, 1);
}

TEST(SettingsDialogOk, SaveFolderEndsInABackslashAndEmptyMeansTheDefault) {
  const struct {
    const char* typed;
    const char* stored;
  } cases[] = {
      {"D:\\Caps", "D:\\Caps\\"},
      {"D:\\Caps\\", "D:\\Caps\\"},
      {"D:\\写真", "D:\\写真\\"},
      {"", "C:\\Tomari\\"},
  };
  Settings s;
  s.AppFolder = "C:\\Tomari\\";
  for (const auto& c : cases) {
    SettingsDialogModel m(s, 0);
    m.SetSaveFolder(c.typed);
    Settings out;
    m.WriteTo(out);
    EXPECT_EQ(out.CaptureSaveFolder, c.stored) << c.typed;
  }
}

TEST(SettingsDialogPages, DragBarIsInvertedAndLabelsFollowTheirValues) {
  Settings s;
  s.DragParent = 0;
  SettingsDialogModel m(s, 0);
  EXPECT_EQ(m.DragBar(), 10);  // the bottom end
  EXPECT_EQ(m.DragLevelText(), "0");
  m.SetDragBar(0);
  EXPECT_EQ(m.DragLevelText(), "10");
  Settings out;
  m.WriteTo(out);
  EXPECT_EQ(out.DragParent, 10);

  m.SetTiming(1000);
  EXPECT_EQ(m.TimingLabel(), " 1000ms");
  m.SetJpegQuality(7);
  EXPECT_EQ(m.JpegQualityLabel(), " 7");
  const struct {
    int value;
    const char* label;
    int grey;
  } opacities[] = {{0, "--- 0(0%) ---", 255},
                   {128, "--- 128(50%) ---", 127},
                   {255, "--- 255(100%) ---", 0},
                   {32, "--- 32(13%) ---", 223}};
  for (const auto& o : opacities) {
    m.SetOpacity(o.value);
    EXPECT_EQ(m.OpacityLabel(), o.label);
    EXPECT_EQ(m.OpacityLabelGrey(), o.grey);
  }

  m.SetAnchorX(2);
  m.SetAnchorY(4);
  EXPECT_EQ(m.MarkerPosition(), (Point{2400, 795}));  // centred, just below the window
  m.SetAnchorX(0);
  m.SetAnchorY(3);
  EXPECT_EQ(m.MarkerPosition(), (Point{1965, 660}));  // before it, inside at its bottom
}

ExclusionEntry Entry(const std::string& name, std::int32_t inTitle = 0) {
  return {name, name + " title", inTitle, name + "Class"};
}

TEST(SettingsDialogExclusions, AddChangeDeleteOnTheWorkingList) {
  Settings s;
  s.ExclusionEntries = {Entry("a"), Entry("b"), Entry("c"), Entry("d")};
  SettingsDialogModel m(s, 0);
  auto names = [&] {
    std::string out;
    for (const auto& e : m.Exclusions()) out += e.Name;
    return out;
  };

  m.DeleteExclusion();  // nothing selected
  m.ChangeExclusion([](ExclusionEntry& e) { e = Entry("x"); });
  EXPECT_EQ(names(), "abcd");

  m.SelectExclusion(1);
  m.DeleteExclusion();
  EXPECT_EQ(names(), "acd");
  EXPECT_EQ(m.SelectedExclusion(), -1);
  EXPECT_EQ(m.ExclusionTitleText(), "");

  m.AddExclusion([](ExclusionEntry& e) {
    EXPECT_EQ(e, ExclusionEntry{});  // a blank entry to fill
    e = Entry("e", 1);
  });
  m.AddExclusion([](ExclusionEntry&) {});  // cancelled
  EXPECT_EQ(names(), "acde");
  m.SelectExclusion(3);
  EXPECT_EQ(m.ExclusionTitleText(), "e title を含む");
  EXPECT_EQ(m.ExclusionClassText(), "eClass");

  m.SelectExclusion(0);
  m.ChangeExclusion([](ExclusionEntry& e) {
    EXPECT_EQ(e.Name, "a");
    e.Name.clear();  // cancelled
  });
  EXPECT_EQ(m.ExclusionTitleText(), "a title");
  m.ChangeExclusion([](ExclusionEntry& e) { e.Name = "z"; });
  EXPECT_EQ(names(), "zcde");
  EXPECT_EQ(s.ExclusionEntries.size(), 4u);

  Settings out;
  m.WriteTo(out);
  EXPECT_EQ(out.ExclusionEntries, m.Exclusions());
}

// The widget's side of the dialog.
class SettingsCommand : public testing::Test, public SettingsDialogHost {
 protected:
  static constexpr WindowHandle kTarget = 0x100;
  PerchWorld world;
  App& app = world.app;
  std::function<bool(SettingsDialogModel&)> onShow;
  std::vector<unsigned> intervals;

  SettingsCommand() {
    world.desktop.AddWindow(kTarget, "Memo", "Edit", Rect{0, 0, 400, 300}, kExLayered);
    app.settings.MainSkin = app.settings.AppFolder + "Skins\\Default\\Default.tsk";
    app.skin.loaded = true;
  }
  bool ShowSettingsDialog(SettingsDialogModel& model) override { return onShow(model); }
  void SetTrackingInterval(unsigned ms) override { intervals.push_back(ms); }

  std::string Record() {
    test::FakeFileSystem scratch;
    SaveSettings(app, scratch, world.codec);
    return *scratch.Get(SettingsPath(app));
  }
};

TEST_F(SettingsCommand, OkStoresAndAppliesAfterTheDialog) {
  app.clock = ClockRecord(kTarget, "Memo", "Memo 12:00");
  world.desktop.Window(kTarget).title = "Memo 12:00";
  app.widget.AttachedWindow = kTarget;
  app.menu.LayerChecked = true;
  onShow = [&](SettingsDialogModel& m) {
    EXPECT_TRUE(app.widget.Busy);
    EXPECT_EQ(world.desktop.Window(kTarget).title, "Memo");
    m.SetTiming(250);
    m.SetOpacity(200);
    m.ShowPage(kPageImageFormats);
    return true;
  };
  EXPECT_TRUE(RunSettingsDialog(app, world.ports, *this));
  EXPECT_FALSE(app.widget.Busy);
  EXPECT_TRUE(world.widget.topMost);
  EXPECT_EQ(intervals, std::vector<unsigned>{250});
  EXPECT_EQ(world.desktop.Window(kTarget).layered.alpha, 200);
  EXPECT_TRUE(app.skin.loaded);  // same skin: not reloaded
  const std::string file = *world.files.Get(SettingsPath(app));
  EXPECT_NE(file.find("Timing= 250"), std::string::npos);
  EXPECT_NE(file.find("Transparency= 200"), std::string::npos);

  // Reopens on the page last shown; a new skin is loaded after OK.
  onShow = [&](SettingsDialogModel& m) {
    EXPECT_EQ(m.Page(), kPageImageFormats);
    m.SetSkinPath("C:\\Elsewhere\\Missing.tsk");
    return true;
  };
  RunSettingsDialog(app, world.ports, *this);
  EXPECT_FALSE(app.skin.loaded);
}

TEST_F(SettingsCommand, CancelLeavesRecordAndFileAlone) {
  app.settings.ExclusionEntries = {Entry("a"), Entry("b")};
  const std::string before = Record();
  onShow = [&](SettingsDialogModel& m) {
    m.SetTiming(5);
    m.SetResetOffsets(true);
    m.SelectExclusion(0);
    m.DeleteExclusion();
    m.SetSkinPath("C:\\Other.tsk");
    m.ShowPage(kPageDrag);
    return false;
  };
  RunSettingsDialog(app, world.ports, *this);
  EXPECT_EQ(Record(), before);
  EXPECT_EQ(world.files.writeCalls, 0u);
  EXPECT_TRUE(app.skin.loaded);
  EXPECT_TRUE(world.widget.topMost);
  EXPECT_EQ(intervals, std::vector<unsigned>{100});
  EXPECT_EQ(app.LastSettingsPage, kPageDrag);
}

}  // namespace
}  // namespace tomari
