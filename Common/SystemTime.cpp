#include "SystemTime.h"

namespace Corvane {

namespace {

const ULONGLONG kAllBits = ~static_cast<ULONGLONG>(0);
const ULONGLONG kIntervalsPerSecond = 10000000;                    // 0x989680
const ULONGLONG kOneDay = 24ULL * 60 * 60 * kIntervalsPerSecond;  // 0xC92A69C000
const ULONGLONG kIntervalsPerTick = 10000;                          // one millisecond

ULONGLONG ToCount(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ToFileTime(ULONGLONG count) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(count);
  time.dwHighDateTime = static_cast<DWORD>(count >> 32);
  return time;
}

// The platform adds the zone offset modulo 2^64. A time-zone shift is far
// smaller than 2^63, so its sign is that of the difference read as signed;
// a forward shift that lands lower, or a backward one that lands higher, ran
// over an end of the range and stops at that end.
ULONGLONG Saturate(ULONGLONG before, ULONGLONG after) {
  const bool forward = static_cast<LONGLONG>(after - before) >= 0;
  if (forward && after < before) return kAllBits;
  if (!forward && after > before) return 0;
  return after;
}

}  // namespace

SystemTime::SystemTime(ULONGLONG value, ETimeType type) : value_(ToFileTime(value)), type_(type) {}

SystemTime::SystemTime(const FILETIME& value, ETimeType type) : value_(value), type_(type) {}

SystemTime::SystemTime(const SYSTEMTIME& value, ETimeType type) : value_(ToFileTime(0)), type_(type) {
  if (!SystemTimeToFileTime(&value, &value_)) value_ = ToFileTime(0);
}

SystemTime::SystemTime(const SystemTime& other) : value_(ToFileTime(0)), type_(eUTC) { *this = other; }

SystemTime::SystemTime(ETimeType type, const SystemTime& other) : SystemTime(other) { Type(type); }

SystemTime::~SystemTime() {}

SystemTime& SystemTime::operator=(const SystemTime& other) {
  if (this != &other) {
    value_ = static_cast<FILETIME>(other);
    type_ = other.Type();
  }
  return *this;
}

bool SystemTime::operator==(const SystemTime& other) const {
  return this == &other || FuzzyTime() == other.FuzzyTime();
}

bool SystemTime::operator!=(const SystemTime& other) const { return !(*this == other); }

bool SystemTime::operator<(const SystemTime& other) const {
  return this != &other && FuzzyTime() < other.FuzzyTime();
}

bool SystemTime::operator<=(const SystemTime& other) const { return !(*this > other); }

bool SystemTime::operator>(const SystemTime& other) const {
  return this != &other && FuzzyTime() > other.FuzzyTime();
}

bool SystemTime::operator>=(const SystemTime& other) const { return !(*this < other); }

SystemTime& SystemTime::operator-=(const SystemTime& other) {
  const ULONGLONG difference = static_cast<ULONGLONG>(*this) - static_cast<ULONGLONG>(other);
  return *this = SystemTime(difference, eUTC);
}

SystemTime& SystemTime::operator+=(const SystemTime& other) {
  const ULONGLONG sum = static_cast<ULONGLONG>(*this) + static_cast<ULONGLONG>(other);
  return *this = SystemTime(sum, eUTC);
}

SystemTime::operator ULONGLONG() const { return ToCount(value_); }

SystemTime::operator FILETIME() const { return value_; }

SystemTime::operator SYSTEMTIME() const {
  SYSTEMTIME calendar;
  if (!FileTimeToSystemTime(&value_, &calendar)) ZeroMemory(&calendar, sizeof calendar);
  return calendar;
}

bool SystemTime::IsExtreme() const {
  const ULONGLONG count = static_cast<ULONGLONG>(*this);
  return count < ExtremeRange() || count > kAllBits - ExtremeRange();
}

SystemTime& SystemTime::Type(ETimeType type) {
  if (type == Type()) return *this;
  const FILETIME before = value_;
  FILETIME after = before;
  const BOOL shifted = type != eUTC ? FileTimeToLocalFileTime(&before, &after)
                                    : LocalFileTimeToFileTime(&before, &after);
  // A failed shift keeps the count; the requested type is stored either way.
  if (shifted) value_ = ToFileTime(Saturate(ToCount(before), ToCount(after)));
  type_ = type;
  return *this;
}

SystemTime::ETimeType SystemTime::Type() const { return type_; }

ULONGLONG SystemTime::FuzzyTime() const {
  const ULONGLONG count = static_cast<ULONGLONG>(*this);
  if (count < ExtremeRange()) return 0;
  if (count > kAllBits - ExtremeRange()) return kAllBits;
  if (Type() == eLocal) return static_cast<ULONGLONG>(SystemTime(eUTC, *this));
  return count;
}

SystemTime SystemTime::AliveTime() {
  return SystemTime(static_cast<ULONGLONG>(GetTickCount()) * kIntervalsPerTick, eUTC);
}

SystemTime SystemTime::ClockTime() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return SystemTime(now, eUTC);
}

SystemTime SystemTime::MinTime() { return SystemTime(0, eUTC); }

SystemTime SystemTime::MaxTime() { return SystemTime(kAllBits, eUTC); }

ULONGLONG SystemTime::ExtremeRange() { return kOneDay; }

ULONGLONG SystemTime::IntervalsPerSecond() { return kIntervalsPerSecond; }

}  // namespace Corvane
