#include "support/fake_codec.h"

#include <iconv.h>

#include <stdexcept>

#include "base/text.h"

namespace tomari::test {
namespace {

// Converts `in` whole with glibc's iconv; false when any of it does not convert.
bool Convert(const char* to, const char* from, const std::string& in, std::string& out) {
  const iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string source = in;
  char* src = source.data();
  std::size_t srcLeft = source.size();
  out.assign(in.size() * 4 + 4, '\0');
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return ok && srcLeft == 0;
}

}  // namespace

bool FakeCodec::IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// glibc maps some characters to CP932 one way only (〜 U+301C, ¥, − U+2212,
// — U+2014, ¢ ...), where Windows refuses them without best fit. Like the
// system, a character counts as converted only when it comes back unchanged.
bool FakeCodec::ToAnsi(const std::string& utf8, std::string& ansi) {
  ansi.clear();
  bool ok = true;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::string ch = utf8.substr(i, Utf8SequenceLength(utf8, i));
    i += ch.size();
    std::string bytes, again;
    if (static_cast<unsigned char>(ch[0]) < 0x80) {
      ansi += ch;
    } else if (Convert("CP932", "UTF-8", ch, bytes) && Convert("UTF-8", "CP932", bytes, again) &&
               again == ch) {
      ansi += bytes;
    } else {
      ansi += '?';
      ok = false;
    }
  }
  return ok;
}

// A lead byte takes a byte from the trail range with it, as the system's
// converter does; a line end after a stray lead byte stays a line end.
std::string FakeCodec::FromAnsi(const std::string& ansi) {
  std::string out, ch;
  for (std::size_t i = 0; i < ansi.size(); i += ch.size()) {
    const auto lead = static_cast<unsigned char>(ansi[i]);
    const auto next = static_cast<unsigned char>(i + 1 < ansi.size() ? ansi[i + 1] : 0);
    const bool pair = IsLeadByte(lead) && next >= 0x40 && next != 0x7F && next <= 0xFC;
    ch = ansi.substr(i, pair ? 2 : 1);
    std::string u;
    out += lead < 0x80 ? ch : Convert("UTF-8", "CP932", ch, u) ? u : "\xEF\xBF\xBD";
  }
  return out;
}

std::string FakeCodec::Sjis(const std::string& utf8) {
  FakeCodec codec;
  std::string out;
  if (!codec.ToAnsi(utf8, out)) throw std::invalid_argument("no CP932 form: " + utf8);
  return out;
}

}  // namespace tomari::test
