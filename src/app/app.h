#pragma once
// The one application state object. The Win32 layer owns one App and hands it,
// with the ports, to every core operation.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/own_windows.h"
#include "platform/types.h"
#include "skin/skin.h"
#include "tomari_version.h"

namespace tomari {

inline constexpr const char* kDisplayName = "トマリギ";
inline constexpr const char* kVersionText = TOMARI_VERSION_TEXT;
// Where users find new versions and reach the author (the version dialog).
inline constexpr const char* kHomePageAddress = "https://tomari.example.jp/";
inline constexpr const char* kMailAddress = "tomari@example.jp";

// A window the user never wants the widget on.
struct ExclusionEntry {
  std::string Name;
  std::string WindowTitle;
  std::int32_t InTitle = 0;  // non-zero: the title only has to contain WindowTitle
  std::string WindowClass;
  friend bool operator==(const ExclusionEntry&, const ExclusionEntry&) = default;
};

// What start-up finds out about this run; none of it is stored.
struct StartupFacts {
  std::string AppFolder;  // always ends in "\"
  bool HasImageLibrary = false;
  bool HasLayeredWindows = false;
  // Setting.ini exists but could not be read (locked for a moment, offline):
  // the run goes on with defaults and never writes over the user's file.
  bool SettingsUnreadable = false;
  // Where Setting.ini is kept this run ("" until chosen: AppFolder); see
  // SettingsFolder in app/settings_folder.h.
  std::string SettingsFolder;
  // This run moved the settings out of a program folder that cannot be
  // written: the user is told once.
  bool SettingsFolderMoved = false;
};

// Every key of Setting.ini.
struct Settings {
  std::int32_t MainTiming = 100;
  std::int32_t MainMulti = 0;
  std::string MainSkin;
  std::int32_t PositionAuto = 1;
  std::int32_t PositionX = 2;
  std::int32_t PositionY = 0;
  std::int32_t PositionXOffset = 0;
  std::int32_t PositionYOffset = 0;
  std::int32_t LayerTransparency = 128;
  std::int32_t DragParent = 0;
  std::int32_t CaptureType = 0;
  std::int32_t CaptureSaveType = 0;
  std::string CaptureSaveFolder;
  std::int32_t CaptureFileType = 0;
  std::int32_t CaptureJpegValue = 100;
  std::int32_t CaptureJpegProgressive = 0;
  std::int32_t CapturePngValue = 0;
  std::int32_t ClockPosition = 1;
  std::string ClockFormatText = " <yyyy/mm/dd hh:mm:ss> ";
  std::int32_t ClockWorldTime = 17;
  std::int32_t ClockWorldTimePM = 0;
  std::int32_t ClockWorldTimeHour = 0;
  std::int32_t ClockWorldTimeMinute = 0;
  std::int32_t ClockWorldTimeSDT = 0;
  // Entries in file order (the first stored section is element 0).
  std::vector<ExclusionEntry> ExclusionEntries;
  friend bool operator==(const Settings&, const Settings&) = default;
};

// A window's top-most and layered state as recorded when the widget attached
// to it, and which of the two the program has changed since.
struct RecordedAttributes {
  bool TargetTopMost = false;
  std::int32_t TargetAlpha = 0;  // 0: not semi-transparent
  bool TargetLayered = false;    // WS_EX_LAYERED was set at attach
  LayeredAttributes TargetLayeredAttributes;
  // Set by the commands that change the attached window, so that leaving it
  // puts back only what was changed.
  bool ChangedTopMost = false;
  bool ChangedLayer = false;
};

// A give-back that a window did not take yet (it was hung or too slow): kept
// and tried again until the window answers or is gone.
struct PendingRestore {
  WindowHandle window = 0;
  RecordedAttributes state;
  // What we had set on the window, so that a later run can tell our state
  // from one somebody else has given it since.
  bool OurTopMost = false;
  bool OurLayered = false;
  std::uint8_t OurAlpha = 0;
};

// The attached window and what it must get back when the widget leaves it.
struct TargetRecord : RecordedAttributes {
  WindowHandle AttachedWindow = 0;
  std::vector<PendingRestore> PendingRestores;
};

// A press on the widget and the drag that may follow it.
struct DragState {
  bool Pressed = false;
  int PressX = 0;
  int PressY = 0;
  int PressLeft = 0;
  int PressTop = 0;
  // Where each window carried by the current right drag stood at its start.
  // Moves of other programs' windows are asynchronous: reading a window's
  // position back mid-drag may not show the last move yet, so every move is
  // made from the start position plus the drag's whole distance.
  struct DragOrigin {
    WindowHandle window = 0;
    Point origin;
  };
  std::vector<DragOrigin> DragOrigins;
  int DragTotalX = 0;  // the widget's distance from the press so far
  int DragTotalY = 0;
};

// The base position computed by the last placement; the user's offsets are
// measured from it.
struct PlacementBase {
  int BaseX = 0;
  int BaseY = 0;
  Rect Against;  // the target's rectangle the tick last placed against
};

// The popup menu's checks and enabled states; the menu and the buttons are
// drawn from this.
struct CommandState {
  bool WindowMenuEnabled = false;  // a target is attached
  bool WindowSetChecked = false;   // fixed mode
  bool TitleClockChecked = false;  // title clock on
  bool TopMostEnabled = false;
  bool TopMostChecked = false;
  bool LayerEnabled = false;
  bool LayerChecked = false;
};

// What the widget's face shows: each button's look, and the tooltip and cursor
// of the button under the pointer. RefreshButtons keeps it, so the hover tick
// presents a face only when it differs from the one on the screen.
struct ButtonLook {
  bool shown = false;       // false: no face of a loaded skin (yet)
  std::vector<int> states;  // per button, a ButtonState; -1: not drawn over Back
  std::string ToolTip;
  CursorHandle Cursor = 0;  // 0: the arrow
  friend bool operator==(const ButtonLook&, const ButtonLook&) = default;
};

// The window that carries the title clock and the title it had before.
struct ClockRecord {
  WindowHandle Window = 0;
  std::string OriginalTitle;
  std::string LastTitle;  // what we wrote last
  std::string Text;       // the clock text inside LastTitle
  bool Before = false;    // Text was put before the title

