// A window of "another program" for the Wine-level tests to perch on, capture
// and poke at. Everything it does is chosen on the command line (no value
// starts with '-'):
//   --title TEXT        window title (UTF-16 through the W entry points)
//   --class NAME        window class name (default TomariTestTarget)
//   --rect X,Y,W,H      outer rectangle
//   --topmost           start top-most
//   --alpha N           start layered with opacity N (LWA_ALPHA)
//   --colorkey BBGGRR   start layered with a colour key only (a COLORREF)
//   --per-pixel-alpha   start layered through UpdateLayeredWindow (its layered
//                       attributes cannot be read back)
//   --owner             also create an owner window (of the class Static); the
//                       target is owned by it
//   --edit              put an edit control inside and give it the focus
//   --buttons           put three buttons inside, captioned One, Two, Three
//                       (before the edit)
//   --notify-events     raise EVENT_OBJECT_LOCATIONCHANGE after a move or size and
//                       EVENT_SYSTEM_FOREGROUND on activation, as user32 does on
//                       Windows (Wine raises neither by itself)
// It paints a fixed pattern: vertical bars of 8 colours, each 16 pixels wide.
// WM_APP + 1 sent to its window makes its thread stop answering for good, once
// it has replied.
#include <windows.h>
// after <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <map>
#include <string>

namespace {

const COLORREF kBars[8] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255), RGB(255, 255, 0),
                           RGB(0, 255, 255), RGB(255, 0, 255), RGB(0, 0, 0),   RGB(255, 255, 255)};
bool g_notifyEvents = false;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      for (int x = 0; x < rc.right; x += 16) {
        HBRUSH b = CreateSolidBrush(kBars[(x / 16) % 8]);
        RECT bar{x, 0, x + 16, rc.bottom};
        FillRect(dc, &bar, b);
        DeleteObject(b);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_APP + 1:
      ReplyMessage(1);
      Sleep(INFINITE);  // the thread stops answering: a hung program
      return 0;
    case WM_WINDOWPOSCHANGED:
      if (g_notifyEvents && (reinterpret_cast<const WINDOWPOS*>(lp)->flags &
                             (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE))
        NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, hwnd, OBJID_WINDOW, CHILDID_SELF);
      break;
    case WM_ACTIVATE:
      if (g_notifyEvents && LOWORD(wp) != WA_INACTIVE)
        NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, hwnd, OBJID_WINDOW, CHILDID_SELF);
      break;
    case WM_DESTROY:
      if (GetWindowLongPtrW(hwnd, GWLP_USERDATA) == 1) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// One colour at a constant 160/255 opacity, premultiplied as UpdateLayeredWindow wants it.
void ShowPerPixelAlpha(HWND hwnd, int x, int y, int w, int h) {
  BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits) {
    for (int i = 0; i < w * h; ++i) static_cast<DWORD*>(bits)[i] = 0xA0003050;
    HGDIOBJ old = SelectObject(mem, bmp);
    POINT dst{x, y}, src{0, 0};
    SIZE size{w, h};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, screen, &dst, &size, mem, &src, 0, &blend, ULW_ALPHA);
    SelectObject(mem, old);
    DeleteObject(bmp);
  }
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::map<std::wstring, std::wstring> args;  // a switch has the value ""
  for (int i = 1; i < argc; ++i) {
    std::wstring& value = args[argv[i]];
    if (i + 1 < argc && argv[i + 1][0] != L'-') value = argv[++i];
  }
  LocalFree(argv);
  auto value = [&](const wchar_t* name, const wchar_t* otherwise) {
    return args.count(name) ? args[name] : std::wstring(otherwise);
  };
  const std::wstring title = value(L"--title", L"Target"),
                     cls = value(L"--class", L"TomariTestTarget");
  int x = 200, y = 200, w = 400, h = 300;
  swscanf(value(L"--rect", L"").c_str(), L"%d,%d,%d,%d", &x, &y, &w, &h);
  const int alpha = _wtoi(value(L"--alpha", L"-1").c_str());
  const long colorKey = wcstol(value(L"--colorkey", L"-1").c_str(), nullptr, 16);
  const bool perPixelAlpha = args.count(L"--per-pixel-alpha"), buttons = args.count(L"--buttons");
  g_notifyEvents = args.count(L"--notify-events");

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = cls.c_str();
  RegisterClassExW(&wc);

  HWND ownerWnd = nullptr;
  if (args.count(L"--owner"))
    ownerWnd =
        CreateWindowExW(0, L"Static", (title + L" owner").c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        x - 100, y - 100, 300, 200, nullptr, nullptr, inst, nullptr);
  DWORD ex = args.count(L"--topmost") ? WS_EX_TOPMOST : 0;
  if (alpha >= 0 || colorKey >= 0 || perPixelAlpha) ex |= WS_EX_LAYERED;
  HWND hwnd = CreateWindowExW(ex, cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, x, y, w, h,
                              ownerWnd, nullptr, inst, nullptr);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 1);
  if (alpha >= 0) SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
  if (colorKey >= 0) SetLayeredWindowAttributes(hwnd, colorKey, 0, LWA_COLORKEY);
  if (perPixelAlpha) ShowPerPixelAlpha(hwnd, x, y, w, h);
  const wchar_t* captions[] = {L"One", L"Two", L"Three"};
  for (int i = 0; buttons && i < 3; ++i)
    CreateWindowExW(0, L"BUTTON", captions[i], WS_CHILD | WS_VISIBLE, 10 + 80 * i, 40, 70, 24, hwnd,
                    nullptr, inst, nullptr);
  RECT rc;
  GetClientRect(hwnd, &rc);
  HWND e = args.count(L"--edit")
               ? CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10,
                                 rc.right - 20, 24, hwnd, nullptr, inst, nullptr)
               : nullptr;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  if (e) SetFocus(e);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
