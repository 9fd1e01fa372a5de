// Start routine: one instance per user unless the settings allow more, the
// capability probe, the widget, and the message loop.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "app/app.h"
#include "app/settings.h"
#include "app/settings_folder.h"
#include "app/startup.h"
#include "commands/commands.h"
#include "commands/widget_face.h"
#include "commands/menu_handlers.h"
#include "dialogs/exclusion_editor.h"
#include "app/journal.h"
#include "perch/recovery.h"
#include "perch/follow_events.h"
#include "perch/shutdown.h"
#include "perch/pointer.h"
#include "perch/tracking.h"
#include "skin/skin.h"
#include "imaging/file_io.h"
#include "win32/ports/gdi_handles.h"
#include "win32/ports/image_library.h"
#include "win32/ports/text_convert.h"
#include "win32/ports/win_directory.h"
#include "win32/ports/win_text_grab.h"
#include "win32/ports/win_capture.h"
#include "win32/ports/win_clock.h"
#include "win32/ports/win_codec.h"
#include "win32/ports/win_cursors.h"
#include "win32/ports/win_files.h"
#include "win32/ports/win_imaging.h"
#include "win32/ports/win_locale.h"
#include "win32/ports/win_prompts.h"
#include "win32/ports/win_screen.h"
#include "win32/ports/win_shell.h"
#include "win32/ports/win_windows.h"
#include "win32/dialogs/exclusion_editor_dialog.h"
#include "win32/dialogs/format_composer_dialog.h"
#include "win32/dialogs/skin_chooser_dialog.h"
#include "win32/dialogs/text_grab_dialog.h"
#include "dialogs/settings_dialog.h"
#include "win32/dialogs/settings_dialog_view.h"
#include "win32/dialogs/version_dialog_view.h"
#include "win32/popup_menu.h"
#include "win32/widget_window.h"
#include "win32/win_event_hooks.h"
#include "win32/window_base.h"

namespace tomari {
namespace {

// Relative per-button image paths in skins were written against the folder the
// program starts in; every file dialog moves the current directory later.
std::string StartupDirectory() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring dir(n, L'\0');
  n = GetCurrentDirectoryW(n, dir.data());
  dir.resize(n);
  return WithTrailingBackslash(WideToUtf8(dir));
}

std::string ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  path.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return WithTrailingBackslash(WideToUtf8(path));
}

// A per-user name: instances of other users on the same machine do not count.
std::wstring InstanceMutexName() {
  wchar_t user[256] = L"";
  DWORD size = 256;
  GetUserNameW(user, &size);
  return std::wstring(L"Local\\Tomari.Instance.") + user;
}

class Program final : public WidgetEvents, public CommandSink {
 public:
  Program()
      : widget_(*this),
        ports_{windows_, screen_, widget_, files_, clock_, codec_,
               decoder_, cursors_, locale_, shell_, prompts_, capture_,
               texts_,   textClipboard_, directory_} {}

