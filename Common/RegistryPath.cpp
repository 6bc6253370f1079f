#include "RegistryPath.h"

#include "RegistryInfo.h"

RegistryPath::RegistryPath(const CString& text) : DelimitedPath(text) { Normalise(); }

RegistryPath::RegistryPath(HKEY root, const CString& subkey) {
  const RegistryInfo& info = RegistryInfo::Instance();
  for (int i = 0; i < RegistryInfo::eRootCount; ++i) {
    RegistryInfo::ERoot r = static_cast<RegistryInfo::ERoot>(i);
    if (RegistryInfo::RootHandle(r) == root) {
      text_ = info.LongName(r) + info.Separator() + subkey;
      return;
    }
  }
  text_ = subkey;
}

RegistryPath::RegistryPath(const CString& first, const CString& second) : DelimitedPath(first, second) {
  Normalise();
}

RegistryPath::RegistryPath(const RegistryPath& other) : DelimitedPath(other) {}

RegistryPath& RegistryPath::operator=(const RegistryPath& other) {
  DelimitedPath::operator=(other);
  return *this;
}

RegistryPath::~RegistryPath() = default;

void RegistryPath::Normalise() {
  CString head = Head();
  // Every abbreviation is at most four characters: only longer heads can be
  // long names.
  if (head.Length() <= 4) return;
  const RegistryInfo& info = RegistryInfo::Instance();
  for (int i = 0; i < RegistryInfo::eRootCount; ++i) {
    RegistryInfo::ERoot r = static_cast<RegistryInfo::ERoot>(i);
    if (head == info.LongName(r)) {
      SetHead(info.Abbreviation(r));
      return;
    }
  }
}

HKEY RegistryPath::RootHandle() const {
  CString head = Head();
  const RegistryInfo& info = RegistryInfo::Instance();
  for (int i = 0; i < RegistryInfo::eRootCount; ++i) {
    RegistryInfo::ERoot r = static_cast<RegistryInfo::ERoot>(i);
    if (head == info.LongName(r) || head == info.Abbreviation(r)) return RegistryInfo::RootHandle(r);
  }
  return nullptr;
}

bool operator==(const RegistryPath& a, const RegistryPath& b) { return a.Text().CompareNoCase(b.Text()) == 0; }
