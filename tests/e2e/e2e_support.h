#pragma once
// Helpers for scenarios that drive Tomari.exe and target windows in other
// processes under Wine.
#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

// Folder of the test executables (build/windows/testbin\).
std::wstring FullPath(const std::wstring& p);
std::wstring TestBinDir();
// The shipped program folder (build/windows/Tomari\).
std::wstring DistDir();
// A fresh, empty working folder holding a copy of the shipped program.
std::wstring MakeProgramCopy(const std::wstring& name);

std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Runs the message loop of this thread for `ms` milliseconds: Tomari sends
// synchronous messages to windows of ours while it runs and on its way out.
void Pump(DWORD ms);
// Pumps until `done` is true or `timeoutMs` passes; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Start(const std::wstring& exe, const std::wstring& args);
  DWORD Id() const { return pi_.dwProcessId; }
  HANDLE Handle() const { return pi_.hProcess; }
  // Waits (pumping) for the process to end; false on timeout.
  bool WaitExit(DWORD timeoutMs);
  bool Running() const;
  void Kill();

 private:
  PROCESS_INFORMATION pi_{};
};

// The first visible top-level window of `pid` with this class, waiting for it.
HWND WaitForWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs);
int CountWindows(const wchar_t* className);
RECT WindowRect(HWND h);

// Starts the target program with arguments (see tests/support/target_app.cpp).
HWND StartTarget(Process& p, const std::wstring& args);

// Has the test script photograph the display as NAME.png (when it asks for pictures).
void SaveScreenshot(const std::wstring& name);

}  // namespace e2e
