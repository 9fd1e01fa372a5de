#pragma once
// The settings dialog: nine pages of controls over the settings record. The
// model holds what the controls show, applies every page's rules and writes
// the record back on OK; the view only moves values between its controls and
// the model. Values arrive from the view already in control terms (list
// indexes, scroll positions, check states).
#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/app.h"
#include "dialogs/time_format_dialog.h"
#include "platform/ports.h"

namespace tomari {

enum SettingsPage : int {
  kPagePosition = 0,
  kPageBehaviour,
  kPageTitleClock,
  kPageSkin,
  kPageTransparency,
  kPageDrag,
  kPageCapture,
  kPageImageFormats,
  kPageExclusions,
};
inline constexpr int kSettingsPageCount = 9;
// The tab captions, in page order.
const std::array<const char*, kSettingsPageCount>& SettingsTabCaptions();

// A scroll bar's or a list's range, both ends included.
struct ControlRange {
  int min;
  int max;
};
inline constexpr ControlRange kAnchorRange{0, 4};
inline constexpr ControlRange kTimingRange{1, 1000};
inline constexpr ControlRange kOpacityRange{0, 255};
inline constexpr ControlRange kDragBarRange{0, 10};  // 10 - Parent
inline constexpr ControlRange kJpegQualityRange{1, 100};
inline constexpr ControlRange kZoneHourRange{0, 12};
inline constexpr ControlRange kZoneMinuteRange{0, 59};

// The position page's picture of a window, in twips: the window, its client
// area, and the square marker that shows where the widget sits.
inline constexpr Rect kPreviewWindow{2100, 300, 2100 + 735, 300 + 495};
inline constexpr Rect kPreviewClient{2100, 420, 2100 + 735, 420 + 375};
inline constexpr int kPreviewMarkerSize = 135;

// The index of the first checked member of an option group; the group's size
// when none is checked.
int GetCheckedIndex(std::span<const bool> group);

// The zone list: "ユーザー定義", then "(GMT+09:00):東京(TYO)" and the like for
// each city of the zone table. Index = the WorldTime setting.
std::vector<std::string> ZoneListTexts();
// "+", "-" (index = WorldTime_PM); "0".."12" and "0".."59".
std::vector<std::string> ZoneSignTexts();
std::vector<std::string> ZoneHourTexts();
std::vector<std::string> ZoneMinuteTexts();

// The exclusion editor, shown over the settings dialog with the entry to edit.
// It leaves the entry as it was on Cancel; an entry without a Name afterwards
// means nothing is to be stored.
using ExclusionEntryEdit = std::function<void(ExclusionEntry& entry)>;
// The time-format composer, shown over the settings dialog; true on OK.
using FormatComposerView = std::function<bool(TimeFormatComposer& composer)>;

class SettingsDialogModel {
 public:
  // Loads every control from the record, page by page. Values outside a
  // control's range are brought into it, so OK never stores one the program
  // cannot use.
  SettingsDialogModel(const Settings& record, int lastPage, const StartupFacts& facts = {});

  // Tabs.
  void ShowPage(int page);
  int Page() const { return page_; }
  // The JPEG/PNG page's panels and the JPEG and PNG file types are offered
  // only with the imaging library.
  bool ShowsImageFormats() const { return hasImageLibrary_; }

  // Position page.
  void SetAutoPosition(bool on) { autoPosition_ = on; }
  bool AutoPosition() const { return autoPosition_; }  // also: the preview panel shown
  void SetAnchorX(int x);
  void SetAnchorY(int y);
  int AnchorX() const { return anchorX_; }
  int AnchorY() const { return anchorY_; }
  // The marker's left and top in the preview, in twips.
  Point MarkerPosition() const;
  void SetResetOffsets(bool on) { resetOffsets_ = on; }
  bool ResetOffsets() const { return resetOffsets_; }
  std::string ResetExplanation() const;

  // Behaviour page.
  void SetMulti(bool on) { multi_ = on; }
  bool Multi() const { return multi_; }
  void SetTiming(int ms);
  int Timing() const { return timing_; }
  std::string TimingLabel() const;  // " 1000ms"

