#include "win32/dialogs/version_dialog_view.h"

#include "win32/dialogs/dialog_controls.h"

#include <commctrl.h>

#include <utility>

#include "dialogs/skin_preview.h"
#include "dialogs/version_dialog.h"
#include "win32/dialog_base.h"
#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr int kLinkIds[2] = {IDC_VERSION_HOME_LINK, IDC_VERSION_MAIL_LINK};
constexpr int kLinkIndex[2] = {VersionDialogModel::kHomePageLink, VersionDialogModel::kMailLink};

// Where the painted parts sit, in twips of the client area.
constexpr int kTitleX = 240, kTitleY = 0, kShadowOffset = 45;
constexpr RECT kBar = {360, 360, 360 + 3900, 360 + 135};
constexpr int kTitlePoints100 = 2175;  // 21.75 pt

class VersionDialog final : public DialogBase {
 public:
  VersionDialog(App& app, Shell& shell, std::string skinInfo)
      : DialogBase(IDD_VERSION, app.ownWindows), shell_(shell), model_(app, std::move(skinInfo)) {}
  ~VersionDialog() override { Release(); }

 private:
  bool OnInit() override {
    SetText(IDC_VERSION_NUMBER, model_.VersionText());
    SetText(IDC_VERSION_DESCRIPTION, kVersionDescription);
    SetText(IDC_VERSION_SKIN, model_.SkinText());
    for (int i = 0; i < 2; ++i) SetText(kLinkIds[i], model_.Link(kLinkIndex[i]).caption);
    MakeFonts();
    MakeToolTips();
    hand_ = LoadCursorW(nullptr, IDC_HAND);
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    for (int i = 0; i < 2; ++i)
      if (id == kLinkIds[i] && code == BN_CLICKED) {
        // A button's click is a left-button release over it (or Space on it).
        model_.ReleaseOnLink(kLinkIndex[i], MouseButton::Left, shell_);
        return true;
      }
    return false;
  }

