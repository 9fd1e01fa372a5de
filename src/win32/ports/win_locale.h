#pragma once
// The user's regional settings for the clock formatter.
#include "platform/locale.h"

namespace tomari {

class Win32Locale : public Locale {
 public:
  // Read on first use and kept: the tick asks ten times a second.
  const LocaleFormats& Formats() override;
  // Reads the settings again (after WM_SETTINGCHANGE, say).
  void Reload();

 private:
  bool loaded_ = false;
  LocaleFormats formats_;
};

// The user-default locale's settings as they are now; a value the system does
// not give keeps the Japanese default.
LocaleFormats ReadUserLocaleFormats();

}  // namespace tomari
