// The time-format composer: composing from presets and tokens, what OK and
// Cancel hand back to the settings dialog, and the live example.
#include <gtest/gtest.h>

#include "dialogs/settings_dialog.h"
#include "dialogs/time_format_dialog.h"
#include "support/fake_locale.h"

namespace tomari {
namespace {

TEST(FormatComposer, AppendReplaceAndDefault) {
  TimeFormatComposer c;
  c.Append();  // no row selected
  c.SelectRow(0);
  c.Append();
  EXPECT_EQ(c.Composed(), "yyyy/mm/dd");
  c.SelectRow(8);
  c.Replace();
  EXPECT_EQ(c.Composed(), "hh:mm");
  c.ResetToDefault();
  c.SelectRow(4);
  c.Append();
  EXPECT_EQ(c.Composed(), " <yyyy/mm/dd hh:mm:ss>(ddd)");
}

TEST(FormatComposer, LiveExampleUsesTheClocksFormatterAndTheChosenZone) {
  const DateTime utc{2003, 1, 17, 8, 30, 5, 0, 5};  // 17:30:05 in Tokyo
  // The zone as the settings dialog shows it, not as stored (Tokyo).
  SettingsDialogModel m(Settings{}, 0);
  m.SelectZone(23);  // Los Angeles, -8
  m.SetSummerTime(true);
  m.EditFormat([&](TimeFormatComposer& c) {
    c.SetComposed("\"hh\"");  // escaped as the title clock escapes it
    EXPECT_EQ(c.LiveExample(utc, test::JapaneseLocaleFormats()), "\"01\"");
    return false;
  });
}

}  // namespace
}  // namespace tomari
