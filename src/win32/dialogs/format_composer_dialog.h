#pragma once
// The time-format composer's window: the settings dialog opens it from its
// format box and takes the composed text on OK.
#include <windows.h>

#include <optional>
#include <string>

#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// The composed text on OK (possibly empty), nothing on Cancel or the close
// box. `zone` gives the time zone and summer time of the live example.
std::optional<std::string> ShowFormatComposer(HINSTANCE instance, HWND owner, App& app,
                                              Ports& ports, const Settings& zone);

}  // namespace tomari
