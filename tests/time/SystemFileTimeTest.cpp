#include <gtest/gtest.h>

#include "SystemFileTime.h"
#include "TraceCapture.h"

using Corvane::SystemFileTime;
using Corvane::SystemTime;

namespace {

const ULONGLONG kDay = 864000000000ULL;
const ULONGLONG kMidJanuary2024 = 133497936000000000ULL;

ULONGLONG Raw(const SystemTime& t) { return static_cast<ULONGLONG>(t); }

SystemFileTime Stamps(ULONGLONG creation, ULONGLONG access, ULONGLONG write) {
  SystemFileTime f;
  f.Time(SystemFileTime::eCreation, SystemTime(creation))
      .Time(SystemFileTime::eLastAccess, SystemTime(access))
      .Time(SystemFileTime::eLastWrite, SystemTime(write));
  return f;
}

// Reports every last-write time as the end of the range.
class NeverWrittenTimes : public SystemFileTime {
 public:
  SystemTime Time(EFileTimeType which) const override {
    return which == eLastWrite ? SystemTime::MaxTime() : SystemFileTime::Time(which);
  }
  using SystemFileTime::Time;
};

}  // namespace

TEST(SystemFileTime, SetsCompareByTheirStamps) {
  EXPECT_TRUE(SystemFileTime() == SystemFileTime());
  EXPECT_TRUE(SystemFileTime() == Stamps(0, 10, kDay - 1)) << "all within the bottom band";

  const SystemFileTime a = Stamps(2 * kDay, 3 * kDay, 4 * kDay);
  const SystemFileTime otherWrite = Stamps(2 * kDay, 3 * kDay, 5 * kDay);
  EXPECT_FALSE(a == otherWrite);
  EXPECT_TRUE(a != otherWrite);

  // The same instant once universal, once local.
  SystemFileTime local = Stamps(0, 3 * kDay, 4 * kDay);
  local.Time(SystemFileTime::eCreation, SystemTime(SystemTime::eLocal, SystemTime(kMidJanuary2024)));
  SystemFileTime universal = Stamps(0, 3 * kDay, 4 * kDay);
  universal.Time(SystemFileTime::eCreation, SystemTime(kMidJanuary2024));
  EXPECT_TRUE(local == universal);
}

TEST(SystemFileTime, CopiesTakeEachStampWithItsType) {
  SystemFileTime source = Stamps(2 * kDay, 3 * kDay, 4 * kDay);
  source.Time(SystemFileTime::eLastAccess, SystemTime(3 * kDay, SystemTime::eLocal));
  const SystemFileTime copy(source);
  EXPECT_EQ(2 * kDay, Raw(copy.Time(SystemFileTime::eCreation)));
  EXPECT_EQ(3 * kDay, Raw(copy.Time(SystemFileTime::eLastAccess)));
  EXPECT_EQ(SystemTime::eLocal, copy.Time(SystemFileTime::eLastAccess).Type());
  EXPECT_EQ(4 * kDay, Raw(copy.Time(SystemFileTime::eLastWrite)));

  // Equality and assignment read the other set through its Time getter.
  NeverWrittenTimes never;
  never.Time(SystemFileTime::eLastWrite, SystemTime(4 * kDay));
  EXPECT_FALSE(SystemFileTime() == never);
  EXPECT_TRUE(Stamps(0, 0, ~0ULL) == never);
  SystemFileTime assigned;
  assigned = never;
  EXPECT_EQ(~0ULL, Raw(assigned.Time(SystemFileTime::eLastWrite)));
}

// An index from outside 0..2 must not reach past the three stamps.
TEST(SystemFileTime, UnknownIndexIsRefused) {
  TraceCapture capture;
  SystemFileTime f = Stamps(2 * kDay, 3 * kDay, 4 * kDay);
  for (int index : {3, -1, 0x7fffffff}) {
    const auto which = static_cast<SystemFileTime::EFileTimeType>(index);
    SystemFileTime& chained = f.Time(which, SystemTime(9 * kDay, SystemTime::eLocal));
    EXPECT_EQ(&f, &chained);
    const SystemTime got = f.Time(which);
    EXPECT_EQ(0ULL, Raw(got)) << index;
    EXPECT_EQ(SystemTime::eUTC, got.Type()) << index;
    EXPECT_TRUE(capture.Contains("SystemFileTime::Time - bad index " + std::to_string(index) + "\n")) << capture.Text();
  }
  EXPECT_TRUE(f == Stamps(2 * kDay, 3 * kDay, 4 * kDay)) << "stamps untouched";
}
