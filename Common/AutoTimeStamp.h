#pragma once
// AutoTimeStamp: measures how long a scope takes. While it lives, the
// caller's SystemTime (the target) holds the tick time at construction; when
// it ends, the target holds the elapsed time, a duration (eUTC) in 100-ns
// units with millisecond resolution. The target must outlive the stamp.
//
//   SystemTime took;
//   { AutoTimeStamp stamp(took); DoWork(); }   // took: how long DoWork ran

#include "CorvaneTimeApi.h"
#include "SystemTime.h"

namespace Corvane {

class CORVANE_TIME_API AutoTimeStamp {
 public:
  explicit AutoTimeStamp(SystemTime& target);
  // A copy would write its result into the same target a second time.
  AutoTimeStamp(const AutoTimeStamp&) = delete;
  ~AutoTimeStamp();
  // Moves the final write to the other stamp's target; the old target keeps
  // whatever it holds now.
  AutoTimeStamp& operator=(const AutoTimeStamp& other);

 private:
  SystemTime* target_;
};

}  // namespace Corvane
