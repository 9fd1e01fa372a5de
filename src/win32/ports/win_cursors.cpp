#include "win32/ports/win_cursors.h"

#include <windows.h>

#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

HCURSOR ToHandle(CursorHandle cursor) { return reinterpret_cast<HCURSOR>(cursor); }

}  // namespace

Win32CursorLoader::~Win32CursorLoader() {
  for (CursorHandle cursor : owned_) DestroyCursor(ToHandle(cursor));
}

CursorHandle Win32CursorLoader::LoadSystem(int id) {
  return reinterpret_cast<CursorHandle>(LoadCursorW(nullptr, MAKEINTRESOURCEW(id)));
}

CursorHandle Win32CursorLoader::LoadFromFile(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  if (wide.empty()) return 0;
  const auto cursor = reinterpret_cast<CursorHandle>(LoadCursorFromFileW(wide.c_str()));
  if (cursor != 0) owned_.insert(cursor);
  return cursor;
}

void Win32CursorLoader::Destroy(CursorHandle cursor) {
  if (owned_.erase(cursor) != 0) DestroyCursor(ToHandle(cursor));
}

void Win32CursorLoader::Show(CursorHandle cursor) { SetCursor(ToHandle(cursor)); }

}  // namespace tomari
