#pragma once
// Cursors for skin buttons: shared system cursors, and cursor files that are
// ours to destroy. Only handles this loader made from files are ever destroyed.
#include <set>
#include <string>

#include "platform/imaging.h"

namespace tomari {

class Win32CursorLoader final : public CursorLoader {
 public:
  Win32CursorLoader() = default;
  // Cursors still loaded from files go with the loader.
  ~Win32CursorLoader() override;
  Win32CursorLoader(const Win32CursorLoader&) = delete;
  Win32CursorLoader& operator=(const Win32CursorLoader&) = delete;

  CursorHandle LoadSystem(int id) override;
  CursorHandle LoadFromFile(const std::string& path) override;
  void Destroy(CursorHandle cursor) override;
  void Show(CursorHandle cursor) override;

  // File cursors loaded and not yet destroyed.
  size_t LiveFileCursors() const { return owned_.size(); }

 private:
  std::set<CursorHandle> owned_;
};

}  // namespace tomari
