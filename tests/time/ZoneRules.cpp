#include "ZoneRules.h"

#include <cstdlib>

namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
long long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// Day number of the nth Sunday of a month (1970-01-01 was a Thursday).
long long NthSunday(int year, int month, int n) {
  const long long first = DaysFromCivil(year, month, 1);
  const long long weekday = (first + 4) % 7;  // 0 = Sunday
  return first + (7 - weekday) % 7 + 7 * (n - 1);
}

bool InUsDaylightTime(long long unixSeconds) {
  const long long days = unixSeconds / 86400;
  int year = static_cast<int>(1970 + days / 366);
  while (DaysFromCivil(year + 1, 1, 1) <= days) ++year;
  const long long begins = NthSunday(year, 3, 2) * 86400 + 7 * 3600;  // 2:00 EST
  const long long ends = NthSunday(year, 11, 1) * 86400 + 6 * 3600;   // 2:00 EDT
  return unixSeconds >= begins && unixSeconds < ends;
}

}  // namespace

ZoneRules ZoneRules::AtNow() {
  ZoneRules zone;
  const char* tz = std::getenv("TZ");
  zone.name = tz ? tz : "";
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG count = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const long long unixSeconds = static_cast<long long>(count / 10000000ULL) - 11644473600LL;
  if (zone.name == "UTC") {
    zone.known = zone.fixed = true;
  } else if (zone.name == "Asia/Tokyo") {
    zone.known = zone.fixed = true;
    zone.offsetMinutes = 9 * 60;
  } else if (zone.name == "America/New_York") {
    zone.known = true;
    zone.offsetMinutes = InUsDaylightTime(unixSeconds) ? -4 * 60 : -5 * 60;
  }
  return zone;
}
