#include "win32/win32_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "win32/ports/dib.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/text_convert.h"

namespace win32test {

namespace fs = std::filesystem;

namespace {

// Writes a request file into the script's folder and waits until the script
// has carried it out (it removes the file).
bool Request(const std::wstring& file, const std::string& content) {
  const char* dir = std::getenv("WINE_GTEST_SHOTS");
  if (!dir || !*dir) return false;
  // A Unix path: Z: is the whole Unix file system.
  const std::wstring path =
      (dir[0] == '/' ? L"Z:" : L"") + fs::path(dir).make_preferred().wstring() + L"\\" + file;
  WriteBytes(path, content);
  return WaitUntil([&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; },
                   20000);
}

// Real mouse input goes in at the X server, through the test script.
void Mouse(const std::string& words) {
  static int serial = 0;
  if (!Request(L"input" + std::to_wstring(++serial) + L".xdo", words))
    ADD_FAILURE() << "no X input channel: set WINE_GTEST_SHOTS (scripts/test does)";
  Pump(100);
}

// Copies folder `from` into `to` (both with a trailing backslash), sub-folders too.
void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((from + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
    else if (name != L"." && name != L"..")
      CopyTree(from + name + L"\\", to + name + L"\\");
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// xdotool's button numbers: 1 left, 2 middle, 3 right.
std::string XButton(int button) { return button == 1 ? "1" : button == 2 ? "3" : "2"; }
std::string At(POINT p) { return " mousemove " + std::to_string(p.x) + " " + std::to_string(p.y); }

}  // namespace

std::wstring TestBinDir() {
  wchar_t path[MAX_PATH * 2];
  const std::wstring p(path, GetModuleFileNameW(nullptr, path, MAX_PATH * 2));
  return p.substr(0, p.find_last_of(L"\\/") + 1);
}

std::wstring DistDir() {
  return fs::weakly_canonical(fs::path(TestBinDir()) / L".." / L"Tomari").wstring() + L"\\";
}

void Pump(DWORD ms) {
  WaitUntil([] { return false; }, ms);
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const DWORD spent = GetTickCount() - start;
    if (done()) return true;
    if (spent >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(20, timeoutMs - spent),
                              QS_ALLINPUT);
  }
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(fs::path(path), std::ios::binary);
  return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

std::wstring TextOf(HWND h) {
  // Asked of the window itself: for another process's control the system
  // keeps only the text it was created with.
  wchar_t buffer[1024] = L"";
  DWORD_PTR n = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                      &n);
  return std::wstring(buffer, n < 1024 ? n : 0);
}

std::string Narrow(const std::wstring& w) { return tomari::WideToMultiByte(CP_ACP, w); }

HWND FindWindowOf(DWORD pid, const wchar_t* className, DWORD timeoutMs, const wchar_t* title) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND h = nullptr; (h = FindWindowExW(nullptr, h, className, nullptr)) != nullptr;) {
          DWORD owner = 0;
          GetWindowThreadProcessId(h, &owner);
          if ((!pid || owner == pid) && IsWindowVisible(h) && (!title || TextOf(h) == title))
            return (found = h) != nullptr;
        }
        return false;
      },
      timeoutMs);
  return found;
}

TempFolder::TempFolder() {
  static unsigned counter = 0;
  path_ = (fs::temp_directory_path() / (L"tomari-test-" + std::to_wstring(GetCurrentProcessId()) +
                                        L"-" + std::to_wstring(++counter)))
              .wstring() +
          L"\\";
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code error;
  fs::remove_all(path_, error);
}

std::string TempFolder::Utf8(const std::wstring& name) const {
  return tomari::WideToUtf8(path_ + name);
}

int TempFolder::Count() const {
  return static_cast<int>(std::distance(fs::directory_iterator(path_), fs::directory_iterator()));
}

Process::~Process() {
  Kill();
  Close();
}

void Process::Close() {
  if (pi_.hThread) CloseHandle(pi_.hThread);
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
  pi_ = PROCESS_INFORMATION{};
}

bool Process::Start(const std::wstring& exe, const std::wstring& args) {
  Close();
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  const std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/") + 1);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                        &si, &pi_) != FALSE;
}

bool Process::WaitExit(DWORD timeoutMs) {
  return !pi_.hProcess ||
         WaitUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; },
                   timeoutMs);
}

void Process::Kill() {
  if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, 0) != WAIT_TIMEOUT) return;
  TerminateProcess(pi_.hProcess, 1);
  WaitForSingleObject(pi_.hProcess, 5000);
}

bool Target::Start(const std::wstring& args, bool activate) {
  static int serial = 0;
  const std::wstring cls =
      L"TomariTarget" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++serial);
  if (!process_.Start(TestBinDir() + L"target_app.exe", args + L" --class " + cls)) return false;
  hwnd_ = FindWindowOf(process_.Id(), cls.c_str(), 10000);
  // The system does not always grant a new program the front by itself.
  return hwnd_ && (!activate || Activate(hwnd_));
}

bool Target::Hang() {
  // The target answers, then its thread stops for good.
  return SendMessageTimeoutW(hwnd_, WM_APP + 1, 0, 0, SMTO_NORMAL, 15000, nullptr) != 0;
}

std::wstring ProgramCopy(const std::wstring& name) {
  const std::wstring dir =
      fs::weakly_canonical(fs::path(TestBinDir()) / L".." / L"e2e-work" / name).wstring() + L"\\";
  std::error_code error;
  fs::remove_all(dir, error);  // a leftover of an earlier run: settings must not carry over
  fs::create_directories(dir, error);
  CopyTree(DistDir(), dir);
  return dir;
}

