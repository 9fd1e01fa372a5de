#pragma once
#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// True for our own windows (the null handle included) and for windows that
// match an exclusion entry.
bool IsExcludedWindow(const App& app, WindowSystem& windows, WindowHandle h);
// Whether one entry matches a window with this title and class.
bool ExclusionMatches(const ExclusionEntry& e, const std::string& title,
                      const std::string& windowClass);

}  // namespace tomari
