#pragma once
// Profile (INI) files as the Windows profile functions read and write them,
// for Setting.ini and skin files alike.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ports.h"

namespace tomari {

// Values read from skin files are cut to this many bytes in the file's
// encoding, as the profile functions did; our own Setting.ini keys are not.
inline constexpr std::size_t kIniValueLimit = 127;

// One profile file held in memory: read once, queried, changed in place and
// written back whole. Text is UTF-8 inside; the file's encoding (ANSI code page,
// UTF-8 with BOM, UTF-16 LE with BOM) is kept.
//
// Reading follows the profile functions: section and key names compare without
// regard to (ASCII) case and with blanks around them ignored; blanks around a
// value are dropped, then one pair of double quotes enclosing it (or of single
// quotes, for files that ask for it: skins were written against that); only the
// first of duplicate sections, and the first of duplicate keys in it, counts.
// A line is a comment when its first non-blank character is ";". Lines before
// the first section, lines without "=" and comments are kept but never match.
//
// Writing changes as little as it can: an existing key's line is rewritten as
// name=value (or left alone when the value is the same), a new key goes right
// after the last key line of its section (so a comment or blank line that
// introduces the next section stays with that section), and a new section goes
// at the end of the file. Every other line keeps its bytes and its line end;
// new lines end in CRLF.
class IniFile {
 public:
  enum class Encoding { kAnsi, kUtf8Bom, kUtf16LeBom };
  enum class LoadResult { kLoaded, kMissing, kUnreadable };
  enum class Quotes { kDouble, kDoubleOrSingle };

  explicit IniFile(TextCodec& codec, Quotes quotes = Quotes::kDouble)
      : codec_(&codec), quotes_(quotes) {
    Clear();
  }

  // Replaces the content by `bytes`; a BOM chooses the encoding.
  void Parse(const std::string& bytes);
  // Reads `path`. A missing or unreadable file leaves the content empty.
  LoadResult Load(FileSystem& fs, const std::string& path);
  // The file's bytes. A line that has no form in the ANSI code page switches an
  // ANSI file, as a whole, to UTF-8 with BOM: no character is ever replaced,
  // and bytes that were no character of the code page are carried over as
  // they were.
  std::string Serialize();
  // Writes the whole file at once; the old file survives a failure.
  bool Save(FileSystem& fs, const std::string& path);

  Encoding encoding() const { return encoding_; }

  // The stored value by the read rules, in full; nullopt when the key is missing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;
  // The 1-based line number of the line Find reads; 0 when the key is missing.
  std::size_t LineOf(const std::string& section, const std::string& key) const;
  // `limit` 0 reads the value in full; otherwise it is cut to `limit` bytes in
  // the file's encoding (UTF-16 units for a UTF-16 file) without splitting a
  // character. `def` comes back as given.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def,
                         std::size_t limit = kIniValueLimit) const;
  // A signed decimal number after optional blanks and sign; what follows the
  // digits is ignored, no digits read as 0, and values beyond 32 bits are
  // clamped. A missing key, or one with an empty value, gives `def`.
  std::int32_t ReadInt(const std::string& section, const std::string& key, std::int32_t def) const;
  // Sets one key. Line breaks in the value become blanks and a NUL ends it, so
  // a value can never add lines to the file.
  void Write(const std::string& section, const std::string& key, const std::string& value);

 private:
  enum class Kind { kOther, kSection, kKey };
  struct Line {
    std::string text;  // UTF-8, without its line end
    std::string eol;   // "\r\n", "\n", or "" for a last line without one
    // The bytes read from an ANSI file, written back as they were until the
    // line changes (the code page does not always convert back to the same bytes).
    std::optional<std::string> ansi;
    Kind kind = Kind::kOther;
    std::string name;    // section or key name as written, blanks trimmed
    std::string folded;  // `name` in lower case, for matching
    std::string value;   // key lines: the value with blanks trimmed, quotes kept
  };
  // Lines up to the next section header; sections_[0] holds the lines before
  // the first header and has none itself.
  struct Section {
    std::vector<Line> lines;
  };

  void Clear();
  static Line MakeLine(std::string text, std::string eol);
  const Section* FindSection(const std::string& section) const;
  std::size_t AnsiLength(const std::string& utf8Char) const;
  std::string Cut(const std::string& value, std::size_t limit) const;
  bool SerializeAs(Encoding encoding, std::string& out);
  std::string AnsiToUtf8Keeping(const std::string& ansi) const;
  std::string Unquote(const std::string& value) const;

  TextCodec* codec_;
  Quotes quotes_;
  Encoding encoding_ = Encoding::kAnsi;
  std::vector<Section> sections_;
  std::unordered_map<std::string, std::size_t> firstSection_;  // folded name -> index
};

// Integers as they are stored: a blank before zero and positive numbers, a
// minus sign before negative ones (" 100", "-12").
std::string FormatIniInt(std::int32_t value);

// A string value as it must be written to read back as given: in double quotes
// when it has blanks at either end or is itself wrapped in double quotes (the
// reader drops those), bare otherwise, as earlier versions wrote it.
std::string QuoteIniValue(const std::string& value);

// Single-key conveniences on a file path, each reading (and writing) the whole file.
// `limit` 0 means no cut.
std::int32_t ReadIniInt(FileSystem& fs, TextCodec& codec, const std::string& file,
                        const std::string& section, const std::string& key, std::int32_t def);
std::string ReadIniString(FileSystem& fs, TextCodec& codec, const std::string& file,
                          const std::string& section, const std::string& key,
                          const std::string& def, std::size_t limit = kIniValueLimit);
// False when the file could not be read or written; it is then left as it was.
bool WriteIniString(FileSystem& fs, TextCodec& codec, const std::string& file,
                    const std::string& section, const std::string& key, const std::string& value);

}  // namespace tomari
