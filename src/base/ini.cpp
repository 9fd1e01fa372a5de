#include "base/ini.h"

#include <algorithm>
#include <utility>

#include "base/saturate.h"
#include "base/text.h"

namespace tomari {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16LeBom[] = "\xFF\xFE";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

std::string Fold(const std::string& s) { return AsciiLower(s); }

// What the profile functions would have been handed: the text ends at a NUL,
// and no value may break a line.
std::string Clean(const std::string& s) {
  std::string out = s.substr(0, s.find('\0'));
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Bytes that start no UTF-8 character read as U+FFFD, as the same bytes do in
// an ANSI file. They appear when an ANSI file whose bytes are no characters of
// the code page is written back as UTF-8 (the bytes are carried over): read
// raw, its values would then differ from what the ANSI file gave.
std::string ValidUtf8(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8SequenceLength(s, i);
    if (n == 1 && static_cast<unsigned char>(s[i]) >= 0x80) {
      out += kReplacement;
    } else {
      out.append(s, i, n);
    }
    i += n;
  }
  return out;
}

// Surrogates that come unpaired from a UTF-16 file are kept in the three-byte
// form, so that writing the file back gives the same units.
void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf16LeToUtf8(const std::string& bytes, std::size_t start) {
  auto unit = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = start;
  for (; i + 1 < bytes.size(); i += 2) {
    std::uint32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size()) {
      const std::uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, cp);
  }
  if (i < bytes.size()) AppendUtf8(out, 0xFFFD);  // an odd byte at the end
  return out;
}

std::string Utf8ToUtf16Le(const std::string& s) {
  std::string out;
  out.reserve(s.size() * 2);
  auto put = [&](std::uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8SequenceLength(s, i);
    const auto lead = static_cast<unsigned char>(s[i]);
    std::uint32_t cp;
    if (n == 1) {
      cp = lead < 0x80 ? lead : 0xFFFD;
    } else {
      cp = lead & (0x7F >> n);
      for (std::size_t k = 1; k < n; ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp);
    }
    i += n;
  }
  return out;
}

bool StartsWith(const std::string& s, const char* prefix, std::size_t n) {
  return s.size() >= n && s.compare(0, n, prefix, n) == 0;
}

}  // namespace

std::string IniFile::Unquote(const std::string& value) const {
  if (value.size() < 2 || value.front() != value.back()) return value;
  const char q = value.front();
  if (q == '"' || (q == '\'' && quotes_ == Quotes::kDoubleOrSingle)) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

void IniFile::Clear() {
  encoding_ = Encoding::kAnsi;
  sections_.assign(1, Section{});
  firstSection_.clear();
}

IniFile::Line IniFile::MakeLine(std::string text, std::string eol) {
  Line line;
  line.text = std::move(text);
  line.eol = std::move(eol);
  const std::string t = Trim(line.text);
  if (t.empty() || t.front() == ';') return line;
  if (t.front() == '[') {
    const std::size_t close = t.rfind(']');
    if (close == std::string::npos) return line;
    line.kind = Kind::kSection;
    line.name = ValidUtf8(Trim(t.substr(1, close - 1)));
  } else {
    const std::size_t eq = t.find('=');
    if (eq == std::string::npos) return line;
    std::string name = ValidUtf8(Trim(t.substr(0, eq)));
    if (name.empty()) return line;
    line.kind = Kind::kKey;
    line.name = std::move(name);
    // A value reads as it would be written: it ends at a NUL, and a CR inside
    // a line (no line break to the profile functions) is a blank. Otherwise a
    // value read and saved unchanged would come back different every time.
    line.value = Trim(ValidUtf8(Clean(t.substr(eq + 1))));
  }
  line.folded = Fold(line.name);
  return line;
}

void IniFile::Parse(const std::string& bytes) {
  Clear();
  std::string text;
  if (StartsWith(bytes, kUtf8Bom, 3)) {
    encoding_ = Encoding::kUtf8Bom;
    text = bytes.substr(3);
  } else if (StartsWith(bytes, kUtf16LeBom, 2)) {
    encoding_ = Encoding::kUtf16LeBom;
    text = Utf16LeToUtf8(bytes, 2);
  } else {
    text = bytes;
  }
  const bool ansi = encoding_ == Encoding::kAnsi;

  // A line break is the same byte in every encoding handled here: no lead or
  // trail byte of a double-byte code page is below 0x40.
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t nl = text.find('\n', pos);
    std::size_t end = nl == std::string::npos ? text.size() : nl;
    const std::size_t next = nl == std::string::npos ? text.size() : nl + 1;
    const bool cr = end > pos && text[end - 1] == '\r';
    if (cr) --end;
    std::string eol = nl == std::string::npos ? (cr ? "\r" : "") : (cr ? "\r\n" : "\n");
    std::string raw = text.substr(pos, end - pos);
    pos = next;

    Line line = MakeLine(ansi ? codec_->FromAnsi(raw) : raw, std::move(eol));
    if (ansi) line.ansi = std::move(raw);
    if (line.kind == Kind::kSection) {
      firstSection_.try_emplace(line.folded, sections_.size());
      sections_.emplace_back();
    }
    sections_.back().lines.push_back(std::move(line));
  }
}

