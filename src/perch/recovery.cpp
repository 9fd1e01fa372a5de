#include "perch/recovery.h"

#include <cstdint>
#include <string>

#include "app/journal.h"
#include "perch/attributes.h"

namespace tomari {

namespace {

// Far more than any run's journal holds; a larger file is not ours.
constexpr std::size_t kMaxJournalBytes = 256 * 1024;

bool ShowsOurLayer(WindowSystem& windows, WindowHandle h, std::uint32_t ex,
                   const PendingRestore& r) {
  if (!r.OurLayered) return (ex & kExLayered) == 0;
  if ((ex & kExLayered) == 0) return false;
  const LayeredAttributes a = windows.GetLayered(h);
  return a.readable && a.flags == kLwaAlpha && a.colorKey == 0 && a.alpha == r.OurAlpha;
}

}  // namespace

void RecoverFromJournal(App& app, Ports& ports) {
  WindowSystem& windows = ports.windows;
  std::string bytes;
  std::uint64_t size = 0;
  if (!ports.files.ReadHead(JournalPath(app), kMaxJournalBytes, bytes, size)) return;
  // The file is ours only if it matches what we would write.
  app.journal.Written = "?";
  for (const JournalEntry& e : ParseJournal(bytes)) {
    const WindowHandle h = e.Window;
    if (!windows.IsWindow(h) || windows.ProcessIdOf(h) != e.Process ||
        windows.ClassNameOf(h) != e.Class)
      continue;
    if (e.Title) {
      const std::string title = windows.GetTitle(h);
      if (ShowsOurClock(*e.Title, title)) {
        ClockRecord r = *e.Title;
        r.Window = h;
        r.LastTitle = title;
        app.PendingTitles.push_back(std::move(r));
      }
    }
    if (e.Attributes) {
      PendingRestore r = *e.Attributes;
      r.window = h;
      const std::uint32_t ex = windows.GetExStyle(h);
      RecordedAttributes& s = r.state;
      s.ChangedTopMost = s.ChangedTopMost && ((ex & kExTopMost) != 0) == r.OurTopMost;
      s.ChangedLayer = s.ChangedLayer && app.facts.HasLayeredWindows &&
                       ShowsOurLayer(windows, h, ex, r);
      if (s.ChangedTopMost || s.ChangedLayer) app.target.PendingRestores.push_back(r);
    }
  }
  RetryPendingRestores(app, windows);
  SyncJournal(app, windows, ports.files);
}

}  // namespace tomari
