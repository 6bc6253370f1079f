// The exported time classes, imported from QELPrinter.dll as a host imports
// them, with every extreme and invalid value: counts at both ends of the
// range and around its middle, calendar records the platform rejects, type
// tags outside the enumeration, stamp indexes outside the array. Run in
// zones east and west of Greenwich, under Wine's heap checks.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "AutoTimeStamp.h"
#include "HeapsValid.h"
#include "SystemFileTime.h"
#include "SystemTime.h"

using Corvane::AutoTimeStamp;
using Corvane::SystemFileTime;
using Corvane::SystemTime;

namespace {

const ULONGLONG kDay = 864000000000ULL;
const ULONGLONG kAll = ~0ULL;
const ULONGLONG kMiddle = 1ULL << 63;
// Further than any zone moves a time, daylight saving included.
const ULONGLONG kLongestShift = 15ULL * 3600 * 10000000;

const ULONGLONG kCounts[] = {0, 1, 10, kDay - 1, kDay, kDay + 1, 2 * kDay, 0xFFFFFFFFULL, 0x100000000ULL,
                             kMiddle - kDay, kMiddle - 1, kMiddle, kMiddle + 1, kMiddle + kDay,
                             kAll - kDay - 1, kAll - kDay, kAll - kDay + 1, kAll - 1, kAll};
const SystemTime::ETimeType kTypes[] = {SystemTime::eUTC, SystemTime::eLocal};
const SystemTime::ETimeType kBadTypes[] = {static_cast<SystemTime::ETimeType>(2),
                                           static_cast<SystemTime::ETimeType>(-1),
                                           static_cast<SystemTime::ETimeType>(INT_MAX),
                                           static_cast<SystemTime::ETimeType>(INT_MIN)};

ULONGLONG Raw(const SystemTime& t) { return static_cast<ULONGLONG>(t); }

ULONGLONG Distance(ULONGLONG a, ULONGLONG b) { return a > b ? a - b : b - a; }

std::string Named(ULONGLONG count, int type) { return std::to_string(count) + " type " + std::to_string(type); }

// Exactly one order holds, and every operator agrees with it.
void ExpectOneOrder(const SystemTime& a, const SystemTime& b) {
  int orders = (a < b) + (a == b) + (a > b);
  EXPECT_EQ(1, orders);
  EXPECT_EQ(!(a == b), a != b);
  EXPECT_EQ(!(a > b), a <= b);
  EXPECT_EQ(!(a < b), a >= b);
  EXPECT_EQ(a < b, b > a);
  EXPECT_EQ(a == b, b == a);
}

}  // namespace

TEST(TimeSweep, ShiftsSaturateOnlyAtTheEndsAndStandForTheSameTime) {
  for (ULONGLONG count : kCounts) {
    for (SystemTime::ETimeType from : kTypes) {
      SCOPED_TRACE(Named(count, from));
      const SystemTime t(count, from);
      FILETIME asFileTime = t;
      EXPECT_EQ(count, Raw(SystemTime(asFileTime, from)));
      EXPECT_EQ(count < kDay || count > kAll - kDay, t.IsExtreme());
      for (SystemTime::ETimeType to : kTypes) {
        const SystemTime shifted(to, t);
        EXPECT_EQ(to, shifted.Type());
        ULONGLONG moved = Raw(shifted);
        // Shifted by a zone offset, or stopped at an end it would have run over.
        EXPECT_TRUE(Distance(moved, count) <= kLongestShift ||
                    (moved == 0 && count < kLongestShift) || (moved == kAll && count > kAll - kLongestShift))
            << "to type " << to << ": " << moved;
        // The fuzzy band is judged on the count as it is, before a local
        // count is turned into universal time: near the band's inner edges
        // a shift may move a count into or out of it.
        bool nearBandEdge = Distance(count, kDay) < kLongestShift || Distance(count, kAll - kDay) < kLongestShift;
        EXPECT_TRUE(nearBandEdge || shifted == t) << "a shift keeps the universal time it stands for";
        bool nearAnEnd = count < kLongestShift || count > kAll - kLongestShift;
        EXPECT_TRUE(nearAnEnd || Raw(SystemTime(from, shifted)) == count) << "and comes back";
      }
      for (SystemTime::ETimeType bad : kBadTypes) {
        SystemTime odd(count, bad);
        EXPECT_EQ(bad, odd.Type());
        odd.Type(SystemTime::eUTC);
        ExpectOneOrder(odd, t);
      }
    }
  }
  EXPECT_TRUE(HeapsValid());
}

