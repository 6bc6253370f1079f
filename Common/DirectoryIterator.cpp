#include "DirectoryIterator.h"

#include <new>

DirectoryIterator::DirectoryIterator()
    : entry_(nullptr), search_(INVALID_HANDLE_VALUE), steps_(0), ownsEntry_(false), skipDots_(false) {}

DirectoryIterator::DirectoryIterator(const FilePath& searchPath, bool appendStar, FindEntry* storage,
                                     bool skipDots, const FindFilterRef& filter)
    : DirectoryIterator() {
  entry_ = storage;
  ownsEntry_ = storage == nullptr;
  if (ownsEntry_) entry_ = new (std::nothrow) FindEntry;
  UseFilter(filter);
  skipDots_ = skipDots;
  searchPath_ = searchPath;
  if (!entry_) return;
  if (appendStar) searchPath_.Append("*");
  searchPath_.ConvertRootType(FilePath::kAbsoluteWithDrive);
  OpenSearch();
}

DirectoryIterator::DirectoryIterator(const DirectoryIterator& other) : DirectoryIterator() { *this = other; }

DirectoryIterator& DirectoryIterator::operator=(const DirectoryIterator& other) {
  if (this == &other) return *this;
  CloseSearch();
  ReleaseEntry();

  ownsEntry_ = other.ownsEntry_;
  if (ownsEntry_)
    entry_ = other.entry_ ? new (std::nothrow) FindEntry(*other.entry_) : nullptr;
  else
    entry_ = other.entry_;
  skipDots_ = other.skipDots_;
  searchPath_ = other.searchPath_;
  UseFilter(other.filter_);
  lastError_ = other.lastError_;

  if (other.search_ == INVALID_HANDLE_VALUE || !entry_) {
    steps_ = other.steps_;
    return *this;
  }
  // Walk the same search up to the other's step; with an unchanged folder
  // that is the entry the other stands on.
  steps_ = 0;
  OpenSearch();
  while (search_ != INVALID_HANDLE_VALUE && steps_ < other.steps_) Advance();
  return *this;
}

DirectoryIterator::~DirectoryIterator() {
  CloseSearch();
  ReleaseEntry();
}

const FindEntry& DirectoryIterator::Current() const {
  static const FindEntry kNoEntry;
  return entry_ ? *entry_ : kNoEntry;
}

DirectoryIterator& DirectoryIterator::operator++() {
  Advance();
  return *this;
}

DirectoryIterator DirectoryIterator::operator++(int) {
  DirectoryIterator before(*this);
  Advance();
  return before;
}

bool DirectoryIterator::operator==(const DirectoryIterator& other) const {
  if (this == &other) return true;
  return steps_ == other.steps_ && skipDots_ == other.skipDots_ &&
         searchPath_.Text().Upper() == other.searchPath_.Text().Upper();
}

void DirectoryIterator::UseFilter(const FindFilterRef& filter) {
  if (filter && !filter->IsEnabled())
    filter_ = FindFilterRef(new (std::nothrow) FindFilter);
  else
    filter_ = filter;
}

void DirectoryIterator::OpenSearch() {
  search_ = FindFirstFileA(searchPath_.Text().CStr(), &entry_->Record());
  if (search_ == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    entry_->Reset();
    lastError_ = error;
    return;
  }
  lastError_ = ERROR_SUCCESS;
  if (Accept())
    Complete();
  else
    Advance();
}

void DirectoryIterator::CloseSearch() {
  if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
  search_ = INVALID_HANDLE_VALUE;
}

void DirectoryIterator::Advance() {
  // Nothing to move: never search on a closed handle.
  if (search_ == INVALID_HANDLE_VALUE || !entry_) return;
  while (FindNextFileA(search_, &entry_->Record())) {
    ++steps_;
    if (Accept()) {
      Complete();
      lastError_ = ERROR_SUCCESS;
      return;
    }
  }
  EndOfSearch(GetLastError());
}

bool DirectoryIterator::Accept() {
  // A name the code page cannot spell comes back with "?" in it; none of
  // these characters may stand in a name that is used as a path.
  CString name = entry_->Name();
  CString safe(name);
  for (char c : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'}) safe.Replace(c, '_');
  if (safe != name) entry_->SetName(safe);

  if (skipDots_ && (safe == "." || safe == "..")) return false;
  return !filter_ || filter_->Accept(*entry_);
}

void DirectoryIterator::Complete() {
  FilePath directory(searchPath_);
  directory.RemoveLast();
  // "C:" alone would name the drive's current folder, not its root.
  if (directory.Text().Length() < 3) directory = FilePath(directory.Text() + "\\");
  FilePath full(directory);
  full.Append(entry_->Name());
  entry_->SetPaths(directory, full);
}

void DirectoryIterator::EndOfSearch(DWORD error) {
  lastError_ = error;
  CloseSearch();
  entry_->Reset();
}

void DirectoryIterator::ReleaseEntry() {
  if (ownsEntry_) delete entry_;
  entry_ = nullptr;
  ownsEntry_ = false;
}