  ClockRecord() = default;
  // The record of a clock that turned `original` into `last`: the clock text is
  // what `last` adds after the title or, failing that, before it.
  ClockRecord(WindowHandle window, std::string original, std::string last)
      : Window(window), OriginalTitle(std::move(original)), LastTitle(std::move(last)) {
    const auto n = OriginalTitle.size();
    if (LastTitle.size() < n) return;
    if (LastTitle.compare(0, n, OriginalTitle) == 0) {
      Text = LastTitle.substr(n);
    } else if (LastTitle.compare(LastTitle.size() - n, n, OriginalTitle) == 0) {
      Text = LastTitle.substr(0, LastTitle.size() - n);
      Before = true;
    }
  }
};

// The journal beside Setting.ini of what we changed on other programs' windows
// (app/journal.h): whether this run keeps one, and what the file holds.
struct JournalState {
  bool Enabled = false;
  std::string Written;  // the file's content, clock digits masked
  // Process and class of the windows the last sync listed. Asking another
  // process's window costs a call into the window server, and the sync runs
  // every tick while something is owed; a window stays the same window (same
  // process, same class) for as long as it exists.
  struct Identity {
    WindowHandle Window = 0;
    std::uint32_t Process = 0;
    std::string Class;
  };
  mutable std::vector<Identity> Known;
};

struct App {
  StartupFacts facts;
  Settings settings;
  OwnWindowList ownWindows;
  TargetRecord target;
  DragState drag;
  PlacementBase placement;
  // A command or dialog is running: the ticks do nothing meanwhile.
  bool Busy = false;
  CommandState menu;
  ClockRecord clock;
  // Titles still to be given back: their windows did not take the write yet.
  std::vector<ClockRecord> PendingTitles;
  SkinData skin;
  ButtonLook look;
  WindowHandle TargetWindow = 0;
  WindowHandle WidgetHandle = 0;
  // Not stored: the settings dialog reopens on the page last shown in this run.
  int LastSettingsPage = 0;
  JournalState journal;
};

}  // namespace tomari
