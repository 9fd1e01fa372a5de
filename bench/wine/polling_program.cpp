// The reference for the follow and idle benchmarks: a widget that does the
// plain polling loop and nothing else. Timer 1 (100 ms) takes the foreground
// window as the target and places the widget above it with one SetWindowPos
// per tick, changed or not; timer 2 (50 ms) reads the pointer and repaints.
// No skin, no commands, no events.
//
// With POLLING_PROGRAM_MODE=timer in its environment it is the floor instead:
// one 100 ms timer whose ticks do nothing once the widget has perched, i.e. what
// waking ten times a second costs by itself under this Wine.
#include <windows.h>

#include "perch_geometry.h"

namespace {

HWND g_self = nullptr;
HWND g_target = nullptr;
HWND g_attached = nullptr;

void TrackingTick() {
  HWND h = GetForegroundWindow();
  if (h != nullptr && h != g_self) g_target = h;
  if (g_target == nullptr || g_target == g_self) return;
  if (g_attached != g_target) {
    GetWindowLongW(g_target, GWL_EXSTYLE);
    SetWindowPos(g_self, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    InvalidateRect(g_self, nullptr, FALSE);
    g_attached = g_target;
  }
  if (IsWindow(g_target)) {
    RECT t{}, w{};
    GetWindowRect(g_target, &t);
    GetWindowRect(g_self, &w);
    const POINT p = bench::PerchPosition(t, bench::Width(w), bench::Height(w));
    SetWindowPos(g_self, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    g_target = g_self;
    SetWindowPos(g_self, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(g_self, nullptr, FALSE);
  }
}

bool g_timerOnly = false;

LRESULT CALLBACK WidgetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (g_timerOnly) {
        // Perch as the driver waits for, then nothing once the same window has
        // stayed in front for half a second.
        static HWND last = nullptr;
        static int same = 0;
        if (same >= 5) return 0;
        const HWND front = GetForegroundWindow();
        same = front == last ? same + 1 : 0;
        last = front;
      }
      if (wp == 1) {
        TrackingTick();
      } else {
        POINT p;
        GetCursorPos(&p);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WidgetProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"PollingWidget";
  RegisterClassW(&wc);
  g_self = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, wc.lpszClassName,
                           L"polling", WS_POPUP, 0, 0, 150, 32, nullptr, nullptr, inst, nullptr);
  g_target = g_self;
  wchar_t mode[8] = L"";
  GetEnvironmentVariableW(L"POLLING_PROGRAM_MODE", mode, 8);
  g_timerOnly = lstrcmpW(mode, L"timer") == 0;
  SetTimer(g_self, 1, 100, nullptr);
  if (!g_timerOnly) SetTimer(g_self, 2, 50, nullptr);
  ShowWindow(g_self, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
