// A program whose window thread stops answering must never hold us up: every
// call the tracking tick and the commands make on its window returns at once,
// both in the first seconds (before the system calls it hung) and after.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "win32/ports/win_windows.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

using win32test::Target;
using win32test::WaitUntil;

// "Well below a second": the longest bounded wait is 250 ms.
constexpr double kMaxCallMs = 500;

// Times every call that touches the window; returns a description of the slow
// ones. Each call runs on a thread of its own, so that one that blocks for good
// is reported as such instead of stopping the whole test program; such a thread
// is left behind and ends when the target is killed.
std::string SlowCalls(const std::shared_ptr<Win32WindowSystem>& ws, WindowHandle t) {
  std::string slow;
  auto check = [&](const char* name, std::function<void()> call) {
    auto task = std::make_shared<std::packaged_task<double()>>(
        [call] { return win32test::ElapsedMs(call); });
    std::future<double> elapsed = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    if (elapsed.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
      slow += std::string(name) + " blocked; ";
      return;
    }
    double ms = elapsed.get();
    if (ms >= kMaxCallMs) slow += std::string(name) + " took " + std::to_string(ms) + " ms; ";
  };
  // The calls own what they use: a blocked one may finish after we return.
  check("SetTitle", [ws, t] { ws->SetTitle(t, "時計 12:00"); });
  check("GetTitle", [ws, t] { ws->GetTitle(t); });
  check("SetTopMost", [ws, t] { ws->SetTopMost(t, true); });
  check("MoveTo", [ws, t] { ws->MoveTo(t, 10, 20); });
  check("SetExStyle", [ws, t] { ws->SetExStyle(t, ws->GetExStyle(t) | kExLayered); });
  check("SetLayered", [ws, t] { ws->SetLayered(t, 0, 128, kLwaAlpha); });
  check("GetLayered", [ws, t] { ws->GetLayered(t); });
  check("GetRect", [ws, t] {
    Rect r;
    ws->GetRect(t, r);
  });
  check("ClassNameOf", [ws, t] { ws->ClassNameOf(t); });
  check("GetParent", [ws, t] { ws->GetParent(t); });
  check("IsHung", [ws, t] { ws->IsHung(t); });
  return slow;
}

TEST(HungWindowTest, CallsNeverBlockAndIsHungReportsIt) {
  auto shared = std::make_shared<Win32WindowSystem>();
  Win32WindowSystem& ws = *shared;
  Target target;
  ASSERT_TRUE(target.Start(L"--title \"Before the hang\" --hang-after 300"));
  const WindowHandle t = FromHwnd(target.hwnd());
  EXPECT_FALSE(ws.IsHung(t));

  // The thread sleeps from 300 ms on; the system says "hung" only some seconds later.
  Sleep(1000);
  EXPECT_EQ(SlowCalls(shared, t), "") << "while the hang is fresh";

  ASSERT_TRUE(WaitUntil([&] { return ws.IsHung(t); }, 15000));
  EXPECT_EQ(SlowCalls(shared, t), "") << "once reported hung";
  // Nothing can have reached the window's thread; its title still reads.
  EXPECT_EQ(ws.GetTitle(t), "Before the hang");
  EXPECT_FALSE(ws.SetTitle(t, "x"));
  EXPECT_FALSE(ws.SetExStyle(t, 0));
}

}  // namespace
}  // namespace tomari