  int Run(HINSTANCE instance) {
    instance_ = instance;
    app_.facts.AppFolder = ExecutableFolder();

    // Held until the process ends, however Run is left.
    KernelHandle mutex(CreateMutexW(nullptr, FALSE, InstanceMutexName().c_str()));
    const bool another = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    ChooseSettingsFolder(app_, files_);
    if (another && !MultipleInstancesAllowed(SettingsFolder(app_), files_, codec_)) return 0;

    ProbeCapabilities(app_, files_, windows_);
    // The library counts only when it loads and has every entry point; a file
    // of that name alone is not enough.
    app_.facts.HasImageLibrary = library_.Load(app_.facts.AppFolder);
    app_.skin.StartupFolder = StartupDirectory();

    // Before the widget exists: a close request meanwhile meets only the box.
    TellSettingsFolderMoved(app_, prompts_, 0);
    if (!widget_.Create(instance, kNoSkinWidth, kNoSkinHeight)) return 1;
    app_.skin.Dpi = widget_.Dpi();
    capture_.AttachWidget(widget_.hwnd());
    textClipboard_.AttachOwner(reinterpret_cast<WindowHandle>(widget_.hwnd()));
    // The settings dialog opens the other dialogs through these.
    settingsServices_.editExclusion = [this](HWND owner, ExclusionEntry& entry) {
      return tomari::ShowExclusionEditor(instance_, owner, app_, entry);
    };
    settingsServices_.chooseSkin = [this](HWND owner, const std::string& currentSkin) {
      return ShowSkinChooser(instance_, owner, app_, ports_, currentSkin);
    };
    settingsServices_.composeFormat = [this](HWND owner, const Settings& zone) {
      return ShowFormatComposer(instance_, owner, app_, ports_, zone);
    };
    WidgetLoad(app_, ports_);
    TellSettingsUnreadable(app_, prompts_, 0);
    // A further instance leaves the journal to the first one, which may be
    // running and owing those windows right now.
    if (!another) {
      // A run killed while it saved left its temporary file behind.
      fileio::RemoveAbandonedTemporaryFiles(Utf8ToWide(SettingsFolder(app_)));
      app_.journal.Enabled = true;
      Guarded([&] { RecoverFromJournal(app_, ports_); }, [] {});
      crashGiveBack_ = this;
      SetUnhandledExceptionFilter(GiveBackOnCrash);
      std::set_terminate(GiveBackOnTerminate);
    }
    ApplySkin(app_, ports_);
    RefreshButtons(app_, ports_, -1, -1, 0);
    auto interval = TrackingInterval(app_.settings.MainTiming);
    widget_.SetTrackingInterval(interval ? *interval : 0);
    widget_.SetHoverInterval(kHoverInterval);
    // Events make the widget follow in the same frame; the timer stays the
    // bound for what no event reports (and for systems that raise none).
    hooks_.Install([this](const WindowEvent& e) {
      if (!closed_ && coalescer_.Offer(app_, e)) widget_.RequestTrackingTick();
    });
    widget_.Show();

    MSG msg;
    for (bool quit = false; !quit;) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if ((quit = msg.message == WM_QUIT)) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      // Ticks that find the queue empty go straight back to waiting: looking
      // into the queue is itself a call into the window server.
      while (!quit && !widget_.WaitForMessageOrTick()) OnTrackingTimer();
    }
    crashGiveBack_ = nullptr;  // the close gave back; the journal keeps what it could not
    return 0;
  }

  void OnTrackingTimer() override {
    if (closed_ || crashing_) return;
    TrackingTick(app_, ports_);
  }

  void OnTrackNow() override {
    if (coalescer_.Take() && !closed_) TrackingTick(app_, ports_);
  }

  void OnSettingChange() override {
    locale_.Reload();
    screen_.Forget();
  }

  void OnDpiChanged(int dpi) override {
    screen_.Forget();
    if (closed_ || dpi == app_.skin.Dpi) return;
    app_.skin.Dpi = dpi;
    ApplySkin(app_, ports_);
    RefreshButtons(app_, ports_, -1, -1, 0);
  }

  void OnHoverTimer() override {
    if (closed_) return;
    HoverTick(app_, ports_);
  }

  void OnPointerPress(int button, int modifiers, int x, int y) override {
    if (!closed_) PointerPress(app_, ports_, button, modifiers, x, y);
  }
  void OnPointerMove(int button, int modifiers, int x, int y) override {
    if (!closed_) PointerMove(app_, ports_, button, modifiers, x, y);
  }
  void OnPointerRelease(int button, int modifiers, int x, int y) override {
    if (!closed_) PointerRelease(app_, ports_, *this, button, modifiers, x, y);
    // After an exit the widget is gone: nothing more may touch it.
  }

  // What the commands need from this side.
  MenuItem OpenPopupMenu() override {
    POINT at{};
    GetCursorPos(&at);
    // The menu's modal loop is the system's: a timer keeps the tick going there.
    widget_.ModalTracking(true);
    const MenuItem item = TrackWidgetMenu(instance_, widget_.hwnd(), app_.menu, at);
    widget_.ModalTracking(false);
    return item;
  }
  void Exit() override { OnCloseRequest(); }
  // The dialogs arrive with their own work; the commands already route here
  // with the widget kept busy around them.
  void ShowTextGrab() override {
    tomari::ShowTextGrab(instance_, widget_.hwnd(), app_, texts_, textClipboard_);
  }
  // The entry takes effect at the next tick, which then passes the window by.
  void ShowExclusionEditor() override {
    AddTargetExclusion(app_, ports_, [&](ExclusionEntry& entry) {
      tomari::ShowExclusionEditor(instance_, widget_.hwnd(), app_, entry);
    });
  }
  void ShowSettings() override {
    struct Host final : SettingsDialogHost {
      Program& program;
      explicit Host(Program& p) : program(p) {}
      bool ShowSettingsDialog(SettingsDialogModel& model) override {
        return ShowSettingsDialogView(program.instance_, program.widget_.hwnd(), program.app_,
                                      program.ports_, model, program.settingsServices_);
      }
      void SetTrackingInterval(unsigned ms) override { program.widget_.SetTrackingInterval(ms); }
    } host(*this);
    RunSettingsDialog(app_, ports_, host);
  }
  void ShowVersion() override { ShowVersionDialog(instance_, widget_.hwnd(), app_, ports_); }

  void OnCloseRequest() override {
    // WM_CLOSE and WM_ENDSESSION may both arrive; shut down once.
    if (closed_) return;
    closed_ = true;
    widget_.SetTrackingInterval(0);
    widget_.SetHoverInterval(0);
    hooks_.Remove();
    // The steps are guarded one by one so that a failing one neither skips
    // the others nor keeps the widget (and with it the process) alive.
    Guarded([&] { CloseRequest(app_, ports_); }, [] {});
    Guarded([&] { FreeSkin(app_.skin, cursors_); }, [] {});
    widget_.Destroy();
  }

  // However the widget went, the loop ends and the instance lock goes with it.
  void OnWidgetDestroyed() override {
    closed_ = true;
    PostQuitMessage(0);
  }

 private:
  // On the way down after a fault: what the windows still show of ours goes
  // back to them, by the journal (kept current as changes are made), with a
  // state of our own that the fault cannot have damaged.
  void GiveBackAfterCrash() {
    crashing_ = true;
    // The state is read only where it is kept: a fault in another thread may
    // come while the interface thread is changing it. The file is then at
    // most one tick behind.
    if (GetCurrentThreadId() == uiThread_) {
      try {
        SyncJournal(app_, windows_, files_);
      } catch (...) {
        // The file holds what the last change wrote.
      }
    }
    App fresh;
    fresh.facts = app_.facts;
    fresh.journal.Enabled = true;
    RecoverFromJournal(fresh, ports_);
  }
  static LONG WINAPI GiveBackOnCrash(EXCEPTION_POINTERS*) {
    if (Program* p = crashGiveBack_.exchange(nullptr)) {
      try {
        p->GiveBackAfterCrash();
      } catch (...) {
      }
    }
    return EXCEPTION_EXECUTE_HANDLER;  // the process ends
  }
  [[noreturn]] static void GiveBackOnTerminate() {
    GiveBackOnCrash(nullptr);
    std::abort();
  }
  static inline std::atomic<Program*> crashGiveBack_{nullptr};
  std::atomic<bool> crashing_{false};
  DWORD uiThread_ = GetCurrentThreadId();

  App app_;
  Win32WindowSystem windows_;
  Win32Screen screen_;
  Win32FileSystem files_;
  Win32Clock clock_;
  Win32TextCodec codec_;
  ImageLibrary library_;
  Win32ImageDecoder decoder_{&library_};
  Win32CursorLoader cursors_;
  Win32Locale locale_;
  Win32Shell shell_;
  Win32Prompts prompts_;
  Win32Capture capture_{nullptr, &library_};
  Win32WindowTexts texts_;
  Win32TextClipboard textClipboard_{0};
  Win32Directory directory_;
  HINSTANCE instance_ = nullptr;
  Win32Widget widget_;
  Ports ports_;
  WinEventHooks hooks_;
  TickCoalescer coalescer_;
  // The dialogs the settings dialog opens over itself.
  SettingsDialogServices settingsServices_;
  bool closed_ = false;
};

}  // namespace
}  // namespace tomari

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  tomari::Program program;
  return program.Run(instance);
}
