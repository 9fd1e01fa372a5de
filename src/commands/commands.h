#pragma once
// The command vocabulary of skin buttons: which Type names which command, when
// a command can be used and when its button shows it switched on, and the
// click on a button.
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

class CommandSink;

enum class Command {
  WindowSet,
  CaptureInside,
  CaptureAll,
  GetText,
  AntiPercher,
  TitleClock,
  TopMost,
  SemiTransparent,
  Transparency,
  Setting,
  ChangeSkin,
  Link,
  Mail,
  About,
  Popup,
  Exit,
  None,
};
inline constexpr int kCommandCount = 17;

// What a command run leaves behind. After Exited the widget is gone or going:
// the caller must not draw, move or time anything any more.
enum class CommandResult { Done, Exited };

// The command a button's Type names: the English keyword (the skin loader has
// upper-cased it) or a Japanese synonym, compared as written.
std::optional<Command> FindCommand(std::string_view type);
// The English keyword.
std::string_view CommandKeyword(Command command);

// A TRANSPARENCY button is drawn available only while the semi-transparency
// item is enabled too (the widget is fixed), but a click acts without it.
enum class CommandPath { Draw, Dispatch };
// Whether the command can be used now: drawn in its live looks (Draw), or run
// by a click (Dispatch).
bool IsCommandAvailable(const App& app, Command command, CommandPath path);
// Whether the button shows the command switched on (the Available look).
// `value` is the button's Value; only TRANSPARENCY looks at it.
bool IsCommandOn(const App& app, Command command, std::string_view value);

// The opacity a TRANSPARENCY button sets: the leading decimal number of its
// Value (0 when there is none), rounded half to even, kept within 0-255.
std::int32_t TransparencyValue(std::string_view value);
// Whether the leading decimal number of `value`, as a real number and kept
// within 0-255 as TransparencyValue keeps it, equals `opacity`: such a button
// shows the current opacity as on.
bool TransparencyMatches(std::string_view value, std::int32_t opacity);

// A left click at widget pixel (x, y): runs the first available button under
// the point, at most one, then redraws for the point.
CommandResult RunButtonCommand(App& app, Ports& ports, CommandSink& sink, int x, int y);

}  // namespace tomari
