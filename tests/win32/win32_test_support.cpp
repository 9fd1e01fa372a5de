#include "win32/win32_test_support.h"

#include <vector>

#include "win32/ports/text_convert.h"

namespace win32test {

std::wstring TestBinDir() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD n;
  while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) >=
         path.size())
    path.resize(path.size() * 2);
  path.resize(n);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::wstring FullPath(const std::wstring& p) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = GetFullPathNameW(p.c_str(), MAX_PATH * 2, buffer, nullptr);
  return n ? std::wstring(buffer, n) : p;
}

std::wstring DistDir() { return FullPath(TestBinDir() + L"..\\Tomari\\"); }

void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeoutMs) return done();
    Pump(20);
  }
  return true;
}

double ElapsedMs(const std::function<void()>& fn) {
  LARGE_INTEGER frequency, before, after;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&before);
  fn();
  QueryPerformanceCounter(&after);
  return 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()),
                                              &written, nullptr) &&
                                    written == bytes.size());
  CloseHandle(h);
  return ok;
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(h, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(h);
  bytes.resize(read);
  return bytes;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// Calls `each` with the name of every entry of `folder` but . and ..
template <class Each>
void ForEntries(const std::wstring& folder, Each each) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") each(name, data.dwFileAttributes);
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

void DeleteTree(const std::wstring& folder) {
  ForEntries(folder, [&](const std::wstring& name, DWORD attributes) {
    const std::wstring path = folder + name;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return DeleteTree(path + L"\\");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  });
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  for (int i = 0; i < 100 && path_.empty(); ++i) {
    std::wstring candidate = std::wstring(base) + L"tomari-test-" +
                             std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(++counter) + L"\\";
    if (CreateDirectoryW(candidate.c_str(), nullptr)) path_ = candidate;
  }
}

TempFolder::~TempFolder() {
  if (!path_.empty()) DeleteTree(path_);
}

std::string TempFolder::Utf8(const std::wstring& name) const {
  return tomari::WideToUtf8(path_ + name);
}

int TempFolder::Count() const {
  int n = 0;
  ForEntries(path_, [&](const std::wstring&, DWORD) { ++n; });
  return n;
}

namespace {

struct WindowSearch {
  DWORD pid;
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND h, LPARAM p) {
  auto& s = *reinterpret_cast<WindowSearch*>(p);
  wchar_t cls[257] = L"";
  GetClassNameW(h, cls, 257);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  if (wcscmp(cls, s.cls) != 0 || (s.pid && owner != s.pid) || !IsWindowVisible(h)) return TRUE;
  s.found = h;
  return FALSE;
}

}  // namespace

HWND FindWindowOf(DWORD pid, const wchar_t* className, DWORD timeoutMs) {
  WindowSearch search{pid, className, nullptr};
  WaitUntil(
      [&] {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  return search.found;
}

Process::~Process() {
  Kill();
  if (pi_.hThread) CloseHandle(pi_.hThread);
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
}

bool Process::Start(const std::wstring& exe, const std::wstring& args) {
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  const std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/") + 1);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                     &si, &pi_))
    return true;
  pi_ = PROCESS_INFORMATION{};
  return false;
}

bool Process::WaitExit(DWORD timeoutMs) {
  return !pi_.hProcess ||
         WaitUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; },
                   timeoutMs);
}

bool Process::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::Kill() {
  if (!Running()) return;
  TerminateProcess(pi_.hProcess, 1);
  WaitForSingleObject(pi_.hProcess, 5000);
}

bool Target::Start(const std::wstring& args) {
  static int serial = 0;
  std::wstring command = args;
  const size_t classArg = args.find(L"--class ");
  if (classArg == std::wstring::npos) {
    class_ = L"TomariTarget" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(++serial);
    command += L" --class " + class_;
  } else {
    const size_t from = classArg + 8;  // the test's own class name, without blanks
    class_ = args.substr(from, args.find(L' ', from) - from);
  }
  if (!process_.Start(TestBinDir() + L"target_app.exe", command)) return false;
  WaitForInputIdle(process_.Handle(), 5000);
  const bool wantOwned = args.find(L"--owner") != std::wstring::npos;
  WaitUntil(
      [&] {
        // The owner window has the same class: the target is the owned one.
        HWND h = FindWindowOf(process_.Id(), class_.c_str());
        while (h && wantOwned && !GetWindow(h, GW_OWNER))
          h = FindWindowExW(nullptr, h, class_.c_str(), nullptr);
        hwnd_ = h;
        return h != nullptr;
      },
      10000);
  return hwnd_ != nullptr;
}

OwnWindow::OwnWindow(const std::wstring& title, DWORD exStyle, HWND parent, RECT rect) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
  const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  hwnd_ = CreateWindowExW(exStyle, kClassName, title.c_str(), style, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  Pump(50);
}

OwnWindow::~OwnWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

namespace {

// Writes a request file into the script's folder and waits until the script
// has carried it out (it removes the file).
bool Request(const std::wstring& file, const std::string& content) {
  wchar_t dir[MAX_PATH];
  const DWORD n = GetEnvironmentVariableW(L"WINE_GTEST_SHOTS", dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  std::wstring path(dir, n);
  if (path[0] == L'/') {  // a Unix path: Z: is the whole Unix file system
    for (auto& c : path)
      if (c == L'/') c = L'\\';
    path = L"Z:" + path;
  }
  path += L"\\" + file;
  WriteBytes(path, content);
  return WaitUntil([&] { return !FileExists(path); }, 10000);
}

}  // namespace

void SaveScreenshot(const std::wstring& name) {
  Pump(300);  // let every window finish painting
  Request(name + L".request", "");
}

bool XInput(const std::string& words) {
  static int serial = 0;
  return Request(L"input" + std::to_wstring(++serial) + L".xdo", words);
}

}  // namespace win32test
