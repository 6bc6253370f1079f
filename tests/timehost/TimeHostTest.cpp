// Uses the time classes as a host does: imported from QELPrinter.dll, with a
// class of its own derived from the exported SystemTime.
#include <gtest/gtest.h>

#include <typeinfo>

#include "AutoTimeStamp.h"
#include "SystemFileTime.h"
#include "SystemTime.h"
#include "TraceCapture.h"

#if defined(CORVANE_TIME_STATIC) || defined(CORVANE_TIME_EXPORT)
#error "the host test must import the time classes"
#endif

using Corvane::AutoTimeStamp;
using Corvane::SystemFileTime;
using Corvane::SystemTime;

namespace {

const ULONGLONG kDay = 864000000000ULL;

ULONGLONG Raw(const SystemTime& t) { return static_cast<ULONGLONG>(t); }

// The host's own ordering: latest first.
class HostTime : public SystemTime {
 public:
  explicit HostTime(ULONGLONG value) : SystemTime(value) {}
  ULONGLONG FuzzyTime() const override { return ~SystemTime::FuzzyTime(); }
};

// Arrays and "return {};" value-initialise through the default constructor.
SystemTime NoTime() { return {}; }

}  // namespace

TEST(TimeHost, ClassesComeFromTheDll) {
  HMODULE dll = GetModuleHandleA("QELPrinter.dll");
  ASSERT_NE(nullptr, dll) << "not loaded: the classes were not imported";
  EXPECT_NE(nullptr, GetProcAddress(dll, "_ZTVN7Corvane10SystemTimeE"));
  EXPECT_EQ(kDay, SystemTime::ExtremeRange());
  EXPECT_TRUE(SystemTime(10) == SystemTime::MinTime());
  SystemTime times[3] = {};
  EXPECT_EQ(0u, Raw(times[2]) + Raw(NoTime()));
  EXPECT_EQ(1ULL, Raw(SystemTime::MaxTime() + SystemTime(2)));
  EXPECT_EQ(~0ULL, Raw(-SystemTime(1)));
}

// The DLL's comparisons call back into the host's override; type
// information crosses the boundary.
TEST(TimeHost, DerivedClassAcrossTheBoundary) {
  const HostTime early(2 * kDay), late(3 * kDay);
  EXPECT_TRUE(early > late);
  EXPECT_TRUE(SystemTime(4 * kDay) < late);
  EXPECT_TRUE(early == early);

  const SystemTime& asBase = late;
  EXPECT_NE(nullptr, dynamic_cast<const HostTime*>(&asBase));
  EXPECT_EQ(nullptr, dynamic_cast<const HostTime*>(&static_cast<const SystemTime&>(SystemTime::MinTime())));
  EXPECT_TRUE(typeid(SystemTime) == typeid(SystemTime::ClockTime()));

  SystemTime copy(SystemTime::eLocal, late);
  EXPECT_EQ(SystemTime::eLocal, copy.Type());
  EXPECT_TRUE(copy == SystemTime(3 * kDay));
}

TEST(TimeHost, FileTimesAndStamps) {
  TraceCapture capture;
  SystemFileTime f;
  f.Time(SystemFileTime::eCreation, SystemTime(2 * kDay)).Time(SystemFileTime::eLastWrite, SystemTime(5 * kDay));
  const SystemFileTime copy(f);
  EXPECT_TRUE(copy == f);
  EXPECT_EQ(5 * kDay, Raw(copy.Time(SystemFileTime::eLastWrite)));
  EXPECT_EQ(0ULL, Raw(f.Time(static_cast<SystemFileTime::EFileTimeType>(1000))));
  f.Time(static_cast<SystemFileTime::EFileTimeType>(-7), SystemTime(kDay));
  EXPECT_TRUE(copy == f);
  EXPECT_TRUE(capture.Contains("SystemFileTime::Time - bad index -7\n")) << capture.Text();

  SystemTime took;
  {
    AutoTimeStamp stamp(took);
    Sleep(50);
  }
  EXPECT_GE(Raw(took), (50 - 17) * 10000ULL) << "the tick count moves in steps of about 16 ms";
  EXPECT_LT(Raw(took), 5000 * 10000ULL);
}
