#include "win32/dialogs/settings_dialog_view.h"

#include "win32/dialogs/dialog_controls.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <vector>

#include "dialogs/skin_preview.h"
#include "skin/skin.h"
#include "win32/dialog_base.h"
#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

struct Tip {
  int id;
  const char* text;
};

// The tooltips of the pages' controls. The progressive box also says what
// the imaging library makes of it: it always writes baseline JPEG files.
constexpr Tip kTips[] = {
    {IDC_AUTO_POSITION,
     "位置の自動更新を設定します。チェックすると、取り付け先のウインドウに合わせて自動的に移動します。"},
    {IDC_MULTI, "二重起動の可否を設定します。チェックを入れると、トマリギはいくつでも起動できます。"},
    {IDC_CLOCK_BEFORE, "タイトルの前に時刻を表示します。"},
    {IDC_CLOCK_AFTER, "タイトルの後ろに時刻を表示します。"},
    {IDC_FORMAT_TEXT,
     "表示される時刻形式を指定します。ダブルクリックで詳細を設定できます。"},
    {IDC_SKIN_PREVIEW, "スキンの外観のプレビューです。ダブルクリックでスキンファイルを選択。"},
    {IDC_SKIN_PATH, "スキンファイルを指定します。ダブルクリックでファイルを選択。"},
    {IDC_SKIN_INFO, "スキンの情報です。"},
    {IDC_CAPTURE_CLIPBOARD,
     "キャプチャされた画像はほかの画像編集ソフトの『貼り付け』『ペースト』等で使用できます。"},
    {IDC_CAPTURE_FILE, "キャプチャした画像を、ファイルとして保存します。"},
    {IDC_SAVE_ASK, "ファイルを保存するとき、そのつどファイル名とファイル形式を指定します。"},
    {IDC_SAVE_AUTO,
     "キャプチャした日時をファイル名として保存します。この画面で保存する形式を指定します。"},
    {IDC_SAVE_FOLDER, "ダブルクリックでフォルダを選択"},
    {IDC_FILE_BMP,
     "拡張子はbmp。Windows標準のファイル形式。綺麗な反面ファイルサイズが大きいです。"
     "自力で保存しているので非常に低速です。"},
    {IDC_FILE_JPEG,
     "拡張子はjpg,jpeg。写真等のフルカラー保存に適した形式。非可逆圧縮といって、"
     "画像が劣化して完全に元に戻せないが、高い圧縮を誇ります。"},
    {IDC_FILE_PNG, "拡張子はpng。比較的新しい形式。フルカラーの可逆圧縮をサポートします。"},
    {IDC_JPEG_PROGRESSIVE,
     "画像をブラウザ等で表示する時、徐々に表示するかを設定します。\r\n"
     "（現在の画像ライブラリはプログレッシブ形式に対応していないため、"
     "常に通常のJPEGとして保存されます。）"},
    {IDC_PNG_NORMAL, "標準です。"},
    {IDC_PNG_FAST, "低い圧縮率ですが、高速に保存できます。"},
    {IDC_PNG_SMALL, "高い圧縮を誇りますが、低速で、非可逆圧縮になります。"},
    {IDC_EXCL_LIST, "対象外にする設定の一覧です。"},
    {IDC_EXCL_PAGE_TITLE, "ここに、設定されたウインドウのタイトルが表示されます。"},
    {IDC_EXCL_PAGE_CLASS, "ここに、設定されたウインドウのクラス名が表示されます。"},
    {IDC_EXCL_ADD, "設定を追加します。"},
    {IDC_EXCL_CHANGE, "既存の設定を変更します。"},
    {IDC_EXCL_DELETE, "設定を削除します。"},
};

constexpr COLORREF kMarkerColour = RGB(255, 0, 0);
constexpr COLORREF kOpacityTextColour = RGB(0, 0, 255);
constexpr wchar_t kBadSkin[] = L"スキンが正しくありません。";