IniFile::LoadResult IniFile::Load(FileSystem& fs, const std::string& path) {
  Clear();
  std::string bytes;
  if (!fs.ReadAll(path, bytes)) {
    return fs.Exists(path) ? LoadResult::kUnreadable : LoadResult::kMissing;
  }
  Parse(bytes);
  return LoadResult::kLoaded;
}

bool IniFile::SerializeAs(Encoding encoding, std::string& out) {
  std::size_t remaining = 0;
  for (const Section& s : sections_) remaining += s.lines.size();

  std::string text;  // UTF-8 or ANSI bytes
  for (const Section& s : sections_) {
    for (const Line& line : s.lines) {
      --remaining;
      if (encoding == Encoding::kAnsi) {
        if (line.ansi) {
          text += *line.ansi;
        } else {
          std::string bytes;
          if (!codec_->ToAnsi(line.text, bytes)) return false;
          text += bytes;
        }
      } else {
        text += line.text;
      }
      // Only the file's last line may go without a line end. A lone CR ended
      // the last line of the file as read, but is no line break to us.
      const bool open = line.eol.empty() || line.eol == "\r";
      text += (open && remaining > 0) ? std::string("\r\n") : line.eol;
    }
  }
  switch (encoding) {
    case Encoding::kAnsi:
      out = std::move(text);
      break;
    case Encoding::kUtf8Bom:
      out = kUtf8Bom + text;
      break;
    case Encoding::kUtf16LeBom:
      out = std::string(kUtf16LeBom, 2) + Utf8ToUtf16Le(text);
      break;
  }
  return true;
}

std::string IniFile::Serialize() {
  std::string out;
  if (SerializeAs(encoding_, out)) return out;
  // Some text has no ANSI form. Replacing it would store something else than
  // the user gave, so the file changes its encoding instead, once and for good.
  encoding_ = Encoding::kUtf8Bom;
  for (Section& s : sections_) {
    for (Line& line : s.lines) {
      // The code page has no U+FFFD of its own: one in an unchanged line
      // stands for bytes that were no character, which must not be lost.
      if (line.ansi && line.text.find(kReplacement) != std::string::npos) {
        line = MakeLine(AnsiToUtf8Keeping(*line.ansi), line.eol);
      }
      line.ansi.reset();
    }
  }
  SerializeAs(encoding_, out);
  return out;
}

// Converts character by character so that a byte (or pair) the code page
// cannot read stays as it was instead of turning into U+FFFD.
std::string IniFile::AnsiToUtf8Keeping(const std::string& ansi) const {
  std::string out;
  out.reserve(ansi.size() * 3 / 2);
  for (std::size_t i = 0; i < ansi.size();) {
    const auto lead = static_cast<unsigned char>(ansi[i]);
    std::size_t n = 1;
    if (lead >= 0x80 && codec_->IsLeadByte(lead) && i + 1 < ansi.size() &&
        static_cast<unsigned char>(ansi[i + 1]) >= 0x40) {
      n = 2;
    }
    std::string bytes = ansi.substr(i, n);
    std::string text = lead < 0x80 ? bytes : codec_->FromAnsi(bytes);
    // A lead byte whose pair is no character is one stray byte, as reading
    // the line took it: the byte after it may well be a character of its own.
    if (n == 2 && text.find(kReplacement) != std::string::npos) {
      n = 1;
      bytes.resize(1);
      text = codec_->FromAnsi(bytes);
    }
    out += text.find(kReplacement) == std::string::npos ? text : bytes;
    i += n;
  }
  return out;
}

bool IniFile::Save(FileSystem& fs, const std::string& path) {
  return fs.WriteAtomic(path, Serialize());
}

const IniFile::Section* IniFile::FindSection(const std::string& section) const {
  const auto it = firstSection_.find(Fold(Trim(Clean(section))));
  return it == firstSection_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::string> IniFile::Find(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return std::nullopt;
  const std::string folded = Fold(Trim(Clean(key)));
  for (std::size_t i = 1; i < s->lines.size(); ++i) {
    const Line& line = s->lines[i];
    if (line.kind == Kind::kKey && line.folded == folded) {
      std::string value = Unquote(line.value);
      return value.substr(0, value.find('\0'));
    }
  }
  return std::nullopt;
}

std::size_t IniFile::LineOf(const std::string& section, const std::string& key) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return 0;
  std::size_t before = 0;
  for (const Section& other : sections_) {
    if (&other == s) break;
    before += other.lines.size();
  }
  const std::string folded = Fold(Trim(Clean(key)));
  for (std::size_t i = 1; i < s->lines.size(); ++i)
    if (s->lines[i].kind == Kind::kKey && s->lines[i].folded == folded) return before + i + 1;
  return 0;
}

