#include "support/fake_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "base/text.h"

namespace tomari::test {
namespace {

// One iconv conversion descriptor, closed on every path.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; at each sequence that cannot be converted, `skip(bytes
  // left)` says how many input bytes to drop and `replacement` is emitted.
  // Returns false when anything was replaced.
  template <typename Skip>
  bool Run(const std::string& in, std::string& out, const std::string& replacement, Skip skip) {
    out.clear();
    bool ok = true;
    std::string source = in;
    char* src = source.data();
    std::size_t srcLeft = source.size();
    char buffer[256];
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (srcLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (r != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (a truncated sequence at the end).
      ok = false;
      out += replacement;
      const std::size_t n = std::min(srcLeft, skip(reinterpret_cast<unsigned char*>(src), srcLeft));
      src += n;
      srcLeft -= n;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return ok;
  }

 private:
  iconv_t cd_;
};

std::size_t Utf8SkipLength(const unsigned char* s, std::size_t left) {
  const unsigned char c = s[0];
  std::size_t n = 1;
  if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
  } else if (c >= 0xE0) {
    n = 3;
  } else if (c >= 0xC2) {
    n = 2;
  }
  // Drop only as far as the sequence is well formed.
  std::size_t i = 1;
  while (i < n && i < left && (s[i] & 0xC0) == 0x80) ++i;
  return i;
}

}  // namespace

bool FakeCodec::IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// glibc maps some characters to CP932 one way only (〜 U+301C, ¥, − U+2212,
// — U+2014, ¢ ...), where Windows refuses them without best fit. Like the
// system, a character counts as converted only when it comes back unchanged.
bool FakeCodec::ToAnsi(const std::string& utf8, std::string& ansi) {
  Converter to("CP932", "UTF-8");
  Converter back("UTF-8", "CP932");
  ansi.clear();
  bool ok = true;
  std::string bytes;
  std::string again;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t n = Utf8SequenceLength(utf8, i);
    const std::string ch = utf8.substr(i, n);
    i += n;
    if (to.Run(ch, bytes, "?", Utf8SkipLength) && back.Run(bytes, again, "", Utf8SkipLength) &&
        again == ch) {
      ansi += bytes;
    } else {
      ansi += '?';
      ok = false;
    }
  }
  return ok;
}

std::string FakeCodec::FromAnsi(const std::string& ansi) {
  Converter c("UTF-8", "CP932");
  std::string out;
  c.Run(ansi, out, "\xEF\xBF\xBD", [this](const unsigned char* s, std::size_t left) {
    // A lead byte takes a byte from the trail range with it, as the system's
    // converter does; a line end after a stray lead byte stays a line end.
    const bool trail = left >= 2 && s[1] >= 0x40 && s[1] != 0x7F && s[1] <= 0xFC;
    return (IsLeadByte(s[0]) && trail) ? std::size_t{2} : std::size_t{1};
  });
  return out;
}

std::string FakeCodec::Sjis(const std::string& utf8) {
  FakeCodec codec;
  std::string out;
  if (!codec.ToAnsi(utf8, out)) throw std::invalid_argument("no CP932 form: " + utf8);
  return out;
}

}  // namespace tomari::test
