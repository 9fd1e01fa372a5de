#include "win32/dialogs/exclusion_editor_dialog.h"

#include <iterator>

#include "dialogs/exclusion_editor.h"
#include "win32/dialog_base.h"
#include "win32/dialogs/dialog_controls.h"
#include "win32/ports/text_convert.h"

namespace tomari {
namespace {

constexpr ControlTip kTips[] = {
    {IDC_EXCL_NAME, IDS_EXCL_TIP_NAME},          {IDC_EXCL_TITLE, IDS_EXCL_TIP_TITLE},
    {IDC_EXCL_IN_TITLE, IDS_EXCL_TIP_IN_TITLE},  {IDC_EXCL_CLASS, IDS_EXCL_TIP_CLASS},
    {IDC_DIALOG_OK, IDS_EXCL_TIP_OK},            {IDC_DIALOG_CANCEL, IDS_EXCL_TIP_CANCEL},
};

class ExclusionEditorDialog final : public DialogBase {
 public:
  ExclusionEditorDialog(HINSTANCE instance, OwnWindowList& own, ExclusionEntry& buffer)
      : DialogBase(IDD_EXCLUSION_EDITOR, own), instance_(instance), buffer_(buffer),
        editor_(buffer) {}

 private:
  bool OnInit() override {
    SetControlText(Item(IDC_EXCL_NAME), editor_.name);
    SetControlText(Item(IDC_EXCL_TITLE), editor_.title);
    CheckDlgButton(hwnd(), IDC_EXCL_IN_TITLE, editor_.inTitle ? BST_CHECKED : BST_UNCHECKED);
    SetControlText(Item(IDC_EXCL_CLASS), editor_.windowClass);
    AddControlTips(instance_, hwnd(), kTips, static_cast<int>(std::size(kTips)));
    return true;
  }

  bool OnOk() override {
    editor_.name = ControlText(Item(IDC_EXCL_NAME));
    editor_.title = ControlText(Item(IDC_EXCL_TITLE));
    editor_.inTitle = IsDlgButtonChecked(hwnd(), IDC_EXCL_IN_TITLE) == BST_CHECKED;
    editor_.windowClass = ControlText(Item(IDC_EXCL_CLASS));
    const std::string problem = editor_.Confirm(buffer_);
    if (problem.empty()) return true;
    MessageBoxW(hwnd(), Utf8ToWide(problem).c_str(), Utf8ToWide(kDisplayName).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return false;
  }

  HINSTANCE instance_;
  ExclusionEntry& buffer_;
  ExclusionEditor editor_;
};

}  // namespace

bool ShowExclusionEditor(HINSTANCE instance, HWND owner, App& app, ExclusionEntry& entry) {
  ExclusionEditorDialog dialog(instance, app.ownWindows, entry);
  return dialog.RunModal(instance, owner) == IDOK;
}

}  // namespace tomari
