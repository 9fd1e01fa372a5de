#include "win32/ports/own_thread.h"

#include <windows.h>

#include <memory>
#include <new>
#include <utility>

namespace tomari {

namespace {

DWORD WINAPI RunOwned(void* param) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(param));
  try {
    (*work)();
  } catch (...) {
  }
  return 0;
}

}  // namespace

bool StartOwnThread(std::function<void()> work) {
  auto* owned = new (std::nothrow) std::function<void()>(std::move(work));
  if (!owned) return false;
  HANDLE thread = CreateThread(nullptr, 0, RunOwned, owned, 0, nullptr);
  if (!thread) {
    delete owned;
    return false;
  }
  CloseHandle(thread);
  return true;
}

}  // namespace tomari
