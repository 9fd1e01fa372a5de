// Which Type names which command, when each command is usable or switched on,
// and how the face, tooltip and cursor follow the pointer.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/world.h"

namespace tomari {
namespace {

using test::World;

TEST(CommandNames, EveryKeywordAndSynonymNamesItsCommand) {
  // Each keyword finds its own command (so no two share a spelling); the
  // Japanese synonyms are spot-checked, a command's second spelling too.
  for (int i = 0; i < kCommandCount; ++i) {
    const auto command = static_cast<Command>(i);
    EXPECT_EQ(FindCommand(CommandKeyword(command)), command) << CommandKeyword(command);
  }
  EXPECT_EQ(FindCommand("固定"), Command::WindowSet);
  EXPECT_EQ(FindCommand("不透明度"), Command::Transparency);
  for (int i : {-1, kCommandCount}) EXPECT_EQ(CommandKeyword(static_cast<Command>(i)), "") << i;
  // Only exact spellings count; the loader upper-cases Type, so a lower-case
  // word here never came from a skin.
  for (const char* type : {"", "Exit", " EXIT", "EXITS", "透明", "ＥＸＩＴ"})
    EXPECT_FALSE(FindCommand(type).has_value()) << type;
}

// One letter per button: N normal, F floating, D down, U unavailable, O on,
// - left to the Back image.
std::string States(const App& app) {
  std::string out;
  for (int s : app.look.states) out += "-NFDUO"[s + 1];
  return out;
}

TEST(CommandStates, EachCommandUnderTheFlagsThatMatter) {
  // Columns: WINDOWSET CAPTUREINSIDE CAPTUREALL GETTEXT ANTIPERCHER TITLECLOCK
  // TOPMOST SEMITRANSPARENT TRANSPARENCY | SETTING CHANGESKIN LINK MAIL ABOUT
  // POPUP EXIT NONE. The TRANSPARENCY button's Value is 128, the opacity too.
  const struct {
    const char* what;
    CommandState menu;  // attached, fixed, clock, top-most enabled/on, layer enabled/on
    bool layeredApi, perPixelAlpha;
    const char *drawn, *dispatched;
  } kRows[] = {
      {"no target", {0, 1, 1, 1, 1, 1, 1}, 1, 0, "UUUUUUUUUNNNNNNNN", "---------RRRRRRRR"},
      {"attached", {1, 0, 1, 0, 0, 0, 0}, 1, 0, "NNNNNOUUUNNNNNNNN", "RRRRRR---RRRRRRRR"},
      {"fixed", {1, 1, 0, 1, 1, 1, 0}, 1, 0, "ONNNNNONUNNNNNNNN", "RRRRRRRR-RRRRRRRR"},
      {"fixed, layered", {1, 1, 0, 1, 0, 1, 1}, 1, 0, "ONNNNNNOONNNNNNNN", "RRRRRRRRRRRRRRRRR"},
      // Attached to a window that was top-most and layered already, not fixed:
      // the checks show it, but nothing is offered; TRANSPARENCY still acts.
      {"found on", {1, 0, 0, 0, 1, 0, 1}, 1, 0, "NNNNNNUUUNNNNNNNN", "RRRRRR--RRRRRRRRR"},
      // A stale menu flag must not draw usable what the handler refuses.
      {"per-pixel", {1, 1, 0, 1, 0, 1, 0}, 1, 1, "ONNNNNNUUNNNNNNNN", "RRRRRRR--RRRRRRRR"},
      // Whatever the menu says, without the layered-window call neither acts.
      {"no API", {1, 1, 0, 1, 0, 1, 1}, 0, 0, "ONNNNNNUUNNNNNNNN", "RRRRRRR--RRRRRRRR"},
  };
  for (const auto& row : kRows) {
    World w{true};
    w.app.menu = row.menu;
    w.app.facts.HasLayeredWindows = row.layeredApi;
    w.app.target.TargetLayered = row.perPixelAlpha;
    w.app.target.TargetLayeredAttributes.readable = !row.perPixelAlpha;
    std::string dispatched;                    // R: a click runs the command, -: it does not
    for (int i = 0; i < kCommandCount; ++i) {  // one button per command, side by side
      const auto command = static_cast<Command>(i);
      w.AddButton(std::string(CommandKeyword(command)), Rect{i * 7, 0, i * 7 + 6, 10},
                  command == Command::Transparency ? "128" : "");
      dispatched += IsCommandAvailable(w.app, command, CommandPath::Dispatch) ? 'R' : '-';
    }
    RefreshButtons(w.app, w.ports, -1, -1, 0);
    EXPECT_EQ(States(w.app), row.drawn) << row.what;
    EXPECT_EQ(dispatched, row.dispatched) << row.what;
  }
}

TEST(CommandStates, TransparencyIsOnWhenItsNumberIsTheOpacity) {
  // Outside 0-255 the preset sets the nearest end, and shows that as on.
  const std::pair<const char*, int> kOn[] = {{"100", 100}, {"100.0", 100}, {"100abc", 100},
                                             {"", 0},      {"300", 255},   {"255.5", 255},
                                             {"-3", 0},    {"-0.5", 0}};
  for (const auto& [value, opacity] : kOn)
    EXPECT_TRUE(TransparencyMatches(value, opacity)) << value;
  const std::pair<const char*, int> kOff[] = {{"100.4", 100}, {"99.5", 100}, {"1e2", 100}};
  for (const auto& [value, opacity] : kOff)
    EXPECT_FALSE(TransparencyMatches(value, opacity)) << value;
}

TEST(TransparencyValue, LeadingDecimalNumberRoundedHalfToEvenWithinAByte) {
  const std::pair<const char*, int> kCases[] = {
      {"  64", 64},   {"+7", 7},       {"2.5", 2},   {"3.5", 4}, {"2.50001", 3}, {"2.4999", 2},
      {"254.5", 254}, {"254.51", 255}, {"256", 255}, {"-5", 0},  {"", 0},        {"12abc", 12},
      {"1.2.3", 1},   {"1e2", 1},      {".5", 0},    {"5.", 5},  {"７", 0},
  };
  for (const auto& [value, opacity] : kCases) EXPECT_EQ(TransparencyValue(value), opacity) << value;
  EXPECT_EQ(TransparencyValue("99999999999999999999999999"), 255);  // saturates, no overflow
}

// ---- The face, the tooltip and the cursor -----------------------------------

// What the pointer at (x, y) shows: "<states>|<tooltip>|<cursor>".
std::string Look(World& w, int x, int y, int mouseButton) {
  RefreshButtons(w.app, w.ports, x, y, mouseButton);
  return States(w.app) + "|" + w.widget.toolTip + "|" + std::to_string(w.widget.cursor);
}

TEST(RefreshButtons, TheButtonUnderThePointerGivesItsLookTipAndCursorUntilTheSkinGoes) {
  World w{true};
  RefreshButtons(w.app, w.ports, 5, 5, 1);  // no buttons: the Back image alone
  EXPECT_EQ(w.widget.toolTip, "");
  const CursorHandle hand = test::FakeCursorLoader::SystemHandle(32649);
  w.AddButton("LINK", Rect{0, 0, 20, 20}, "a", "Open a", hand);
  w.AddButton("MAIL", Rect{30, 0, 50, 20}, "b", "Mail b");
  // A right button held shows the hover look, not the pressed one.
  EXPECT_EQ(Look(w, 35, 5, 2), "NF|Mail b|0");
  EXPECT_EQ(Look(w, 35, 5, 1), "ND|Mail b|0");
  EXPECT_EQ(Look(w, -1, -1, 0), "NN||0");
  // Once a button has the pointer, later ones are left to the Back image.
  EXPECT_EQ(Look(w, 5, 5, 0), "F-|Open a|" + std::to_string(hand));
  w.app.skin = SkinData{};  // the next skin could not be loaded: tip and cursor go
  EXPECT_EQ(Look(w, 5, 5, 0), "||0");
  EXPECT_EQ(RunButtonCommand(w.app, w.ports, w.sink, 5, 5), CommandResult::Done);
}

}  // namespace
}  // namespace tomari
