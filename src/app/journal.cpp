#include "app/journal.h"

#include <charconv>

#include "app/settings.h"
#include "base/saturate.h"

namespace tomari {

namespace {

constexpr const char* kJournalFile = "Tomari.journal";
constexpr std::string_view kHeader = "Tomari journal 1";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where in the written title the clock's own characters are.
bool InClockPart(const ClockRecord& r, std::size_t i) {
  return r.Before ? i < r.Text.size() : i >= r.OriginalTitle.size();
}

// The record as it stays for as long as only the clock's digits move on.
ClockRecord ClockShape(ClockRecord r) {
  for (std::size_t i = 0; i < r.LastTitle.size(); ++i)
    if (InClockPart(r, i) && IsDigit(r.LastTitle[i])) r.LastTitle[i] = '0';
  for (char& c : r.Text)
    if (IsDigit(c)) c = '0';
  return r;
}

void Field(std::string& out, std::string_view value) {
  out += '\t';
  for (char c : value) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
}

void Field(std::string& out, std::uint64_t value) { Field(out, std::to_string(value)); }

std::string Unescape(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(Unescape(line.substr(start, tab - start)));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

template <typename T>
bool Number(const std::string& s, T& value) {
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

std::string Format(const std::vector<JournalEntry>& entries, bool shape) {
  if (entries.empty()) return {};
  std::string out(kHeader);
  out += '\n';
  for (const JournalEntry& e : entries) {
    out += 'W';
    Field(out, e.Window);
    Field(out, e.Process);
    Field(out, e.Class);
    out += '\n';
    if (e.Title) {
      const ClockRecord r = shape ? ClockShape(*e.Title) : *e.Title;
      out += 'C';
      Field(out, r.Before ? 1 : 0);
      Field(out, r.OriginalTitle);
      Field(out, r.LastTitle);
      Field(out, r.Text);
      out += '\n';
    }
    if (e.Attributes) {
      const PendingRestore& r = *e.Attributes;
      const RecordedAttributes& s = r.state;
      const LayeredAttributes& a = s.TargetLayeredAttributes;
      out += 'A';
      for (const std::uint64_t v :
           {std::uint64_t{s.ChangedTopMost}, std::uint64_t{s.TargetTopMost},
            std::uint64_t{r.OurTopMost}, std::uint64_t{s.ChangedLayer},
            std::uint64_t{s.TargetLayered}, std::uint64_t{a.readable}, std::uint64_t{a.colorKey},
            std::uint64_t{a.alpha}, std::uint64_t{a.flags}, std::uint64_t{r.OurLayered},
            std::uint64_t{r.OurAlpha}, static_cast<std::uint64_t>(Saturate<std::uint8_t>(s.TargetAlpha))})
        Field(out, v);
      out += '\n';
    }
  }
  return out;
}

}  // namespace

std::string JournalPath(const App& app) { return SettingsFolder(app) + kJournalFile; }

std::vector<JournalEntry> JournalEntries(const App& app, WindowSystem& windows) {
  std::vector<JournalEntry> out;
  auto entryFor = [&](WindowHandle h) -> JournalEntry* {
    if (h == 0) return nullptr;
    for (JournalEntry& e : out)
      if (e.Window == h) return &e;
    if (!windows.IsWindow(h)) return nullptr;
    JournalEntry& e = out.emplace_back();
    e.Window = h;
    for (const JournalState::Identity& k : app.journal.Known)
      if (k.Window == h) {
        e.Process = k.Process;
        e.Class = k.Class;
        return &e;
      }
    e.Process = windows.ProcessIdOf(h);
    e.Class = windows.ClassNameOf(h);
    return &e;
  };
  const TargetRecord& t = app.target;
  const bool layer = t.ChangedLayer && app.facts.HasLayeredWindows;
  if (t.ChangedTopMost || layer) {
    if (JournalEntry* e = entryFor(t.AttachedWindow)) {
      // The attached window shows what the menu says we set on it.
      PendingRestore r{t.AttachedWindow, t};
      r.state.ChangedLayer = layer;
      r.OurTopMost = app.menu.TopMostChecked;
      r.OurLayered = app.menu.LayerChecked;
      r.OurAlpha = Saturate<std::uint8_t>(app.settings.LayerTransparency);
      e->Attributes = r;
    }
  }
  for (const PendingRestore& r : t.PendingRestores)
    if (JournalEntry* e = entryFor(r.window)) e->Attributes = r;
  if (JournalEntry* e = entryFor(app.clock.Window)) e->Title = app.clock;
  for (const ClockRecord& r : app.PendingTitles)
    if (JournalEntry* e = entryFor(r.Window)) e->Title = r;
  // Only what is listed now is kept: a window that went (or is no longer
  // owed anything) is asked again should it come back under the same handle.
  app.journal.Known.clear();
  for (const JournalEntry& e : out) app.journal.Known.push_back({e.Window, e.Process, e.Class});
  return out;
}

std::string FormatJournal(const std::vector<JournalEntry>& entries) {
  return Format(entries, false);
}

std::vector<JournalEntry> ParseJournal(std::string_view bytes) {
  std::vector<JournalEntry> entries;
  bool headed = false;
  // A line without its end is not whole: it is left out.
  for (std::size_t start = 0, end; (end = bytes.find('\n', start)) != std::string_view::npos;
       start = end + 1) {
    const std::string_view line = bytes.substr(start, end - start);
    if (!headed) {
      if (line != kHeader) return entries;
      headed = true;
      continue;
    }
    const std::vector<std::string> f = SplitFields(line);
    if (f[0] == "W" && f.size() == 4) {
      JournalEntry e;
      if (Number(f[1], e.Window) && e.Window != 0 && Number(f[2], e.Process)) {
        e.Class = f[3];
        entries.push_back(std::move(e));
        continue;
      }
    }
    if (entries.empty()) continue;
    JournalEntry& e = entries.back();
    if (f[0] == "C" && f.size() == 5 && (f[1] == "0" || f[1] == "1")) {
      ClockRecord r;
      r.Window = e.Window;
      r.Before = f[1] == "1";
      r.OriginalTitle = f[2];
      r.LastTitle = f[3];
      r.Text = f[4];
      e.Title = std::move(r);
    } else if (f[0] == "A" && f.size() == 13) {
      std::uint32_t v[12];
      bool ok = true;
      for (int i = 0; i < 12; ++i) ok = ok && Number(f[static_cast<std::size_t>(i) + 1], v[i]);
      if (!ok) continue;
      PendingRestore r;
      r.window = e.Window;
      RecordedAttributes& s = r.state;
      s.ChangedTopMost = v[0] != 0;
      s.TargetTopMost = v[1] != 0;
      r.OurTopMost = v[2] != 0;
      s.ChangedLayer = v[3] != 0;
      s.TargetLayered = v[4] != 0;
      s.TargetLayeredAttributes = {v[5] != 0, v[6], static_cast<std::uint8_t>(v[7]), v[8]};
      r.OurLayered = v[9] != 0;
      r.OurAlpha = static_cast<std::uint8_t>(v[10]);
      s.TargetAlpha = static_cast<std::uint8_t>(v[11]);
      e.Attributes = r;
    }
  }
  return entries;
}

void SyncJournal(App& app, WindowSystem& windows, FileSystem& files) {
  if (!app.journal.Enabled) return;
  const std::vector<JournalEntry> entries = JournalEntries(app, windows);
  if (entries.empty() && app.journal.Written.empty()) return;
  std::string shape = Format(entries, true);
  if (shape == app.journal.Written) return;
  // Nothing owed: no file is left beside the settings. A failed write or
  // removal (the file held open for a moment by a scanner) is tried again at
  // the next sync.
  if (entries.empty() ? files.Remove(JournalPath(app)) || files.WriteAtomic(JournalPath(app), {})
                      : files.WriteAtomic(JournalPath(app), FormatJournal(entries)))
    app.journal.Written = std::move(shape);
}

JournalAfter::~JournalAfter() {
  try {
    SyncJournal(app_, windows_, files_);
  } catch (...) {
    // Out of memory: the next sync writes it.
  }
}

bool ShowsOurClock(const ClockRecord& record, std::string_view title) {
  const std::string& last = record.LastTitle;
  if (last.empty() || title.size() != last.size()) return false;
  for (std::size_t i = 0; i < title.size(); ++i) {
    if (title[i] == last[i]) continue;
    if (!InClockPart(record, i) || !IsDigit(title[i]) || !IsDigit(last[i])) return false;
  }
  return true;
}

}  // namespace tomari
