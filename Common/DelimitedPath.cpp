#include "DelimitedPath.h"

namespace {

// One string shared by every path. Built on first use, so a path that is
// itself a static object of another file never sees it unconstructed; the
// reference below makes that first use happen while the library loads.
const CString& SeparatorString() {
  static const CString separator("\\");
  return separator;
}

const CString& g_separatorAtLoad = SeparatorString();

}  // namespace

DelimitedPath::DelimitedPath(const CString& text) : text_(text) {}

DelimitedPath::DelimitedPath(const CString& first, const CString& second) {
  const CString& sep = Separator();
  auto trimmed = [&sep](CString part) {
    if (part.StartsWith(sep)) part = part.Mid(sep.Length());
    DelimitedPath asPath(part);
    if (asPath.EndsWithSeparator()) part.Truncate(part.Length() - sep.Length());
    return part;
  };
  text_ = trimmed(first) + sep + trimmed(second);
}

DelimitedPath::DelimitedPath(const DelimitedPath& other) { *this = other; }

DelimitedPath& DelimitedPath::operator=(const DelimitedPath& other) {
  text_ = other.text_;
  return *this;
}

DelimitedPath::~DelimitedPath() = default;

const CString& DelimitedPath::Separator() const { return SeparatorString(); }

size_t DelimitedPath::FirstSeparator() const { return text_.Find(Separator().CStr()); }

size_t DelimitedPath::LastSeparator() const {
  const CString& sep = Separator();
  // One pass for the usual one-character separator: paths are taken apart
  // component by component, and a rescan per separator would make that
  // quadratic in the number of components.
  if (sep.Length() == 1) return text_.ReverseFind(sep.At(0));
  size_t found = CString::npos;
  for (size_t at = text_.Find(sep.CStr()); at != CString::npos; at = text_.Find(sep.CStr(), at + sep.Length()))
    found = at;
  return found;
}

bool DelimitedPath::EndsWithSeparator() const {
  size_t last = LastSeparator();
  return last != CString::npos && last + Separator().Length() == text_.Length();
}

size_t DelimitedPath::HeadLength() const {
  size_t first = FirstSeparator();
  return first == CString::npos ? text_.Length() : first;
}

size_t DelimitedPath::LastLength() const {
  size_t last = LastSeparator();
  return last == CString::npos ? 0 : text_.Length() - last - Separator().Length();
}

size_t DelimitedPath::RestLength() const { return text_.Length() - HeadLength(); }

CString DelimitedPath::Head() const { return text_.Left(HeadLength()); }

CString DelimitedPath::Tail() const {
  if (FirstSeparator() == CString::npos) return CString();
  return text_.Mid(HeadLength() + Separator().Length());
}

CString DelimitedPath::Last() const {
  if (LastSeparator() == CString::npos) return CString();
  return text_.Right(LastLength());
}

size_t DelimitedPath::SeparatorCount() const {
  const CString& sep = Separator();
  if (sep.Length() == 1) return text_.Count(sep.At(0));
  size_t count = 0;
  for (size_t at = text_.Find(sep.CStr()); at != CString::npos; at = text_.Find(sep.CStr(), at + sep.Length()))
    ++count;
  return count;
}

void DelimitedPath::SetHead(const CString& component) {
  if (FirstSeparator() == CString::npos)
    text_ = component;
  else
    text_ = component + Separator() + Tail();
}

void DelimitedPath::Append(const CString& component) {
  if (!text_.IsEmpty() && !EndsWithSeparator()) text_ += Separator();
  text_ += component;
}

bool DelimitedPath::RemoveHead() {
  if (text_.IsEmpty()) return false;
  text_ = Tail();
  return true;
}

bool DelimitedPath::RemoveLast() {
  if (Tail().IsEmpty()) return false;
  text_.Truncate(LastSeparator());
  return true;
}

DelimitedPath DelimitedPath::Parent() const {
  DelimitedPath parent(*this);
  parent.RemoveLast();
  return parent;
}

CString DelimitedPath::DisplayForm() const {
  CString shown(text_);
  shown.Replace(Separator().CStr(), (Separator() + " ").CStr());
  return shown;
}

PathComponentScope::PathComponentScope(DelimitedPath& path, const CString& component)
    : path_(path), before_(path.Text()) {
  path_.Append(component);
}

// Puts back the text as it was rather than removing the last component:
// RemoveLast cannot undo an Append onto an empty path ("x" has no separator
// to cut at) or onto a root ("C:\" + "x" would come back as "C:"), and an
// empty component leaves nothing after the separator to remove.
PathComponentScope::~PathComponentScope() { path_ = DelimitedPath(before_); }
