// Follow latency and idle cost of a perching program, under Wine.
//
//   follow_bench --program EXE --class WIDGETCLASS [--events] [--moves N]
//   follow_bench --program EXE --class WIDGETCLASS [--events] --idle SECONDS --ready FILE
//   follow_bench --idle SECONDS --ready FILE            (no program: the baseline)
//
// This process owns the target windows and moves and activates them itself;
// with --events it raises EVENT_OBJECT_LOCATIONCHANGE / EVENT_SYSTEM_FOREGROUND
// afterwards, as user32 does on Windows (Wine raises neither). It starts the
// program, waits until its widget perches, then times, for each move of the
// target and each switch between two targets, how long until the widget stands
// at its new place (polled every millisecond). In idle mode it only keeps the
// target in front for SECONDS after writing FILE; the caller reads the CPU
// figures from /proc meanwhile.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "perch_geometry.h"

namespace {

bool g_events = false;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_WINDOWPOSCHANGED:
      if (g_events && (reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_NOMOVE) == 0)
        NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, hwnd, OBJID_WINDOW, CHILDID_SELF);
      break;
    case WM_ACTIVATE:
      if (g_events && LOWORD(wp) != WA_INACTIVE)
        NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, hwnd, OBJID_WINDOW, CHILDID_SELF);
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(freq.QuadPart);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void PumpFor(double ms) {
  const double end = Now() + ms;
  while (Now() < end) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

struct Found {
  DWORD pid;
  const wchar_t* cls;
  HWND hwnd;
};

HWND FindWidget(DWORD pid, const wchar_t* cls, double timeoutMs) {
  const double end = Now() + timeoutMs;
  do {
    Found f{pid, cls, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
          auto* f = reinterpret_cast<Found*>(lp);
          DWORD p = 0;
          GetWindowThreadProcessId(h, &p);
          wchar_t name[64] = L"";
          GetClassNameW(h, name, 64);
          if (p != f->pid || std::wcscmp(name, f->cls) != 0) return TRUE;
          f->hwnd = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&f));
    if (f.hwnd) return f.hwnd;
    PumpFor(20);
  } while (Now() < end);
  return nullptr;
}

bool PerchedOn(HWND widget, HWND target) {
  RECT w, t;
  if (!GetWindowRect(widget, &w) || !GetWindowRect(target, &t)) return false;
  const POINT p = bench::PerchPosition(t, bench::Width(w), bench::Height(w));
  return w.left == p.x && w.top == p.y;
}

// Milliseconds until the widget perches on `target`; -1 after `limitMs`.
double WaitPerched(HWND widget, HWND target, double start, double limitMs) {
  for (;;) {
    Pump();
    if (PerchedOn(widget, target)) return Now() - start;
    if (Now() - start > limitMs) return -1;
    Sleep(1);
  }
}

struct Figures {
  std::vector<double> lags;
  int missed = 0;
};

void Print(FILE* out, const char* what, const char* label, Figures f) {
  std::sort(f.lags.begin(), f.lags.end());
  const size_t n = f.lags.size();
  auto at = [&](double q) { return n ? f.lags[std::min(n - 1, static_cast<size_t>(q * n))] : -1.0; };
  std::fprintf(out, "%s %s n=%zu median=%.1f p95=%.1f max=%.1f missed=%d\n", what, label, n,
               at(0.5), at(0.95), n ? f.lags.back() : -1.0, f.missed);
}

HWND MakeTarget(HINSTANCE inst, const wchar_t* title, int x, int y, int w, int h) {
  HWND hwnd = CreateWindowExW(0, L"BenchTarget", title, WS_OVERLAPPEDWINDOW, x, y, w, h, nullptr,
                              nullptr, inst, nullptr);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  return hwnd;
}

