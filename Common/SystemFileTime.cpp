#include "SystemFileTime.h"

#include "Trace.h"

namespace Corvane {

namespace {

// Hosts pass the index straight through; one outside the array must not
// reach memory beyond it.
bool IsStampIndex(SystemFileTime::EFileTimeType which) {
  if (static_cast<unsigned>(which) <= SystemFileTime::eLastWrite) return true;
  Trace("SystemFileTime::Time - bad index %i\n", static_cast<int>(which));
  return false;
}

}  // namespace

SystemFileTime::SystemFileTime() {}

SystemFileTime::SystemFileTime(const SystemFileTime& other) { *this = other; }

SystemFileTime::~SystemFileTime() {}

SystemFileTime& SystemFileTime::operator=(const SystemFileTime& other) {
  if (this != &other) {
    for (int i = 0; i < kStampCount; ++i) times_[i] = other.Time(static_cast<EFileTimeType>(i));
  }
  return *this;
}

bool SystemFileTime::operator==(const SystemFileTime& other) const {
  if (this == &other) return true;
  for (int i = 0; i < kStampCount; ++i) {
    if (times_[i] != other.Time(static_cast<EFileTimeType>(i))) return false;
  }
  return true;
}

bool SystemFileTime::operator!=(const SystemFileTime& other) const { return !(*this == other); }

SystemFileTime& SystemFileTime::Time(EFileTimeType which, const SystemTime& time) {
  if (IsStampIndex(which)) times_[which] = time;
  return *this;
}

SystemTime SystemFileTime::Time(EFileTimeType which) const {
  return IsStampIndex(which) ? times_[which] : SystemTime();
}

}  // namespace Corvane
