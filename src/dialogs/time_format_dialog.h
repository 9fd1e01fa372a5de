#pragma once
// The time-format composer: lists the ready-made formats ("簡易") or the single
// tokens ("詳細") of the clock's format language, shows a row's example or
// explanation, and composes a new format text from rows. The view moves list
// clicks, button presses and typing into this model and shows what it holds.
#include <span>
#include <string>

#include "app/app.h"
#include "platform/locale.h"
#include "platform/types.h"

namespace tomari {

// One row of the composer's lists: what it inserts and what the box beside
// the list says about it.
struct FormatRow {
  int number;        // 1-based place in its list (string id = base + number)
  const char* text;  // inserted as is, blanks included
  const char* note;  // example (case CR LF result) or explanation
};

// The twelve ready-made formats, then the 38 single tokens, in list order.
std::span<const FormatRow> FormatPresets();
std::span<const FormatRow> FormatTokens();

// "規定値": the clock's default format without its trailing blank.
inline constexpr const char* kComposerDefaultFormat = " <yyyy/mm/dd hh:mm:ss>";

enum class FormatListMode { Simple, Detailed };

class TimeFormatComposer {
 public:
  // `zone` supplies the time zone and summer time for the live example; the
  // composed text starts empty whatever format the caller holds.
  explicit TimeFormatComposer(const Settings& zone = {});

  // "簡易" / "詳細": the list is refilled and nothing is selected, but the
  // note keeps its text until another row is clicked.
  void SetMode(FormatListMode mode);
  FormatListMode Mode() const { return mode_; }
  std::span<const FormatRow> Rows() const;

  // A click on a row (-1: none selected); the note follows the row.
  void SelectRow(int row);
  int SelectedRow() const { return selected_; }
  const std::string& Note() const { return note_; }

  // "追加" and a double-click on a row: the row goes at the end of the text.
  void Append();
  // "入れ替え": the text becomes the row.
  void Replace();
  // "規定値".
  void ResetToDefault();
  // The user typed in the text box.
  void SetComposed(std::string text) { composed_ = std::move(text); }
  // What OK hands back (also when empty); Cancel hands back nothing.
  const std::string& Composed() const { return composed_; }

  // What the title clock would show with the composed format at the UTC
  // instant `utc`: the same formatter and zone rules as the clock itself.
  std::string LiveExample(const DateTime& utc, const LocaleFormats& locale) const;

 private:
  const FormatRow* Selected() const;

  Settings zone_;
  FormatListMode mode_ = FormatListMode::Simple;
  int selected_ = -1;
  std::string note_;
  std::string composed_;
};

}  // namespace tomari
