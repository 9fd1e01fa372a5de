#include "dialogs/exclusion_editor.h"

#include "app/settings.h"

namespace tomari {

std::string TrimBlanks(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string ExclusionEditor::Confirm(ExclusionEntry& buffer) const {
  const std::string n = TrimBlanks(name);
  const std::string t = TrimBlanks(title);
  const std::string c = TrimBlanks(windowClass);
  if (n.empty()) return kExclusionNameMissing;
  if (t.empty() && c.empty()) return kExclusionTargetMissing;
  buffer = {n, t, inTitle ? 1 : 0, c};
  return {};
}

ExclusionEntry PrefillExclusion(const App& app, WindowSystem& windows, WindowHandle target) {
  std::string title = windows.GetTitle(target);
  const ClockRecord& clock = app.clock;
  const std::string& t = clock.Text;
  if (target != 0 && clock.Window == target && !t.empty() && title.size() >= t.size()) {
    if (clock.Before && title.compare(0, t.size(), t) == 0)
      title.erase(0, t.size());
    else if (!clock.Before && title.compare(title.size() - t.size(), t.size(), t) == 0)
      title.erase(title.size() - t.size());
  }
  return {"", title, 0, windows.ClassNameOf(target)};
}

ExclusionAdd AddTargetExclusion(App& app, Ports& ports,
                                const std::function<void(ExclusionEntry&)>& edit) {
  ExclusionEntry buffer = PrefillExclusion(app, ports.windows, app.TargetWindow);
  edit(buffer);
  if (buffer.Name.empty()) return ExclusionAdd::kCancelled;
  app.settings.ExclusionEntries.push_back(buffer);
  return SaveSettings(app, ports.files, ports.codec) ? ExclusionAdd::kSaved
                                                     : ExclusionAdd::kNotSaved;
}

}  // namespace tomari
