#pragma once
// Regional settings for the core's tests: by default those of a Japanese
// Windows with the Gregorian calendar, spelled out here so that a change of the
// port's own defaults cannot slip past the tests.
#include "platform/locale.h"

namespace tomari::test {

// ja-JP as the system reports it.
LocaleFormats JapaneseLocaleFormats();
// en-US as the system reports it: other separators, 12-hour time, names first.
LocaleFormats EnglishLocaleFormats();

class FakeLocale : public Locale {
 public:
  LocaleFormats formats = JapaneseLocaleFormats();
  int reads = 0;
  const LocaleFormats& Formats() override {
    ++reads;
    return formats;
  }
};

}  // namespace tomari::test
