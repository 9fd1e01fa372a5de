#include "dialogs/time_format_dialog.h"

#include <array>

#include "clock/title_clock.h"

namespace tomari {

namespace {

constexpr FormatRow kPresets[] = {
#define TOMARI_FORMAT_TOKEN(k, token, explanation)
#define TOMARI_FORMAT_PRESET(k, preset, example) {k, preset, example},
#include "dialogs/format_table.inc"
#undef TOMARI_FORMAT_PRESET
#undef TOMARI_FORMAT_TOKEN
};

constexpr FormatRow kTokens[] = {
#define TOMARI_FORMAT_TOKEN(k, token, explanation) {k, token, explanation},
#define TOMARI_FORMAT_PRESET(k, preset, example)
#include "dialogs/format_table.inc"
#undef TOMARI_FORMAT_PRESET
#undef TOMARI_FORMAT_TOKEN
};

// The string ids are base + number, so a gap or a swap in the table would give
// the resource and the core different rows.
template <std::size_t N>
constexpr bool NumberedInOrder(const FormatRow (&rows)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (rows[i].number != static_cast<int>(i) + 1) return false;
  return true;
}
static_assert(std::size(kPresets) == 12 && NumberedInOrder(kPresets),
              "format_table.inc must list presets 1 to 12 in order");
static_assert(std::size(kTokens) == 38 && NumberedInOrder(kTokens),
              "format_table.inc must list tokens 1 to 38 in order");

}  // namespace

std::span<const FormatRow> FormatPresets() { return kPresets; }
std::span<const FormatRow> FormatTokens() { return kTokens; }

TimeFormatComposer::TimeFormatComposer(const Settings& zone) : zone_(zone) {}

void TimeFormatComposer::SetMode(FormatListMode mode) {
  mode_ = mode;
  selected_ = -1;
}

std::span<const FormatRow> TimeFormatComposer::Rows() const {
  return mode_ == FormatListMode::Simple ? FormatPresets() : FormatTokens();
}

void TimeFormatComposer::SelectRow(int row) {
  selected_ = row >= 0 && static_cast<std::size_t>(row) < Rows().size() ? row : -1;
  if (const FormatRow* r = Selected()) note_ = r->note;
}

const FormatRow* TimeFormatComposer::Selected() const {
  return selected_ < 0 ? nullptr : &Rows()[static_cast<std::size_t>(selected_)];
}

void TimeFormatComposer::Append() {
  if (const FormatRow* r = Selected()) composed_ += r->text;
}

void TimeFormatComposer::Replace() {
  if (const FormatRow* r = Selected()) composed_ = r->text;
}

void TimeFormatComposer::ResetToDefault() { composed_ = kComposerDefaultFormat; }

std::string TimeFormatComposer::LiveExample(const DateTime& utc,
                                            const LocaleFormats& locale) const {
  Settings s = zone_;
  s.ClockFormatText = composed_;
  return ClockTextAt(s, utc, locale);
}

}  // namespace tomari
