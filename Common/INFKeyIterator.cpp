#include "INFKeyIterator.h"

#include <cstring>

INFKeyIterator::INFKeyIterator() : valid_(false) {}

INFKeyIterator::INFKeyIterator(const INFSection& section) : valid_(false) {
  position_ = RefCountedHolder<INFLinePosition>::Make();
  section_ = section;
  if (!position_ || !section_.IsValid() || !section_.file_) return;
  if (!section_.file_->FindFirstLine(section_.SectionName().CStr(), nullptr, &position_->context)) return;
  position_->file = section_.file_;
  LoadReadableLine(position_);
}

INFKeyIterator::INFKeyIterator(const INFKeyIterator& other) : valid_(false) { *this = other; }

INFKeyIterator& INFKeyIterator::operator=(const INFKeyIterator& other) {
  if (this == &other) return *this;
  valid_ = other.valid_;
  section_ = other.section_;
  key_ = other.key_;
  position_ = other.position_;
  return *this;
}

INFKeyIterator::~INFKeyIterator() = default;

bool INFKeyIterator::operator==(const INFKeyIterator& other) const {
  if (this == &other) return true;
  return valid_ == other.valid_ && position_.SharesWith(other.position_) && section_ == other.section_ &&
         key_ == other.key_;
}

INFKeyIterator& INFKeyIterator::operator++() {
  RefCountedHolder<INFLinePosition> next = RefCountedHolder<INFLinePosition>::Make();
  if (!valid_) return *this;
  // A position without its file cannot move; neither can one we had no
  // memory for.
  if (!next || !position_ || !position_->file) {
    valid_ = false;
    return *this;
  }
  if (!position_->file->FindNextLine(position_->context, &next->context)) {
    valid_ = false;
    return *this;
  }
  // The next line lies in the same file as the one it follows.
  next->file = position_->file;
  if (!LoadReadableLine(next)) {
    valid_ = false;
    return *this;
  }
  position_ = next;
  return *this;
}

INFKeyIterator INFKeyIterator::operator++(int) {
  INFKeyIterator before(*this);
  ++*this;
  return before;
}

bool INFKeyIterator::LoadReadableLine(const RefCountedHolder<INFLinePosition>& position) {
  if (!position || !position->file) return false;
  // Nothing else refers to the position yet, so it may move in place.
  while (!LoadLine(position)) {
    if (!position->file->FindNextLine(position->context, &position->context)) return false;
  }
  return true;
}

bool INFKeyIterator::LoadLine(const RefCountedHolder<INFLinePosition>& position) {
  RefCountedHolder<INFLinePosition> held(position);
  if (!held || !held->file) return false;
  INFFile& file = *held->file;

  char name[INFFile::kTextBufferSize];
  char value[INFFile::kTextBufferSize];
  if (file.StringField(held->context, 0, name, sizeof name)) {
    if (!file.LineText(held->context, value, sizeof value)) return false;
    // A line without a key of its own reads back its text as field 0.
    if (strcmp(name, value) == 0) value[0] = '\0';
  } else {
    // A key too long for the buffer is not the line's text: taking the text
    // as the name would show a key the file does not have.
    if (file.LastError() == ERROR_INSUFFICIENT_BUFFER) return false;
    if (!file.LineText(held->context, name, sizeof name)) return false;
    value[0] = '\0';
  }

  INFKey key{CString(name), CString(value)};
  if (!key.IsValid()) return false;
  key_ = key;
  valid_ = true;
  return true;
}
