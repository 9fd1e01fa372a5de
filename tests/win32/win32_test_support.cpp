#include "win32/win32_test_support.h"

#include <vector>

namespace win32test {

std::wstring TestBinDir() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    DWORD spent = GetTickCount() - start;
    if (spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
  }
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
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

namespace {

struct Search {
  DWORD pid;
  const std::wstring* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTargetWindows(HWND h, LPARAM param) {
  auto& search = *reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  wchar_t name[257] = L"";
  GetClassNameW(h, name, 257);
  if (pid == search.pid && *search.className == name && IsWindowVisible(h))
    search.found.push_back(h);
  return TRUE;
}

}  // namespace

Target::~Target() {
  if (pi_.hProcess) {
    TerminateProcess(pi_.hProcess, 0);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

bool Target::Start(const std::wstring& args) {
  static int serial = 0;
  std::wstring command = L"\"" + TestBinDir() + L"target_app.exe\" " + args;
  size_t classArg = args.find(L"--class ");
  if (classArg == std::wstring::npos) {
    class_ = L"TomariTarget" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             std::to_wstring(++serial);
    command += L" --class " + class_;
  } else {
    // The test's own class name, unquoted and without blanks.
    size_t from = classArg + 8;
    class_ = args.substr(from, args.find(L' ', from) - from);
  }
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi_)) {
    pi_ = PROCESS_INFORMATION{};
    return false;
  }
  WaitForInputIdle(pi_.hProcess, 5000);
  Search search{pi_.dwProcessId, &class_, {}};
  WaitUntil(
      [&] {
        search.found.clear();
        EnumWindows(CollectTargetWindows, reinterpret_cast<LPARAM>(&search));
        bool wantOwned = args.find(L"--owner") != std::wstring::npos;
        for (HWND h : search.found) {
          if (!wantOwned || GetWindow(h, GW_OWNER)) {
            hwnd_ = h;
            return true;
          }
        }
        return false;
      },
      10000);
  return hwnd_ != nullptr;
}

namespace {

LRESULT CALLBACK OwnWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

OwnWindow::OwnWindow(const std::wstring& title, DWORD exStyle, HWND parent, RECT rect) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = OwnWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    registered = RegisterClassExW(&wc) != 0;
  }
  DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  hwnd_ = CreateWindowExW(exStyle, kClassName, title.c_str(), style, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  Pump(50);
}

OwnWindow::~OwnWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

}  // namespace win32test