TEST(TimeSweep, EveryPairComparesOneWayAndAddsModulo2To64) {
  std::vector<SystemTime> times;
  for (ULONGLONG count : kCounts)
    for (SystemTime::ETimeType type : kTypes) times.emplace_back(count, type);
  for (const SystemTime& a : times) {
    for (const SystemTime& b : times) {
      SCOPED_TRACE(Named(Raw(a), a.Type()) + " with " + Named(Raw(b), b.Type()));
      ExpectOneOrder(a, b);
      SystemTime sum(a), difference(a);
      sum += b;
      difference -= b;
      EXPECT_EQ(Raw(a) + Raw(b), Raw(sum));
      EXPECT_EQ(Raw(a) - Raw(b), Raw(difference));
      EXPECT_EQ(SystemTime::eUTC, sum.Type());
      EXPECT_EQ(SystemTime::eUTC, difference.Type());
    }
    SystemTime self(a);
    self -= self;
    EXPECT_EQ(0u, Raw(self));
    EXPECT_TRUE(a == a && a <= a && a >= a && !(a < a) && !(a > a));
  }
  EXPECT_TRUE(HeapsValid());
}

TEST(TimeSweep, CalendarRecordsThePlatformRejectsGiveTheEarliestTime) {
  struct Field {
    WORD SYSTEMTIME::*member;
    std::vector<WORD> values;
  };
  const Field fields[] = {
      {&SYSTEMTIME::wYear, {0, 1600, 1601, 30827, 30828, 30829, 65535}},
      {&SYSTEMTIME::wMonth, {0, 1, 12, 13, 65535}},
      {&SYSTEMTIME::wDayOfWeek, {7, 65535}},
      {&SYSTEMTIME::wDay, {0, 29, 31, 32, 65535}},
      {&SYSTEMTIME::wHour, {23, 24, 65535}},
      {&SYSTEMTIME::wMinute, {59, 60, 65535}},
      {&SYSTEMTIME::wSecond, {59, 60, 65535}},
      {&SYSTEMTIME::wMilliseconds, {999, 1000, 65535}},
  };
  for (WORD year : {1601, 1900, 2000, 2001}) {
    for (const Field& field : fields) {
      for (WORD value : field.values) {
        SYSTEMTIME calendar = {year, 2, 0, 28, 12, 0, 0, 0};
        calendar.*field.member = value;
        FILETIME platform;
        ULONGLONG expected = 0;
        if (SystemTimeToFileTime(&calendar, &platform))
          expected = (static_cast<ULONGLONG>(platform.dwHighDateTime) << 32) | platform.dwLowDateTime;
        for (SystemTime::ETimeType type : {SystemTime::eUTC, SystemTime::eLocal, kBadTypes[0]}) {
          SystemTime t(calendar, type);
          EXPECT_EQ(expected, Raw(t)) << year << " field set to " << value;
          EXPECT_EQ(type, t.Type());
        }
      }
    }
  }
  // Counts with no calendar date give an all-zero record; the others come
  // back to the same millisecond.
  for (ULONGLONG count : kCounts) {
    SYSTEMTIME calendar = SystemTime(count);
    SYSTEMTIME none = {};
    if (count >= kMiddle)
      EXPECT_EQ(0, memcmp(&calendar, &none, sizeof calendar)) << count;
    else
      EXPECT_EQ(count - count % 10000, Raw(SystemTime(calendar, SystemTime::eUTC))) << count;
  }
  EXPECT_TRUE(HeapsValid());
}

TEST(TimeSweep, StampIndexesOutsideTheArrayAndStampsReboundOrSelfAssigned) {
  SystemFileTime stamps;
  stamps.Time(SystemFileTime::eCreation, SystemTime(5 * kDay)).Time(SystemFileTime::eLastWrite, SystemTime(kAll));
  const SystemFileTime kept(stamps);
  for (int index : {INT_MIN, -1, 3, 4, 1000, INT_MAX}) {
    SCOPED_TRACE(index);
    auto which = static_cast<SystemFileTime::EFileTimeType>(index);
    SystemTime got = stamps.Time(which);
    EXPECT_EQ(0u, Raw(got));
    EXPECT_EQ(SystemTime::eUTC, got.Type());
    stamps.Time(which, SystemTime(7 * kDay, SystemTime::eLocal));
    EXPECT_TRUE(stamps == kept) << "nothing changes";
  }
  stamps = stamps;
  EXPECT_TRUE(stamps == kept);
  EXPECT_FALSE(stamps != kept);

  SystemTime first(kAll), second(kAll);
  {
    AutoTimeStamp a(first), b(second);
    a = a;
    b = b;
    a = b;  // a's result now goes to `second`; `first` keeps the start tick
  }
  EXPECT_EQ(0u, Raw(first) % 10000);
  EXPECT_LE(Raw(first), Raw(SystemTime::AliveTime()));
  EXPECT_EQ(SystemTime::eUTC, second.Type());
  SystemTime took(kAll, SystemTime::eLocal);
  { AutoTimeStamp stamp(took); }
  EXPECT_EQ(0u, Raw(took) % 10000);
  EXPECT_LT(Raw(took), 60 * SystemTime::IntervalsPerSecond()) << "elapsed, not a tick count";
  EXPECT_EQ(SystemTime::eUTC, took.Type());
  EXPECT_TRUE(HeapsValid());
}
