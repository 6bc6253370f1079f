#include "AutoTimeStamp.h"

namespace Corvane {

AutoTimeStamp::AutoTimeStamp(SystemTime& target) : target_(&target) { *target_ = SystemTime::AliveTime(); }

// Wraps with the 32-bit tick count rather than saturating: a scope spanning
// the wrap leaves the 64-bit wrap-around difference.
AutoTimeStamp::~AutoTimeStamp() { *target_ = SystemTime::AliveTime() - *target_; }

AutoTimeStamp& AutoTimeStamp::operator=(const AutoTimeStamp& other) {
  target_ = other.target_;
  return *this;
}

}  // namespace Corvane
