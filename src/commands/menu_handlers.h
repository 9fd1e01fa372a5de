#pragma once
// The actions behind the popup menu's items and the skin buttons, and the sink
// through which they reach what only the Win32 side can do: the popup menu
// itself, the close request and the modal dialogs.
#include <cstdint>
#include <string>

#include "app/app.h"
#include "commands/commands.h"
#include "platform/ports.h"

namespace tomari {

// The items of the popup menu that run something.
enum class MenuItem {
  None,
  WindowSet,
  TitleClock,
  CaptureAll,     // Menu_Capture_Set(0)
  CaptureInside,  // Menu_Capture_Set(1)
  String,
  TopMost,
  Layer,
  AntiPercher,
  Setting,
  Version,
  Exit,
};

class CommandSink {
 public:
  virtual ~CommandSink() = default;

  // Shows the popup menu at the pointer, the right button picking items too,
  // with its checks and enabled states taken from app.menu. Returns the item
  // picked (None when dismissed) without running it: the caller runs it.
  virtual MenuItem OpenPopupMenu() = 0;
  // The widget's close request. When it returns the widget may be gone.
  virtual void Exit() = 0;
  // Modal dialogs owned by the widget; each returns when its dialog closes.
  virtual void ShowTextGrab() = 0;
  virtual void ShowExclusionEditor() = 0;
  virtual void ShowSettings() = 0;
  virtual void ShowVersion() = 0;
};

// Fixed mode on or off; top-most and semi-transparency are offered only while
// fixed (the latter only where windows can be layered).
void Menu_WindowSet_Click(App& app, Ports& ports);
// Only flips the switch: the tracking tick writes or removes the clock.
void Menu_TitleClock_Click(App& app);
// index 0: the whole window, 1: its inside; destination from the settings.
void Menu_Capture_Set_Click(App& app, Ports& ports, int index);
void Menu_String_Click(App& app, Ports& ports, CommandSink& sink);
// The attached window joins or leaves the top-most band.
void Menu_TopMost_Click(App& app, Ports& ports);
// The attached window becomes semi-transparent at LayerTransparency, or opaque.
void Menu_Layer_Click(App& app, Ports& ports);
// False for a window drawn with per-pixel alpha: Menu_Layer_Click refuses it.
bool OpacityCanBeGivenBack(const App& app);
void Menu_AntiPercher_Click(App& app, Ports& ports, CommandSink& sink);
void Menu_Setting_Click(App& app, Ports& ports, CommandSink& sink);
void Menu_Version_Click(App& app, Ports& ports, CommandSink& sink);
CommandResult Menu_Exit_Click(CommandSink& sink);

// TRANSPARENCY: `opacity` (0-255) becomes LayerTransparency and the attached
// window's opacity at once.
void SetTransparency(App& app, Ports& ports, std::int32_t opacity);
// CHANGESKIN: the skin file `value`, relative to the current skin's folder.
void ChangeSkin(App& app, Ports& ports, const std::string& value);
// LINK and MAIL.
void OpenLink(Shell& shell, const std::string& value);
void OpenMail(Shell& shell, const std::string& value);

// Shows the popup menu and runs the item picked.
CommandResult ShowPopupMenu(App& app, Ports& ports, CommandSink& sink);
// Runs a popup menu item.
CommandResult RunMenuItem(App& app, Ports& ports, CommandSink& sink, MenuItem item);
// Runs a command with the Value of the button that names it.
CommandResult RunCommand(App& app, Ports& ports, CommandSink& sink, Command command,
                         const std::string& value);

}  // namespace tomari
