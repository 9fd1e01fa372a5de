#include "win32/dialogs/text_grab_dialog.h"

#include <commctrl.h>

#include "dialogs/text_grab.h"
#include "win32/dialog_base.h"
#include "win32/dialogs/dialog_controls.h"
#include "win32/ports/text_convert.h"

namespace tomari {
namespace {

class TextGrabDialog final : public DialogBase {
 public:
  TextGrabDialog(HINSTANCE instance, App& app, WindowTexts& texts, TextClipboard& clipboard)
      : DialogBase(IDD_TEXT_GRAB, app.ownWindows), instance_(instance), app_(app),
        model_(texts, clipboard) {}

 private:
  bool OnInit() override {
    CheckDlgButton(hwnd(), IDC_GRAB_MENUS, BST_CHECKED);
    Collect();
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDC_GRAB_LIST:
        if (code == LBN_SELCHANGE) ShowSelection();
        return true;
      case IDC_GRAB_RECOLLECT:
        if (code == BN_CLICKED) Collect();
        return true;
      case IDC_GRAB_COPY:
        if (code == BN_CLICKED) model_.Copy();
        return true;
    }
    return false;
  }

  // The list box gets the button-up itself; the dialog would never hear of it.
  bool PreTranslate(const MSG& msg) override {
    if (msg.message != WM_RBUTTONUP || msg.hwnd != Item(IDC_GRAB_LIST)) return false;
    OpenCopyMenu();
    return true;
  }

  void Collect() {
    model_.includeMenus = IsDlgButtonChecked(hwnd(), IDC_GRAB_MENUS) == BST_CHECKED;
    model_.Collect(app_.TargetWindow);
    // Filled in one go: a window with thousands of children must not repaint
    // the list once per entry.
    HWND list = Item(IDC_GRAB_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const auto& entries = model_.Entries();
    SendMessageW(list, LB_INITSTORAGE, entries.size(), 0);
    int widest = 0;
    HDC dc = GetDC(list);
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    for (const GrabEntry& e : entries) {
      const std::wstring text = Utf8ToWide(e.text);
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      SIZE size{};
      if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) &&
          size.cx > widest)
        widest = size.cx;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetControlText(Item(IDC_GRAB_TEXT), "");
  }

  void ShowSelection() {
    const int index = static_cast<int>(SendMessageW(Item(IDC_GRAB_LIST), LB_GETCURSEL, 0, 0));
    SetControlText(Item(IDC_GRAB_TEXT), model_.Select(index));
  }

  void OpenCopyMenu() {
    POINT at{};
    GetCursorPos(&at);
    HWND list = Item(IDC_GRAB_LIST);
    const int index = LBItemFromPt(list, at, TRUE);
    if (index < 0) return;
    SendMessageW(list, LB_SETCURSEL, index, 0);
    ShowSelection();
    HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_GRAB_MENU));
    if (!menu) return;
    const UINT chosen = TrackPopupMenu(GetSubMenu(menu, 0),
                                       TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x,
                                       at.y, 0, hwnd(), nullptr);
    DestroyMenu(menu);
    if (chosen == IDM_GRAB_COPY) model_.Copy();
  }

  HINSTANCE instance_;
  App& app_;
  TextGrabModel model_;
};

}  // namespace

void ShowTextGrab(HINSTANCE instance, HWND owner, App& app, WindowTexts& texts,
                  TextClipboard& clipboard) {
  TextGrabDialog dialog(instance, app, texts, clipboard);
  dialog.RunModal(instance, owner);
}

}  // namespace tomari
