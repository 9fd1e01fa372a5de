#include "perch/attributes.h"

namespace tomari {

void RecordWindowAttributes(App& app, WindowSystem& windows, WindowHandle h) {
  TargetRecord& w = app.target;
  w.TargetTopMost = false;
  w.TargetAlpha = 0;
  w.TargetLayered = false;
  w.TargetLayeredAttributes = {};
  // A new window: nothing of it has been changed by us yet.
  w.ChangedTopMost = false;
  w.ChangedLayer = false;

  const std::uint32_t ex = windows.GetExStyle(h);
  w.TargetTopMost = (ex & kExTopMost) != 0;
  w.TargetLayered = (ex & kExLayered) != 0;
  // The whole layered state is kept, not only an opacity: a window layered with
  // a colour key, or drawn with per-pixel alpha, must get exactly that back.
  if (app.settings.HasLayeredWindows && w.TargetLayered) {
    w.TargetLayeredAttributes = windows.GetLayered(h);
    const LayeredAttributes& a = w.TargetLayeredAttributes;
    if (a.readable && (a.flags & kLwaAlpha) != 0) w.TargetAlpha = a.alpha;
  }

  app.menu.TopMostChecked = w.TargetTopMost;
  app.menu.LayerChecked = w.TargetAlpha != 0;
}

void RestoreWindowAttributes(App& app, WindowSystem& windows, WindowHandle h) {
  TargetRecord& w = app.target;
  const bool topMost = w.ChangedTopMost;
  const bool layer = w.ChangedLayer && app.settings.HasLayeredWindows;
  w.ChangedTopMost = false;
  w.ChangedLayer = false;
  if (!topMost && !layer) return;
  // A closed window's handle may already name another program's new window;
  // a hung one would not take the change anyway.
  if (h == 0 || !windows.IsWindow(h) || windows.IsHung(h)) return;

  if (topMost) windows.SetTopMost(h, w.TargetTopMost);
  if (layer) {
    const std::uint32_t ex = windows.GetExStyle(h);
    if (w.TargetLayered) {
      if ((ex & kExLayered) == 0) windows.SetExStyle(h, ex | kExLayered);
      const LayeredAttributes& a = w.TargetLayeredAttributes;
      if (a.readable) windows.SetLayered(h, a.colorKey, a.alpha, a.flags);
    } else if ((ex & kExLayered) != 0) {
      windows.SetExStyle(h, ex & ~kExLayered);
    }
  }
}

}  // namespace tomari
