// The dialog base: what holds while a dialog is open and how each way of
// leaving it ends the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win32/dialog_base.h"
#include "win32/resources/resource.h"
#include "win32_test_support.h"

namespace {

constexpr int kTestDialog = 9000;  // tests/win32/win32_tests.rc
constexpr int kTestEdit = 9001;
constexpr UINT kAct = WM_APP + 1;

enum class Leave { OkButton, CancelButton, CloseBox, RefusedOkThenClose, KeysThenClose, Quit };

class ScriptedDialog final : public tomari::DialogBase {
 public:
  ScriptedDialog(tomari::OwnWindowList& own, HWND owner, Leave leave)
      : DialogBase(kTestDialog, own), own_(own), owner_(owner), leave_(leave) {}

  bool registeredWhileOpen = false, topMostWhileOpen = false, ownerDisabledWhileOpen = false;
  int oks = 0, cancels = 0;

 private:
  bool OnInit() override {
    PostMessageW(hwnd(), kAct, 0, 0);
    return true;
  }
  bool OnOk() override {
    ++oks;
    return leave_ != Leave::RefusedOkThenClose;
  }
  void OnCancel() override { ++cancels; }
  bool OnMessage(UINT msg, WPARAM, LPARAM, INT_PTR&) override {
    if (msg != kAct) return false;
    registeredWhileOpen = own_.Contains(reinterpret_cast<tomari::WindowHandle>(hwnd())) &&
                          OwnSlot() == own_.Count();
    topMostWhileOpen = (GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    ownerDisabledWhileOpen = !IsWindowEnabled(owner_);
    HWND edit = Item(kTestEdit);
    switch (leave_) {
      case Leave::OkButton:
        SendMessageW(Item(IDC_DIALOG_OK), BM_CLICK, 0, 0);
        break;
      case Leave::CancelButton:
        SendMessageW(Item(IDC_DIALOG_CANCEL), BM_CLICK, 0, 0);
        break;
      case Leave::CloseBox:
        PostMessageW(hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case Leave::RefusedOkThenClose:
        SendMessageW(Item(IDC_DIALOG_OK), BM_CLICK, 0, 0);
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        break;
      case Leave::KeysThenClose:
        // Through the modal loop, so the dialog manager sees them as a user's keys.
        SetFocus(edit);
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        break;
      case Leave::Quit:
        PostQuitMessage(7);
        break;
    }
    return true;
  }

  tomari::OwnWindowList& own_;
  HWND owner_;
  Leave leave_;
};

struct Case {
  const char* name;
  Leave leave;
  INT_PTR result;
  int oks, cancels;
};

TEST(DialogBaseTest, OpenDialogIsRegisteredTopMostAndEachWayOutGivesItsResult) {
  const Case cases[] = {
      {"OK button", Leave::OkButton, IDOK, 1, 0},
      {"Cancel button", Leave::CancelButton, IDCANCEL, 0, 1},
      {"close box", Leave::CloseBox, IDCANCEL, 0, 1},
      {"OK refused, then close box", Leave::RefusedOkThenClose, IDCANCEL, 1, 1},
      {"Enter and Escape, then close box", Leave::KeysThenClose, IDCANCEL, 0, 1},
      {"program ending", Leave::Quit, IDCANCEL, 0, 1},
  };
  win32test::OwnWindow owner;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tomari::OwnWindowList own;
    own.Add(reinterpret_cast<tomari::WindowHandle>(owner.hwnd()));  // the widget's slot
    ScriptedDialog dialog(own, owner.hwnd(), c.leave);
    EXPECT_EQ(dialog.RunModal(GetModuleHandleW(nullptr), owner.hwnd()), c.result);
    EXPECT_TRUE(dialog.registeredWhileOpen);
    EXPECT_TRUE(dialog.topMostWhileOpen);
    EXPECT_TRUE(dialog.ownerDisabledWhileOpen);
    EXPECT_EQ(dialog.oks, c.oks);
    EXPECT_EQ(dialog.cancels, c.cancels);
    // Afterwards: the slot is given back, the owner works again, the window is gone.
    EXPECT_EQ(own.Count(), 1);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_EQ(dialog.hwnd(), nullptr);
    MSG quit{};
    const bool quitPassedOn = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    EXPECT_EQ(quitPassedOn, c.leave == Leave::Quit);
    if (quitPassedOn) {
      EXPECT_EQ(quit.wParam, 7u);
    }
  }
}

}  // namespace