  // Enter on a focused link opens it too (the dialog manager would take Enter
  // for the default button, which this dialog does not have).
  bool PreTranslate(const MSG& msg) override {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
    for (int i = 0; i < 2; ++i)
      if (msg.hwnd == Item(kLinkIds[i])) {
        model_.ReleaseOnLink(kLinkIndex[i], MouseButton::Left, shell_);
        return true;
      }
    return false;
  }

  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
    switch (msg) {
      case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp), result);
      case WM_PAINT:
        Paint();
        result = TRUE;
        return true;
      case WM_CTLCOLORSTATIC:
        // The version number lies over the painted bar.
        if (reinterpret_cast<HWND>(lp) != Item(IDC_VERSION_NUMBER)) return false;
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNTEXT));
        result = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        return true;
      case WM_DRAWITEM:
        if (!DrawLink(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp))) return false;
        result = TRUE;
        return true;
    }
    return false;
  }

  // The pointer's moves arrive here as cursor requests for the window under it.
  bool OnSetCursor(HWND over, int hitTest, INT_PTR& result) {
    bool onLink = false;
    for (int i = 0; i < 2; ++i)
      if (over == Item(kLinkIds[i])) {
        model_.PointerOverLink(kLinkIndex[i]);
        onLink = true;
      }
    if (!onLink && over == hwnd() && hitTest == HTCLIENT) model_.PointerOverBackground();
    RefreshLinks();
    if (!onLink) return false;
    SetCursor(hand_);
    SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, TRUE);
    result = TRUE;
    return true;
  }

  void RefreshLinks() {
    for (int i = 0; i < 2; ++i) {
      const bool underlined = model_.Underlined(kLinkIndex[i]);
      if (underlined == drawnUnderlined_[i]) continue;
      drawnUnderlined_[i] = underlined;
      InvalidateRect(Item(kLinkIds[i]), nullptr, TRUE);
    }
  }

  bool DrawLink(const DRAWITEMSTRUCT& d) {
    const int i = d.CtlID == UINT{kLinkIds[0]} ? 0 : d.CtlID == UINT{kLinkIds[1]} ? 1 : -1;
    if (i < 0) return false;
    HDC dc = d.hDC;
    RECT r = d.rcItem;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, drawnUnderlined_[i] ? linkUnderlined_ : linkFont_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kLinkColour);
    const std::wstring text = Utf8ToWide(model_.Link(kLinkIndex[i]).caption);
    DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (d.itemState & ODS_FOCUS) {
      RECT t = r;
      DrawTextW(dc, text.c_str(), -1, &t, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      const int w = t.right - t.left;
      RECT f{(r.left + r.right - w) / 2 - 2, r.top, (r.left + r.right + w) / 2 + 2, r.bottom};
      DrawFocusRect(dc, &f);
    }
    SelectObject(dc, old);
    return true;
  }

  int Dpi() const {
    HDC dc = GetDC(hwnd());
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(hwnd(), dc);
    return dpi;
  }

  // The bar, then the title's shadow in the active caption's colour and the
  // title itself in the caption text's colour, 45 twips up and to the left.
  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    const int dpi = Dpi();
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    HBRUSH bar = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldBrush = SelectObject(dc, bar);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const int round = px(kBar.bottom - kBar.top);
    RoundRect(dc, px(kBar.left), px(kBar.top), px(kBar.right), px(kBar.bottom), round, round);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(bar);

    HGDIOBJ oldFont = SelectObject(dc, titleFont_);
    SetBkMode(dc, TRANSPARENT);
    const wchar_t* title = L"トマリギ";
    SetTextColor(dc, GetSysColor(COLOR_ACTIVECAPTION));
    TextOutW(dc, px(kTitleX + kShadowOffset), px(kTitleY + kShadowOffset), title, 4);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    TextOutW(dc, px(kTitleX), px(kTitleY), title, 4);
    SelectObject(dc, oldFont);
    EndPaint(hwnd(), &ps);
  }

  void MakeFonts() {
    const int dpi = Dpi();
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(kTitlePoints100, dpi, 7200);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    lstrcpyW(lf.lfFaceName, L"MS PMincho");
    titleFont_ = CreateFontIndirectW(&lf);

    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    GetObjectW(dialogFont, sizeof(lf), &lf);
    lf.lfItalic = TRUE;
    versionFont_ = CreateFontIndirectW(&lf);
    SendMessageW(Item(IDC_VERSION_NUMBER), WM_SETFONT, reinterpret_cast<WPARAM>(versionFont_), FALSE);
    lf.lfItalic = FALSE;
    linkFont_ = CreateFontIndirectW(&lf);
    lf.lfUnderline = TRUE;
    linkUnderlined_ = CreateFontIndirectW(&lf);
  }

  void MakeToolTips() {
    tips_ = MakeDialogToolTip(nullptr, hwnd());
    for (int i = 0; i < 2; ++i)
      AddControlTip(tips_, hwnd(), kLinkIds[i], Utf8ToWide(model_.Link(kLinkIndex[i]).toolTip));
  }

  void SetText(int id, const std::string& text) {
    SetWindowTextW(Item(id), Utf8ToWide(text).c_str());
  }

  void Release() {
    for (HFONT* f : {&titleFont_, &versionFont_, &linkFont_, &linkUnderlined_})
      if (*f) DeleteObject(std::exchange(*f, nullptr));
  }

  Shell& shell_;
  VersionDialogModel model_;
  HCURSOR hand_ = nullptr;
  HWND tips_ = nullptr;
  bool drawnUnderlined_[2] = {false, false};
  HFONT titleFont_ = nullptr, versionFont_ = nullptr, linkFont_ = nullptr, linkUnderlined_ = nullptr;
};

}  // namespace

void ShowVersionDialog(HINSTANCE instance, HWND owner, App& app, Ports& ports) {
  std::string info = app.skin.loaded ? GetSkinInfo(app.settings.MainSkin, ports.files, ports.codec)
                                     : std::string();
  VersionDialog dialog(app, ports.shell, std::move(info));
  dialog.RunModal(instance, owner);
}

}  // namespace tomari
