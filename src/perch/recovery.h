#pragma once
// Giving back what an earlier run left changed on other programs' windows
// (after a crash, a kill or a power cut), from the journal it kept.
#include "app/app.h"
#include "platform/ports.h"

namespace tomari {

// For every window in the journal that is still the same window (handle,
// process and class) and still shows what we set on it, gives that back; a
// window somebody has changed since is left as it is. What a hung window does
// not take now stays pending, and in the journal, until it does.
void RecoverFromJournal(App& app, Ports& ports);

}  // namespace tomari
