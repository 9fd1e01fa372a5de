#include "e2e/e2e_support.h"

#include <shellapi.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace e2e {

namespace {

std::wstring ModuleDir() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/") + 1);
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((from + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + name + L"\\", to + name + L"\\");
    else
      CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

void DeleteTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(full + L"\\");
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

struct FindArgs {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
  int count;
};

BOOL CALLBACK FindProc(HWND h, LPARAM lp) {
  auto* a = reinterpret_cast<FindArgs*>(lp);
  wchar_t cls[256];
  GetClassNameW(h, cls, 256);
  if (wcscmp(cls, a->cls) != 0) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (a->pid != 0 && pid != a->pid) return TRUE;
  if (!IsWindowVisible(h)) return TRUE;
  ++a->count;
  if (!a->found) a->found = h;
  return TRUE;
}

}  // namespace

std::wstring FullPath(const std::wstring& p) {
  wchar_t buf[MAX_PATH];
  DWORD n = GetFullPathNameW(p.c_str(), MAX_PATH, buf, nullptr);
  return n ? std::wstring(buf, n) : p;
}

std::wstring TestBinDir() { return ModuleDir(); }
std::wstring DistDir() { return FullPath(ModuleDir() + L"..\\Tomari\\"); }

std::wstring MakeProgramCopy(const std::wstring& name) {
  std::wstring root = FullPath(ModuleDir() + L"..\\e2e-work\\");
  CreateDirectoryW(root.c_str(), nullptr);
  std::wstring dir = root + name + L"\\";
  DeleteTree(dir);
  CopyTree(DistDir(), dir);
  return dir;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD end = GetTickCount() + timeoutMs;
  while (!done()) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return done();
    Pump(20);
  }
  return true;
}

Process::~Process() {
  Kill();
  if (pi_.hThread) CloseHandle(pi_.hThread);
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
}

bool Process::Start(const std::wstring& exe, const std::wstring& args) {
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/") + 1);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &si, &pi_) != FALSE;
}

