// A window of "another program" for the Wine-level tests to perch on, capture
// and poke at. Everything it does is chosen on the command line:
//   --title TEXT        window title (UTF-16 through the W entry points)
//   --class NAME        window class name (default TomariTestTarget)
//   --rect X,Y,W,H      outer rectangle
//   --topmost           start top-most
//   --alpha N           start layered with opacity N (LWA_ALPHA)
//   --colorkey RRGGBB   start layered with a colour key only
//   --per-pixel-alpha   start layered through UpdateLayeredWindow (its layered
//                       attributes cannot be read back)
//   --owner             also create an owner window; the target is owned by it
//   --hang-after MS     stop answering messages MS milliseconds after start (and
//                       then create the event TomariTargetHung<pid>, set)
//   --edit              put an edit control inside and give it the focus
//   --buttons           put three buttons inside, captioned One, Two, Three
//                       (before the edit)
//   --notify-events     raise EVENT_OBJECT_LOCATIONCHANGE after a move or size and
//                       EVENT_SYSTEM_FOREGROUND on activation, as user32 does on
//                       Windows (Wine raises neither by itself)
// It paints a fixed pattern: vertical bars of 8 colours, each 16 pixels wide.
// Posted to its window: WM_APP + 1 makes its thread stop answering for good;
// after WM_APP + 2 the window closes itself (and the program ends) as soon as
// another program changes its title, style or place.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <cwctype>
#include <string>

namespace {

const COLORREF kBars[8] = {RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(0, 0, 255),
                           RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255),
                           RGB(0, 0, 0),     RGB(255, 255, 255)};
UINT_PTR g_hangTimer = 0;
bool g_vanishWhenTouched = false;
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
    case WM_TIMER:
      if (wp == 1) {
        KillTimer(hwnd, 1);
        // Tells a test that the hang has begun (named TomariTargetHung<pid>, set).
        CreateEventW(nullptr, TRUE, TRUE,
                     (L"TomariTargetHung" + std::to_wstring(GetCurrentProcessId())).c_str());
        Sleep(INFINITE);  // the thread stops answering: a hung program
      }
      return 0;
    case WM_APP + 1:
      Sleep(INFINITE);
      return 0;
    case WM_APP + 2:
      g_vanishWhenTouched = true;
      return 0;
    case WM_SETTEXT:
    case WM_STYLECHANGING:
    case WM_WINDOWPOSCHANGING:
      if (g_vanishWhenTouched && GetWindowLongPtrW(hwnd, GWLP_USERDATA) == 1) {
        g_vanishWhenTouched = false;
        DestroyWindow(hwnd);
        return 0;
      }
      break;
    case WM_WINDOWPOSCHANGED:
      if (g_notifyEvents &&
          (reinterpret_cast<const WINDOWPOS*>(lp)->flags & (SWP_NOMOVE | SWP_NOSIZE)) !=
              (SWP_NOMOVE | SWP_NOSIZE))
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

bool ArgIs(const wchar_t* a, const wchar_t* name) { return std::wcscmp(a, name) == 0; }

// The bar pattern at a constant 160/255 opacity, premultiplied as
// UpdateLayeredWindow wants it.
void ShowPerPixelAlpha(HWND hwnd, int x, int y, int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits) {
    const unsigned a = 160;
    auto* px = static_cast<DWORD*>(bits);
    for (int row = 0; row < h; ++row) {
      for (int col = 0; col < w; ++col) {
        COLORREF c = kBars[(col / 16) % 8];
        px[row * w + col] = (a << 24) | ((GetRValue(c) * a / 255) << 16) |
                            ((GetGValue(c) * a / 255) << 8) | (GetBValue(c) * a / 255);
      }
    }
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
  std::wstring title = L"Target";
  std::wstring cls = L"TomariTestTarget";
  int x = 200, y = 200, w = 400, h = 300;
  bool topmost = false, owner = false, edit = false, buttons = false, perPixelAlpha = false;
  int alpha = -1;
  long colorKey = -1;
  int hangAfter = -1;
  for (int i = 1; i < argc; ++i) {
    const wchar_t* a = argv[i];
    const wchar_t* next = i + 1 < argc ? argv[i + 1] : L"";
    if (ArgIs(a, L"--title")) { title = next; ++i; }
    else if (ArgIs(a, L"--class")) { cls = next; ++i; }
    else if (ArgIs(a, L"--rect")) { swscanf(next, L"%d,%d,%d,%d", &x, &y, &w, &h); ++i; }
    else if (ArgIs(a, L"--topmost")) topmost = true;
    else if (ArgIs(a, L"--alpha")) { alpha = _wtoi(next); ++i; }
    else if (ArgIs(a, L"--colorkey")) { colorKey = wcstol(next, nullptr, 16); ++i; }
    else if (ArgIs(a, L"--owner")) owner = true;
    else if (ArgIs(a, L"--per-pixel-alpha")) perPixelAlpha = true;
    else if (ArgIs(a, L"--hang-after")) { hangAfter = _wtoi(next); ++i; }
    else if (ArgIs(a, L"--edit")) edit = true;
    else if (ArgIs(a, L"--buttons")) buttons = true;
    else if (ArgIs(a, L"--notify-events")) g_notifyEvents = true;
  }
  LocalFree(argv);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = cls.c_str();
  RegisterClassExW(&wc);

  HWND ownerWnd = nullptr;
  if (owner) {
    ownerWnd = CreateWindowExW(0, cls.c_str(), (title + L" owner").c_str(),
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE, x - 100, y - 100, 300, 200,
                               nullptr, nullptr, inst, nullptr);
  }
  DWORD ex = 0;
  if (topmost) ex |= WS_EX_TOPMOST;
  if (alpha >= 0 || colorKey >= 0 || perPixelAlpha) ex |= WS_EX_LAYERED;
  HWND hwnd = CreateWindowExW(ex, cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, x, y, w, h,
                              ownerWnd, nullptr, inst, nullptr);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 1);
  if (alpha >= 0) SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
  if (colorKey >= 0) {
    COLORREF key = RGB((colorKey >> 16) & 0xFF, (colorKey >> 8) & 0xFF, colorKey & 0xFF);
    SetLayeredWindowAttributes(hwnd, key, 0, LWA_COLORKEY);
  }
  if (perPixelAlpha) ShowPerPixelAlpha(hwnd, x, y, w, h);
  if (buttons) {
    const wchar_t* captions[] = {L"One", L"Two", L"Three"};
    for (int i = 0; i < 3; ++i)
      CreateWindowExW(0, L"BUTTON", captions[i], WS_CHILD | WS_VISIBLE, 10 + 80 * i, 40, 70, 24,
                      hwnd, nullptr, inst, nullptr);
  }
  if (edit) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    HWND e = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10,
                             rc.right - 20, 24, hwnd, nullptr, inst, nullptr);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetFocus(e);
  } else {
    ShowWindow(hwnd, SW_SHOWNORMAL);
  }
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  if (hangAfter >= 0) g_hangTimer = SetTimer(hwnd, 1, static_cast<UINT>(hangAfter), nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
