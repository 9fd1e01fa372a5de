// Command keywords, the conditions that make a command usable or switched on,
// and the click on a skin button.
#include "commands/commands.h"

#include <algorithm>
#include <string>

#include "commands/menu_handlers.h"
#include "commands/widget_face.h"
#include "skin/skin.h"

namespace tomari {

namespace {

struct CommandName {
  Command command;
  const char* keyword;
  const char* synonym;
  // Skins in the wild spell two commands two ways; each spelling must both
  // draw and act, or a button is drawn but inert, or acts but is never drawn.
  const char* otherSynonym;
};

constexpr CommandName kNames[] = {
    {Command::WindowSet, "WINDOWSET", "固定", nullptr},
    {Command::CaptureInside, "CAPTUREINSIDE", "内部複写", "内側複写"},
    {Command::CaptureAll, "CAPTUREALL", "全体複写", nullptr},
    {Command::GetText, "GETTEXT", "文字取得", nullptr},
    {Command::AntiPercher, "ANTIPERCHER", "対象外にする", nullptr},
    {Command::TitleClock, "TITLECLOCK", "タイトル時計", nullptr},
    {Command::TopMost, "TOPMOST", "最前面", nullptr},
    {Command::SemiTransparent, "SEMITRANSPARENT", "半透明", nullptr},
    {Command::Transparency, "TRANSPARENCY", "透明度", "不透明度"},
    {Command::Setting, "SETTING", "設定", nullptr},
    {Command::ChangeSkin, "CHANGESKIN", "スキン変更", nullptr},
    {Command::Link, "LINK", "リンク", nullptr},
    {Command::Mail, "MAIL", "メール", nullptr},
    {Command::About, "ABOUT", "情報", nullptr},
    {Command::Popup, "POPUP", "メニュー", nullptr},
    {Command::Exit, "EXIT", "終了", nullptr},
    {Command::None, "NONE", "無機能", nullptr},
};
static_assert(std::size(kNames) == kCommandCount);

constexpr bool InTableOrder() {
  for (int i = 0; i < kCommandCount; ++i)
    if (static_cast<int>(kNames[i].command) != i) return false;
  return true;
}
static_assert(InTableOrder(), "kNames is indexed by Command");

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading decimal number of a text, exactly: a skin's "100" must equal the
// setting 100 and "2.5" must round to 2, which binary floating point would
// only mostly get right.
struct LeadingDecimal {
  bool negative = false;
  std::uint64_t whole = 0;  // saturates at kWholeCap, far above any opacity
  std::string fraction;     // digits after the point, trailing zeros dropped
};
constexpr std::uint64_t kWholeCap = 1'000'000'000'000ULL;

LeadingDecimal ParseLeadingDecimal(std::string_view s) {
  LeadingDecimal d;
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    d.negative = s[i] == '-';
    ++i;
  }
  bool anyDigit = false;
  for (; i < s.size() && IsDigit(s[i]); ++i) {
    anyDigit = true;
    const unsigned digit = static_cast<unsigned>(s[i] - '0');
    d.whole = d.whole >= kWholeCap / 10 ? kWholeCap : d.whole * 10 + digit;
  }
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i) {
      anyDigit = true;
      d.fraction += s[i];
    }
  }
  if (!anyDigit) return {};
  while (!d.fraction.empty() && d.fraction.back() == '0') d.fraction.pop_back();
  if (d.whole == 0 && d.fraction.empty()) d.negative = false;
  return d;
}

bool Attached(const App& app) { return app.menu.WindowMenuEnabled; }

}  // namespace

std::optional<Command> FindCommand(std::string_view type) {
  for (const CommandName& n : kNames) {
    if (type == n.keyword || type == n.synonym) return n.command;
    if (n.otherSynonym != nullptr && type == n.otherSynonym) return n.command;
  }
  return std::nullopt;
}

std::string_view CommandKeyword(Command command) {
  const int i = static_cast<int>(command);
  return i >= 0 && i < kCommandCount ? kNames[i].keyword : "";
}

bool IsCommandAvailable(const App& app, Command command, CommandPath path) {
  const CommandState& m = app.menu;
  const bool layered = app.facts.HasLayeredWindows;
  switch (command) {
    case Command::WindowSet:
    case Command::CaptureInside:
    case Command::CaptureAll:
    case Command::GetText:
    case Command::AntiPercher:
    case Command::TitleClock:
      return Attached(app);
    case Command::TopMost:
      return Attached(app) && m.TopMostEnabled;
    case Command::SemiTransparent:
      // Drawn usable exactly when a click would act.
      return Attached(app) && layered && m.LayerEnabled && OpacityCanBeGivenBack(app);
    case Command::Transparency:
      return Attached(app) && layered && m.LayerChecked &&
             (path == CommandPath::Dispatch || m.LayerEnabled);
    case Command::Setting:
    case Command::ChangeSkin:
    case Command::Link:
    case Command::Mail:
    case Command::About:
    case Command::Popup:
    case Command::Exit:
    case Command::None:
      return true;
  }
  return false;
}

bool IsCommandOn(const App& app, Command command, std::string_view value) {
  const CommandState& m = app.menu;
  switch (command) {
    case Command::WindowSet:
      return m.WindowSetChecked;
    case Command::TitleClock:
      return m.TitleClockChecked;
    case Command::TopMost:
      return m.TopMostChecked;
    case Command::SemiTransparent:
      return m.LayerChecked;
    case Command::Transparency:
      return TransparencyMatches(value, app.settings.LayerTransparency);
    default:
      return false;
  }
}

std::int32_t TransparencyValue(std::string_view value) {
  const LeadingDecimal d = ParseLeadingDecimal(value);
  // The system takes one byte of opacity; a skin's 300 means "opaque", not the
  // nearly invisible 44 that its low byte would give.
  if (d.negative) return 0;
  if (d.whole >= 255) return 255;
  auto n = static_cast<std::int32_t>(d.whole);
  if (!d.fraction.empty()) {
    const char first = d.fraction.front();
    const bool exactHalf = first == '5' && d.fraction.size() == 1;
    if (first > '5' || (first == '5' && !exactHalf) || (exactHalf && n % 2 == 1)) ++n;
  }
  return n;
}

bool TransparencyMatches(std::string_view value, std::int32_t opacity) {
  const LeadingDecimal d = ParseLeadingDecimal(value);
  // A preset outside 0-255 sets the nearest end of the range, and shows on
  // when that is the opacity in force.
  if (d.negative) return opacity == 0;
  if (d.whole > 255 || (d.whole == 255 && !d.fraction.empty())) return opacity == 255;
  return d.fraction.empty() && static_cast<std::int64_t>(d.whole) == opacity;
}

CommandResult RunButtonCommand(App& app, Ports& ports, CommandSink& sink, int x, int y) {
  if (!app.skin.loaded) return CommandResult::Done;
  // CHANGESKIN frees the buttons and EXIT the widget: the action gets copies of
  // what it needs, and the button is not looked at again.
  std::optional<Command> hit;
  std::string value;
  for (const SkinButton& button : app.skin.Buttons) {
    const std::optional<Command> command = FindCommand(button.Type);
    if (!command || !IsCommandAvailable(app, *command, CommandPath::Dispatch)) continue;
    if (!HitTestButton(app.skin, button, x, y)) continue;
    hit = command;
    value = button.Value;
    break;
  }
  if (hit && RunCommand(app, ports, sink, *hit, value) == CommandResult::Exited)
    return CommandResult::Exited;
  RefreshButtons(app, ports, x, y, 0);
  return CommandResult::Done;
}

}  // namespace tomari
