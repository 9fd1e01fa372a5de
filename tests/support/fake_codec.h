#pragma once
// The ANSI code page of a Japanese system (932), converted for real with
// glibc's iconv, so tests see genuine Shift-JIS bytes.
#include <string>

#include "platform/ports.h"

namespace tomari::test {

class FakeCodec : public TextCodec {
 public:
  unsigned AnsiCodePage() override { return 932; }
  // A character without a CP932 form becomes "?" and the result is false.
  bool ToAnsi(const std::string& utf8, std::string& ansi) override;
  // Bytes that are not CP932 become U+FFFD.
  std::string FromAnsi(const std::string& ansi) override;
  bool IsLeadByte(unsigned char byte) override;

  // Shorthand for tests: the CP932 bytes of `utf8`, which must all convert.
  static std::string Sjis(const std::string& utf8);
};

}  // namespace tomari::test
