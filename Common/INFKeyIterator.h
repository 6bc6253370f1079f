#pragma once
// Walks the lines of an INF section from the first to the last, showing each
// as an INFKey:
//
//   for (INFKeyIterator line(section); line.IsValid(); ++line)
//     use(line.CurrentKey().Name(), line.CurrentKey().Value());
//
// Copies of an iterator share one line position until one of them advances;
// an advance always moves to a new position, so the other copies stay where
// they were. A position keeps the INF file it was found in open, so a copy
// may go on after the iterator that found the line is gone.
//
// A line that gives no key is passed over, as is one whose key or text is too
// long to read whole: the walk shows every readable line once and never a
// part of a line.

#include "CString.h"
#include "INFFile.h"
#include "INFKey.h"
#include "INFSection.h"
#include "RefCountedHolder.h"

class INFKeyIterator {
 public:
  // Invalid: stands nowhere. Also what a failed look-up or a walk past the
  // last line gives.
  INFKeyIterator();
  // On the section's first line; opens the file through a copy of `section`.
  explicit INFKeyIterator(const INFSection& section);
  INFKeyIterator(const INFKeyIterator& other);
  INFKeyIterator& operator=(const INFKeyIterator& other);
  virtual ~INFKeyIterator();

  // Same validity, the very same shared position, equal sections and keys.
  bool operator==(const INFKeyIterator& other) const;
  bool operator!=(const INFKeyIterator& other) const { return !(*this == other); }

  // To the next line; after the last one the iterator turns invalid for good.
  INFKeyIterator& operator++();
  INFKeyIterator operator++(int);

  bool IsValid() const { return valid_; }
  INFKey Key() const { return key_; }
  const INFKey& CurrentKey() const { return key_; }
  const INFSection& Section() const { return section_; }

 private:
  friend class INFSection;

  // Shows the line at `position` as the current key; false (key and flag as
  // they were) for a line that cannot be read or has no key.
  bool LoadLine(const RefCountedHolder<INFLinePosition>& position);
  // Moves `position` on to the first line from there that LoadLine can show;
  // false when none is left.
  bool LoadReadableLine(const RefCountedHolder<INFLinePosition>& position);

  bool valid_;
  RefCountedHolder<INFLinePosition> position_;
  INFSection section_;
  INFKey key_;
};