int PageOf(int id) {
  const int rel = id - IDC_SETTINGS_PAGE_FIRST;
  if (rel < 0 || rel >= kSettingsPageCount * IDC_SETTINGS_PAGE_SPAN) return -1;
  return rel / IDC_SETTINGS_PAGE_SPAN;
}

// The three option groups whose index is a setting, in control order.
constexpr std::array<int, 2> kClockPositionGroup{IDC_CLOCK_BEFORE, IDC_CLOCK_AFTER};
constexpr std::array<int, 2> kCaptureTypeGroup{IDC_CAPTURE_CLIPBOARD, IDC_CAPTURE_FILE};
constexpr std::array<int, 2> kSaveTypeGroup{IDC_SAVE_ASK, IDC_SAVE_AUTO};
constexpr std::array<int, 3> kFileTypeGroup{IDC_FILE_BMP, IDC_FILE_JPEG, IDC_FILE_PNG};
constexpr std::array<int, 3> kPngGroup{IDC_PNG_NORMAL, IDC_PNG_FAST, IDC_PNG_SMALL};

class SettingsDialog final : public DialogBase {
 public:
  SettingsDialog(App& app, Ports& ports, SettingsDialogModel& model,
                 const SettingsDialogServices& services)
      : DialogBase(IDD_SETTINGS, app.ownWindows),
        app_(app),
        ports_(ports),
        model_(model),
        services_(services) {}
  ~SettingsDialog() override {
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(bigFont_), static_cast<HGDIOBJ>(italicFont_),
                      static_cast<HGDIOBJ>(greyBrush_)})
      if (o) DeleteObject(o);
  }

 private:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(const NMHDR& notice, LRESULT& result) override;
  bool OnOk() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  bool PreTranslate(const MSG& msg) override;

  void PlacePages();
  void AddTooltips();
  void MakeFonts();
  void FillLists();
  void Load();
  void ShowPage(int page);
  bool Suppressed(int id) const;

  void SetText(int id, const std::string& utf8) {
    SetDlgItemTextW(hwnd(), id, Utf8ToWide(utf8).c_str());
  }
  std::string Text(int id) const;
  bool Checked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
  void Check(int id, bool on) { CheckDlgButton(hwnd(), id, on ? BST_CHECKED : BST_UNCHECKED); }
  template <std::size_t N>
  void CheckOption(const std::array<int, N>& group, int index) {
    for (std::size_t i = 0; i < N; ++i) Check(group[i], static_cast<int>(i) == index);
  }
  template <std::size_t N>
  int CheckedOption(const std::array<int, N>& group) const {
    std::array<bool, N> states{};
    for (std::size_t i = 0; i < N; ++i) states[i] = Checked(group[i]);
    return GetCheckedIndex(states);
  }
  void InitBar(int id, ControlRange range, int pos) {
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS, range.min, range.max, 0, pos, 0};
    SetScrollInfo(Item(id), SB_CTL, &si, TRUE);
  }
  void SetBar(int id, int pos) { SetScrollPos(Item(id), SB_CTL, pos, TRUE); }
  void Select(int id, int index) { SendDlgItemMessageW(hwnd(), id, CB_SETCURSEL, index, 0); }
  int Selected(int id) const {
    return static_cast<int>(SendDlgItemMessageW(hwnd(), id, CB_GETCURSEL, 0, 0));
  }

  void OnScroll(HWND bar, int code);
  void ShowZone();
  void ShowPositionPanel();
  void ShowOpacity();
  void ShowExclusionDetails();
  void FillExclusionList();
  void LoadSkinPreview();
  void ChooseSkin();
  void ChooseFolder();
  void EditExclusion(bool add);
  void DrawPositionPreview(const DRAWITEMSTRUCT& d);
  void DrawSkinPreview(const DRAWITEMSTRUCT& d);
  void DrawOpacityRing(const DRAWITEMSTRUCT& d);

  App& app_;
  Ports& ports_;
  SettingsDialogModel& model_;
  const SettingsDialogServices& services_;
  HWND tabs_ = nullptr;
  HWND tips_ = nullptr;
  HFONT bigFont_ = nullptr;
  HFONT italicFont_ = nullptr;
  HBRUSH greyBrush_ = nullptr;
  SkinImage skinImage_;
  COLORREF skinKey_ = 0;
  bool skinBad_ = false;
  bool loading_ = false;
};

