#include "support/fake_shell.h"

namespace tomari::test {

void FakeShell::Open(const std::string& target) {
  opened.push_back(target);
  if (onOpen) onOpen(target);
}

}  // namespace tomari::test