std::size_t IniFile::AnsiLength(const std::string& utf8Char) const {
  std::string bytes;
  codec_->ToAnsi(utf8Char, bytes);  // a replacement has a length too
  return bytes.size();
}

std::string IniFile::Cut(const std::string& value, std::size_t limit) const {
  // No character is longer in these encodings than in UTF-8, so a value that
  // fits in UTF-8 fits everywhere.
  if (limit == 0 || value.size() <= limit) return value;
  std::size_t used = 0;
  std::size_t i = 0;
  while (i < value.size()) {
    const std::size_t n = Utf8SequenceLength(value, i);
    std::size_t cost = n;
    if (encoding_ == Encoding::kUtf16LeBom) {
      cost = n == 4 ? 2 : 1;
    } else if (encoding_ == Encoding::kAnsi && static_cast<unsigned char>(value[i]) >= 0x80) {
      cost = AnsiLength(value.substr(i, n));
    }
    if (used + cost > limit) break;
    used += cost;
    i += n;
  }
  return value.substr(0, i);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& def, std::size_t limit) const {
  const std::optional<std::string> value = Find(section, key);
  return value ? Cut(*value, limit) : def;
}

std::int32_t IniFile::ReadInt(const std::string& section, const std::string& key,
                              std::int32_t def) const {
  const std::optional<std::string> value = Find(section, key);
  if (!value || value->empty()) return def;
  const std::string& s = *value;
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  constexpr std::int64_t kBeyond = std::int64_t{1} << 31;
  std::int64_t n = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    n = std::min(n * 10 + (s[i] - '0'), kBeyond);
  }
  if (negative) n = -n;
  return Saturate<std::int32_t>(n);
}

void IniFile::Write(const std::string& section, const std::string& key, const std::string& value) {
  const std::string s = Trim(Clean(section));
  const std::string k = Trim(Clean(key));
  const std::string v = Clean(value);
  if (k.empty()) return;

  const auto it = firstSection_.find(Fold(s));
  if (it == firstSection_.end()) {
    Section added;
    added.lines.push_back(MakeLine("[" + s + "]", "\r\n"));
    added.lines.push_back(MakeLine(k + "=" + v, "\r\n"));
    firstSection_.emplace(Fold(s), sections_.size());
    sections_.push_back(std::move(added));
    return;
  }

  std::vector<Line>& lines = sections_[it->second].lines;
  const std::string folded = Fold(k);
  std::size_t lastKey = 0;  // the header when the section has no keys
  for (std::size_t i = 1; i < lines.size(); ++i) {
    Line& line = lines[i];
    if (line.kind != Kind::kKey) continue;
    if (line.folded == folded) {
      // An unchanged value keeps the line as the user formatted it.
      if (line.value == v) return;
      line = MakeLine(line.name + "=" + v, line.eol.empty() ? "\r\n" : line.eol);
      return;
    }
    lastKey = i;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastKey + 1),
               MakeLine(k + "=" + v, "\r\n"));
}

std::string FormatIniInt(std::int32_t value) {
  return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

std::string QuoteIniValue(const std::string& value) {
  if (value.empty()) return value;
  // Line breaks become blanks when written, so they count as blanks here.
  auto edge = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  const bool wrapped = value.size() >= 2 && value.front() == '"' && value.back() == '"';
  if (wrapped || edge(value.front()) || edge(value.back())) return '"' + value + '"';
  return value;
}

std::int32_t ReadIniInt(FileSystem& fs, TextCodec& codec, const std::string& file,
                        const std::string& section, const std::string& key, std::int32_t def) {
  IniFile ini(codec);
  ini.Load(fs, file);
  return ini.ReadInt(section, key, def);
}

std::string ReadIniString(FileSystem& fs, TextCodec& codec, const std::string& file,
                          const std::string& section, const std::string& key,
                          const std::string& def, std::size_t limit) {
  IniFile ini(codec);
  ini.Load(fs, file);
  return ini.ReadString(section, key, def, limit);
}

bool WriteIniString(FileSystem& fs, TextCodec& codec, const std::string& file,
                    const std::string& section, const std::string& key, const std::string& value) {
  IniFile ini(codec);
  if (ini.Load(fs, file) == IniFile::LoadResult::kUnreadable) return false;
  ini.Write(section, key, value);
  return ini.Save(fs, file);
}

}  // namespace tomari
