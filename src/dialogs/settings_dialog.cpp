#include "dialogs/settings_dialog.h"
#include "commands/widget_face.h"

#include <algorithm>
#include <cstdlib>

#include "app/settings.h"
#include "app/startup.h"
#include "clock/title_clock.h"
#include "clock/world_time.h"
#include "commands/menu_handlers.h"
#include "skin/skin.h"

namespace tomari {

namespace {

constexpr std::array<const char*, kSettingsPageCount> kTabCaptions{
    "画面位置", "動作",       "タイトル時計", "スキン", "半透明",
    "ドラッグ", "キャプチャ", "JPEG/PNG",     "対象外",
};

constexpr int kOptionCount2 = 2;
constexpr int kOptionCount3 = 3;

int Clamp(std::int32_t v, ControlRange r) {
  return static_cast<int>(std::clamp<std::int32_t>(v, r.min, r.max));
}

bool InRange(int v, int count) { return v >= 0 && v < count; }

// Where the marker stands along one axis for a base point 0-4: outside before,
// inside at the start, centred, inside at the end, outside after.
int MarkerOffset(int base, int start, int size) {
  switch (base) {
    case 0:
      return start - kPreviewMarkerSize;
    case 1:
      return start;
    case 2:
      return start + (size - kPreviewMarkerSize) / 2;
    case 3:
      return start + size - kPreviewMarkerSize;
    default:
      return start + size;
  }
}

std::string TwoDigits(int v) { return std::string(1, char('0' + v / 10)) + char('0' + v % 10); }

std::vector<std::string> Numbers(ControlRange r) {
  std::vector<std::string> out;
  for (int i = r.min; i <= r.max; ++i) out.push_back(std::to_string(i));
  return out;
}

}  // namespace

const std::array<const char*, kSettingsPageCount>& SettingsTabCaptions() { return kTabCaptions; }

int GetCheckedIndex(std::span<const bool> group) {
  const auto it = std::find(group.begin(), group.end(), true);
  return static_cast<int>(it - group.begin());
}

std::vector<std::string> ZoneListTexts() {
  std::vector<std::string> out{"ユーザー定義"};
  for (const TimeZoneCity& city : TimeZoneCities()) {
    const int m = city.offsetMinutes;
    const char* sign = m < 0 ? "(GMT-" : (m == 0 ? "(GMT " : "(GMT+");
    const int a = std::abs(m);
    out.push_back(sign + TwoDigits(a / 60) + ":" + TwoDigits(a % 60) + "):" + city.name);
  }
  return out;
}

std::vector<std::string> ZoneSignTexts() { return {"+", "-"}; }
std::vector<std::string> ZoneHourTexts() { return Numbers(kZoneHourRange); }
std::vector<std::string> ZoneMinuteTexts() { return Numbers(kZoneMinuteRange); }

SettingsDialogModel::SettingsDialogModel(const Settings& s, int lastPage,
                                         const StartupFacts& facts)
    : hasImageLibrary_(facts.HasImageLibrary), appFolder_(facts.AppFolder) {
  ShowPage(lastPage);
  // Page by page as the dialog has always loaded them; only the zone's order
  // matters: the city comes last, so a stored city outranks the stored offset.
  timing_ = Clamp(s.MainTiming, kTimingRange);
  multi_ = s.MainMulti != 0;
  skinPath_ = s.MainSkin;
  autoPosition_ = s.PositionAuto != 0;
  anchorX_ = Clamp(s.PositionX, kAnchorRange);
  anchorY_ = Clamp(s.PositionY, kAnchorRange);
  opacity_ = Clamp(s.LayerTransparency, kOpacityRange);
  dragBar_ = kDragBarRange.max - Clamp(s.DragParent, kDragBarRange);
  captureType_ = Clamp(s.CaptureType, {0, kOptionCount2 - 1});
  saveType_ = Clamp(s.CaptureSaveType, {0, kOptionCount2 - 1});
  saveFolder_ = s.CaptureSaveFolder;
  // A hidden file type cannot be the checked one.
  fileType_ = Clamp(s.CaptureFileType, {0, hasImageLibrary_ ? kOptionCount3 - 1 : 0});
  jpegQuality_ = Clamp(s.CaptureJpegValue, kJpegQualityRange);
  jpegProgressive_ = s.CaptureJpegProgressive != 0;
  pngValue_ = Clamp(s.CapturePngValue, {0, kOptionCount3 - 1});
  formatText_ = s.ClockFormatText;
  clockPosition_ = Clamp(s.ClockPosition, {0, kOptionCount2 - 1});
  // The clock reads any non-zero WorldTime_PM as behind UTC.
  zoneSign_ = s.ClockWorldTimePM != 0 ? 1 : 0;
  zoneHours_ = Clamp(s.ClockWorldTimeHour, kZoneHourRange);
  zoneMinutes_ = Clamp(s.ClockWorldTimeMinute, kZoneMinuteRange);
  // A zone number the list does not have is UTC to the clock; show it so.
  const int zone = s.ClockWorldTime;
  SelectZone(zone >= 0 && zone <= kTimeZoneCityCount ? zone : 1);
  summerTime_ = s.ClockWorldTimeSDT != 0;
  exclusions_ = s.ExclusionEntries;
}

void SettingsDialogModel::ShowPage(int page) {
  page_ = InRange(page, kSettingsPageCount) ? page : 0;
}

void SettingsDialogModel::SetAnchorX(int x) { anchorX_ = Clamp(x, kAnchorRange); }
void SettingsDialogModel::SetAnchorY(int y) { anchorY_ = Clamp(y, kAnchorRange); }

Point SettingsDialogModel::MarkerPosition() const {
  const Rect& w = kPreviewWindow;
  return {MarkerOffset(anchorX_, w.left, w.Width()), MarkerOffset(anchorY_, w.top, w.Height())};
}

std::string SettingsDialogModel::ResetExplanation() const {
  return resetOffsets_ ? "OKボタンを押せば位置の記憶がリセットされ、基準位置に合わせます。"
                       : "ユーザーが動かした位置の記憶をリセットし、基準位置に合わせます。";
}

void SettingsDialogModel::SetTiming(int ms) { timing_ = Clamp(ms, kTimingRange); }

std::string SettingsDialogModel::TimingLabel() const {
  return " " + std::to_string(timing_) + "ms";
}

void SettingsDialogModel::SetClockPosition(int index) {
  if (InRange(index, kOptionCount2)) clockPosition_ = index;
}

void SettingsDialogModel::EditFormat(const FormatComposerView& show) {
  Settings zone;
  WriteTo(zone);
  TimeFormatComposer composer(zone);
  if (show(composer)) formatText_ = composer.Composed();
}

void SettingsDialogModel::SelectZone(int index) {
  if (!InRange(index, kTimeZoneCityCount + 1)) return;
  zone_ = index;
  const TimeZoneCity* city = FindTimeZoneCity(index);
  if (city == nullptr) return;  // user-defined keeps its sign, hours and minutes
  const int m = city->offsetMinutes;
  // Both zero-offset cities show "-", as the list always has.
  zoneSign_ = m > 0 ? 0 : 1;
  zoneHours_ = std::abs(m) / 60;
  zoneMinutes_ = std::abs(m) % 60;
}

void SettingsDialogModel::SelectZoneSign(int index) {
  if (!InRange(index, kOptionCount2)) return;
  zoneSign_ = index;
  zone_ = 0;
}

void SettingsDialogModel::SelectZoneHours(int hours) {
  zoneHours_ = Clamp(hours, kZoneHourRange);
  zone_ = 0;
}

void SettingsDialogModel::SelectZoneMinutes(int minutes) {
  zoneMinutes_ = Clamp(minutes, kZoneMinuteRange);
  zone_ = 0;
}

bool SettingsDialogModel::SetSkinPath(const std::string& path) {
  if (path == skinPath_) return false;
  skinPath_ = path;
  return true;
}

void SettingsDialogModel::SetOpacity(int value) { opacity_ = Clamp(value, kOpacityRange); }

std::string SettingsDialogModel::OpacityLabel() const {
  // value / 256 as a whole percentage, halves rounded up.
  const int percent = (opacity_ * 100 + 128) / 256;
  return "--- " + std::to_string(opacity_) + "(" + std::to_string(percent) + "%) ---";
}

int SettingsDialogModel::OpacityLabelGrey() const { return kOpacityRange.max - opacity_; }

void SettingsDialogModel::SetDragBar(int value) { dragBar_ = Clamp(value, kDragBarRange); }

std::string SettingsDialogModel::DragLevelText() const {
  return std::to_string(kDragBarRange.max - dragBar_);
}

void SettingsDialogModel::SetCaptureType(int index) {
  if (InRange(index, kOptionCount2)) captureType_ = index;
}

void SettingsDialogModel::SetSaveType(int index) {
  if (InRange(index, kOptionCount2)) saveType_ = index;
}

void SettingsDialogModel::SetFileType(int index) {
  if (InRange(index, hasImageLibrary_ ? kOptionCount3 : 1)) fileType_ = index;
}

void SettingsDialogModel::SetJpegQuality(int value) {
  jpegQuality_ = Clamp(value, kJpegQualityRange);
}

std::string SettingsDialogModel::JpegQualityLabel() const {
  return " " + std::to_string(jpegQuality_);
}

void SettingsDialogModel::SetPngValue(int index) {
  if (InRange(index, kOptionCount3)) pngValue_ = index;
}

void SettingsDialogModel::SelectExclusion(int row) {
  selectedExclusion_ = InRange(row, static_cast<int>(exclusions_.size())) ? row : -1;
}

std::string SettingsDialogModel::ExclusionTitleText() const {
  if (selectedExclusion_ < 0) return {};
  const ExclusionEntry& e = exclusions_[static_cast<std::size_t>(selectedExclusion_)];
  return e.InTitle != 0 ? e.WindowTitle + " を含む" : e.WindowTitle;
}

std::string SettingsDialogModel::ExclusionClassText() const {
  if (selectedExclusion_ < 0) return {};
  return exclusions_[static_cast<std::size_t>(selectedExclusion_)].WindowClass;
}

void SettingsDialogModel::AddExclusion(const ExclusionEntryEdit& edit) {
  ExclusionEntry entry;
  edit(entry);
  if (entry.Name.empty()) return;
  exclusions_.push_back(std::move(entry));
}

void SettingsDialogModel::ChangeExclusion(const ExclusionEntryEdit& edit) {
  if (selectedExclusion_ < 0) return;
  ExclusionEntry& slot = exclusions_[static_cast<std::size_t>(selectedExclusion_)];
  ExclusionEntry entry = slot;
  edit(entry);
  if (entry.Name.empty()) return;
  slot = std::move(entry);
}

void SettingsDialogModel::DeleteExclusion() {
  if (selectedExclusion_ < 0) return;
  exclusions_.erase(exclusions_.begin() + selectedExclusion_);
  selectedExclusion_ = -1;
}

bool SettingsDialogModel::WriteTo(Settings& s) const {
  if (resetOffsets_) {
    s.PositionXOffset = 0;
    s.PositionYOffset = 0;
  }
  s.MainTiming = timing_;
  s.MainMulti = multi_ ? 1 : 0;
  const bool skinChanged = skinPath_ != s.MainSkin;
  s.MainSkin = skinPath_;
  s.PositionAuto = autoPosition_ ? 1 : 0;
  s.PositionX = anchorX_;
  s.PositionY = anchorY_;
  s.LayerTransparency = opacity_;
  s.DragParent = kDragBarRange.max - dragBar_;
  s.CaptureType = captureType_;
  s.CaptureSaveType = saveType_;
  // An empty folder means the default one, never the root of whatever drive
  // happens to be current.
  s.CaptureSaveFolder = saveFolder_.empty() ? appFolder_ : saveFolder_;
  if (s.CaptureSaveFolder.empty() || s.CaptureSaveFolder.back() != '\\')
    s.CaptureSaveFolder += '\\';
  s.CaptureFileType = fileType_;
  s.CaptureJpegValue = jpegQuality_;
  s.CaptureJpegProgressive = jpegProgressive_ ? 1 : 0;
  s.CapturePngValue = pngValue_;
  s.ClockFormatText = formatText_;
  s.ClockPosition = clockPosition_;
  s.ClockWorldTime = zone_;
  s.ClockWorldTimePM = zoneSign_;
  s.ClockWorldTimeHour = zoneHours_;
  s.ClockWorldTimeMinute = zoneMinutes_;
  s.ClockWorldTimeSDT = summerTime_ ? 1 : 0;
  s.ExclusionEntries = exclusions_;
  return skinChanged;
}

bool RunSettingsDialog(App& app, Ports& ports, SettingsDialogHost& host) {
  const bool wasBusy = app.Busy;
  app.Busy = true;
  // The dialog may change the clock's format or zone: the window gets its own
  // title back now, and the tracking tick writes the new clock afterwards.
  SetTitleClock(app, ports.windows, 0, "");
  bool changeSkin = false;
  bool saved = true;

  SettingsDialogModel model(app.settings, app.LastSettingsPage, app.facts);
  if (host.ShowSettingsDialog(model)) {
    changeSkin = model.WriteTo(app.settings);
    saved = SaveSettings(app, ports.files, ports.codec);
  }
  app.LastSettingsPage = model.Page();

  if (app.menu.LayerChecked) SetTransparency(app, ports, app.settings.LayerTransparency);
  app.Busy = wasBusy;
  ports.widget.SetTopMost(true);
  if (changeSkin) ApplySkin(app, ports);
  const auto interval = TrackingInterval(app.settings.MainTiming);
  host.SetTrackingInterval(interval ? *interval : 0);
  return saved;
}

}  // namespace tomari
