#include "win32/dialogs/skin_chooser_dialog.h"

#include "win32/dialogs/dialog_controls.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>
#include <vector>

// winbase.h still defines the 16-bit Yield() as a macro; the finder has a member of that name.
#undef Yield
#include "dialogs/skin_chooser.h"
#include "win32/dialog_base.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/text_convert.h"

namespace tomari {
namespace {

// Posted from OnInit: the search runs once the dialog is on screen, so that it
// can be seen and closed while a large Skins folder is read.
constexpr UINT kStartSearch = WM_APP + 1;

// Long enough for any path the system takes (\\?\ paths included).
constexpr DWORD kPathBufferLength = 32768;

class SkinChooserDialog final : public DialogBase {
 public:
  SkinChooserDialog(HINSTANCE instance, App& app, Ports& ports, const std::string& currentSkin)
      : DialogBase(IDD_SKIN_CHOOSER, app.ownWindows),
        instance_(instance),
        app_(app),
        model_(ports.directory,
               PreviewSources{ports.files, ports.codec, ports.images, app.facts.HasImageLibrary,
                              app.skin.StartupFolder},
               app.facts.AppFolder, currentSkin) {
    model_.onYield = [this] { PumpWhileSearching(); };
  }

  const std::string& Chosen() const { return chosen_; }

 private:
  bool OnInit() override {
    AddToolTips();
    RECT area{};
    GetClientRect(Item(IDC_CHOOSER_PREVIEW), &area);
    canvasWidth_ = area.right;
    canvasHeight_ = area.bottom;
    gdi::WindowDC screen(nullptr);
    canvas_ = gdi::Object(CreateCompatibleBitmap(screen.Get(), canvasWidth_, canvasHeight_));
    ShowMessage(L"");
    PostMessageW(hwnd(), kStartSearch, 0, 0);
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (id == IDC_CHOOSER_LIST && code == LBN_SELCHANGE) {
      const int index = static_cast<int>(SendMessageW(Item(IDC_CHOOSER_LIST), LB_GETCURSEL, 0, 0));
      if (model_.Select(index)) ShowPreview();
      return true;
    }
    if (id == IDC_CHOOSER_OTHER_FOLDER && code == BN_CLICKED) {
      // The list is rebuilt when the search ends: a skin added meanwhile would
      // be lost, so the button waits for it.
      if (searching_) return true;
      const std::optional<std::string> path = AskSkinFile();
      if (!path) return true;
      model_.AddChosen(*path);
      FillList();
      return true;
    }
    return false;
  }

  bool OnOk() override {
    if (!model_.Confirm(chosen_)) return false;
    closing_ = true;
    return true;
  }

  void OnCancel() override {
    closing_ = true;
    model_.Stop();
  }

  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
    if (msg == kStartSearch) {
      SearchSkins();
      return true;
    }
    if (msg == WM_DRAWITEM && wp == IDC_CHOOSER_PREVIEW) {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      gdi::MemoryDC source(item.hDC);
      if (source.Select(canvas_.Get()))
        BitBlt(item.hDC, 0, 0, canvasWidth_, canvasHeight_, source.Get(), 0, 0, SRCCOPY);
      result = TRUE;
      return true;
    }
    return false;
  }

  void AddToolTips() {
    static const ControlTip kTips[] = {
        {IDC_CHOOSER_LIST, IDS_SKIN_TIP_LIST},   {IDC_CHOOSER_PREVIEW, IDS_SKIN_TIP_PREVIEW},
        {IDC_CHOOSER_INFO, IDS_SKIN_TIP_INFO},   {IDC_DIALOG_OK, IDS_SKIN_TIP_OK},
        {IDC_DIALOG_CANCEL, IDS_SKIN_TIP_CANCEL}, {IDC_CHOOSER_OTHER_FOLDER, IDS_SKIN_TIP_OTHER_FOLDER}};
    // The list's tip is one long sentence.
    AddControlTips(instance_, hwnd(), kTips, static_cast<int>(std::size(kTips)), 400);
  }

