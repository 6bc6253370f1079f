#pragma once
// Walks the drives that exist, from A: to Z:. Past either end it stands on
// no drive (number -1) and stays there.
//
//   for (DriveIterator it; it.IsValid(); ++it) use(it.Current());

#include "Drive.h"

class DriveIterator {
 public:
  // Stands on the first drive that exists (or at the end).
  DriveIterator();
  DriveIterator(const DriveIterator& other);
  DriveIterator& operator=(const DriveIterator& other);
  virtual ~DriveIterator();

  virtual Drive& Current() { return current_; }
  virtual DriveIterator& operator--();
  virtual DriveIterator& operator++();
  // The same object, or standing on equal drives.
  virtual bool operator==(const DriveIterator& other) const;
  bool operator!=(const DriveIterator& other) const { return !(*this == other); }
  virtual bool IsValid() const { return current_.IsValid(); }
  // Stands on `drive`, or at the end (false) when it does not exist.
  virtual bool Seek(const Drive& drive);
  virtual bool Last();
  virtual bool First();

  DriveIterator operator++(int);
  DriveIterator operator--(int);

 private:
  // The first drive that exists from `from` on in steps of `step`, until
  // `to`; the end when none does.
  void StepFrom(int from, int to, int step);

  Drive current_;
};

// An iterator standing on the last drive that exists.
DriveIterator LastDrive();
