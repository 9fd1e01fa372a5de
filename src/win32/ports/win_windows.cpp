#include "win32/ports/win_windows.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <utility>

#include "win32/ports/own_thread.h"
#include "win32/ports/text_convert.h"

namespace tomari {

namespace {

// Longest title we read; GetWindowTextW cuts longer ones.
constexpr int kMaxTitleChars = 32768;

bool OfOtherThread(HWND w) {
  DWORD thread = GetWindowThreadProcessId(w, nullptr);
  return thread != 0 && thread != GetCurrentThreadId();
}

bool SetExStyleNow(HWND w, std::uint32_t exStyle) {
  // 0 is also a valid previous style, so only the error code tells failure.
  SetLastError(0);
  LONG previous = SetWindowLongW(w, GWL_EXSTYLE, static_cast<LONG>(exStyle));
  return previous != 0 || GetLastError() == 0;
}

// Runs `work` on a thread of its own and waits at most `timeoutMs` for it. When
// the time runs out we report failure and leave the thread to finish whenever
// the window's thread answers (or to end with the process).
template <typename Work>
bool RunBounded(Work work, DWORD timeoutMs) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool result = false;
  };
  try {
    auto shared = std::make_shared<Shared>();
    const bool started = StartOwnThread([shared, work = std::move(work)]() mutable {
      bool result = work();
      {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->done = true;
        shared->result = result;
      }
      shared->finished.notify_one();
    });
    if (!started) return false;
    std::unique_lock<std::mutex> lock(shared->mutex);
    if (!shared->finished.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return shared->done; }))
      return false;
    return shared->result;
  } catch (const std::exception&) {
    // No thread or no memory: the change is simply not made.
    return false;
  }
}

template <typename Fn>
Fn LookUpUser32(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  FARPROC proc = GetProcAddress(user32, name);
  // Through void(*)(): the one cast between function types GCC does not warn about.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

Win32WindowSystem::Win32WindowSystem()
    : getLayered_(LookUpUser32<GetLayeredFn>("GetLayeredWindowAttributes")),
      setLayered_(LookUpUser32<SetLayeredFn>("SetLayeredWindowAttributes")) {}

WindowHandle Win32WindowSystem::Foreground() { return FromHwnd(GetForegroundWindow()); }

bool Win32WindowSystem::IsWindow(WindowHandle h) { return h != 0 && ::IsWindow(ToHwnd(h)); }

// Both fail for a handle that is no window; an IsWindow first would only be
// one more call into the window server, on every tick.
bool Win32WindowSystem::IsHung(WindowHandle h) { return h != 0 && IsHungAppWindow(ToHwnd(h)); }

bool Win32WindowSystem::GetRect(WindowHandle h, Rect& r) {
  RECT rc;
  if (h == 0 || !GetWindowRect(ToHwnd(h), &rc)) return false;
  r = Rect{rc.left, rc.top, rc.right, rc.bottom};
  return true;
}

std::uint32_t Win32WindowSystem::GetExStyle(WindowHandle h) {
  if (!IsWindow(h)) return 0;
  return static_cast<std::uint32_t>(GetWindowLongW(ToHwnd(h), GWL_EXSTYLE));
}

bool Win32WindowSystem::SetExStyle(WindowHandle h, std::uint32_t exStyle) {
  if (!IsWindow(h)) return false;
  HWND w = ToHwnd(h);
  if (!OfOtherThread(w)) return SetExStyleNow(w, exStyle);
  // SetWindowLongW on another thread's window waits, without any limit, until
  // that thread has handled WM_STYLECHANGING/WM_STYLECHANGED.
  if (IsHungAppWindow(w)) return false;
  return RunBounded([w, exStyle] { return SetExStyleNow(w, exStyle); }, kStyleTimeoutMs);
}

std::string Win32WindowSystem::GetTitle(WindowHandle h) {
  if (!IsWindow(h)) return {};
  HWND w = ToHwnd(h);
  // GetWindowTextW reads another process's title without sending it a message;
  // its length is not asked for (that may be a message), the buffer grows instead.
  std::wstring text;
  for (int size = 512;; size *= 2) {
    text.assign(static_cast<size_t>(size), L'\0');
    int n = GetWindowTextW(w, text.data(), size);
    if (n < 0) n = 0;
    if (n < size - 1 || size >= kMaxTitleChars) {
      text.resize(static_cast<size_t>(n));
      break;
    }
  }
  return WideToUtf8(text);
}

bool Win32WindowSystem::SetTitle(WindowHandle h, const std::string& title) {
  if (!IsWindow(h)) return false;
  std::wstring text = Utf8ToWide(title);
  DWORD_PTR result = 0;
  // SMTO_BLOCK: no message of ours is handled while we wait, so the caller is
  // never re-entered halfway; the timeout bounds what that costs.
  LRESULT sent = SendMessageTimeoutW(ToHwnd(h), WM_SETTEXT, 0,
                                     reinterpret_cast<LPARAM>(text.c_str()),
                                     SMTO_ABORTIFHUNG | SMTO_BLOCK | SMTO_ERRORONEXIT,
                                     kSendTimeoutMs, &result);
  return sent != 0 && result != 0;
}

std::string Win32WindowSystem::ClassNameOf(WindowHandle h) {
  if (!IsWindow(h)) return {};
  wchar_t name[257];  // class names are at most 256 characters
  int n = ::GetClassNameW(ToHwnd(h), name, 257);
  return n > 0 ? WideToUtf8(std::wstring_view(name, static_cast<size_t>(n))) : std::string();
}

std::uint32_t Win32WindowSystem::ProcessIdOf(WindowHandle h) {
  DWORD pid = 0;
  if (IsWindow(h)) GetWindowThreadProcessId(ToHwnd(h), &pid);
  return pid;
}

WindowHandle Win32WindowSystem::GetParent(WindowHandle h) {
  if (!IsWindow(h)) return 0;
  HWND w = ToHwnd(h);
  // ::GetParent gives the owner only to WS_POPUP windows; an owned overlapped
  // window (a typical main window with a hidden owner) would look parentless.
  if (GetWindowLongW(w, GWL_STYLE) & WS_CHILD) return FromHwnd(GetAncestor(w, GA_PARENT));
  return FromHwnd(GetWindow(w, GW_OWNER));
}

LayeredAttributes Win32WindowSystem::GetLayered(WindowHandle h) {
  LayeredAttributes attributes;
  if (!getLayered_ || !IsWindow(h)) return attributes;
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (getLayered_(ToHwnd(h), &key, &alpha, &flags)) {
    attributes.readable = true;
    attributes.colorKey = key;
    attributes.alpha = alpha;
    attributes.flags = flags;
  }
  return attributes;
}

bool Win32WindowSystem::SetLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                                   std::uint32_t flags) {
  if (!setLayered_ || !IsWindow(h)) return false;
  return setLayered_(ToHwnd(h), colorKey, alpha, flags) != FALSE;
}

