#include "INFSection.h"

#include "INFKeyIterator.h"

INFSection::INFSection() : valid_(false), shared_(false) {}

INFSection::INFSection(const CString& sectionName, const CString& infFile)
    : valid_(false), sectionName_(sectionName), infFile_(infFile), shared_(false) {}

INFSection::INFSection(const CString& sectionName, const RefCountedHolder<INFFile>& file)
    : valid_(false), sectionName_(sectionName), infFile_(file ? file->Path() : CString()), file_(file), shared_(true) {}

INFSection::INFSection(const INFSection& other) : valid_(false), shared_(false) { *this = other; }

INFSection& INFSection::operator=(const INFSection& other) {
  if (this != &other) {
    sectionName_ = other.sectionName_;
    infFile_ = other.infFile_;
    shared_ = other.shared_;
    if (shared_) file_ = other.file_;
  }
  Open();
  return *this;
}

INFSection::~INFSection() = default;

bool INFSection::Open() {
  valid_ = false;
  if (!shared_) {
    // Letting go of the old file closes it, unless a line position found
    // through it still needs it.
    file_ = RefCountedHolder<INFFile>::Make();
    if (!file_ || !file_->Open(infFile_)) return false;
  }
  INFCONTEXT firstLine;
  valid_ = file_ && file_->FindFirstLine(sectionName_.CStr(), nullptr, &firstLine);
  return valid_;
}

bool INFSection::FindValue(const CString& keyName, CString* value) const {
  if (!file_ || keyName.IsEmpty()) return false;
  INFCONTEXT line;
  if (!file_->FindFirstLine(sectionName_.CStr(), keyName.CStr(), &line)) return false;
  char text[INFFile::kTextBufferSize];
  if (!file_->LineText(line, text, sizeof text)) return false;
  if (value) *value = text;
  return true;
}

INFKeyIterator INFSection::Find(const CString& keyName) const {
  CString text;
  if (!FindValue(keyName, &text)) return INFKeyIterator();

  INFKey found(keyName, text);
  INFKeyIterator result(*this);
  result.key_ = found;
  // The result stands for the key found, whatever the section's first line
  // holds: a first line too long to read must not hide every other key.
  result.valid_ = found.IsValid();
  return result;
}

bool INFSection::operator==(const INFSection& other) const {
  if (this == &other) return true;
  return sectionName_ == other.sectionName_ && infFile_ == other.infFile_;
}
