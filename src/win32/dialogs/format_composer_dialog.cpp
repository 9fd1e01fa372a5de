#include "win32/dialogs/format_composer_dialog.h"

#include "dialogs/time_format_dialog.h"
#include "win32/dialog_base.h"
#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

// The live example follows the clock's seconds as well as the typing.
constexpr UINT_PTR kExampleTimer = 1;
constexpr UINT kExampleInterval = 1000;

std::string WindowTextUtf8(HWND h) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
  return WideToUtf8(text);
}

void SetWindowTextUtf8(HWND h, const std::string& text) {
  SetWindowTextW(h, Utf8ToWide(text).c_str());
}

class FormatComposerDialog final : public DialogBase {
 public:
  FormatComposerDialog(App& app, Ports& ports, const Settings& zone)
      : DialogBase(IDD_FORMAT_COMPOSER, app.ownWindows), ports_(ports), model_(zone) {}

  const std::string& Composed() const { return model_.Composed(); }

 private:
  bool OnInit() override {
    CheckRadioButton(hwnd(), IDC_COMPOSER_SIMPLE, IDC_COMPOSER_DETAILED, IDC_COMPOSER_SIMPLE);
    FillList();
    ShowExample();
    SetTimer(hwnd(), kExampleTimer, kExampleInterval, nullptr);
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDC_COMPOSER_SIMPLE:
      case IDC_COMPOSER_DETAILED:
        if (code != BN_CLICKED) return false;
        model_.SetMode(id == IDC_COMPOSER_SIMPLE ? FormatListMode::Simple
                                                 : FormatListMode::Detailed);
        FillList();
        return true;
      case IDC_COMPOSER_LIST:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK) {
          model_.SelectRow(static_cast<int>(SendMessageW(Item(id), LB_GETCURSEL, 0, 0)));
          SetWindowTextUtf8(Item(IDC_COMPOSER_NOTE), model_.Note());
          if (code == LBN_DBLCLK) Compose(&TimeFormatComposer::Append);
          return true;
        }
        return false;
      case IDC_COMPOSER_APPEND:
        Compose(&TimeFormatComposer::Append);
        return true;
      case IDC_COMPOSER_REPLACE:
        Compose(&TimeFormatComposer::Replace);
        return true;
      case IDC_COMPOSER_DEFAULT:
        Compose(&TimeFormatComposer::ResetToDefault);
        return true;
      case IDC_COMPOSER_TEXT:
        if (code != EN_CHANGE) return false;
        model_.SetComposed(WindowTextUtf8(Item(id)));
        ShowExample();
        return true;
    }
    return false;
  }

  bool OnMessage(UINT msg, WPARAM wp, LPARAM, INT_PTR&) override {
    if (msg != WM_TIMER || wp != kExampleTimer) return false;
    ShowExample();
    return true;
  }

  bool OnOk() override {
    model_.SetComposed(WindowTextUtf8(Item(IDC_COMPOSER_TEXT)));
    return true;
  }

  void FillList() {
    HWND list = Item(IDC_COMPOSER_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const FormatRow& row : model_.Rows())
      SendMessageW(list, LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(Utf8ToWide(row.text).c_str()));
  }

  // Buttons change the model; the box shows it, and its change notice brings
  // the model back in step with what the user may have typed since.
  void Compose(void (TimeFormatComposer::*change)()) {
    model_.SetComposed(WindowTextUtf8(Item(IDC_COMPOSER_TEXT)));
    (model_.*change)();
    HWND text = Item(IDC_COMPOSER_TEXT);
    SetWindowTextUtf8(text, model_.Composed());
    const int end = GetWindowTextLengthW(text);
    SendMessageW(text, EM_SETSEL, end, end);
  }

  void ShowExample() {
    const std::string example = model_.LiveExample(ports_.clock.UtcNow(), ports_.locale.Formats());
    HWND box = Item(IDC_COMPOSER_EXAMPLE);
    // Rewriting an unchanged text every second would flicker and drop a selection.
    if (WindowTextUtf8(box) != example) SetWindowTextUtf8(box, example);
  }

  Ports& ports_;
  TimeFormatComposer model_;
};

}  // namespace

std::optional<std::string> ShowFormatComposer(HINSTANCE instance, HWND owner, App& app,
                                              Ports& ports, const Settings& zone) {
  FormatComposerDialog dialog(app, ports, zone);
  if (dialog.RunModal(instance, owner) != IDOK) return std::nullopt;
  return dialog.Composed();
}

}  // namespace tomari
