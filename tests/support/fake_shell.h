#pragma once
// The shell for the core's tests: remembers what it was asked to open.
#include <functional>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace tomari::test {

class FakeShell : public Shell {
 public:
  void Open(const std::string& target) override {
    opened.push_back(target);
    if (onOpen) onOpen(target);
  }
  std::vector<std::string> opened;  // in call order
  // Runs inside Open, for tests that look at the state a command runs in.
  std::function<void(const std::string&)> onOpen;
};

}  // namespace tomari::test
