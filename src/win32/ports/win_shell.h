#pragma once
#include "platform/shell.h"

namespace tomari {

class Win32Shell final : public Shell {
 public:
  void Open(const std::string& target) override;
};

}  // namespace tomari
