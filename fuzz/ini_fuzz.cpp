// The profile-file reader and writer: a file read and written back unchanged
// keeps its bytes, and writing one key changes no other key, also after the
// file has been written out and read again.
#include <fuzzer/FuzzedDataProvider.h>

#include <utility>
#include <vector>

#include "base/ini.h"
#include "base/text.h"
#include "fuzz_ports.h"

using namespace tomari;
using fuzz::Fail;

namespace {

using Names = std::vector<std::pair<std::string, std::string>>;

std::string Trim(const std::string& s) {
  const std::size_t b = s.find_first_not_of(" \t");
  return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// A name as the reader and the writer take it: cut at a NUL, line breaks as
// blanks, blanks around it dropped, ASCII case folded.
std::string Key(std::string s) {
  s = s.substr(0, s.find('\0'));
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return AsciiLower(Trim(s));
}

// Section and key names as a reader of `text` would see them; good enough
// to pick the keys whose values are compared.
void CollectNames(const std::string& text, Names& names) {
  std::string section;
  std::size_t pos = 0;
  while (pos < text.size() && names.size() < 256) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    const std::size_t lead = line.find_first_not_of(" \t");
    if (lead == std::string::npos) continue;
    if (line[lead] == '[') {
      section = line.substr(lead + 1, line.find(']', lead) - lead - 1);
    } else if (const std::size_t eq = line.find('='); eq != std::string::npos) {
      names.emplace_back(Trim(section), Trim(line.substr(0, eq)));
    }
  }
}

std::vector<std::optional<std::string>> Values(const IniFile& ini, const Names& names) {
  std::vector<std::optional<std::string>> v;
  for (const auto& [s, k] : names) v.push_back(ini.Find(s, k));
  return v;
}

// Names the program writes: ASCII letters, digits and a few marks.
std::string Name(FuzzedDataProvider& in) {
  std::string s = in.ConsumeRandomLengthString(12);
  std::erase_if(s, [](char c) {
    return !std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-';
  });
  return s.empty() ? "K" : s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto quotes =
      in.ConsumeBool() ? IniFile::Quotes::kDouble : IniFile::Quotes::kDoubleOrSingle;
  const std::string section = Name(in);
  const std::string key = Name(in);
  const std::string value = in.ConsumeRandomLengthString(200);
  const std::string bytes = in.ConsumeRemainingBytesAsString();

  fuzz::Cp932Codec codec;
  IniFile ini(codec, quotes);
  ini.Parse(bytes);
  if (ini.encoding() != IniFile::Encoding::kUtf16LeBom && ini.Serialize() != bytes) {
    if (std::getenv("FUZZ_DEBUG")) {
      const std::string out = ini.Serialize();
      std::fprintf(stderr, "in  %zu: ", bytes.size());
      for (unsigned char c : bytes) std::fprintf(stderr, "%02x", c);
      std::fprintf(stderr, "\nout %zu: ", out.size());
      for (unsigned char c : out) std::fprintf(stderr, "%02x", c);
      std::fprintf(stderr, "\n");
    }
    Fail("a file written back unchanged lost bytes");
  }

  Names names;
  CollectNames(bytes, names);
  CollectNames(codec.FromAnsi(bytes), names);
  (void)ini.ReadInt(section, key, 7);
  (void)ini.ReadString(section, key, "", kIniValueLimit);
  const auto before = Values(ini, names);

  ini.Write(section, key, value);
  const auto written = ini.Find(section, key);
  FUZZ_CHECK(written.has_value());
  const auto check = [&](const IniFile& f, const char* when) {
    const auto after = Values(f, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const bool same =
          Key(names[i].first) == Key(section) && Key(names[i].second) == Key(key);
      if (!same && after[i] != before[i]) {
        if (std::getenv("FUZZ_DEBUG"))
          std::fprintf(stderr, "[%s] %s: '%s' -> '%s'\n", names[i].first.c_str(),
                       names[i].second.c_str(), before[i].value_or("(none)").c_str(),
                       after[i].value_or("(none)").c_str());
        Fail(when);
      }
    }
    if (f.Find(section, key) != written) Fail("the written key reads back differently");
  };
  check(ini, "writing one key changed another");

  IniFile again(codec, quotes);
  again.Parse(ini.Serialize());
  check(again, "a key changed when the file was written out and read again");
  return 0;
}
