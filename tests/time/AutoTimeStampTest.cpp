#include <gtest/gtest.h>

#include <type_traits>

#include "AutoTimeStamp.h"

using Corvane::AutoTimeStamp;
using Corvane::SystemTime;

namespace {

const ULONGLONG kMillisecond = 10000;
// The tick count moves in steps of about 16 ms, so a sleep can read up to
// one step shorter.
const ULONGLONG kTickStep = 17 * kMillisecond;

ULONGLONG Raw(const SystemTime& t) { return static_cast<ULONGLONG>(t); }

}  // namespace

static_assert(!std::is_copy_constructible<AutoTimeStamp>::value, "a copy would write the target twice");
static_assert(std::is_copy_assignable<AutoTimeStamp>::value, "assignment rebinds");

TEST(AutoTimeStamp, TargetEndsWithTheElapsedTime) {
  SystemTime took(12345, SystemTime::eLocal);
  {
    AutoTimeStamp stamp(took);
    const ULONGLONG now = Raw(SystemTime::AliveTime());
    EXPECT_LE(Raw(took), now) << "holds the start tick while alive";
    EXPECT_LT(now - Raw(took), 100 * kMillisecond);
    Sleep(50);
  }
  EXPECT_GE(Raw(took), 50 * kMillisecond - kTickStep);
  EXPECT_LT(Raw(took), 5000 * kMillisecond);
  EXPECT_EQ(0ULL, Raw(took) % kMillisecond);
  EXPECT_EQ(SystemTime::eUTC, took.Type());

  bool sameTick = false;
  for (int attempt = 0; attempt < 100 && !sameTick; ++attempt) {
    const DWORD before = GetTickCount();
    SystemTime quick(7);
    { AutoTimeStamp stamp(quick); }
    if (GetTickCount() != before) continue;
    sameTick = true;
    EXPECT_EQ(0ULL, Raw(quick));
  }
  EXPECT_TRUE(sameTick);
}

TEST(AutoTimeStamp, AssignmentMovesTheFinalWrite) {
  // Judged against the tick count itself, not the sleep: under a loaded
  // wineserver the tick count can lag a 40 ms sleep by most of it.
  const ULONGLONG before = Raw(SystemTime::AliveTime());
  SystemTime outerTarget, innerTarget;
  AutoTimeStamp outer(outerTarget);
  const ULONGLONG outerStart = Raw(outerTarget);
  ULONGLONG innerStart = 0;
  {
    AutoTimeStamp inner(innerTarget);
    innerStart = Raw(innerTarget);
    inner = outer;
    Sleep(40);
  }
  const ULONGLONG after = Raw(SystemTime::AliveTime());
  EXPECT_EQ(innerStart, Raw(innerTarget)) << "the old target keeps its start tick";
  // inner wrote the time since outer began into outer's target.
  EXPECT_GE(outerStart, before);
  EXPECT_NE(outerStart, Raw(outerTarget)) << "outer's target still holds its start tick";
  EXPECT_LE(Raw(outerTarget), after - before);
}
