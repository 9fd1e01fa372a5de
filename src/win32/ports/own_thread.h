#pragma once
// Work that must not hold up its caller (a call into a window whose thread may
// hang) runs on a thread of its own that nobody joins.
#include <functional>

namespace tomari {

// Starts `work` on a new thread and returns at once; false when no thread could
// be made (the work then never runs). An exception that escapes `work` ends
// only that work.
//
// A detached std::thread is not used for this: with the MinGW threads library
// (mingw-w64 10), under load a new detached thread can start with another
// one's work, or with none and crash.
bool StartOwnThread(std::function<void()> work);

}  // namespace tomari
