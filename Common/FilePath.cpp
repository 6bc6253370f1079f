#include "FilePath.h"

#include <windows.h>

#include <direct.h>

#include <vector>

#include "PlatformDirectory.h"

namespace {

const char kBackslash = '\\';
const char kSlash = '/';
const char kDot = '.';

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A component made of dots only: "." or a run meaning levels up.
bool IsDotRun(const CString& component) {
  if (component.IsEmpty()) return false;
  for (size_t i = 0; i < component.Length(); ++i) {
    if (component.At(i) != kDot) return false;  // a dot is never a trail byte
  }
  return true;
}

CString DotRun(size_t dots) {
  CString run;
  for (size_t i = 0; i < dots; ++i) run += kDot;
  return run;
}

// The components between backslashes, found at character boundaries. A text
// ending with a backslash has no empty last component.
std::vector<CString> SplitComponents(const CString& text) {
  std::vector<CString> parts;
  size_t start = 0;
  while (start < text.Length()) {
    size_t at = text.Find(kBackslash, start);
    if (at == CString::npos) at = text.Length();
    parts.push_back(text.Mid(start, at - start));
    start = at + 1;
  }
  return parts;
}

CString JoinComponents(const std::vector<CString>& parts) {
  CString text;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += kBackslash;
    text += parts[i];
  }
  return text;
}

CString ReadCurrentDirectory() { return PlatformDirectory(eCurrentDirectory); }

// The long form of a network name, "\\?\UNC\server\share" ("Naming Files,
// Paths, and Namespaces" in Microsoft's reference): server and share come
// after it, so a climb must stop below the share as in "\\server\share".
const char kLongUncPrefix[] = "\\\\?\\UNC\\";
const size_t kLongUncPrefixLength = sizeof kLongUncPrefix - 1;

// For a text starting with two backslashes: the index of the backslash that
// ends the share, or npos when server or share are not both followed by one.
size_t ShareEnd(const CString& text) {
  size_t serverStart = 2;
  if (text.Left(kLongUncPrefixLength).Upper() == kLongUncPrefix) serverStart = kLongUncPrefixLength;
  size_t afterServer = text.Find(kBackslash, serverStart);
  if (afterServer == CString::npos) return CString::npos;
  return text.Find(kBackslash, afterServer + 1);
}

// "C:" for a drive; "\\server\share" for a network directory.
CString RootOfDirectory(const CString& directory) {
  if (directory.At(0) != kBackslash) return directory.Left(2);
  size_t end = ShareEnd(directory);
  return end == CString::npos ? directory : directory.Left(end);
}

// The text starts with the root and then a separator (or ends there), so that
// "\\srv\share" is not taken for the root of "\\srv\shared".
bool IsOnRoot(const CString& lowText, const CString& lowRoot) {
  if (lowRoot.IsEmpty() || !lowText.StartsWith(lowRoot)) return false;
  return lowText.Length() == lowRoot.Length() || lowText.At(lowRoot.Length()) == kBackslash;
}

// Makes a drive current for the life of the object. Coming back, the C
// runtime's _chdrive would land on the root of the old drive (the system
// keeps no directory per drive for a program), so the whole directory is put
// back, and _chdrive is only the fallback.
class CurrentDriveSwitch {
 public:
  explicit CurrentDriveSwitch(char letter) {
    if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z') return;
    int drive = letter - 'A' + 1;
    previousDrive_ = _getdrive();
    if (drive == previousDrive_) {
      selected_ = true;
      return;
    }
    previousDirectory_ = ReadCurrentDirectory();
    selected_ = switched_ = _chdrive(drive) == 0;
  }
  ~CurrentDriveSwitch() {
    if (!switched_) return;
    if (previousDirectory_.IsEmpty() || !SetCurrentDirectoryA(previousDirectory_.CStr())) _chdrive(previousDrive_);
  }
  CurrentDriveSwitch(const CurrentDriveSwitch&) = delete;
  CurrentDriveSwitch& operator=(const CurrentDriveSwitch&) = delete;

  bool Selected() const { return selected_; }

 private:
  int previousDrive_ = 0;
  CString previousDirectory_;
  bool selected_ = false;
  bool switched_ = false;
};

// The current directory of a drive, with a trailing separator; empty when
// the drive cannot be selected. The process's drive and directory are back
// as they were when this returns.
CString DirectoryOfDrive(char letter) {
  CurrentDriveSwitch select(letter);
  if (!select.Selected()) return CString();
  FilePath directory = FilePath::CurrentDirectory();
  directory.SetTrailingState(FilePath::kTrailingSeparator);
  return directory.Text();
}

}  // namespace