bool Win32WindowSystem::MakeLayered(WindowHandle h, std::uint32_t colorKey, std::uint8_t alpha,
                                    std::uint32_t flags) {
  if (!setLayered_ || !IsWindow(h)) return false;
  HWND w = ToHwnd(h);
  SetLayeredFn setLayered = setLayered_;
  // Style and attributes run as one piece of work: when the wait gives up, the
  // helper thread still sets the attributes right after the style lands.
  auto work = [w, colorKey, alpha, flags, setLayered] {
    const auto ex = static_cast<std::uint32_t>(GetWindowLongW(w, GWL_EXSTYLE));
    if ((ex & WS_EX_LAYERED) == 0 && !SetExStyleNow(w, ex | WS_EX_LAYERED)) return false;
    return setLayered(w, colorKey, alpha, flags) != FALSE;
  };
  if (!OfOtherThread(w)) return work();
  if (IsHungAppWindow(w)) return false;
  return RunBounded(work, kStyleTimeoutMs);
}

bool Win32WindowSystem::WaitForAnswer(WindowHandle h, unsigned ms) {
  if (!IsWindow(h)) return false;
  DWORD_PTR result = 0;
  // Without SMTO_ABORTIFHUNG: this is the one call that is meant to wait.
  return SendMessageTimeoutW(ToHwnd(h), WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ERRORONEXIT, ms,
                             &result) != 0;
}

bool Win32WindowSystem::SetTopMost(WindowHandle h, bool topMost) {
  if (!IsWindow(h)) return false;
  HWND w = ToHwnd(h);
  UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  // Another thread's window gets the request posted; we do not wait for it.
  if (OfOtherThread(w)) flags |= SWP_ASYNCWINDOWPOS;
  return SetWindowPos(w, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags) != FALSE;
}

bool Win32WindowSystem::MoveTo(WindowHandle h, int x, int y) {
  if (!IsWindow(h)) return false;
  HWND w = ToHwnd(h);
  UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (OfOtherThread(w)) flags |= SWP_ASYNCWINDOWPOS;
  return SetWindowPos(w, nullptr, x, y, 0, 0, flags) != FALSE;
}

bool Win32WindowSystem::HasLayeredWindowsApi() { return setLayered_ != nullptr; }

}  // namespace tomari
