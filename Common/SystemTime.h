#pragma once
// SystemTime: a point in time or a duration, counted in 100-nanosecond
// intervals. A point counts from 1 January 1601 (the FILETIME epoch); a
// duration is just the length. Each value is tagged universal (eUTC, also
// the tag of durations) or local (eLocal, the machine's time zone).
//
// Comparisons are fuzzy: every value within one day (ExtremeRange()) of
// either end of the 64-bit range counts as that end, so MinTime() and
// MaxTime() stay themselves after a time-zone shift, and local values compare
// by the universal time they stand for. Such end values are "extreme": they
// stand for no time at all. Adding and subtracting wrap modulo 2^64 and never
// convert between local and universal time; shifting between the two
// saturates at the ends instead.
//
// The comparisons, arithmetic and IsExtreme reach both operands only through
// the virtual conversions, Type() and FuzzyTime(), so a derived class can
// change how it compares and adds by overriding those.

#include <windows.h>

#include "CorvaneTimeApi.h"

namespace Corvane {

class CORVANE_TIME_API SystemTime {
 public:
  // 32 bits; any value other than eUTC is taken as local by the Type setter.
  enum ETimeType : int { eUTC = 0, eLocal = 1 };

  // 0, eUTC: what arrays of SystemTime hold. Not explicit, so that
  // "SystemTime times[3] = {};" and "return {};" compile; inline, so the
  // exported constructors stay those below.
  SystemTime() : SystemTime(0, eUTC) {}
  explicit SystemTime(ULONGLONG value, ETimeType type = eUTC);
  // The count as it is; the type says how to read it.
  SystemTime(const FILETIME& value, ETimeType type);
  // The calendar form is read in the given type, not shifted. One the
  // platform rejects gives the MinTime() value.
  SystemTime(const SYSTEMTIME& value, ETimeType type);
  SystemTime(const SystemTime& other);
  // A copy converted into the requested type.
  SystemTime(ETimeType type, const SystemTime& other);
  virtual ~SystemTime();

  // Takes the other's FILETIME form and Type(), through its overrides.
  SystemTime& operator=(const SystemTime& other);

  virtual bool operator==(const SystemTime& other) const;
  virtual bool operator!=(const SystemTime& other) const;
  virtual bool operator<(const SystemTime& other) const;
  virtual bool operator<=(const SystemTime& other) const;
  virtual bool operator>(const SystemTime& other) const;
  virtual bool operator>=(const SystemTime& other) const;
  // Raw counts, modulo 2^64; the result is eUTC whatever the operands were,
  // so bring both into one type first.
  virtual SystemTime& operator-=(const SystemTime& other);
  virtual SystemTime& operator+=(const SystemTime& other);

  // The raw count, whatever the type.
  virtual operator ULONGLONG() const;
  virtual operator FILETIME() const;
  // The calendar form of the raw count, in the value's own type. Counts the
  // platform cannot turn into a date (from 2^63 on) give an all-zero record.
  virtual operator SYSTEMTIME() const;
  // Within one day of either end of the range.
  virtual bool IsExtreme() const;
  // Shifts between universal and local time by the machine's zone offset as
  // the platform applies it; a shift over an end of the range stops there.
  virtual SystemTime& Type(ETimeType type);
  virtual ETimeType Type() const;

  // Time since system start, from the millisecond tick count: wraps after
  // about 49.7 days, as the tick count does.
  static SystemTime AliveTime();
  // The current universal time.
  static SystemTime ClockTime();
  static SystemTime MinTime();
  static SystemTime MaxTime();
  // One day: the width of the fuzzy band at each end of the range.
  static ULONGLONG ExtremeRange();
  static ULONGLONG IntervalsPerSecond();

 protected:
  // The key of every comparison: 0 or all bits set inside the fuzzy bands,
  // otherwise the universal count.
  virtual ULONGLONG FuzzyTime() const;

 private:
  FILETIME value_;  // low half first, as the platform lays it out
  ETimeType type_;
};

// Built from the public operations only, so a host compiles them itself.
inline SystemTime operator+(const SystemTime& left, const SystemTime& right) {
  SystemTime sum(left);
  sum += right;
  return sum;
}

inline SystemTime operator-(const SystemTime& left, const SystemTime& right) {
  SystemTime difference(left);
  difference -= right;
  return difference;
}

// Two's complement of the count, as a duration.
inline SystemTime operator-(const SystemTime& value) {
  return SystemTime(0 - static_cast<ULONGLONG>(value), SystemTime::eUTC);
}

}  // namespace Corvane