bool Activate(HWND h) {
  SetForegroundWindow(h);
  const double start = Now();
  while (GetForegroundWindow() != h) {
    if (Now() - start > 2000) return false;
    PumpFor(5);
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring program, cls = L"TomariWidget", label = L"program", ready;
  int moves = 40;
  int idle = 0;
  for (int i = 1; i < argc; ++i) {
    std::wstring a = argv[i];
    const wchar_t* next = i + 1 < argc ? argv[i + 1] : L"";
    if (a == L"--program") program = next, ++i;
    else if (a == L"--class") cls = next, ++i;
    else if (a == L"--label") label = next, ++i;
    else if (a == L"--moves") moves = _wtoi(next), ++i;
    else if (a == L"--idle") idle = _wtoi(next), ++i;
    else if (a == L"--ready") ready = next, ++i;
    else if (a == L"--events") g_events = true;
  }
  char tag[64];
  std::snprintf(tag, sizeof tag, "%ls events=%d", label.c_str(), g_events ? 1 : 0);

  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = L"BenchTarget";
  RegisterClassW(&wc);
  // Away from the widgets, so no hover tick has reason to run.
  SetCursorPos(2, 760);
  PROCESS_INFORMATION pi{};
  HWND widget = nullptr;
  if (!program.empty()) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    std::wstring dir = program.substr(0, program.find_last_of(L"\\/") + 1);
    std::wstring cmd = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &si, &pi)) {
      std::fprintf(stderr, "cannot start %ls\n", program.c_str());
      return 1;
    }
    widget = FindWidget(pi.dwProcessId, cls.c_str(), 20000);
  }
  // The targets live on a thread of their own, started once the program runs:
  // under Wine 8 the events raised by a thread that existed before the program
  // installed its hooks were seen to reach nobody (a target process started
  // later is followed). Moves and activations from this thread are sent to it,
  // and it raises the events there.
  struct Targets {
    HINSTANCE inst;
    bool two;
    HWND a = nullptr, b = nullptr;
    HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  } targets{inst, idle == 0};
  CloseHandle(CreateThread(
      nullptr, 0,
      [](void* p) -> DWORD {
        auto* t = static_cast<Targets*>(p);
        t->a = MakeTarget(t->inst, L"Bench A", 250, 250, 400, 300);
        if (t->two) t->b = MakeTarget(t->inst, L"Bench B", 420, 380, 360, 260);
        SetEvent(t->made);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        return 0;
      },
      &targets, 0, nullptr));
  WaitForSingleObject(targets.made, INFINITE);
  HWND a = targets.a, b = targets.b;
  if (!Activate(a)) std::fprintf(stderr, "could not activate the target\n");
  if (!program.empty()) {
    if (!widget || WaitPerched(widget, a, Now(), 20000) < 0) {
      std::fprintf(stderr, "%s: the widget did not perch\n", tag);
      TerminateProcess(pi.hProcess, 1);
      return 1;
    }
  }

  if (idle) {
    if (!ready.empty()) {
      FILE* f = _wfopen(ready.c_str(), L"w");
      if (f) std::fclose(f);
    }
    // Asleep in GetMessage until the time is up, so that this process adds
    // nothing to what is measured.
    SetTimer(nullptr, 0, static_cast<UINT>(idle) * 1000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) DispatchMessageW(&msg);
  } else {
    // Random pauses between moves, so that moves land at every phase of the
    // other program's timer.
    unsigned seed = 12345;
    auto pause = [&] {
      seed = seed * 1103515245u + 12345u;
      PumpFor(60 + (seed >> 16) % 200);
    };
    Figures moved;
    for (int i = 0; i < moves; ++i) {
      pause();
      RECT r;
      GetWindowRect(a, &r);
      const int dx = (i % 2 ? -1 : 1) * (12 + i % 7), dy = (i % 3 == 1) ? 9 : 0;
      const double start = Now();
      SetWindowPos(a, nullptr, r.left + dx, r.top + (i % 2 ? -dy : dy), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      const double lag = WaitPerched(widget, a, start, 3000);
      if (lag < 0) ++moved.missed; else moved.lags.push_back(lag);
    }
    Print(stdout, "move", tag, moved);
    Figures switched;
    for (int i = 0; i < moves; ++i) {
      pause();
      HWND to = i % 2 ? a : b;
      const double start = Now();
      SetForegroundWindow(to);
      const double lag = WaitPerched(widget, to, start, 3000);
      if (lag < 0) ++switched.missed; else switched.lags.push_back(lag);
    }
    Print(stdout, "foreground", tag, switched);
    std::fflush(stdout);
  }

  if (pi.hProcess) {
    PostMessageW(widget, WM_CLOSE, 0, 0);
    // The program may give back titles with sent messages on its way out.
    const double start = Now();
    while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
      Pump();
      if (Now() - start > 15000) {
        TerminateProcess(pi.hProcess, 1);
        break;
      }
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  return 0;
}
