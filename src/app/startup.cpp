#include "app/startup.h"

#include "app/ini.h"
#include "app/settings.h"
#include "clock/title_clock.h"
#include "perch/attributes.h"

namespace tomari {

std::string WithTrailingBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

void ProbeCapabilities(App& app, FileSystem& fs, WindowSystem& windows) {
  app.ownWindows.Reset();
  app.settings.HasImageLibrary = fs.Exists(app.settings.AppFolder + "TransG32.dll");
  app.settings.HasLayeredWindows = windows.HasLayeredWindowsApi();
  // No skin yet: its buttons come with ApplySkin.
  app.skin.Buttons.clear();
}

bool MultipleInstancesAllowed(const std::string& appFolder, FileSystem& fs, TextCodec& codec) {
  return ReadIniInt(fs, codec, appFolder + "Setting.ini", "Main", "Multi", 0) != 0;
}

std::optional<unsigned> TrackingInterval(std::int32_t timing) {
  // A negative period cannot be taken: the tick stays off, and the value is
  // kept as it is so that saving does not rewrite the user's file.
  if (timing <= 0) return std::nullopt;
  return static_cast<unsigned>(timing);
}

void WidgetLoad(App& app, Ports& ports) {
  LoadSettings(app, ports.files, ports.codec);
  const WindowHandle self = ports.widget.Handle();
  app.ownWindows.Add(self);
  app.WidgetHandle = self;
  // Our own handle means "no target yet": the tick skips it as an own window.
  app.TargetWindow = self;
}

void CloseRequest(App& app, Ports& ports) {
  // The recorded state belongs to the window it was read from. TargetWindow is
  // that window too, except after it vanished, when it is our own handle.
  const WindowHandle attached = app.target.AttachedWindow;
  if (attached != 0 && attached != ports.widget.Handle())
    RestoreWindowAttributes(app, ports.windows, attached);
  ports.widget.SetTopMost(false);
  SetTitleClock(app, ports.windows, 0, "");
  FinishPendingRestores(app, ports.windows);
  SaveSettings(app, ports.files, ports.codec);
}

}  // namespace tomari
