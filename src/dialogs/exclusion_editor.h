#pragma once
// The exclusion entry editor's model, and adding the current target to the
// exclusion list.
#include <functional>
#include <string>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

inline constexpr const char* kExclusionNameMissing = "設定名を入力してください。";
inline constexpr const char* kExclusionTargetMissing =
    "タイトルかクラス名のどちらかを入力してください。";

// The editor's fields. Opened from the edit buffer; OK writes them back.
class ExclusionEditor {
 public:
  explicit ExclusionEditor(const ExclusionEntry& buffer)
      : name(buffer.Name),
        title(buffer.WindowTitle),
        inTitle(buffer.InTitle != 0),
        windowClass(buffer.WindowClass) {}

  std::string name;
  std::string title;
  bool inTitle = false;
  std::string windowClass;

  // OK. "" when the fields were written, trimmed, into `buffer` and the editor
  // may close; otherwise the message to show (exclamation icon, the program's
  // name as title) with the editor left open and `buffer` untouched.
  std::string Confirm(ExclusionEntry& buffer) const;
  // Cancel changes nothing: the buffer stays as its caller filled it.
};

// Blanks (spaces) removed from both ends.
std::string TrimBlanks(const std::string& s);

// The entry offered for `target`: no name, its exact title and its class. A
// clock that we put into the title is left out, so that an exact-title entry
// still matches once the clock is gone.
ExclusionEntry PrefillExclusion(const App& app, WindowSystem& windows, WindowHandle target);

enum class ExclusionAdd { kCancelled, kSaved, kNotSaved };

// Prefills the buffer for the target, lets `edit` run the editor on it and,
// when it comes back named, appends it and saves the settings at once.
// kNotSaved: the entry is in effect but Setting.ini could not be written.
ExclusionAdd AddTargetExclusion(App& app, Ports& ports,
                                const std::function<void(ExclusionEntry&)>& edit);

}  // namespace tomari