CString FilePath::WithBackslashes(const CString& text) {
  CString result(text);
  result.Replace(kSlash, kBackslash);
  return result;
}

FilePath::FilePath(const CString& text) : DelimitedPath(WithBackslashes(text)) {}

FilePath::FilePath(const DelimitedPath& path) : DelimitedPath(WithBackslashes(path.Text())) {}

FilePath::FilePath(const FilePath& other) : DelimitedPath() { *this = other; }

FilePath& FilePath::operator=(const FilePath& other) {
  text_ = other.text_;
  return *this;
}

FilePath& FilePath::operator=(const DelimitedPath& path) {
  text_ = WithBackslashes(path.Text());
  return *this;
}

FilePath& FilePath::operator=(const CString& text) {
  text_ = WithBackslashes(text);
  return *this;
}

FilePath::~FilePath() = default;

void FilePath::SetHead(const CString& component) { DelimitedPath::SetHead(WithBackslashes(component)); }

void FilePath::Append(const CString& component) { DelimitedPath::Append(WithBackslashes(component)); }

FilePath::ERootType FilePath::RootType() const {
  // The first two characters are single-byte whenever they matter here, so
  // plain indexes are character positions.
  char first = text_.At(0);
  if (first == kBackslash) return text_.At(1) == kBackslash ? kNetwork : kRootedWithoutDrive;
  if (IsAsciiLetter(first) && text_.At(1) == ':')
    return text_.At(2) == kBackslash ? kAbsoluteWithDrive : kDriveRelative;
  return kRelative;
}

size_t FilePath::RootLength() const {
  ERootType type = RootType();
  if (type != kNetwork) return static_cast<size_t>(type);
  size_t end = ShareEnd(text_);
  return end == CString::npos ? text_.Length() : end + 1;
}

FilePath::ETrailingState FilePath::TrailingState() const {
  ERootType type = RootType();
  size_t length = text_.Length();
  if ((type == kRootedWithoutDrive && length == 1) || (type == kAbsoluteWithDrive && length == 3) ||
      (type == kNetwork && length == 2))
    return kBareRoot;
  return EndsWithSeparator() ? kTrailingSeparator : kNoTrailingSeparator;
}

void FilePath::SetTrailingState(ETrailingState mode) {
  ETrailingState state = TrailingState();
  if (state == mode) return;
  switch (mode) {
    case kTrailingSeparator:
      if (state == kNoTrailingSeparator && !text_.IsEmpty()) text_ += Separator();
      break;
    case kBareRoot:
      if (text_.Length() == 2 && RootType() == kDriveRelative) text_ += Separator();
      break;
    case kNoTrailingSeparator:
      if (state == kTrailingSeparator) text_.Truncate(text_.Length() - Separator().Length());
      break;
  }
}

CString FilePath::Extension() const {
  size_t separator = LastSeparator();
  size_t nameStart = separator == CString::npos ? 0 : separator + 1;
  size_t dot = text_.ReverseFind(kDot);
  if (dot == CString::npos || dot < nameStart || dot + 1 == text_.Length()) return CString();
  return text_.Mid(dot + 1);
}

void FilePath::SetExtension(const CString& extension) {
  CString ext = WithBackslashes(extension);
  if (ext == ".")
    ext.Clear();
  else if (!ext.IsEmpty() && ext.At(0) != kDot)
    ext = CString(".") + ext;

  size_t separator = LastSeparator();
  size_t nameStart = separator == CString::npos ? 0 : separator + 1;
  CString directory = text_.Left(nameStart);
  CString name = text_.Mid(nameStart);
  // A name ending in a dot has an empty extension behind that dot: the new
  // one takes its place, so "a." becomes "a.txt", not "a..txt", and an empty
  // one removes the dot.
  // A dot run ("..") is a step up, not a name with an extension.
  size_t dot = IsDotRun(name) ? CString::npos : name.ReverseFind(kDot);
  if (dot != CString::npos) name.Truncate(dot);
  text_ = directory + name + ext;
}

