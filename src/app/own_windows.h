#pragma once
// The windows of this program that are open, in the order they were opened.
// Slot 0 always holds the null handle, so "no window" counts as one of ours.
#include <vector>

#include "platform/types.h"

namespace tomari {

class OwnWindowList {
 public:
  // Back to the single null slot.
  void Reset() { slots_.assign(1, 0); }
  // Appends and returns the slot number, which the caller keeps for Remove.
  int Add(WindowHandle h) {
    slots_.push_back(h);
    return Count();
  }
  // Removes the entry in `slot` and closes the gap. Out-of-range slots are ignored.
  void Remove(int slot) {
    if (slot < 1 || slot > Count()) return;
    slots_.erase(slots_.begin() + slot);
  }
  bool Contains(WindowHandle h) const {
    for (WindowHandle s : slots_)
      if (s == h) return true;
    return false;
  }
  int Count() const { return static_cast<int>(slots_.size()) - 1; }
  WindowHandle At(int slot) const { return slots_.at(static_cast<size_t>(slot)); }

 private:
  std::vector<WindowHandle> slots_{0};
};

}  // namespace tomari