bool Process::WaitExit(DWORD timeoutMs) {
  if (!pi_.hProcess) return true;
  DWORD end = GetTickCount() + timeoutMs;
  for (;;) {
    DWORD left = static_cast<LONG>(end - GetTickCount()) > 0 ? end - GetTickCount() : 0;
    DWORD r = MsgWaitForMultipleObjects(1, &pi_.hProcess, FALSE, left, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) return true;
    if (r == WAIT_TIMEOUT) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool Process::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
  if (Running()) {
    TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
}

HWND WaitForWindow(DWORD pid, const wchar_t* className, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        FindArgs a{pid, className, nullptr, 0};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
        found = a.found;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

int CountWindows(const wchar_t* className) {
  FindArgs a{0, className, nullptr, 0};
  EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
  return a.count;
}

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

std::string Narrow(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

bool TomariRun::Start(const std::wstring& name, std::string settings) {
  dir = MakeProgramCopy(name);
  for (size_t at; (at = settings.find("{DIR}")) != std::string::npos;)
    settings.replace(at, 5, Narrow(dir));
  if (!settings.empty()) WriteFileBytes(dir + L"Setting.ini", settings);
  if (!process.Start(dir + L"Tomari.exe", L"")) return false;
  widget = WaitForWindow(process.Id(), L"TomariWidget", 15000);
  return widget != nullptr;
}

bool TomariRun::Close() {
  if (widget) PostMessageW(widget, WM_CLOSE, 0, 0);
  return process.WaitExit(15000);
}

std::string TomariRun::SettingsFile() const { return ReadFileBytes(dir + L"Setting.ini"); }

HWND StartTarget(Process& p, const std::wstring& args) {
  if (!p.Start(TestBinDir() + L"target_app.exe", args)) return nullptr;
  HWND h = WaitForWindow(p.Id(), L"TomariTestTarget", 10000);
  Pump(200);
  // A new program's window comes to the front, as it would for a user; the
  // system does not always grant it that by itself.
  if (h && GetWindow(h, GW_OWNER) == nullptr) Activate(h);
  return h;
}

namespace {

// The folder through which the test script takes requests, as a Windows path.
std::wstring RequestFolder() {
  wchar_t dir[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"WINE_GTEST_SHOTS", dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::wstring folder(dir, n);
  // A Unix path from the script: Z: is the whole Unix file system.
  if (!folder.empty() && folder[0] == L'/') {
    for (auto& c : folder)
      if (c == L'/') c = L'\\';
    folder = L"Z:" + folder;
  }
  return folder + L"\\";
}

// Writes the request and waits until the script has carried it out.
bool Request(const std::wstring& file, const std::string& content) {
  const std::wstring folder = RequestFolder();
  if (folder.empty()) return false;
  const std::wstring path = folder + file;
  WriteFileBytes(path, content);
  return WaitUntil([&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; },
                   10000);
}

}  // namespace

// The test script photographs the X display when a request file appears and
// removes the file when the picture is taken.
void SaveScreenshot(const std::wstring& name) {
  Pump(300);  // let every window finish painting
  Request(name + L".request", "");
}

bool XInput(const std::string& words) {
  static int serial = 0;
  return Request(L"input" + std::to_wstring(++serial) + L".xdo", words);
}

}  // namespace e2e

namespace e2e {

namespace {

void SendMouse(DWORD flags, int x = 0, int y = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((x * 65535LL + w / 2) / (w - 1));
    in.mi.dy = static_cast<LONG>((y * 65535LL + h / 2) / (h - 1));
  }
  SendInput(1, &in, sizeof(in));
}

}  // namespace

void MouseTo(int x, int y) {
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
  Pump(30);
}

void MouseButton(int button, bool down) {
  DWORD flag = 0;
  if (button == 1) flag = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  if (button == 2) flag = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
  if (button == 4) flag = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
  SendMouse(flag);
  Pump(60);
}

void Click(int x, int y, int button) {
  const int xButton = button == 1 ? 1 : button == 2 ? 3 : 2;
  if (XInput("mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.1 click " +
             std::to_string(xButton) + " sleep 0.05")) {
    Pump(100);
    return;
  }
  MouseTo(x, y);
  MouseButton(button, true);
  MouseButton(button, false);
}

void Drag(POINT from, POINT to, int button) {
  // At the X server when the test script offers it: Wine moves the pointer
  // back to a stale place when a window moves under a pointer that SendInput
  // is moving, which no user's mouse does.
  const int xButton = button == 1 ? 1 : button == 2 ? 3 : 2;
  std::string words = "mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) +
                      " sleep 0.05 mousedown " + std::to_string(xButton) + " sleep 0.1";
  for (int i = 1; i <= 6; ++i)
    words += " mousemove " + std::to_string(from.x + (to.x - from.x) * i / 6) + " " +
             std::to_string(from.y + (to.y - from.y) * i / 6) + " sleep 0.05";
  words += " mouseup " + std::to_string(xButton) + " sleep 0.1";
  if (XInput(words)) {
    Pump(100);
    return;
  }
  MouseTo(from.x, from.y);
  MouseButton(button, true);
  const int steps = 6;
  for (int i = 1; i <= steps; ++i)
    MouseTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
  MouseButton(button, false);
}

void Key(WORD vk, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof(in));
  Pump(30);
}

void TapKey(WORD vk) {
  Key(vk, true);
  Key(vk, false);
}

bool PerchedOn(HWND widget, HWND target) {
  return WaitUntil(
      [&] {
        RECT w = WindowRect(widget), t = WindowRect(target);
        return w.bottom <= t.top + 1 && w.left > t.left && w.right < t.right;
      },
      5000);
}

bool Activate(HWND h) {
  SetForegroundWindow(h);
  if (WaitUntil([&] { return GetForegroundWindow() == h; }, 500)) return true;
  RECT r = WindowRect(h);
  Click(r.left + 60, r.top + 10);
  return WaitUntil([&] { return GetForegroundWindow() == h; }, 2000);
}

POINT SkinButtonCentre(HWND widget, const std::wstring& programDir, int number) {
  const std::wstring skin = programDir + L"Skins\\Default\\Default.tsk";
  wchar_t section[16];
  swprintf(section, 16, L"Button%02d", number);
  const int left = static_cast<int>(GetPrivateProfileIntW(section, L"Left", 0, skin.c_str()));
  const int top = static_cast<int>(GetPrivateProfileIntW(section, L"Top", 0, skin.c_str()));
  const int width = static_cast<int>(GetPrivateProfileIntW(section, L"Width", 0, skin.c_str()));
  const int height = static_cast<int>(GetPrivateProfileIntW(section, L"Height", 0, skin.c_str()));
  RECT w = WindowRect(widget);
  return {w.left + left + width / 2, w.top + top + height / 2};
}

}  // namespace e2e
