#pragma once
// Modal dialogs from templates in the resources.
//
// Templates are written in dialog units with DS_SHELLFONT and the font
// "MS Shell Dlg" (so Japanese captions render with the system's UI face) and
// give the OK and Cancel buttons the ids IDC_DIALOG_OK and IDC_DIALOG_CANCEL.
// Those are deliberately not IDOK/IDCANCEL: the buttons are neither default
// nor cancel buttons, so Enter and Escape do not close a dialog; the buttons
// and the close box (which counts as Cancel) do.
//
//   class ExampleDialog final : public DialogBase {
//    public:
//     explicit ExampleDialog(OwnWindowList& own) : DialogBase(IDD_EXAMPLE, own) {}
//    private:
//     bool OnInit() override;                    // fill the controls
//     bool OnCommand(int id, int code, HWND control) override;  // true: handled
//     bool OnNotify(const NMHDR& n, LRESULT& result) override; // true: handled
//     bool OnOk() override;                      // read the controls; false stays open
//     void OnCancel() override;
//   };
//   ExampleDialog dialog(app.ownWindows);
//   INT_PTR r = dialog.RunModal(instance, widgetHwnd);  // IDOK, IDCANCEL, or -1
//
// While open the dialog is top-most, holds a slot in the own-window list, shows
// the program's icon and (with centreOnOwner) opens centred on its owner. The
// owner is disabled for the time of the run. PreTranslate sees every message of
// the modal loop before the dialog manager does (Ctrl+Tab for a tab dialog).
#include <windows.h>

#include "app/own_windows.h"
#include "win32/resources/resource.h"

namespace tomari {

class DialogBase {
 public:
  DialogBase(int templateId, OwnWindowList& ownWindows, bool centreOnOwner = true)
      : templateId_(templateId), ownWindows_(ownWindows), centre_(centreOnOwner) {}
  virtual ~DialogBase();
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  // Shows the dialog over `owner` and returns when it ends: IDOK, IDCANCEL, or
  // -1 when it could not be created. A WM_QUIT during the run ends it as
  // Cancel and is passed on to the outer loop.
  INT_PTR RunModal(HINSTANCE instance, HWND owner);
  HWND hwnd() const { return hwnd_; }
  // The slot held in the own-window list while open, 0 otherwise.
  int OwnSlot() const { return slot_; }

 protected:
  virtual bool OnInit() { return true; }
  virtual bool OnCommand(int id, int code, HWND control) { return false; }
  virtual bool OnNotify(const NMHDR& notice, LRESULT& result) { return false; }
  // OK pressed: false keeps the dialog open (for instance after a message box).
  virtual bool OnOk() { return true; }
  // Cancel pressed or the close box used.
  virtual void OnCancel() {}
  // Any other message for the dialog; true when handled.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) { return false; }
  // A message of the modal loop before IsDialogMessage; true swallows it.
  virtual bool PreTranslate(const MSG& msg) { return false; }

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  // Ends the run with `result` once the current message is handled.
  void EndWith(INT_PTR result);

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
  void Opened();
  void Cancel();

  int templateId_;
  OwnWindowList& ownWindows_;
  bool centre_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  HINSTANCE instance_ = nullptr;
  int slot_ = 0;
  bool ended_ = false;
  INT_PTR result_ = IDCANCEL;
};

}  // namespace tomari
