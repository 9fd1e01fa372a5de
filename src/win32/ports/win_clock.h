#pragma once
// The system clock, in UTC and in the local time zone.
#include "platform/ports.h"

namespace tomari {

class Win32Clock final : public Clock {
 public:
  DateTime UtcNow() override;
  DateTime LocalNow() override;
};

}  // namespace tomari
