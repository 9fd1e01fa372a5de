#pragma once
// The journal of what we changed on other programs' windows: a clock in a
// title, top-most, opacity. It is written beside Setting.ini as a change is
// made and emptied as the change is given back, so that whatever ends this
// process (a crash, a kill, a power cut) the next start can still give back
// what the windows were owed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// One window we owe something, with what tells it from a later window that
// was given the same handle.
struct JournalEntry {
  WindowHandle Window = 0;
  std::uint32_t Process = 0;
  std::string Class;
  std::optional<ClockRecord> Title;
  std::optional<PendingRestore> Attributes;
};

std::string JournalPath(const App& app);
// What the run owes now: the attached window's changes, the clock, and every
// give-back still pending. Windows that are gone are left out.
std::vector<JournalEntry> JournalEntries(const App& app, WindowSystem& windows);
std::string FormatJournal(const std::vector<JournalEntry>& entries);
// Lines it does not understand are skipped; it never fails.
std::vector<JournalEntry> ParseJournal(std::string_view bytes);
// Writes the journal when what is owed has changed. A clock that only ticked
// does not count: the title check on recovery allows for the digits.
void SyncJournal(App& app, WindowSystem& windows, FileSystem& files);

// Syncs the journal when it goes out of scope, however the scope is left.
class JournalAfter {
 public:
  JournalAfter(App& app, WindowSystem& windows, FileSystem& files)
      : app_(app), windows_(windows), files_(files) {}
  ~JournalAfter();
  JournalAfter(const JournalAfter&) = delete;
  JournalAfter& operator=(const JournalAfter&) = delete;

 private:
  App& app_;
  WindowSystem& windows_;
  FileSystem& files_;
};

// Whether `title` is still the clocked title the record describes, allowing
// the clock's digits to have moved on.
bool ShowsOurClock(const ClockRecord& record, std::string_view title);

}  // namespace tomari
