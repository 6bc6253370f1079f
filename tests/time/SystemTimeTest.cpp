#include <gtest/gtest.h>

#include "SystemTime.h"
#include "ZoneRules.h"

using Corvane::SystemTime;

namespace {

const ULONGLONG kDay = 864000000000ULL;  // 0xC92A69C000
const ULONGLONG kHour = 36000000000ULL;
const ULONGLONG kAll = ~0ULL;
const ULONGLONG kTopBandStart = 0xFFFFFF36D5963FFFULL;  // last value outside the top band
// 2024-01-15 12:00:00 UTC: (1705320000 s since 1970 + 11644473600) * 10^7.
const ULONGLONG kMidJanuary2024 = 133497936000000000ULL;

ULONGLONG Raw(const SystemTime& t) { return static_cast<ULONGLONG>(t); }

// Orders the other way round.
class ReversedTime : public SystemTime {
 public:
  explicit ReversedTime(ULONGLONG value) : SystemTime(value) {}
  ULONGLONG FuzzyTime() const override { return ~SystemTime::FuzzyTime(); }
};

// A different key at every look, so only the same-object rule makes it equal
// to itself.
ULONGLONG restlessLooks = 0;
class RestlessTime : public SystemTime {
 public:
  explicit RestlessTime(ULONGLONG value) : SystemTime(value) {}
  ULONGLONG FuzzyTime() const override { return SystemTime::FuzzyTime() + ++restlessLooks; }
};

// Reads its stored count one day later, in both the raw and FILETIME forms.
class DayLaterTime : public SystemTime {
 public:
  explicit DayLaterTime(ULONGLONG value) : SystemTime(value) {}
  // The calendar form stays the base's. Said aloud for GCC 13 and later,
  // whose overloaded-virtual check takes every conversion function for one
  // name and so reports it hidden by the two overrides below.
  using SystemTime::operator SYSTEMTIME;
  operator ULONGLONG() const override { return SystemTime::operator ULONGLONG() + kDay; }
  operator FILETIME() const override {
    const ULONGLONG v = *this;
    FILETIME f = {static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
    return f;
  }
};

// Claims to be local whatever it stores.
class AlwaysLocalTime : public SystemTime {
 public:
  explicit AlwaysLocalTime(ULONGLONG value) : SystemTime(value) {}
  ETimeType Type() const override { return eLocal; }
};

SYSTEMTIME Calendar(WORD year, WORD month, WORD day, WORD hour, WORD minute = 0) {
  SYSTEMTIME c = {year, month, 0, day, hour, minute, 0, 0};
  return c;
}

}  // namespace

// Everything within one day of either end counts as that end.
TEST(SystemTimeFuzzy, BandsAtBothEnds) {
  EXPECT_EQ(kDay, SystemTime::ExtremeRange());
  EXPECT_EQ(10000000ULL, SystemTime::IntervalsPerSecond());
  const SystemTime min = SystemTime::MinTime(), max = SystemTime::MaxTime();
  EXPECT_EQ(0ULL, Raw(min));
  EXPECT_EQ(kAll, Raw(max));

  for (ULONGLONG low : {0ULL, 10ULL, kDay - 1}) {
    EXPECT_TRUE(SystemTime(low).IsExtreme()) << low;
    EXPECT_TRUE(SystemTime(low) == min) << low;
    EXPECT_FALSE(SystemTime(low) < min) << low;
  }
  EXPECT_FALSE(SystemTime(kDay).IsExtreme());
  EXPECT_TRUE(SystemTime(kDay) > min);
  EXPECT_TRUE(SystemTime(kDay) != SystemTime(10));

  EXPECT_FALSE(SystemTime(kTopBandStart).IsExtreme());
  EXPECT_TRUE(SystemTime(kTopBandStart) < max);
  for (ULONGLONG high : {kTopBandStart + 1, kAll - 10, kAll}) {
    EXPECT_TRUE(SystemTime(high).IsExtreme()) << std::hex << high;
    EXPECT_TRUE(SystemTime(high) == max) << std::hex << high;
    EXPECT_TRUE(SystemTime(high) >= max && SystemTime(high) <= max) << std::hex << high;
  }
  // Inside a band the end wins before any time-zone shift.
  EXPECT_TRUE(SystemTime(10, SystemTime::eLocal) == min);
  EXPECT_TRUE(SystemTime(kAll - 10, SystemTime::eLocal) == max);
}

TEST(SystemTimeFuzzy, ComparisonsAreConsistent) {
  const SystemTime a(kDay + 5), b(kDay + 6);
  EXPECT_TRUE(a < b && a <= b && a != b);
  EXPECT_TRUE(b > a && b >= a);
  EXPECT_FALSE(a > b || a >= b || a == b || b < a || b <= a);
}

// The comparisons reach both operands through the virtual slots.
TEST(SystemTimeFuzzy, DerivedOverridesDecide) {
  const ReversedTime early(kDay + 5), late(kDay + 6);
  EXPECT_TRUE(early > late);
  EXPECT_TRUE(late < early);
  EXPECT_TRUE(SystemTime(kDay + 7) < late) << "plain left operand, reversed key on the right";

  const RestlessTime r(kDay * 3), sameValue(kDay * 3);
  EXPECT_TRUE(r == r && r <= r && r >= r);
  EXPECT_FALSE(r < r || r > r || r != r);
  EXPECT_FALSE(r == sameValue);

  // An override of the raw conversion moves a value out of the band and
  // feeds the arithmetic; one of the FILETIME form feeds the assignment.
  DayLaterTime shifted(kDay - 1);
  EXPECT_FALSE(shifted.IsExtreme());
  EXPECT_TRUE(shifted == SystemTime(2 * kDay - 1));
  SystemTime copy;
  copy = shifted;
  EXPECT_EQ(2 * kDay - 1, Raw(copy));
  EXPECT_EQ(2 * kDay - 1, Raw(SystemTime(shifted)));
  shifted += SystemTime(1);
  EXPECT_EQ(3 * kDay, Raw(shifted)) << "stored 2 days, read a day later";
}

TEST(SystemTimeZone, LocalAndUniversalFormsCompareEqual) {
  const ZoneRules zone = ZoneRules::AtNow();
  if (!zone.known) GTEST_SKIP() << "TZ '" << zone.name << "' has no known rules";
  const SystemTime utc = SystemTime::ClockTime();
  const SystemTime local(SystemTime::eLocal, utc);
  EXPECT_EQ(SystemTime::eLocal, local.Type());
  EXPECT_EQ(static_cast<LONGLONG>(Raw(utc)) + zone.OffsetIntervals(), static_cast<LONGLONG>(Raw(local)))
      << zone.name << ", expected offset " << zone.offsetMinutes << " min";
  EXPECT_TRUE(local == utc && utc == local);
  EXPECT_FALSE(local < utc || local > utc || local != utc);
  EXPECT_EQ(Raw(utc), Raw(SystemTime(SystemTime::eUTC, local)));
  EXPECT_EQ(Raw(local), Raw(SystemTime(SystemTime::eLocal, local))) << "same type: no shift";

  // The fuzzy key of a derived value follows its Type() override.
  const AlwaysLocalTime claimsLocal(Raw(utc));
  EXPECT_TRUE(claimsLocal == SystemTime(Raw(utc) - zone.OffsetIntervals()));
  SystemTime assigned;
  assigned = claimsLocal;
  EXPECT_EQ(SystemTime::eLocal, assigned.Type());
}

TEST(SystemTimeZone, CalendarFormOfAShiftedValue) {
  const ZoneRules zone = ZoneRules::AtNow();
  if (!zone.fixed) GTEST_SKIP() << "TZ '" << zone.name << "' has no single offset";
  const SYSTEMTIME c = SystemTime(SystemTime::eLocal, SystemTime(kMidJanuary2024));
  EXPECT_EQ(15 + (12 + zone.offsetMinutes / 60) / 24, c.wDay) << zone.name;
  EXPECT_EQ((12 + zone.offsetMinutes / 60) % 24, c.wHour) << zone.name;
}

// The platform adds the offset modulo 2^64; the shift must stop at the ends
// instead, and only there.
TEST(SystemTimeZone, ShiftsSaturateAtTheEndsOnly) {
  const ZoneRules zone = ZoneRules::AtNow();
  if (!zone.known || zone.offsetMinutes == 0) GTEST_SKIP() << "TZ '" << zone.name << "' does not shift";
  const LONGLONG offset = zone.OffsetIntervals();
  const ULONGLONG middle = 0x8000000000000000ULL;
  const SystemTime::ETimeType local = SystemTime::eLocal, utc = SystemTime::eUTC;
  if (offset > 0) {  // east of Greenwich: local runs ahead
    EXPECT_EQ(kAll, Raw(SystemTime(local, SystemTime::MaxTime())));
    EXPECT_EQ(kAll, Raw(SystemTime(local, SystemTime(kAll - kHour))));
    EXPECT_EQ(0ULL, Raw(SystemTime(utc, SystemTime(0, local))));
    EXPECT_EQ(0ULL, Raw(SystemTime(utc, SystemTime(kHour, local))));
    EXPECT_EQ(middle - 1 + offset, Raw(SystemTime(local, SystemTime(middle - 1)))) << "crossing 2^63";
  } else {  // west: local runs behind
    EXPECT_EQ(0ULL, Raw(SystemTime(local, SystemTime::MinTime())));
    EXPECT_EQ(0ULL, Raw(SystemTime(local, SystemTime(kHour))));
    EXPECT_EQ(kAll, Raw(SystemTime(utc, SystemTime(kAll, local))));
    EXPECT_EQ(kAll, Raw(SystemTime(utc, SystemTime(kAll - kHour, local))));
    EXPECT_EQ(middle + offset, Raw(SystemTime(local, SystemTime(middle)))) << "crossing 2^63";
  }
  SystemTime min = SystemTime::MinTime();
  EXPECT_TRUE(min.Type(local) == SystemTime::MinTime());
  EXPECT_EQ(local, min.Type());
}

TEST(SystemTimeCalendar, ConstructionAndConversion) {
  const SystemTime t(Calendar(2024, 1, 15, 12), SystemTime::eLocal);
  EXPECT_EQ(kMidJanuary2024, Raw(t)) << "taken in the given type, not shifted";
  EXPECT_EQ(SystemTime::eLocal, t.Type());
  const SYSTEMTIME back = t;
  EXPECT_EQ(2024, back.wYear);
  EXPECT_EQ(1, back.wMonth);
  EXPECT_EQ(15, back.wDay);
  EXPECT_EQ(12, back.wHour);
  EXPECT_EQ(1, back.wDayOfWeek) << "a Monday";

  for (const SYSTEMTIME& bad : {Calendar(2024, 13, 1, 0), Calendar(2024, 1, 0, 0), Calendar(2024, 2, 30, 0),
                                Calendar(2024, 4, 31, 0), Calendar(2024, 1, 1, 24), Calendar(2024, 1, 1, 0, 60),
                                Calendar(1600, 12, 31, 0)}) {
    const SystemTime rejected(bad, SystemTime::eLocal);
    EXPECT_EQ(0ULL, Raw(rejected)) << bad.wYear << "-" << bad.wMonth << "-" << bad.wDay << " " << bad.wHour;
    EXPECT_EQ(SystemTime::eLocal, rejected.Type());
  }
  // No calendar date from 2^63 on: an all-zero record.
  const SYSTEMTIME none = SystemTime(0x8000000000000000ULL);
  EXPECT_EQ(0, none.wYear + none.wMonth + none.wDay + none.wHour);
}

TEST(SystemTimeArithmetic, RawCountsWrapAndBecomeUniversal) {
  SystemTime local(5 * kDay, SystemTime::eLocal);
  local += SystemTime(kHour);
  EXPECT_EQ(5 * kDay + kHour, Raw(local));
  EXPECT_EQ(SystemTime::eUTC, local.Type());
  SystemTime later(7 * kDay, SystemTime::eLocal);
  later -= SystemTime(kDay, SystemTime::eLocal);
  EXPECT_EQ(6 * kDay, Raw(later));
  EXPECT_EQ(SystemTime::eUTC, later.Type());

  const SystemTime a(3), b(5);
  EXPECT_EQ(8ULL, Raw(a + b));
  EXPECT_EQ(kAll - 1, Raw(a - b)) << "wraps, no saturation";
  EXPECT_EQ(1ULL, Raw(SystemTime::MaxTime() + SystemTime(2)));
  EXPECT_EQ(kAll, Raw(SystemTime::MinTime() - SystemTime(1)));
  EXPECT_EQ(3ULL, Raw(a)) << "operands unchanged";

  EXPECT_EQ(kAll, Raw(-SystemTime(1)));
  EXPECT_TRUE((-SystemTime(1)).IsExtreme());
  EXPECT_EQ(0ULL, Raw(-SystemTime(0)));
  EXPECT_EQ(SystemTime::eUTC, (-SystemTime(kDay, SystemTime::eLocal)).Type());
  EXPECT_EQ(0ULL, Raw(-SystemTime(kDay * 9) + SystemTime(kDay * 9)));
}

TEST(SystemTimeClock, AliveAndClockTime) {
  // The tick count in 100-ns units: equal to the tick count within one tick.
  bool sameTick = false;
  for (int attempt = 0; attempt < 100 && !sameTick; ++attempt) {
    const DWORD before = GetTickCount();
    const SystemTime first = SystemTime::AliveTime(), second = SystemTime::AliveTime();
    if (GetTickCount() != before) continue;
    sameTick = true;
    EXPECT_EQ(static_cast<ULONGLONG>(before) * 10000, Raw(first));
    EXPECT_EQ(Raw(first), Raw(second));
  }
  EXPECT_TRUE(sameTick) << "never two reads within one tick";
  EXPECT_EQ(0ULL, Raw(SystemTime::AliveTime()) % 10000);

  FILETIME platform;
  GetSystemTimeAsFileTime(&platform);
  const SystemTime clock = SystemTime::ClockTime();
  const ULONGLONG expected = (static_cast<ULONGLONG>(platform.dwHighDateTime) << 32) | platform.dwLowDateTime;
  EXPECT_LE(expected, Raw(clock));
  EXPECT_LT(Raw(clock) - expected, 10000000ULL) << "within a second";
  EXPECT_EQ(SystemTime::eUTC, clock.Type());
}