std::string SettingsDialog::Text(int id) const {
  HWND c = Item(id);
  std::wstring w(static_cast<std::size_t>(GetWindowTextLengthW(c)) + 1, L'\0');
  w.resize(static_cast<std::size_t>(GetWindowTextW(c, w.data(), static_cast<int>(w.size()))));
  return WideToUtf8(w);
}

bool SettingsDialog::OnInit() {
  loading_ = true;
  tabs_ = Item(IDC_SETTINGS_TABS);
  SendMessageW(tabs_, WM_SETFONT, SendMessageW(hwnd(), WM_GETFONT, 0, 0), FALSE);
  const auto& captions = SettingsTabCaptions();
  for (int i = 0; i < kSettingsPageCount; ++i) {
    std::wstring caption = Utf8ToWide(captions[static_cast<std::size_t>(i)]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(tabs_, TCM_SETCURSEL, model_.Page(), 0);
  PlacePages();
  MakeFonts();
  FillLists();
  AddTooltips();
  Load();
  ShowPage(model_.Page());
  loading_ = false;
  return true;
}

// Moves every page's controls from their page-relative template places onto
// the tab control's page area; a taller row of tabs (a larger font or DPI)
// makes the dialog taller rather than cutting the pages off.
void SettingsDialog::PlacePages() {
  RECT tabRect;
  GetWindowRect(tabs_, &tabRect);
  MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&tabRect), 2);
  RECT area = tabRect;
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  RECT frame;
  GetWindowRect(Item(IDC_POS_FRAME), &frame);
  const int frameW = frame.right - frame.left;
  const int frameH = frame.bottom - frame.top;
  RECT gap{0, 0, 2, 2};
  MapDialogRect(hwnd(), &gap);
  const int grow = std::max<int>(0, frameH + 2 * gap.bottom - static_cast<int>(area.bottom - area.top));
  const int dx = static_cast<int>(area.left) + std::max<int>(0, static_cast<int>(area.right - area.left) - frameW) / 2;
  const int dy = static_cast<int>(area.top + gap.bottom);
  for (HWND c = GetWindow(hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    if (PageOf(id) >= 0) {
      SetWindowPos(c, nullptr, r.left + dx, r.top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (grow > 0 && (id == IDC_DIALOG_OK || id == IDC_DIALOG_CANCEL)) {
      SetWindowPos(c, nullptr, r.left, r.top + grow, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  // The tab control lies under the pages so that their controls draw over it.
  SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, tabRect.right - tabRect.left,
               tabRect.bottom - tabRect.top + grow, SWP_NOMOVE | SWP_NOACTIVATE);
  if (grow > 0) {
    RECT w;
    GetWindowRect(hwnd(), &w);
    SetWindowPos(hwnd(), nullptr, 0, 0, w.right - w.left, w.bottom - w.top + grow,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void SettingsDialog::MakeFonts() {
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  LOGFONTW big = lf;
  big.lfHeight = lf.lfHeight * 5 / 2;
  big.lfWeight = FW_BOLD;
  bigFont_ = CreateFontIndirectW(&big);
  SendDlgItemMessageW(hwnd(), IDC_DRAG_NUMBER, WM_SETFONT, reinterpret_cast<WPARAM>(bigFont_), FALSE);
  LOGFONTW italic = lf;
  italic.lfItalic = TRUE;
  italicFont_ = CreateFontIndirectW(&italic);
  SendDlgItemMessageW(hwnd(), IDC_CLOCK_CREDIT, WM_SETFONT,
                      reinterpret_cast<WPARAM>(italicFont_), FALSE);
}

void SettingsDialog::AddTooltips() {
  tips_ = MakeDialogToolTip(nullptr, hwnd());
  if (!tips_) return;
  SendMessageW(tips_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 20000);
  for (const Tip& tip : kTips) AddControlTip(tips_, hwnd(), tip.id, Utf8ToWide(tip.text));
}

void SettingsDialog::FillLists() {
  const auto fill = [&](int id, const std::vector<std::string>& texts) {
    for (const std::string& t : texts)
      SendDlgItemMessageW(hwnd(), id, CB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(Utf8ToWide(t).c_str()));
  };
  fill(IDC_ZONE, ZoneListTexts());
  fill(IDC_ZONE_SIGN, ZoneSignTexts());
  fill(IDC_ZONE_HOURS, ZoneHourTexts());
  fill(IDC_ZONE_MINUTES, ZoneMinuteTexts());
  RECT wide{0, 0, 180, 0};
  MapDialogRect(hwnd(), &wide);
  SendDlgItemMessageW(hwnd(), IDC_ZONE, CB_SETDROPPEDWIDTH, wide.right, 0);
}

void SettingsDialog::Load() {
  InitBar(IDC_TIMING, kTimingRange, model_.Timing());
  Check(IDC_MULTI, model_.Multi());
  SetText(IDC_SKIN_PATH, model_.SkinPath());
  LoadSkinPreview();
  Check(IDC_AUTO_POSITION, model_.AutoPosition());
  InitBar(IDC_ANCHOR_X, kAnchorRange, model_.AnchorX());
  InitBar(IDC_ANCHOR_Y, kAnchorRange, model_.AnchorY());
  InitBar(IDC_OPACITY, kOpacityRange, model_.Opacity());
  InitBar(IDC_DRAG_BAR, kDragBarRange, model_.DragBar());
  CheckOption(kCaptureTypeGroup, model_.CaptureType());
  CheckOption(kSaveTypeGroup, model_.SaveType());
  SetText(IDC_SAVE_FOLDER, model_.SaveFolder());
  CheckOption(kFileTypeGroup, model_.FileType());
  InitBar(IDC_JPEG_QUALITY, kJpegQualityRange, model_.JpegQuality());
  Check(IDC_JPEG_PROGRESSIVE, model_.JpegProgressive());
  CheckOption(kPngGroup, model_.PngValue());
  SetText(IDC_FORMAT_TEXT, model_.FormatText());
  CheckOption(kClockPositionGroup, model_.ClockPosition());
  ShowZone();
  Check(IDC_SUMMER_TIME, model_.SummerTime());
  FillExclusionList();
  ShowExclusionDetails();

  SetText(IDC_TIMING_LABEL, model_.TimingLabel());
  SetText(IDC_JPEG_QUALITY_LABEL, model_.JpegQualityLabel());
  SetText(IDC_DRAG_NUMBER, model_.DragLevelText());
  SetText(IDC_RESET_TEXT, model_.ResetExplanation());
  ShowOpacity();
  ShowPositionPanel();
}

// The JPEG and PNG choices exist only with the imaging library.
bool SettingsDialog::Suppressed(int id) const {
  if (model_.ShowsImageFormats()) return false;
  return id == IDC_FILE_JPEG || id == IDC_FILE_PNG ||
         (id >= IDC_JPEG_FRAME && id <= IDC_PNG_SMALL);
}

void SettingsDialog::ShowPage(int page) {
  model_.ShowPage(page);
  page = model_.Page();
  if (GetFocus() && PageOf(GetDlgCtrlID(GetFocus())) >= 0 &&
      PageOf(GetDlgCtrlID(GetFocus())) != page)
    SetFocus(tabs_);
  for (HWND c = GetWindow(hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const int id = GetDlgCtrlID(c);
    const int p = PageOf(id);
    if (p < 0) continue;
    bool show = p == page && !Suppressed(id);
    if (id >= IDC_BASE_FRAME && id <= IDC_POSITION_PREVIEW) show = show && model_.AutoPosition();
    // Hidden pages are disabled too, so that their mnemonics do not reach them.
    EnableWindow(c, show);
    ShowWindow(c, show ? SW_SHOWNA : SW_HIDE);
  }
}

void SettingsDialog::ShowPositionPanel() {
  const bool show = model_.Page() == kPagePosition && model_.AutoPosition();
  for (int id = IDC_BASE_FRAME; id <= IDC_POSITION_PREVIEW; ++id) {
    EnableWindow(Item(id), show);
    ShowWindow(Item(id), show ? SW_SHOWNA : SW_HIDE);
  }
  InvalidateRect(Item(IDC_POSITION_PREVIEW), nullptr, TRUE);
}

void SettingsDialog::ShowZone() {
  Select(IDC_ZONE, model_.Zone());
  Select(IDC_ZONE_SIGN, model_.ZoneSign());
  Select(IDC_ZONE_HOURS, model_.ZoneHours());
  Select(IDC_ZONE_MINUTES, model_.ZoneMinutes());
}

void SettingsDialog::ShowOpacity() {
  if (greyBrush_) DeleteObject(greyBrush_);
  const int g = model_.OpacityLabelGrey();
  greyBrush_ = CreateSolidBrush(RGB(g, g, g));
  SetText(IDC_OPACITY_LABEL, model_.OpacityLabel());
  InvalidateRect(Item(IDC_OPACITY_LABEL), nullptr, TRUE);
}

void SettingsDialog::FillExclusionList() {
  HWND list = Item(IDC_EXCL_LIST);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const ExclusionEntry& e : model_.Exclusions())
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(e.Name).c_str()));
  SendMessageW(list, LB_SETCURSEL, model_.SelectedExclusion(), 0);
}

void SettingsDialog::ShowExclusionDetails() {
  SetText(IDC_EXCL_PAGE_TITLE, model_.ExclusionTitleText());
  SetText(IDC_EXCL_PAGE_CLASS, model_.ExclusionClassText());
}

void SettingsDialog::LoadSkinPreview() {
  const std::string path = model_.SkinPath();
  SetText(IDC_SKIN_INFO, GetSkinInfo(path, ports_.files, ports_.codec));
  PreviewSources sources{ports_.files, ports_.codec, ports_.images, app_.facts.HasImageLibrary,
                         app_.skin.StartupFolder};
  SkinColor key = 0;
  skinImage_ = RenderSkinPreview(path, key, sources);
  skinKey_ = key == kNoColor ? 0 : static_cast<COLORREF>(key);
  skinBad_ = skinImage_.Empty();
  InvalidateRect(Item(IDC_SKIN_PREVIEW), nullptr, TRUE);
}

void SettingsDialog::ChooseSkin() {
  if (!services_.chooseSkin) return;
  const auto chosen = services_.chooseSkin(hwnd(), model_.SkinPath());
  if (chosen && model_.SetSkinPath(*chosen)) {
    SetText(IDC_SKIN_PATH, model_.SkinPath());
    LoadSkinPreview();
  }
}

void SettingsDialog::ChooseFolder() {
  const std::wstring title = Utf8ToWide("ﾌｫﾙﾀﾞを選択してください");
  BROWSEINFOW info{};
  info.hwndOwner = hwnd();  // the settings dialog: the widget stays disabled under it
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  // The folder browser is a COM client; the thread keeps no apartment open.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
  if (!list) {
    if (SUCCEEDED(com)) CoUninitialize();
    return;
  }
  // Paths may be longer than MAX_PATH: ask for a growing buffer.
  std::wstring path(32768, L'\0');
  const bool ok = SHGetPathFromIDListEx(list, path.data(), static_cast<DWORD>(path.size()),
                                        GPFIDL_DEFAULT) != FALSE;
  CoTaskMemFree(list);
  if (SUCCEEDED(com)) CoUninitialize();
  path.resize(ok ? wcslen(path.c_str()) : 0);
  if (!path.empty()) SetDlgItemTextW(hwnd(), IDC_SAVE_FOLDER, path.c_str());
}

void SettingsDialog::EditExclusion(bool add) {
  const ExclusionEntryEdit edit = [&](ExclusionEntry& entry) {
    if (services_.editExclusion) services_.editExclusion(hwnd(), entry);
  };
  if (add) {
    model_.AddExclusion(edit);
  } else {
    model_.ChangeExclusion(edit);
  }
  FillExclusionList();
  ShowExclusionDetails();
}

void SettingsDialog::OnScroll(HWND bar, int code) {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(bar, SB_CTL, &si);
  const int id = GetDlgCtrlID(bar);
  const int page = id == IDC_TIMING ? 10 : 1;
  int pos = si.nPos;
  switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  pos = std::clamp(pos, si.nMin, si.nMax);
  SetScrollPos(bar, SB_CTL, pos, TRUE);
  switch (id) {
    case IDC_ANCHOR_X:
      model_.SetAnchorX(pos);
      InvalidateRect(Item(IDC_POSITION_PREVIEW), nullptr, TRUE);
      break;
    case IDC_ANCHOR_Y:
      model_.SetAnchorY(pos);
      InvalidateRect(Item(IDC_POSITION_PREVIEW), nullptr, TRUE);
      break;
    case IDC_TIMING:
      model_.SetTiming(pos);
      SetText(IDC_TIMING_LABEL, model_.TimingLabel());
      break;
    case IDC_OPACITY:
      model_.SetOpacity(pos);
      ShowOpacity();
      break;
    case IDC_DRAG_BAR:
      model_.SetDragBar(pos);
      // The number follows the bar's value, not the thumb while it is dragged.
      if (code != SB_THUMBTRACK) SetText(IDC_DRAG_NUMBER, model_.DragLevelText());
      break;
    case IDC_JPEG_QUALITY:
      model_.SetJpegQuality(pos);
      SetText(IDC_JPEG_QUALITY_LABEL, model_.JpegQualityLabel());
      break;
    default: break;
  }
}

bool SettingsDialog::OnCommand(int id, int code, HWND) {
  if (loading_) return false;
  switch (id) {
    case IDC_AUTO_POSITION:
      model_.SetAutoPosition(Checked(id));
      ShowPositionPanel();
      return true;
    case IDC_RESET_OFFSETS:
      model_.SetResetOffsets(Checked(id));
      SetText(IDC_RESET_TEXT, model_.ResetExplanation());
      return true;
    case IDC_ZONE:
    case IDC_ZONE_SIGN:
    case IDC_ZONE_HOURS:
    case IDC_ZONE_MINUTES:
      if (code != CBN_SELCHANGE) return false;
      if (id == IDC_ZONE) model_.SelectZone(Selected(id));
      if (id == IDC_ZONE_SIGN) model_.SelectZoneSign(Selected(id));
      if (id == IDC_ZONE_HOURS) model_.SelectZoneHours(Selected(id));
      if (id == IDC_ZONE_MINUTES) model_.SelectZoneMinutes(Selected(id));
      ShowZone();
      return true;
    case IDC_SKIN_PREVIEW:
      if (code == STN_DBLCLK) ChooseSkin();
      return true;
    case IDC_EXCL_LIST:
      if (code == LBN_SELCHANGE) {
        model_.SelectExclusion(static_cast<int>(SendDlgItemMessageW(hwnd(), id, LB_GETCURSEL, 0, 0)));
        ShowExclusionDetails();
      } else if (code == LBN_DBLCLK) {
        EditExclusion(false);
      }
      return true;
    case IDC_EXCL_ADD:
      EditExclusion(true);
      return true;
    case IDC_EXCL_CHANGE:
      EditExclusion(false);
      return true;
    case IDC_EXCL_DELETE:
      model_.DeleteExclusion();
      FillExclusionList();
      ShowExclusionDetails();
      return true;
    default:
      return false;
  }
}

bool SettingsDialog::OnNotify(const NMHDR& notice, LRESULT&) {
  if (notice.hwndFrom != tabs_ || notice.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
  ShowPage(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
  return true;
}

bool SettingsDialog::OnOk() {
  model_.SetMulti(Checked(IDC_MULTI));
  model_.SetAutoPosition(Checked(IDC_AUTO_POSITION));
  model_.SetResetOffsets(Checked(IDC_RESET_OFFSETS));
  model_.SetClockPosition(CheckedOption(kClockPositionGroup));
  model_.SetFormatText(Text(IDC_FORMAT_TEXT));
  model_.SetSummerTime(Checked(IDC_SUMMER_TIME));
  model_.SetCaptureType(CheckedOption(kCaptureTypeGroup));
  model_.SetSaveType(CheckedOption(kSaveTypeGroup));
  model_.SetFileType(CheckedOption(kFileTypeGroup));
  model_.SetSaveFolder(Text(IDC_SAVE_FOLDER));
  model_.SetJpegProgressive(Checked(IDC_JPEG_PROGRESSIVE));
  model_.SetPngValue(CheckedOption(kPngGroup));
  return true;
}

// Double-clicks on the edit boxes, which send no notification of their own.
bool SettingsDialog::PreTranslate(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
      (msg.hwnd == hwnd() || IsChild(hwnd(), msg.hwnd))) {
    const int step = GetKeyState(VK_SHIFT) < 0 ? kSettingsPageCount - 1 : 1;
    const int page = (model_.Page() + step) % kSettingsPageCount;
    SendMessageW(tabs_, TCM_SETCURSEL, page, 0);
    ShowPage(page);
    return true;
  }
  if (msg.message != WM_LBUTTONDBLCLK) return false;
  if (msg.hwnd == Item(IDC_FORMAT_TEXT)) {
    if (services_.composeFormat) {
      model_.SetFormatText(Text(IDC_FORMAT_TEXT));
      Settings zone;
      model_.WriteTo(zone);
      if (auto text = services_.composeFormat(hwnd(), zone)) {
        model_.SetFormatText(*text);
        SetText(IDC_FORMAT_TEXT, *text);
      }
    }
    return true;
  }
  if (msg.hwnd == Item(IDC_SKIN_PATH)) {
    ChooseSkin();
    return true;
  }
  if (msg.hwnd == Item(IDC_SAVE_FOLDER)) {
    ChooseFolder();
    return true;
  }
  return false;
}

bool SettingsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  switch (msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!lp) return false;
      OnScroll(reinterpret_cast<HWND>(lp), LOWORD(wp));
      result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) != Item(IDC_OPACITY_LABEL)) return false;
      SetTextColor(reinterpret_cast<HDC>(wp), kOpacityTextColour);
      {
        const int g = model_.OpacityLabelGrey();
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(g, g, g));
      }
      result = reinterpret_cast<INT_PTR>(greyBrush_);
      return true;
    case WM_DRAWITEM: {
      const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d.CtlID == IDC_POSITION_PREVIEW) DrawPositionPreview(d);
      else if (d.CtlID == IDC_SKIN_PREVIEW) DrawSkinPreview(d);
      else if (d.CtlID == IDC_OPACITY_RING) DrawOpacityRing(d);
      else return false;
      result = TRUE;
      return true;
    }
    default:
      return false;
  }
}

// The picture of a window with the marker, scaled from twips into the box.
void SettingsDialog::DrawPositionPreview(const DRAWITEMSTRUCT& d) {
  const RECT& box = d.rcItem;
  FillRect(d.hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
  const Rect all{kPreviewWindow.left - kPreviewMarkerSize, kPreviewWindow.top - kPreviewMarkerSize,
                 kPreviewWindow.right + kPreviewMarkerSize,
                 kPreviewWindow.bottom + kPreviewMarkerSize};
  const double sx = double(box.right - box.left) / (all.right - all.left);
  const double sy = double(box.bottom - box.top) / (all.bottom - all.top);
  const double s = std::min(sx, sy);
  const int ox = box.left + int((box.right - box.left) - s * (all.right - all.left)) / 2;
  const int oy = box.top + int((box.bottom - box.top) - s * (all.bottom - all.top)) / 2;
  const auto map = [&](int l, int t, int r, int b) {
    return RECT{ox + int((l - all.left) * s), oy + int((t - all.top) * s),
                ox + int((r - all.left) * s), oy + int((b - all.top) * s)};
  };
  RECT window = map(kPreviewWindow.left, kPreviewWindow.top, kPreviewWindow.right,
                    kPreviewWindow.bottom);
  FillRect(d.hDC, &window, GetSysColorBrush(COLOR_ACTIVECAPTION));
  RECT client = map(kPreviewClient.left, kPreviewClient.top, kPreviewClient.right,
                    kPreviewClient.bottom);
  FillRect(d.hDC, &client, GetSysColorBrush(COLOR_WINDOW));
  const Point m = model_.MarkerPosition();
  RECT marker = map(m.x, m.y, m.x + kPreviewMarkerSize, m.y + kPreviewMarkerSize);
  HBRUSH red = CreateSolidBrush(kMarkerColour);
  FillRect(d.hDC, &marker, red);
  DeleteObject(red);
}

void SettingsDialog::DrawSkinPreview(const DRAWITEMSTRUCT& d) {
  const RECT& box = d.rcItem;
  if (skinBad_) {
    FillRect(d.hDC, &box, GetSysColorBrush(COLOR_WINDOW));
    RECT text = box;
    SetBkMode(d.hDC, TRANSPARENT);
    SetTextColor(d.hDC, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(d.hDC, kBadSkin, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  HBRUSH key = CreateSolidBrush(skinKey_);
  FillRect(d.hDC, &box, key);
  DeleteObject(key);
  const Rect at = FitPreview(skinImage_.width, skinImage_.height, box.right - box.left,
                             box.bottom - box.top);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = skinImage_.width;
  bi.bmiHeader.biHeight = -skinImage_.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(d.hDC, HALFTONE);
  SetBrushOrgEx(d.hDC, 0, 0, nullptr);
  StretchDIBits(d.hDC, box.left + at.left, box.top + at.top, at.right - at.left,
                at.bottom - at.top, 0, 0, skinImage_.width, skinImage_.height,
                skinImage_.pixels.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
}

void SettingsDialog::DrawOpacityRing(const DRAWITEMSTRUCT& d) {
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 255, 255));
  HGDIOBJ oldPen = SelectObject(d.hDC, pen);
  HGDIOBJ oldBrush = SelectObject(d.hDC, GetStockObject(NULL_BRUSH));
  RoundRect(d.hDC, d.rcItem.left + 1, d.rcItem.top + 1, d.rcItem.right, d.rcItem.bottom, 10, 10);
  SelectObject(d.hDC, oldBrush);
  SelectObject(d.hDC, oldPen);
  DeleteObject(pen);
}

}  // namespace

bool ShowSettingsDialogView(HINSTANCE instance, HWND owner, App& app, Ports& ports,
                            SettingsDialogModel& model, const SettingsDialogServices& services) {
  SettingsDialog dialog(app, ports, model, services);
  return dialog.RunModal(instance, owner) == IDOK;
}

}  // namespace tomari
