#pragma once
// The time-zone offsets the test runs expect, worked out from the zones'
// published rules rather than asked of the platform. The runs set TZ to one
// of "UTC", "Asia/Tokyo" (UTC+9, no daylight saving) or "America/New_York"
// (UTC-5, UTC-4 from the second Sunday in March to the first Sunday in
// November). Wine shifts every value by the offset in force now, whatever
// the value's own date, as Windows does.

#include <windows.h>

#include <string>

struct ZoneRules {
  std::string name;   // the TZ text, empty when not set
  bool known = false;  // one of the zones above
  bool fixed = false;  // no daylight saving: one offset for every date
  LONGLONG offsetMinutes = 0;  // local minus universal, in force at `now`

  static ZoneRules AtNow();
  LONGLONG OffsetIntervals() const { return offsetMinutes * 60 * 10000000LL; }
};