  // Title-clock page.
  void SetClockPosition(int index);  // GetCheckedIndex of 前 / 後
  int ClockPosition() const { return clockPosition_; }
  void SetFormatText(std::string text) { formatText_ = std::move(text); }
  const std::string& FormatText() const { return formatText_; }
  // Double-click on the format box: a fresh composer with the zone as chosen
  // here; its OK replaces the whole format text, its Cancel changes nothing.
  void EditFormat(const FormatComposerView& show);
  // A city fills sign, hours and minutes with its own offset; a hand change of
  // any of those three makes the zone user-defined (index 0).
  void SelectZone(int index);
  void SelectZoneSign(int index);
  void SelectZoneHours(int hours);
  void SelectZoneMinutes(int minutes);
  int Zone() const { return zone_; }
  int ZoneSign() const { return zoneSign_; }
  int ZoneHours() const { return zoneHours_; }
  int ZoneMinutes() const { return zoneMinutes_; }
  void SetSummerTime(bool on) { summerTime_ = on; }
  bool SummerTime() const { return summerTime_; }

  // Skin page. True when the path changed, so info and preview are redrawn.
  bool SetSkinPath(const std::string& path);
  const std::string& SkinPath() const { return skinPath_; }

  // Transparency page.
  void SetOpacity(int value);
  int Opacity() const { return opacity_; }
  std::string OpacityLabel() const;  // "--- 128(50%) ---"
  int OpacityLabelGrey() const;      // the label's background: grey level 255 - value

  // Drag page: the bar runs from 10 levels at the top to 0 at the bottom.
  void SetDragBar(int value);
  int DragBar() const { return dragBar_; }
  std::string DragLevelText() const;

  // Capture page.
  void SetCaptureType(int index);
  void SetSaveType(int index);
  void SetFileType(int index);
  int CaptureType() const { return captureType_; }
  int SaveType() const { return saveType_; }
  int FileType() const { return fileType_; }
  void SetSaveFolder(std::string folder) { saveFolder_ = std::move(folder); }
  const std::string& SaveFolder() const { return saveFolder_; }

  // JPEG/PNG page.
  void SetJpegQuality(int value);
  int JpegQuality() const { return jpegQuality_; }
  std::string JpegQualityLabel() const;  // " 100"
  void SetJpegProgressive(bool on) { jpegProgressive_ = on; }
  bool JpegProgressive() const { return jpegProgressive_; }
  void SetPngValue(int index);
  int PngValue() const { return pngValue_; }

  // Exclusion page: a working copy, stored only by OK.
  const std::vector<ExclusionEntry>& Exclusions() const { return exclusions_; }
  void SelectExclusion(int row);  // -1: none
  int SelectedExclusion() const { return selectedExclusion_; }
  // The selected entry's title (with " を含む" when the title only has to
  // contain it) and class; empty without a selection.
  std::string ExclusionTitleText() const;
  std::string ExclusionClassText() const;
  void AddExclusion(const ExclusionEntryEdit& edit);
  void ChangeExclusion(const ExclusionEntryEdit& edit);
  void DeleteExclusion();

  // OK: writes every control into `record`. Returns whether the skin path
  // differs from the one the record held (the widget then loads the new skin).
  bool WriteTo(Settings& record) const;

 private:
  int page_ = 0;
  bool hasImageLibrary_ = false;
  std::string appFolder_;

  bool autoPosition_ = false;
  int anchorX_ = 0;
  int anchorY_ = 0;
  bool resetOffsets_ = false;
  bool multi_ = false;
  int timing_ = 0;
  int clockPosition_ = 0;
  std::string formatText_;
  int zone_ = 0;
  int zoneSign_ = 0;
  int zoneHours_ = 0;
  int zoneMinutes_ = 0;
  bool summerTime_ = false;
  std::string skinPath_;
  int opacity_ = 0;
  int dragBar_ = 0;
  int captureType_ = 0;
  int saveType_ = 0;
  std::string saveFolder_;
  int fileType_ = 0;
  int jpegQuality_ = 0;
  bool jpegProgressive_ = false;
  int pngValue_ = 0;
  std::vector<ExclusionEntry> exclusions_;
  int selectedExclusion_ = -1;
};

// What the widget offers around the settings dialog.
class SettingsDialogHost {
 public:
  virtual ~SettingsDialogHost() = default;
  // Shows the dialog modally, owned by the widget; true when it closed by OK.
  virtual bool ShowSettingsDialog(SettingsDialogModel& model) = 0;
  // The tracking timer's period in milliseconds; 0 stops the timer.
  virtual void SetTrackingInterval(unsigned milliseconds) = 0;
};

// The settings command: the widget rests and the title clock comes off while
// the dialog is open; OK stores the settings; afterwards, however the dialog
// closed, the opacity is given again, the widget goes back on top, a changed
// skin is loaded and the tracking timer follows Timing. False when OK could
// not save the file (the record holds the new values all the same).
bool RunSettingsDialog(App& app, Ports& ports, SettingsDialogHost& host);

}  // namespace tomari