bool FilePath::IsLongName() const {
  std::vector<CString> parts = SplitComponents(text_);
  for (size_t i = parts.size(); i-- > 0;) {
    const CString& part = parts[i];
    for (const char* c = " ;,+[]="; *c; ++c) {
      if (part.Find(*c) != CString::npos) return true;
    }
    if (part.IsEmpty() || IsDotRun(part)) continue;
    // Lengths in bytes, as the 8.3 form counts them on disk.
    FilePath base(part);
    CString ext = base.Extension();
    base.SetExtension(CString());
    if (base.Text().Length() > 8 || base.Text().Find(kDot) != CString::npos || ext.Length() > 3) return true;
  }
  return false;
}

int FilePath::Compare(const FilePath& other) const {
  if (this == &other) return 0;
  FilePath converted(*this);
  converted.ConvertRootType(other.RootType());
  converted.SetTrailingState(other.TrailingState());
  return converted.text_.Lower().Compare(other.text_.Lower());
}

void FilePath::ResolveNames(bool longNames) {
  ETrailingState trailing = TrailingState();
  SetTrailingState(kNoTrailingSeparator);
  size_t rootLength = RootLength();
  CString root = text_.Left(rootLength);
  CString rest = text_.Mid(rootLength);
  if (rest.IsEmpty()) {
    SetTrailingState(trailing);
    return;
  }

  std::vector<CString> parts = SplitComponents(rest);
  if (rest.EndsWith(kBackslash)) parts.push_back(CString());  // a doubled trailing separator
  // A wildcard makes the look-ups of its component and everything below it
  // find something else than the written name.
  size_t firstWildcard = parts.size();
  for (size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].Find('*') != CString::npos || parts[i].Find('?') != CString::npos) {
      firstWildcard = i;
      break;
    }
  }

  // Where each written component ends in the rest, before any is replaced.
  std::vector<size_t> ends(parts.size());
  for (size_t i = 0; i < parts.size(); ++i) ends[i] = (i == 0 ? 0 : ends[i - 1] + 1) + parts[i].Length();

  for (size_t i = parts.size(); i-- > 0;) {
    CString& part = parts[i];
    // For a dot run FindFirstFileA answers with the name of the folder it
    // stands for, which must not replace the dots.
    if (i >= firstWildcard || part.IsEmpty() || IsDotRun(part)) continue;
    CString probe = root + rest.Left(ends[i]);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(probe.CStr(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    FindClose(search);
    found.cFileName[sizeof found.cFileName - 1] = '\0';
    found.cAlternateFileName[sizeof found.cAlternateFileName - 1] = '\0';
    if (!longNames && found.cAlternateFileName[0])
      part = found.cAlternateFileName;
    else if (found.cFileName[0])
      part = found.cFileName;
  }
  text_ = root + JoinComponents(parts);
  SetTrailingState(trailing);
}

void FilePath::ConvertRootType(ERootType target) {
  ERootType type = RootType();
  if (type == target || target < kRelative || target > kNetwork) return;

  CString cwd = ReadCurrentDirectory();
  if (cwd.IsEmpty()) return;  // nothing sound to convert against
  {
    FilePath withSeparator(cwd);
    withSeparator.SetTrailingState(kTrailingSeparator);
    cwd = withSeparator.Text();
  }
  CString root = RootOfDirectory(cwd);
  ETrailingState trailing = TrailingState();

  switch (type) {
    case kRelative:
      text_ = cwd + text_;
      break;
    case kRootedWithoutDrive:
      text_ = root + text_;
      break;
    case kDriveRelative: {
      CString directory = DirectoryOfDrive(text_.At(0));
      text_ = directory.IsEmpty() ? text_.Left(2) + Separator() + text_.Mid(2) : directory + text_.Mid(2);
      break;
    }
    default:
      break;
  }
  Normalize();
  SetTrailingState(kTrailingSeparator);

  if (target == kRelative || target == kRootedWithoutDrive) {
    MakeRelativeTo(cwd, root, target);
  } else if (target == kDriveRelative && text_.At(0) != kBackslash) {
    CString drive = text_.Left(2);
    CString directory = DirectoryOfDrive(text_.At(0));
    if (!directory.IsEmpty()) {
      MakeRelativeTo(directory, RootOfDirectory(directory), kRelative);
      if (RootType() == kRelative) text_ = drive + text_;
    } else if (text_.At(2) == kBackslash) {
      text_ = drive + text_.Mid(3);
    }
    // The drive's own directory is the bare "C:": a separator restored after
    // it would name the drive's root instead.
    if (text_.Length() == 2 && RootType() == kDriveRelative) return;
  }
  SetTrailingState(trailing);
}

void FilePath::MakeRelativeTo(const CString& cwd, const CString& root, ERootType target) {
  CString lowText = text_.Lower();
  CString lowCwd = cwd.Lower();
  CString lowRoot = root.Lower();

  if (target == kRootedWithoutDrive) {
    // Against a network directory a rooted path would lose server and share.
    if (root.At(0) != kBackslash && IsOnRoot(lowText, lowRoot)) text_ = text_.Mid(root.Length());
    return;
  }
  if (lowText == lowCwd) {
    text_.Clear();
    return;
  }
  if (!IsOnRoot(lowText, lowRoot)) return;  // another drive or share stays absolute

  // The common stretch, character by character, and its last separator.
  size_t lastSeparator = CString::npos;
  size_t i = lowRoot.Length();
  const char* a = lowText.CStr();
  const char* b = lowCwd.CStr();
  while (i < lowText.Length() && i < lowCwd.Length()) {
    size_t width = (i + 1 < lowText.Length() && CString::IsLeadByte(static_cast<unsigned char>(a[i]))) ? 2 : 1;
    if (i + width > lowCwd.Length() || memcmp(a + i, b + i, width) != 0) break;
    if (width == 1 && a[i] == kBackslash) lastSeparator = i;
    i += width;
  }
  if (lastSeparator == CString::npos) return;

  // A doubled separator where the common stretch ends would leave the
  // remainder starting with one, which names the root instead of a folder
  // below the current one.
  size_t start = lastSeparator + 1;
  while (text_.At(start) == kBackslash) ++start;
  CString remainder = text_.Mid(start);
  size_t levels = cwd.Mid(lastSeparator + 1).Count(kBackslash);
  CString up;
  for (size_t n = 0; n < levels; ++n) up += "..\\";
  text_ = up + remainder;
}

void FilePath::Normalize() {
  size_t rootLength = RootLength();
  if (rootLength >= text_.Length()) return;
  ETrailingState trailing = TrailingState();
  CString root = text_.Left(rootLength);

  std::vector<CString> kept;
  for (const CString& part : SplitComponents(text_.Mid(rootLength))) {
    if (!IsDotRun(part)) {
      kept.push_back(part);
      continue;
    }
    // Each dot past the first climbs one level, over the nearest name before
    // it. Empty components (doubled separators) are no level; dot runs left
    // from earlier climbs only ever stand at the front.
    size_t dots = part.Length();
    while (dots > 1) {
      size_t at = kept.size();
      while (at > 0 && (kept[at - 1].IsEmpty() || IsDotRun(kept[at - 1]))) --at;
      if (at == 0) break;
      kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(at - 1));
      --dots;
    }
    if (dots > 1) kept.push_back(DotRun(dots));
  }

  // Leading climbs merge into one run: "..\..\x" is "...\x". Empty
  // components (doubled separators) among them go: one left at the front
  // would make the rest rooted or a network path ("a\\..\x" is "x", not
  // "\x").
  size_t leading = 0;
  size_t levels = 0;
  for (; leading < kept.size() && (kept[leading].IsEmpty() || IsDotRun(kept[leading])); ++leading) {
    if (!kept[leading].IsEmpty()) levels += kept[leading].Length() - 1;
  }
  kept.erase(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(leading));
  if (levels > 0) kept.insert(kept.begin(), DotRun(levels + 1));

  // A relative path whose climbs uncover a drive ("a\..\C:\x") keeps a
  // "." in front: it must not become a path on that drive.
  if (root.IsEmpty() && !kept.empty() && IsAsciiLetter(kept[0].At(0)) && kept[0].At(1) == ':')
    kept.insert(kept.begin(), CString("."));

  CString rest = JoinComponents(kept);
  if (!kept.empty()) rest += kBackslash;
  text_ = root + rest;
  SetTrailingState(trailing);
}

FilePath FilePath::Parent() const {
  FilePath parent(*this);
  parent.SetTrailingState(kNoTrailingSeparator);
  size_t rootLength = parent.RootLength();
  if (parent.RemoveLast() && parent.text_.Length() < rootLength) parent.text_ = text_.Left(rootLength);
  return parent;
}

FilePath FilePath::CurrentDirectory() { return FilePath(ReadCurrentDirectory()); }

FilePath FilePath::CurrentRoot() {
  CString directory = ReadCurrentDirectory();
  if (directory.IsEmpty()) return FilePath();
  return FilePath(RootOfDirectory(directory));
}
