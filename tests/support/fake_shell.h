#pragma once
// The shell for the core's tests: remembers what it was asked to open.
#include <string>
#include <vector>

#include "platform/shell.h"

namespace tomari::test {

class FakeShell : public Shell {
 public:
  void Open(const std::string& target) override { opened.push_back(target); }
  std::vector<std::string> opened;  // in call order
};

}  // namespace tomari::test