bool TomariRun::Start(const std::wstring& name, std::string settings,
                      const std::function<void(const std::wstring&)>& prepare) {
  dir = ProgramCopy(name);
  for (size_t at; (at = settings.find("{DIR}")) != std::string::npos;)
    settings.replace(at, 5, Narrow(dir));
  if (!settings.empty()) WriteBytes(dir + L"Setting.ini", settings);
  if (prepare) prepare(dir);
  return Restart();
}

bool TomariRun::Restart() {
  widget = nullptr;
  if (process.Start(dir + L"Tomari.exe", L""))
    widget = FindWindowOf(process.Id(), L"TomariWidget", 15000);
  return widget != nullptr;
}

bool TomariRun::Close() {
  if (widget) PostMessageW(widget, WM_CLOSE, 0, 0);
  return process.WaitExit(15000);
}

unsigned long long TomariRun::Stamp() const {
  std::error_code error;
  return fs::last_write_time(dir + L"Setting.ini", error).time_since_epoch().count();
}

std::string TomariRun::SavedSince(unsigned long long before) const {
  std::string saved;
  // A read that meets the replace itself finds no file: it is read again.
  if (WaitUntil([&] { return Stamp() != before; }, 20000))
    WaitUntil([&] { return !(saved = SettingsFile()).empty(); });
  return saved;
}

SIZE TomariRun::BackSize() const {
  const std::string back = ReadBytes(dir + L"Skins\\Default\\Back.bmp");
  if (back.size() < 26) return {1, 1};
  return {*reinterpret_cast<const int32_t*>(back.data() + 18),
          *reinterpret_cast<const int32_t*>(back.data() + 22)};
}

POINT TomariRun::Button(int number) const {
  const std::wstring skin = dir + L"Skins\\Default\\Default.tsk";
  wchar_t section[16];
  swprintf(section, 16, L"Button%02d", number);
  auto key = [&](const wchar_t* name) {
    return static_cast<int>(GetPrivateProfileIntW(section, name, 0, skin.c_str()));
  };
  // The widget is the back image scaled to the display's DPI, which the program
  // read when it started.
  const int backWidth = BackSize().cx;
  const RECT w = WindowRect(widget);
  return {w.left + MulDiv(key(L"Left") + key(L"Width") / 2, w.right - w.left, backWidth),
          w.top + MulDiv(key(L"Top") + key(L"Height") / 2, w.right - w.left, backWidth)};
}

void TomariRun::Press(std::initializer_list<int> buttons) const {
  for (int number : buttons) {
    Click(Button(number));
    Pump(200);
  }
}

POINT TomariRun::Grip() const {
  const RECT w = WindowRect(widget);
  return {w.left + 4, (w.top + w.bottom) / 2};
}

bool TomariRun::Menu(std::initializer_list<WORD> keys) const {
  Click(Grip(), 2);
  if (!FindWindowOf(0, L"#32768", 5000)) return false;
  for (WORD key : keys) TapKey(key);
  return true;
}

void MouseTo(POINT p) { Mouse(At(p)); }

void Click(POINT p, int button, int times) {
  const std::string repeat = times > 1 ? "--repeat " + std::to_string(times) + " " : "";
  Mouse(At(p) + " sleep 0.1 click " + repeat + XButton(button) + " sleep 0.05");
}

void Drag(POINT from, POINT to, int button, bool ctrl) {
  // Ctrl goes in at the X server too: Wine forgets a Ctrl sent with SendInput
  // at the next X mouse event.
  std::string words = At(from) + (ctrl ? " keydown ctrl" : "") + " sleep 0.05 mousedown " +
                      XButton(button) + " sleep 0.1";
  for (int i = 1; i <= 6; ++i)
    words +=
        At({from.x + (to.x - from.x) * i / 6, from.y + (to.y - from.y) * i / 6}) + " sleep 0.05";
  Mouse(words + " mouseup " + XButton(button) + " sleep 0.1" + (ctrl ? " keyup ctrl" : ""));
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

bool PerchedOn(HWND widget, HWND target, bool centred, DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        const RECT w = WindowRect(widget), t = WindowRect(target);
        if (centred)
          return w.bottom == t.top && std::abs((w.left - t.left) - (t.right - w.right)) <= 1;
        return w.bottom <= t.top + 1 && w.left > t.left && w.right < t.right;
      },
      timeoutMs);
}

int LayeredAlpha(HWND h) {
  BYTE alpha = 0;
  DWORD flags = 0;
  return GetLayeredWindowAttributes(h, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) ? alpha : -1;
}

bool Activate(HWND h) {
  SetForegroundWindow(h);
  if (WaitUntil([&] { return GetForegroundWindow() == h; }, 500)) return true;
  const RECT r = WindowRect(h);
  Click({r.left + 60, r.top + 10});
  return WaitUntil([&] { return GetForegroundWindow() == h; });
}

HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs) {
  if (HWND found = FindWindowOf(0, L"#32770", timeoutMs, caption)) return found;
  throw std::runtime_error("no dialog " + tomari::WideToUtf8(caption));
}

void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClearClipboard() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

tomari::Bitmap ClipboardBitmap() {
  tomari::Bitmap out;
  if (!OpenClipboard(nullptr)) return out;
  if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    out = tomari::Bitmap(info.bmWidth, info.bmHeight);
    BITMAPINFO bi = tomari::TopDownDib32(info.bmWidth, info.bmHeight);
    tomari::gdi::WindowDC screen(nullptr);
    GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(info.bmHeight), out.pixels.data(), &bi,
              DIB_RGB_COLORS);
    for (auto& p : out.pixels) p &= 0xFFFFFF;
  }
  CloseClipboard();
  return out;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

void SaveScreenshot(const std::wstring& name) {
  Pump(300);  // let every window finish painting
  Request(name + L".request", "");
}

}  // namespace win32test
