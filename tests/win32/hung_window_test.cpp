// A program whose window thread stops answering must never hold us up: every
// call the tracking tick and the commands make on its window returns at once,
// both in the first seconds (before the system calls it hung) and after.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "win32/ports/win_windows.h"
#include "win32/win32_test_support.h"

namespace tomari {
namespace {

using win32test::Target;
using win32test::WaitUntil;

// A call that waits for the hung thread never returns while it hangs (the
// target sleeps for good), so a call that returns at all did not wait for it.
// The deadline only decides when to give up on one: it is long enough that
// no amount of load on the machine makes a returning call look blocked.
constexpr auto kGiveUp = std::chrono::seconds(30);

// Runs every call that touches the window; returns the names of those that did
// not return. Each runs on a thread of its own, so that one that blocks for
// good is reported instead of stopping the whole test program; such a thread
// is left behind and ends when the target is killed.
std::string BlockedCalls(const std::shared_ptr<Win32WindowSystem>& ws, WindowHandle t) {
  std::string blocked;
  std::vector<std::pair<const char*, std::future<void>>> running;
  auto check = [&](const char* name, std::function<void()> call) {
    auto task = std::make_shared<std::packaged_task<void()>>(call);
    running.emplace_back(name, task->get_future());
    std::thread([task] { (*task)(); }).detach();
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
  check("MakeLayered", [ws, t] { ws->MakeLayered(t, 0, 128, kLwaAlpha); });
  const auto deadline = std::chrono::steady_clock::now() + kGiveUp;
  for (auto& [name, done] : running)
    if (done.wait_until(deadline) != std::future_status::ready)
      blocked += std::string(name) + "; ";
  return blocked;
}

TEST(HungWindowTest, CallsNeverBlockAndIsHungReportsIt) {
  auto shared = std::make_shared<Win32WindowSystem>();
  Win32WindowSystem& ws = *shared;
  Target target;
  ASSERT_TRUE(target.Start(L"--title \"Before the hang\" --hang-after 300"));
  const WindowHandle t = FromHwnd(target.hwnd());
  EXPECT_FALSE(ws.IsHung(t));

  // The thread sleeps from 300 ms on (later on a busy machine: wait until it
  // no longer answers); the system says "hung" only some seconds after that.
  ASSERT_TRUE(WaitUntil([&] { return !ws.WaitForAnswer(t, 200); }, 15000));
  EXPECT_EQ(BlockedCalls(shared, t), "") << "while the hang is fresh";

  ASSERT_TRUE(WaitUntil([&] { return ws.IsHung(t); }, 15000));
  EXPECT_EQ(BlockedCalls(shared, t), "") << "once reported hung";
  // Nothing can have reached the window's thread; its title still reads.
  EXPECT_EQ(ws.GetTitle(t), "Before the hang");
  EXPECT_FALSE(ws.SetTitle(t, "x"));
  EXPECT_FALSE(ws.SetExStyle(t, 0));
}

}  // namespace
}  // namespace tomari
