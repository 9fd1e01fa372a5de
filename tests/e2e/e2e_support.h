#pragma once
// Scenarios that drive Tomari.exe and target windows in other processes under
// Wine, on the harness of the Wine tests.
#include <windows.h>

#include <string>

#include "win32/win32_test_support.h"

namespace e2e {

using win32test::DistDir;
using win32test::FullPath;
using win32test::Process;
using win32test::Pump;
using win32test::SaveScreenshot;
using win32test::TestBinDir;
using win32test::WaitUntil;
using win32test::XInput;
inline std::string ReadFileBytes(const std::wstring& path) { return win32test::ReadBytes(path); }
inline void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  win32test::WriteBytes(path, bytes);
}
inline HWND WaitForWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs) {
  return win32test::FindWindowOf(pid, className, timeoutMs);
}

// A fresh, empty working folder holding a copy of the shipped program.
std::wstring MakeProgramCopy(const std::wstring& name);
int CountWindows(const wchar_t* className);
RECT WindowRect(HWND h);
std::string Narrow(const std::wstring& w);  // to the ANSI code page

// A copy of the program, started with a Setting.ini of our choosing.
struct TomariRun {
  Process process;
  HWND widget = nullptr;
  std::wstring dir;
  // "{DIR}" in `settings` stands for the program's folder (as the program
  // sees it, in the ANSI code page).
  bool Start(const std::wstring& name, std::string settings = {});
  // WM_CLOSE, as any program or the system would send it; waits for the exit.
  bool Close();
  std::string SettingsFile() const;
};

// Starts target_app.exe with arguments and brings its window to the front.
HWND StartTarget(Process& p, const std::wstring& args);

// Real input, as a user's mouse and keyboard give it: at the X server when the
// test script offers it, through SendInput otherwise.
void MouseTo(int x, int y);
void Click(int x, int y, int button = 1);  // 1 left, 2 right, 4 middle
// Press at `from`, move in steps to `to`, release there.
void Drag(POINT from, POINT to, int button = 1);
void Key(WORD vk, bool down);
void TapKey(WORD vk);
// Waits until the widget sits centred above `target`, as the default anchors
// put it once the tick has attached to it.
bool PerchedOn(HWND widget, HWND target);
// Brings `h` to the front as a user would, clicking its title bar when asking
// the system is not enough; true when it became the foreground window.
bool Activate(HWND h);

// The centre of Button NN of the Default skin, in screen pixels, for a widget
// whose window is `widget`; read from the skin file the program uses.
POINT SkinButtonCentre(HWND widget, const std::wstring& programDir, int number);

}  // namespace e2e