  void SearchSkins() {
    HWND list = Item(IDC_CHOOSER_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ShowWindow(list, SW_HIDE);
    searching_ = true;
    model_.Search();
    searching_ = false;
    if (closing_) return;
    // Shown only once filled, selected and previewed: a visible list is a
    // finished one, for the user and for anything reading the dialog.
    FillList();
    ShowWindow(list, SW_SHOW);
  }

  // Lets the dialog answer while the search goes on; closing it stops the search.
  void PumpWhileSearching() {
    MSG msg;
    while (!closing_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // For the modal loop, which ends the dialog on it.
        PostQuitMessage(static_cast<int>(msg.wParam));
        model_.Stop();
        return;
      }
      if (IsDialogMessageW(hwnd(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (closing_) model_.Stop();
  }

  // The list as the model holds it, with its selection and that skin's preview.
  void FillList() {
    HWND list = Item(IDC_CHOOSER_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : model_.Entries())
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(entry).c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    const int selected = model_.Selected();
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    if (model_.Select(selected)) ShowPreview();
  }

  void ShowPreview() {
    const std::string& path = model_.Paths()[static_cast<size_t>(model_.Selected())];
    SetDlgItemTextW(hwnd(), IDC_CHOOSER_PATH, Utf8ToWide(path).c_str());
    ShowMessage(Utf8ToWide(kPreviewBuilding));
    const SkinPreviewView view = model_.Preview();
    SetDlgItemTextW(hwnd(), IDC_CHOOSER_INFO, Utf8ToWide(view.info).c_str());
    if (view.image.Empty() || !DrawImage(view.image, view.keyColor))
      ShowMessage(Utf8ToWide(kPreviewInvalid));
  }

  // The canvas cleared with one line of text centred on it. The text is also
  // the preview control's own text, for readers of the window's contents.
  void ShowMessage(const std::wstring& text) {
    HWND preview = Item(IDC_CHOOSER_PREVIEW);
    SetWindowTextW(preview, text.c_str());
    {
      gdi::MemoryDC dc(nullptr);
      if (!dc.Select(canvas_.Get())) return;
      RECT all{0, 0, canvasWidth_, canvasHeight_};
      FillRect(dc.Get(), &all, GetSysColorBrush(COLOR_BTNFACE));
      HGDIOBJ oldFont = SelectObject(
          dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
      SIZE size{};
      GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
      SetBkMode(dc.Get(), TRANSPARENT);
      SetTextColor(dc.Get(), GetSysColor(COLOR_BTNTEXT));
      TextOutW(dc.Get(), (canvasWidth_ - size.cx) / 2, (canvasHeight_ - size.cy) / 2,
               text.c_str(), static_cast<int>(text.size()));
      SelectObject(dc.Get(), oldFont);
    }
    // Only once the canvas is out of the memory DC: a bitmap sits in one DC at
    // a time, and the control's paint selects it into its own.
    Repaint();
  }

  // The image fitted into the canvas (never enlarged) on the skin's key colour.
  bool DrawImage(const SkinImage& image, SkinColor keyColor) {
    {
      gdi::MemoryDC dc(nullptr);
      gdi::MemoryDC source(nullptr);
      gdi::DibSection pixels(dc.Get(), image.width, image.height);
      if (!pixels || !dc.Select(canvas_.Get()) || !source.Select(pixels.Get())) return false;
      std::memcpy(const_cast<DWORD*>(pixels.Bits()), image.pixels.data(),
                  image.pixels.size() * sizeof(Pixel));
      SetWindowTextW(Item(IDC_CHOOSER_PREVIEW), L"");
      gdi::Object brush(CreateSolidBrush(static_cast<COLORREF>(keyColor) & 0x00FFFFFF));
      RECT all{0, 0, canvasWidth_, canvasHeight_};
      FillRect(dc.Get(), &all, static_cast<HBRUSH>(brush.Get()));
      const Rect fit = FitPreview(image.width, image.height, canvasWidth_, canvasHeight_);
      SetStretchBltMode(dc.Get(), HALFTONE);
      SetBrushOrgEx(dc.Get(), 0, 0, nullptr);
      StretchBlt(dc.Get(), fit.left, fit.top, fit.Width(), fit.Height(), source.Get(), 0, 0,
                 image.width, image.height, SRCCOPY);
    }
    Repaint();
    return true;
  }

  // At once, so "building" is seen while a large preview is made.
  void Repaint() {
    HWND preview = Item(IDC_CHOOSER_PREVIEW);
    InvalidateRect(preview, nullptr, FALSE);
    UpdateWindow(preview);
  }

  std::optional<std::string> AskSkinFile() {
    const SkinFileDialogRequest request = OtherSkinDialog(app_.skin.folder);
    const std::wstring filter = Utf8ToWide(request.filter);
    const std::wstring title = Utf8ToWide(request.title);
    const std::wstring folder = Utf8ToWide(request.initialFolder);
    std::vector<wchar_t> file(kPathBufferLength, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hwnd();
    ofn.hInstance = instance_;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathBufferLength;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    // The current directory stays where it is: other parts of the program
    // resolve paths against the folder they were started in.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    return WideToUtf8(file.data());
  }

  HINSTANCE instance_;
  App& app_;
  SkinChooserModel model_;
  std::string chosen_;
  bool searching_ = false;
  bool closing_ = false;
  gdi::Object canvas_;
  int canvasWidth_ = 0;
  int canvasHeight_ = 0;
};

}  // namespace

std::optional<std::string> ShowSkinChooser(HINSTANCE instance, HWND owner, App& app, Ports& ports,
                                           const std::string& currentSkin) {
  SkinChooserDialog dialog(instance, app, ports, currentSkin);
  if (dialog.RunModal(instance, owner) != IDOK) return std::nullopt;
  return dialog.Chosen();
}

}  // namespace tomari
