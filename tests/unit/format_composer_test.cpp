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
  c.Replace();
  EXPECT_EQ(c.Composed(), "");
  c.SelectRow(0);
  EXPECT_EQ(c.Note(), "１９８４年１月１７日の場合\r\n1984/01/17");
  c.Append();
  c.Append();
  EXPECT_EQ(c.Composed(), "yyyy/mm/ddyyyy/mm/dd");
  c.SelectRow(8);
  c.Replace();
  EXPECT_EQ(c.Composed(), "hh:mm");
  c.ResetToDefault();
  c.SelectRow(4);
  c.Append();
  EXPECT_EQ(c.Composed(), " <yyyy/mm/dd hh:mm:ss>(ddd)");
}

}  // namespace
}  // namespace tomari
