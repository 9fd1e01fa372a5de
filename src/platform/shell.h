#pragma once
// The user's shell: documents, folders, programs, addresses and mail links are
// opened the way Explorer would open them.
#include <string>

namespace tomari {

class Shell {
 public:
  virtual ~Shell() = default;
  // The shell's "open" verb on `target`, its window shown normally. Nothing is
  // reported: a link that leads nowhere is the skin author's to notice.
  virtual void Open(const std::string& target) = 0;
};

}  // namespace tomari
