#pragma once
// The system's ANSI code page (932 on a Japanese system), for the files that
// earlier versions and people with text editors wrote in it.
#include "platform/ports.h"

namespace tomari {

class Win32TextCodec final : public TextCodec {
 public:
  unsigned AnsiCodePage() override;
  // False also for characters that the system would only approximate (a
  // "best fit" such as é to e): such text must not be stored as if it were exact.
  bool ToAnsi(const std::string& utf8, std::string& ansi) override;
  std::string FromAnsi(const std::string& ansi) override;
  bool IsLeadByte(unsigned char byte) override;
};

}  // namespace tomari
