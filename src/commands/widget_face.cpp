// The widget's face, tooltip and cursor, worked out from the skin and the
// command states and handed to the widget port.
#include "commands/widget_face.h"

#include <optional>
#include <utility>
#include <vector>

#include "commands/commands.h"
#include "skin/skin.h"
#include "skin/skin_scale.h"

namespace tomari {

namespace {

void ShowLook(App& app, Ports& ports, ButtonLook look) {
  ports.widget.Present(ComposeFace(app.skin, look.states));
  const bool first = !app.look.shown;
  if (first || look.ToolTip != app.look.ToolTip) ports.widget.SetToolTip(look.ToolTip);
  if (first || look.Cursor != app.look.Cursor) ports.widget.SetWidgetCursor(look.Cursor);
  app.look = std::move(look);
}

// A skin that went away must not leave its buttons' tooltip or cursor behind,
// and the next face must not be taken for the one on the screen.
void ForgetLook(App& app, Ports& ports) {
  if (!app.look.shown) return;
  if (!app.look.ToolTip.empty()) ports.widget.SetToolTip("");
  if (app.look.Cursor != 0) ports.widget.SetWidgetCursor(0);
  app.look = ButtonLook{};
}

// Reads the skin the settings name into `fresh`; false when there is none to
// show. Throws what the load throws.
bool LoadNamedSkin(const App& app, Ports& ports, SkinData& fresh) {
  fresh.StartupFolder = app.skin.StartupFolder;
  fresh.Dpi = app.skin.Dpi;
  const SkinSource source{app.settings.MainSkin, app.skin.StartupFolder,
                          app.facts.HasImageLibrary};
  if (!LoadSkin(source, fresh, SkinPorts{ports.files, ports.codec, ports.images, ports.cursors}))
    return false;
  // Without a Back picture (missing, truncated, too large) the widget would
  // shrink to nothing and its menu would be out of the user's reach: the
  // plain widget stands in, as for a skin that cannot be read at all.
  if (fresh.Back().Empty()) {
    FreeSkin(fresh, ports.cursors);
    return false;
  }
  // Skins are drawn for 96 DPI; on a denser monitor the widget keeps its size
  // to the eye.
  ScaleSkin(fresh, fresh.Dpi);
  return true;
}

void PresentSkinOutline(const SkinData& skin, WidgetWindow& widget) {
  if (!skin.loaded) {
    widget.SetSize(ScaleLength(kNoSkinWidth, skin.Dpi), ScaleLength(kNoSkinHeight, skin.Dpi));
    // An old skin's outline must not clip the plain widget.
    widget.SetShape(WidgetShape{});
    widget.SetLabel(NoSkinLabel());
    widget.Present(Bitmap{});
    return;
  }
  const SkinImage& back = skin.Back();
  widget.SetSize(back.width, back.height);
  SetRegionFromImage(widget, back, skin.BackColor);
  widget.SetLabel("");
}

}  // namespace

std::string NoSkinLabel() { return std::string(kDisplayName) + " Ver." + kVersionText; }

bool ApplySkin(App& app, Ports& ports) {
  SkinData fresh;
  try {
    LoadNamedSkin(app, ports, fresh);
  } catch (...) {
    // Nothing of the failed load is left (LoadSkin cleans up after itself).
    // The skin on show stays; at start-up there is none and the plain widget
    // comes up below.
    if (app.skin.loaded) return false;
  }
  // The old skin's file cursors are destroyed with it: the widget must let go
  // of them first.
  ForgetLook(app, ports);
  FreeSkin(app.skin, ports.cursors);
  app.skin = std::move(fresh);
  PresentSkinOutline(app.skin, ports.widget);
  RefreshButtons(app, ports, -1, -1, 0);
  return true;
}

ButtonLook ComputeButtonLook(const App& app, int x, int y, int mouseButton) {
  ButtonLook look;
  const SkinData& skin = app.skin;
  if (!skin.loaded) return look;
  look.shown = true;
  look.states.assign(skin.Buttons.size(), -1);
  bool found = false;
  for (std::size_t i = 0; i < skin.Buttons.size(); ++i) {
    const SkinButton& button = skin.Buttons[i];
    const std::optional<Command> command = FindCommand(button.Type);
    if (!command) continue;
    if (!IsCommandAvailable(app, *command, CommandPath::Draw)) {
      look.states[i] = kStateUnavailable;
    } else if (IsCommandOn(app, *command, button.Value)) {
      // Shows the state, not the pointer: no hover look, no tooltip.
      look.states[i] = kStateAvailable;
    } else if (found) {
      // The Back image already shows it in its normal look.
    } else if (HitTestButton(skin, button, x, y)) {
      look.states[i] = mouseButton == 1 ? kStateDown : kStateFloat;
      look.ToolTip = button.ToolTip;
      look.Cursor = button.Cursor;
      found = true;
    } else {
      look.states[i] = kStateBack;
    }
  }
  return look;
}

void RefreshButtons(App& app, Ports& ports, int x, int y, int mouseButton) {
  if (!app.skin.loaded) {
    ForgetLook(app, ports);
    return;
  }
  ShowLook(app, ports, ComputeButtonLook(app, x, y, mouseButton));
}

bool RefreshButtonsIfChanged(App& app, Ports& ports, int x, int y, int mouseButton) {
  if (!app.skin.loaded) {
    ForgetLook(app, ports);
    return false;
  }
  ButtonLook look = ComputeButtonLook(app, x, y, mouseButton);
  if (look == app.look) return false;
  ShowLook(app, ports, std::move(look));
  return true;
}

}  // namespace tomari
