#include "perch/shutdown.h"

#include "app/journal.h"
#include "app/settings.h"
#include "clock/title_clock.h"
#include "perch/attributes.h"

namespace tomari {

void CloseRequest(App& app, Ports& ports) {
  // The recorded state belongs to the window it was read from. TargetWindow is
  // that window too, except after it vanished, when it is our own handle.
  const WindowHandle attached = app.target.AttachedWindow;
  if (attached != 0 && attached != ports.widget.Handle())
    RestoreWindowAttributes(app, ports.windows, attached);
  ports.widget.SetTopMost(false);
  SetTitleClock(app, ports.windows, 0, "");
  FinishPendingRestores(app, ports.windows);
  // A window still hung keeps its entry: the next start gives it back.
  SyncJournal(app, ports.windows, ports.files);
  SaveSettings(app, ports.files, ports.codec);
}

}  // namespace tomari
