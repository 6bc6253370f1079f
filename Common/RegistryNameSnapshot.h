#pragma once
// RegistryNameSnapshot: what both registry iterators share: a copy of the
// key being walked, the list of its subkey or value names read once, and a
// position in that list. Names that cannot be read are left out.
//
// A walk's begin reads the names when it is made. An end (and the iterator
// FindValue returns) only counts them, and reads the names when something
// needs them (moving back from the end, or reading a name): the usual loop
// from begin to end then reads every name once, not twice.

#include <windows.h>

#include <vector>

#include "CString.h"

#include "RegistryKey.h"

class RegistryNameSnapshot {
 public:
  enum EKind { eSubkeyNames, eValueNames };
  enum EPosition { eBegin, eEnd };

  RegistryNameSnapshot(const RegistryKey& key, EKind kind, EPosition where);
  RegistryNameSnapshot(const RegistryNameSnapshot& other);
  RegistryNameSnapshot& operator=(const RegistryNameSnapshot& other);
  virtual ~RegistryNameSnapshot();

  // The position has reached (or passed) the end of the names.
  bool AtEnd() const;
  // The name at the position; empty past the end.
  CString Name() const;
  DWORD Position() const { return position_; }
  // How many names the walk covers.
  DWORD Count() const;
  // The key could be asked and every name it reported was read: a walk that
  // is not complete has left something out.
  bool IsComplete() const;
  // The status of the platform call that left a name out, or of the
  // question that failed; 0 when the walk is complete.
  LONG LastError() const;

 protected:
  // Moves by one and lets the derived class drop its current item.
  void Step(int delta);
  virtual void DiscardCurrent() = 0;
  // Both walk the same key and stand at the same place (or both at their end).
  bool SameWalkAndPlace(const RegistryNameSnapshot& other) const;
  // The name at `index`; null when there is none.
  const CString* NameAt(DWORD index) const;
  // Puts the position on the last name (FindValue's iterator).
  void StandOnLast();

  RegistryKey key_;
  DWORD longestData_;

 private:
  void TakeNames() const;

  EKind kind_;
  mutable DWORD position_;
  DWORD reportedCount_;
  DWORD longestName_;
  mutable std::vector<CString> names_;
  mutable bool namesTaken_;
  mutable bool complete_;
  mutable LONG lastError_;
};
