#pragma once
// SystemFileTime: the three time stamps of a file (creation, last access,
// last write), in the order of the platform's directory entry record, as
// SystemTime values. Two sets are equal when each pair of stamps stands for
// the same universal time, by the fuzzy comparison of SystemTime.

#include "CorvaneTimeApi.h"
#include "SystemTime.h"

namespace Corvane {

class CORVANE_TIME_API SystemFileTime {
 public:
  enum EFileTimeType : int { eCreation = 0, eLastAccess = 1, eLastWrite = 2 };

  // Three default stamps (0, eUTC).
  SystemFileTime();
  SystemFileTime(const SystemFileTime& other);
  // Not virtual: the class is used as a plain value.
  ~SystemFileTime();
  // Takes each stamp through the other's Time getter.
  SystemFileTime& operator=(const SystemFileTime& other);

  virtual bool operator==(const SystemFileTime& other) const;
  virtual bool operator!=(const SystemFileTime& other) const;
  // Returns this object, so calls can be chained. An unknown stamp index
  // changes nothing.
  virtual SystemFileTime& Time(EFileTimeType which, const SystemTime& time);
  // A copy of the stamp; a default value for an unknown index.
  virtual SystemTime Time(EFileTimeType which) const;

 private:
  static const int kStampCount = 3;
  SystemTime times_[kStampCount];
};

}  // namespace Corvane
