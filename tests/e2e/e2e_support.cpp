#include "e2e/e2e_support.h"

#include <shellapi.h>

#include <utility>

namespace e2e {

namespace {

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((from + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      CopyTree(from + name + L"\\", to + name + L"\\");
    else
      CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

BOOL CALLBACK CountVisible(HWND h, LPARAM p) {
  auto& search = *reinterpret_cast<std::pair<const wchar_t*, int>*>(p);
  wchar_t cls[256];
  GetClassNameW(h, cls, 256);
  if (wcscmp(cls, search.first) == 0 && IsWindowVisible(h)) ++search.second;
  return TRUE;
}

// xdotool's button numbers: 1 left, 2 middle, 3 right.
std::string XButton(int button) { return button == 1 ? "1" : button == 2 ? "3" : "2"; }
std::string At(POINT p) { return " mousemove " + std::to_string(p.x) + " " + std::to_string(p.y); }

void SendMouse(DWORD flags, int x = 0, int y = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  in.mi.dx = static_cast<LONG>((x * 65535LL + w / 2) / (w - 1));
  in.mi.dy = static_cast<LONG>((y * 65535LL + h / 2) / (h - 1));
  SendInput(1, &in, sizeof(in));
  Pump(40);
}

void SendButton(int button, bool down) {
  const DWORD left = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  const DWORD right = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
  const DWORD middle = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
  SendMouse(button == 1 ? left : button == 2 ? right : middle);
}

}  // namespace

std::wstring MakeProgramCopy(const std::wstring& name) {
  const std::wstring root = FullPath(TestBinDir() + L"..\\e2e-work\\");
  CreateDirectoryW(root.c_str(), nullptr);
  const std::wstring dir = root + name + L"\\";
  // A leftover of an earlier run goes first: settings must not carry over.
  SHFILEOPSTRUCTW op{};
  const std::wstring from = dir.substr(0, dir.size() - 1) + L'\0';
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationW(&op);
  CopyTree(DistDir(), dir);
  return dir;
}

int CountWindows(const wchar_t* className) {
  std::pair<const wchar_t*, int> search{className, 0};
  EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

std::string Narrow(const std::wstring& w) {
  const int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
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

void MouseTo(int x, int y) { SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y); }

void Click(int x, int y, int button) {
  if (XInput(At({x, y}) + " sleep 0.1 click " + XButton(button) + " sleep 0.05")) {
    Pump(100);
    return;
  }
  MouseTo(x, y);
  SendButton(button, true);
  SendButton(button, false);
}

void Drag(POINT from, POINT to, int button) {
  // At the X server when the test script offers it: Wine moves the pointer
  // back to a stale place when a window moves under a pointer that SendInput
  // is moving, which no user's mouse does.
  std::string words = At(from) + " sleep 0.05 mousedown " + XButton(button) + " sleep 0.1";
  for (int i = 1; i <= 6; ++i)
    words += At({from.x + (to.x - from.x) * i / 6, from.y + (to.y - from.y) * i / 6}) +
             " sleep 0.05";
  if (XInput(words + " mouseup " + XButton(button) + " sleep 0.1")) {
    Pump(100);
    return;
  }
  MouseTo(from.x, from.y);
  SendButton(button, true);
  for (int i = 1; i <= 6; ++i)
    MouseTo(from.x + (to.x - from.x) * i / 6, from.y + (to.y - from.y) * i / 6);
  SendButton(button, false);
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
        const RECT w = WindowRect(widget), t = WindowRect(target);
        return w.bottom <= t.top + 1 && w.left > t.left && w.right < t.right;
      },
      5000);
}

bool Activate(HWND h) {
  SetForegroundWindow(h);
  if (WaitUntil([&] { return GetForegroundWindow() == h; }, 500)) return true;
  const RECT r = WindowRect(h);
  Click(r.left + 60, r.top + 10);
  return WaitUntil([&] { return GetForegroundWindow() == h; }, 2000);
}

POINT SkinButtonCentre(HWND widget, const std::wstring& programDir, int number) {
  const std::wstring skin = programDir + L"Skins\\Default\\Default.tsk";
  wchar_t section[16];
  swprintf(section, 16, L"Button%02d", number);
  auto key = [&](const wchar_t* name) {
    return static_cast<int>(GetPrivateProfileIntW(section, name, 0, skin.c_str()));
  };
  const RECT w = WindowRect(widget);
  return {w.left + key(L"Left") + key(L"Width") / 2, w.top + key(L"Top") + key(L"Height") / 2};
}

}  // namespace e2e
