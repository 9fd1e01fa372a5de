// The Default skin on a 192-DPI display: twice its pixel size, its outline
// and its buttons scaled with it.
#include <gtest/gtest.h>

#include <string>

#include "e2e/e2e_support.h"

using namespace e2e;

namespace {

constexpr int kWindowSet = 1;
constexpr int kTopMost = 5;

// The display DPI that programs started from now on read, put back on leaving.
class SystemDpi {
 public:
  explicit SystemDpi(DWORD dpi) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
    DWORD size = sizeof(old_);
    had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr,
                            reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS;
    Set(dpi);
  }
  ~SystemDpi() {
    if (had_) Set(old_);
    else RegDeleteValueW(key_, L"LogPixels");
    RegCloseKey(key_);
  }

 private:
  void Set(DWORD dpi) {
    RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof(dpi));
  }
  HKEY key_ = nullptr;
  DWORD old_ = 0;
  bool had_ = false;
};

// Whether each pixel of a 24-bit bottom-up BMP is the key colour (magenta).
struct KeyMask {
  int width = 0, height = 0;
  std::string bits;
  explicit KeyMask(const std::string& bmp) {
    if (bmp.size() < 54) return;
    auto u32 = [&](size_t at) { return *reinterpret_cast<const uint32_t*>(bmp.data() + at); };
    const int w = static_cast<int>(u32(18)), h = static_cast<int>(u32(22));
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    if (bmp.size() < u32(10) + stride * h) return;
    width = w, height = h;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const auto* p = reinterpret_cast<const unsigned char*>(
            bmp.data() + u32(10) + stride * (h - 1 - y) + x * 3);
        bits += (p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF) ? '1' : '0';
      }
  }
  bool Key(int x, int y) const { return bits[static_cast<size_t>(y) * width + x] == '1'; }
};

POINT Centre(POINT skinCentre, HWND widget, int factor) {
  RECT w = WindowRect(widget);
  return {w.left + (skinCentre.x - w.left) * factor, w.top + (skinCentre.y - w.top) * factor};
}

}  // namespace

TEST(HighDpi, At192DpiTheSkinItsOutlineAndItsButtonsAreTwiceAsLarge) {
  Process p1, p2;
  HWND t1 = nullptr;
  TomariRun run;
  {
    SystemDpi dpi(192);
    t1 = StartTarget(p1, L"--title \"First\" --rect 150,200,600,300");
    ASSERT_TRUE(t1);
    ASSERT_TRUE(run.Start(L"dpi192"));
  }
  ASSERT_TRUE(PerchedOn(run.widget, t1));
  SaveScreenshot(L"dpi-192");

  const KeyMask back(ReadFileBytes(run.dir + L"Skins\\Default\\Back.bmp"));
  ASSERT_GT(back.width, 0);
  RECT w = WindowRect(run.widget);
  EXPECT_EQ(w.right - w.left, 2 * back.width);
  EXPECT_EQ(w.bottom - w.top, 2 * back.height);

  // Every skin pixel is a 2 x 2 block of the outline, key colour left out.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(run.widget, rgn), ERROR);
  int wrong = 0;
  for (int y = 0; y < 2 * back.height; ++y)
    for (int x = 0; x < 2 * back.width; ++x)
      wrong += (PtInRegion(rgn, x, y) != 0) == back.Key(x / 2, y / 2);
  DeleteObject(rgn);
  EXPECT_EQ(wrong, 0);

  // Fixed to the first window and made top-most by clicks at the scaled
  // buttons (at the skin's own coordinates both would miss).
  POINT fix = Centre(SkinButtonCentre(run.widget, run.dir, kWindowSet), run.widget, 2);
  Click(fix.x, fix.y);
  Pump(300);
  POINT top = Centre(SkinButtonCentre(run.widget, run.dir, kTopMost), run.widget, 2);
  Click(top.x, top.y);
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongW(t1, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; },
                        3000));
  HWND t2 = StartTarget(p2, L"--title \"Second\" --rect 500,450,400,200");
  ASSERT_TRUE(t2);
  Pump(500);
  EXPECT_TRUE(PerchedOn(run.widget, t1));

  // Moved to a 96-DPI monitor: the skin's own size again.
  PostMessageW(run.widget, WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
  EXPECT_TRUE(WaitUntil(
      [&] {
        RECT r = WindowRect(run.widget);
        return r.right - r.left == back.width && r.bottom - r.top == back.height;
      },
      3000));
  EXPECT_TRUE(run.Close());
}
