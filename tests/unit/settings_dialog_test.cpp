// The settings dialog's model: what it loads, the rules of its pages, what OK
// stores, and the widget's side around the dialog.
#include "dialogs/settings_dialog.h"

#include <gtest/gtest.h>

#include <tuple>

#include "app/settings.h"
#include "support/world.h"

namespace tomari {
namespace {

Settings WrittenBy(const SettingsDialogModel& m) {
  Settings out;
  m.WriteTo(out);
  return out;
}

// Stored values a control cannot show are brought into its range on load, so
// OK writes only values the program can use.
TEST(SettingsDialogLoad, OutOfRangeValuesAreClamped) {
  // field, as stored, as written back
  const std::tuple<std::int32_t Settings::*, std::int32_t, std::int32_t> cases[] = {
      {&Settings::MainTiming, 5000, 1000},      {&Settings::DragParent, 15, 10},
      {&Settings::CaptureType, 5, 1},           {&Settings::CaptureFileType, 5, 2},
      {&Settings::ClockWorldTime, 40, 1},  // UTC, as the clock reads it
      {&Settings::ClockWorldTimePM, -1, 1},     {&Settings::MainMulti, -1, 1},
      {&Settings::ClockWorldTimeMinute, 75, 59}};
  StartupFacts library;
  library.HasImageLibrary = true;
  for (const auto& [field, stored, written] : cases) {
    Settings s;
    s.ClockWorldTime = 0;  // an own zone: its sign and minutes are kept as loaded
    s.*field = stored;
    EXPECT_EQ(WrittenBy(SettingsDialogModel(s, 0, library)).*field, written) << stored;
  }
  EXPECT_EQ(SettingsDialogModel(Settings{}, 42).Page(), 0);  // a page the dialog does not have
}

TEST(SettingsDialogOk, ResetOffsetsSkinChangeOptionGroupsAndSaveFolder) {
  Settings s;
  s.MainSkin = "C:\\Skins\\A.tsk";
  s.PositionXOffset = 12;
  StartupFacts facts;
  facts.AppFolder = "C:\\Tomari\\";
  SettingsDialogModel m(s, 0, facts);
  m.SetResetOffsets(true);
  EXPECT_FALSE(m.SetSkinPath("C:\\Skins\\A.tsk"));
  EXPECT_TRUE(m.SetSkinPath("C:\\Skins\\a.tsk"));  // case counts
  m.SetFileType(1);                                // hidden without the imaging library
  m.SetPngValue(GetCheckedIndex(std::array{false, false, true}));
  m.SetClockPosition(GetCheckedIndex(std::array{false, false}));  // none checked: kept
  Settings out = s;
  EXPECT_TRUE(m.WriteTo(out));
  EXPECT_EQ((std::array{out.PositionXOffset, out.CaptureFileType, out.CapturePngValue,
                        out.ClockPosition}),
            (std::array{0, 0, 2, 1}));

  // The save folder ends in a backslash; empty means the program's folder.
  EXPECT_EQ(out.CaptureSaveFolder, "C:\\Tomari\\");
  m.SetSaveFolder("D:\\Caps");
  EXPECT_EQ(WrittenBy(m).CaptureSaveFolder, "D:\\Caps\\");
}

TEST(SettingsDialogPages, DragBarIsInvertedAndLabelsFollowTheirValues) {
  SettingsDialogModel m(Settings{}, 0);  // Parent 0: the bar's bottom end
  EXPECT_EQ(m.DragLevelText(), "0");
  m.SetDragBar(3);
  EXPECT_EQ(WrittenBy(m).DragParent, 7);

  for (const auto& [value, label, grey] :
       {std::tuple{255, "--- 255(100%) ---", 0}, {32, "--- 32(13%) ---", 223}}) {
    m.SetOpacity(value);
    EXPECT_EQ(m.OpacityLabel(), label);
    EXPECT_EQ(m.OpacityLabelGrey(), grey);
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
  s.ExclusionEntries = {Entry("a"), Entry("b"), Entry("c")};
  SettingsDialogModel m(s, 0);
  m.DeleteExclusion();  // nothing selected
  m.ChangeExclusion([](ExclusionEntry& e) { e = Entry("x"); });
  m.SelectExclusion(1);
  m.DeleteExclusion();
  EXPECT_EQ(m.ExclusionTitleText(), "");  // no selection after a delete

  m.AddExclusion([](ExclusionEntry& e) { e = Entry("e", 1); });
  m.SelectExclusion(2);
  EXPECT_EQ(m.ExclusionTitleText(), "e title を含む");

  m.SelectExclusion(0);
  m.ChangeExclusion([](ExclusionEntry& e) { e.Name.clear(); });  // cancelled
  m.ChangeExclusion([](ExclusionEntry& e) { e.Name += "z"; });
  EXPECT_EQ(m.ExclusionTitleText(), "a title");
  // OK stores the working list.
  EXPECT_EQ(WrittenBy(m).ExclusionEntries,
            (std::vector{ExclusionEntry{"az", "a title", 0, "aClass"}, Entry("c"), Entry("e", 1)}));
}

// The widget's side: the window's own title is back while the dialog is open, OK
// stores and applies, and either way the widget is on top with the timer running.
struct SettingsHost : SettingsDialogHost {
  std::function<bool(SettingsDialogModel&)> onShow;
  std::vector<unsigned> intervals;
  bool ShowSettingsDialog(SettingsDialogModel& m) override { return onShow(m); }
  void SetTrackingInterval(unsigned ms) override { intervals.push_back(ms); }
};

TEST(SettingsCommand, OkStoresAndAppliesCancelStoresNothing) {
  test::World w;
  w.desktop.AddWindow(0x100, "Memo 12:00", "Edit", Rect{0, 0, 400, 300});
  w.app.clock = ClockRecord(0x100, "Memo", "Memo 12:00");
  SettingsHost host;
  host.onShow = [&](SettingsDialogModel& m) {
    EXPECT_TRUE(w.app.Busy);
    EXPECT_EQ(w.desktop.Window(0x100).title, "Memo");
    m.SetTiming(5);
    return false;
  };
  RunSettingsDialog(w.app, w.ports, host);
  EXPECT_EQ(w.files.writeCalls, 0u);
  EXPECT_TRUE(w.widget.topMost);
  host.onShow = [](SettingsDialogModel& m) {
    m.SetTiming(250);
    return true;
  };
  EXPECT_TRUE(RunSettingsDialog(w.app, w.ports, host));
  EXPECT_FALSE(w.app.Busy);
  EXPECT_EQ(host.intervals, (std::vector<unsigned>{100, 250}));
  EXPECT_NE(w.files.Get(SettingsPath(w.app))->find("Timing= 250"), std::string::npos);
}

}  // namespace
}  // namespace tomari
