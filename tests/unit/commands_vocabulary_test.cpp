// Which Type names which command, when each command is usable or switched on,
// and how the face, tooltip and cursor follow the pointer.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/world.h"

namespace tomari {
namespace {

using test::World;

TEST(CommandNames, EveryKeywordAndSynonymNamesItsCommand) {
  // Each keyword finds its own command (so no two share a spelling); the
  // Japanese synonyms are spot-checked, both of every command that has two.
  for (int i = 0; i < kCommandCount; ++i) {
    const auto command = static_cast<Command>(i);
    EXPECT_EQ(FindCommand(CommandKeyword(command)), command) << CommandKeyword(command);
  }
  const std::pair<const char*, Command> kSynonyms[] = {
      {"固定", Command::WindowSet},         {"内部複写", Command::CaptureInside},
      {"内側複写", Command::CaptureInside}, {"対象外にする", Command::AntiPercher},
      {"透明度", Command::Transparency},    {"不透明度", Command::Transparency},
      {"メニュー", Command::Popup},         {"無機能", Command::None},
  };
  for (const auto& [type, command] : kSynonyms) EXPECT_EQ(FindCommand(type), command) << type;
  for (int i : {-1, kCommandCount}) EXPECT_EQ(CommandKeyword(static_cast<Command>(i)), "") << i;
  // Only exact spellings count; the loader upper-cases Type, so a lower-case
  // word here never came from a skin.
  for (const char* type : {"", "exit", "Exit", " EXIT", "EXIT ", "EXITS", "CAPTURE", "透明", "内部",
                           "複写", "TRANSPARENT", "ＥＸＩＴ"})
    EXPECT_FALSE(FindCommand(type).has_value()) << type;
}

// One letter per button: N normal, F floating, D down, U unavailable, O on,
// - left to the Back image.
std::string States(const App& app) {
  std::string out;
  for (int s : app.look.states) out += "-NFDUO"[s + 1];
  return out;
}

// One button per command, side by side, in table order.
struct StateWorld : test::World {
  StateWorld() : World(true) {
    for (int i = 0; i < kCommandCount; ++i) {
      const auto command = static_cast<Command>(i);
      AddButton(std::string(CommandKeyword(command)), Rect{i * 7, 0, i * 7 + 6, 10},
                command == Command::Transparency ? "128" : "");
    }
  }
  std::string Drawn() {
    RefreshButtons(app, ports, -1, -1, 0);
    return States(app);
  }
  // One letter per command: R a click runs it, - it does not.
  std::string Dispatched() {
    std::string out;
    for (int i = 0; i < kCommandCount; ++i)
      out += IsCommandAvailable(app, static_cast<Command>(i), CommandPath::Dispatch) ? 'R' : '-';
    return out;
  }
};

struct Flags {
  bool attached, fixed, clock, topEnabled, topChecked, layerEnabled, layerChecked, layeredApi;
  int opacity;
  bool perPixelAlpha = false;  // the target was layered with unreadable attributes
};

void Apply(App& app, const Flags& f) {
  app.menu.WindowMenuEnabled = f.attached;
  app.menu.WindowSetChecked = f.fixed;
  app.menu.TitleClockChecked = f.clock;
  app.menu.TopMostEnabled = f.topEnabled;
  app.menu.TopMostChecked = f.topChecked;
  app.menu.LayerEnabled = f.layerEnabled;
  app.menu.LayerChecked = f.layerChecked;
  app.facts.HasLayeredWindows = f.layeredApi;
  app.settings.LayerTransparency = f.opacity;
  app.target.TargetLayered = f.perPixelAlpha;
  app.target.TargetLayeredAttributes.readable = !f.perPixelAlpha;
}

TEST(CommandStates, EachCommandUnderTheFlagsThatMatter) {
  // Columns: WINDOWSET CAPTUREINSIDE CAPTUREALL GETTEXT ANTIPERCHER TITLECLOCK
  // TOPMOST SEMITRANSPARENT TRANSPARENCY | SETTING CHANGESKIN LINK MAIL ABOUT
  // POPUP EXIT NONE. The TRANSPARENCY button's Value is 128.
  const struct {
    const char* what;
    Flags flags;
    const char* drawn;
    const char* dispatched;
  } kRows[] = {
      {"no target", {0, 0, 0, 0, 0, 0, 0, 1, 128}, "UUUUUUUUUNNNNNNNN", "---------RRRRRRRR"},
      {"all on", {0, 1, 1, 1, 1, 1, 1, 1, 128}, "UUUUUUUUUNNNNNNNN", "---------RRRRRRRR"},
      {"attached", {1, 0, 0, 0, 0, 0, 0, 1, 128}, "NNNNNNUUUNNNNNNNN", "RRRRRR---RRRRRRRR"},
      {"fixed", {1, 1, 0, 1, 0, 1, 0, 1, 128}, "ONNNNNNNUNNNNNNNN", "RRRRRRRR-RRRRRRRR"},
      {"fixed, top-most", {1, 1, 0, 1, 1, 1, 0, 1, 128}, "ONNNNNONUNNNNNNNN", "RRRRRRRR-RRRRRRRR"},
      {"fixed, alpha 128", {1, 1, 0, 1, 0, 1, 1, 1, 128}, "ONNNNNNOONNNNNNNN", "RRRRRRRRRRRRRRRRR"},
      {"fixed, alpha 100", {1, 1, 0, 1, 0, 1, 1, 1, 100}, "ONNNNNNONNNNNNNNN", "RRRRRRRRRRRRRRRRR"},
      // Attached to a window that was top-most and layered already, not fixed:
      // the checks show it, but nothing is offered; TRANSPARENCY still acts.
      {"found on", {1, 0, 0, 0, 1, 0, 1, 1, 128}, "NNNNNNUUUNNNNNNNN", "RRRRRR--RRRRRRRRR"},
      {"clock, not fixed", {1, 0, 1, 0, 0, 0, 0, 1, 128}, "NNNNNOUUUNNNNNNNN", "RRRRRR---RRRRRRRR"},
      {"no API", {1, 1, 0, 1, 0, 0, 0, 0, 128}, "ONNNNNNUUNNNNNNNN", "RRRRRRR--RRRRRRRR"},
      // A stale menu flag must not draw usable what the handler refuses.
      {"per-pixel", {1, 1, 0, 1, 0, 1, 0, 1, 128, true}, "ONNNNNNUUNNNNNNNN", "RRRRRRR--RRRRRRRR"},
      // Whatever the menu says, without the layered-window call neither acts.
      {"layer on, no API", {1, 1, 0, 1, 0, 1, 1, 0, 128}, "ONNNNNNUUNNNNNNNN", "RRRRRRR--RRRRRRRR"},
  };
  for (const auto& row : kRows) {
    StateWorld world;
    Apply(world.app, row.flags);
    EXPECT_EQ(world.Drawn(), row.drawn) << row.what;
    EXPECT_EQ(world.Dispatched(), row.dispatched) << row.what;
  }
}

TEST(CommandStates, TransparencyIsOnWhenItsNumberIsTheOpacity) {
  const struct {
    const char* value;
    int opacity;
    bool on;
  } kCases[] = {
      {"100", 100, true},
      {"100.0", 100, true},
      {"100.4", 100, false},
      {"99.5", 100, false},
      {"100abc", 100, true},
      {"", 0, true},
      {"abc", 0, true},
      {"1e2", 100, false},
      // Outside 0-255 the preset sets the nearest end, and shows that as on.
      {"300", 255, true},
      {"300", 254, false},
      {"255.5", 255, true},
      {"-3", 0, true},
      {"-0.5", 0, true},
      {"-3", 1, false},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(TransparencyMatches(c.value, c.opacity), c.on) << c.value << " vs " << c.opacity;
}

TEST(TransparencyValue, LeadingDecimalNumberRoundedHalfToEvenWithinAByte) {
  const struct {
    const char* value;
    int opacity;
  } kCases[] = {
      {"  64", 64},   {"+7", 7},       {"2.5", 2},
      {"3.5", 4},     {"2.50001", 3},  {"2.4999", 2},
      {"254.5", 254}, {"254.51", 255}, {"256", 255},
      {"-5", 0},      {"-0.4", 0},     {"", 0},
      {"abc", 0},     {"12abc", 12},   {"1.2.3", 1},
      {"1e2", 1},     {"0x20", 0},     {".5", 0},
      {"5.", 5},      {"７", 0},       {"99999999999999999999999999", 255},
  };
  for (const auto& c : kCases) EXPECT_EQ(TransparencyValue(c.value), c.opacity) << c.value;
}

// ---- The face, the tooltip and the cursor -----------------------------------

// What the pointer at (x, y) shows: "<states>|<tooltip>|<cursor>".
std::string Look(World& w, int x, int y, int mouseButton) {
  RefreshButtons(w.app, w.ports, x, y, mouseButton);
  return States(w.app) + "|" + w.widget.toolTip + "|" + std::to_string(w.widget.cursor);
}

TEST(RefreshButtons, TheButtonUnderThePointerFloatsOrIsDownAndGivesItsTipAndCursor) {
  World w{true};
  const CursorHandle hand = test::FakeCursorLoader::SystemHandle(32649);
  w.AddButton("LINK", Rect{0, 0, 20, 20}, "a", "Open a", hand);
  w.AddButton("MAIL", Rect{30, 0, 50, 20}, "b", "Mail b");
  // Once a button has the pointer, later ones are left to the Back image.
  EXPECT_EQ(Look(w, 5, 5, 0), "F-|Open a|" + std::to_string(hand));
  EXPECT_EQ(Look(w, 35, 5, 1), "ND|Mail b|0");
  // A right button held shows the hover look, not the pressed one.
  EXPECT_EQ(Look(w, 35, 5, 2), "NF|Mail b|0");
  EXPECT_EQ(Look(w, -1, -1, 0), "NN||0");
  EXPECT_EQ(w.widget.presents, 4);
}

TEST(RefreshButtons, ASkinWithoutButtonsShowsItsBackImageAndNoSkinNothing) {
  World w{true};
  RefreshButtons(w.app, w.ports, 5, 5, 1);
  EXPECT_EQ(w.widget.face.At(5, 5), test::kBackPixel);
  EXPECT_EQ(w.widget.toolTip, "");

  w.AddButton("NONE", Rect{0, 0, 20, 20}, "", "tip", 0x900001);
  RefreshButtons(w.app, w.ports, 5, 5, 0);
  w.app.skin = SkinData{};  // the next skin could not be loaded: an old tip goes
  EXPECT_EQ(Look(w, 5, 5, 0), "||0");
  EXPECT_EQ(RunButtonCommand(w.app, w.ports, w.sink, 5, 5), CommandResult::Done);
  EXPECT_EQ(w.widget.presents, 2);
}

}  // namespace
}  // namespace tomari
