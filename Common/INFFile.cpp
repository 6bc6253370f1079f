#include "INFFile.h"

#include <type_traits>

#include "DirectoryIterator.h"
#include "Trace.h"

namespace {

// One thread at a time uses the library, so a plain count will do.
long g_openHandles = 0;
long g_openQueues = 0;
long g_opens = 0;

// The setup library reports a queue it could not open either way.
bool IsQueue(HSPFILEQ queue) { return queue && queue != INVALID_HANDLE_VALUE; }

}  // namespace

INFFile::INFFile()
    : setupLibrary_("setupapi.dll"),
      calls_(),
      setupError_(ERROR_SUCCESS),
      stamp_(),
      handle_(INVALID_HANDLE_VALUE),
      lastError_(0),
      queue_(INVALID_HANDLE_VALUE),
      queueContext_(nullptr) {
  LoadSetupCalls();
}

bool INFFile::LoadSetupCalls() {
  SetupCalls calls = {};
  LoadedLibrary& library = setupLibrary_;
  auto find = [&library](auto& entry, const char* name) {
    entry = library.Entry<std::remove_reference_t<decltype(entry)>>(name);
    return entry != nullptr;
  };
  bool all = find(calls.openInfFile, "SetupOpenInfFileA") && find(calls.closeInfFile, "SetupCloseInfFile") &&
             find(calls.findFirstLine, "SetupFindFirstLineA") && find(calls.findNextLine, "SetupFindNextLine") &&
             find(calls.getLineText, "SetupGetLineTextA") && find(calls.getStringField, "SetupGetStringFieldA") &&
             find(calls.setDirectoryId, "SetupSetDirectoryIdA") && find(calls.openFileQueue, "SetupOpenFileQueue") &&
             find(calls.closeFileQueue, "SetupCloseFileQueue") &&
             find(calls.installFilesFromInfSection, "SetupInstallFilesFromInfSectionA") &&
             find(calls.commitFileQueue, "SetupCommitFileQueueA") &&
             find(calls.initDefaultQueueCallback, "SetupInitDefaultQueueCallbackEx") &&
             find(calls.termDefaultQueueCallback, "SetupTermDefaultQueueCallback") &&
             find(calls.defaultQueueCallback, "SetupDefaultQueueCallbackA");
  if (!all) {
    // Half a library is no library: nothing of it is used.
    setupError_ = setupLibrary_.LastError() ? setupLibrary_.LastError() : ERROR_PROC_NOT_FOUND;
    return false;
  }
  calls_ = calls;
  return true;
}

INFFile::~INFFile() { Close(); }

long INFFile::OpenHandles() { return g_openHandles; }

long INFFile::OpenFileQueues() { return g_openQueues; }

long INFFile::Opens() { return g_opens; }

void INFFile::Close() {
  CloseFileQueue();
  if (handle_ == INVALID_HANDLE_VALUE) return;
  calls_.closeInfFile(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  --g_openHandles;
}

bool INFFile::Failed() {
  lastError_ = GetLastError();
  return false;
}

bool INFFile::Open(const CString& path) {
  Close();
  path_ = path;
  // Taken before the read, so that a change while it reads shows too.
  stamp_ = StampOf(path);
  ++g_opens;
  if (!calls_.openInfFile) {
    Trace("INFFile::Open - no setup library (error %lu)\n", static_cast<unsigned long>(setupError_));
    lastError_ = setupError_;
    return false;
  }
  handle_ = calls_.openInfFile(path.CStr(), nullptr, INF_STYLE_WIN4, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return Failed();
  ++g_openHandles;
  return true;
}

INFFile::Stamp INFFile::StampOf(const CString& path) {
  // A search rather than GetFileAttributesExA, which Windows 95 lacks.
  Stamp stamp = {};
  DirectoryIterator search(FilePath(path), false, nullptr, false, FindFilterRef());
  if (!search.IsValid()) return stamp;
  const WIN32_FIND_DATAA& entry = search->Record();
  stamp.found = true;
  stamp.lastWrite = entry.ftLastWriteTime;
  stamp.sizeHigh = entry.nFileSizeHigh;
  stamp.sizeLow = entry.nFileSizeLow;
  return stamp;
}

bool INFFile::Unchanged() const {
  if (!stamp_.found) return false;
  Stamp now = StampOf(path_);
  return now.found && CompareFileTime(&now.lastWrite, &stamp_.lastWrite) == 0 && now.sizeHigh == stamp_.sizeHigh &&
         now.sizeLow == stamp_.sizeLow;
}

bool INFFile::FindFirstLine(const char* section, const char* key, INFCONTEXT* found) {
  // The reader does not check its handle: asking a file that failed to open
  // crashes it.
  if (!IsOpen() || !section || !found) return false;
  if (!calls_.findFirstLine(handle_, section, key, found)) return Failed();
  return true;
}

bool INFFile::FindNextLine(const INFCONTEXT& from, INFCONTEXT* next) {
  if (!IsOpen() || !next) return false;
  if (!calls_.findNextLine(const_cast<INFCONTEXT*>(&from), next)) return Failed();
  return true;
}

bool INFFile::LineText(const INFCONTEXT& line, char* buffer, DWORD size) {
  if (!IsOpen() || !buffer || size == 0) return false;
  buffer[0] = '\0';
  DWORD needed = 0;
  if (!calls_.getLineText(const_cast<INFCONTEXT*>(&line), nullptr, nullptr, nullptr, buffer, size, &needed))
    return Failed();
  buffer[size - 1] = '\0';
  return true;
}

bool INFFile::StringField(const INFCONTEXT& line, DWORD index, char* buffer, DWORD size) {
  if (!IsOpen() || !buffer || size == 0) return false;
  buffer[0] = '\0';
  DWORD needed = 0;
  if (!calls_.getStringField(const_cast<INFCONTEXT*>(&line), index, buffer, size, &needed)) return Failed();
  buffer[size - 1] = '\0';
  return true;
}

bool INFFile::SetDirectoryId(DWORD id, const CString& folder) {
  if (!IsOpen()) return false;
  if (!calls_.setDirectoryId(handle_, id, folder.CStr())) return Failed();
  return true;
}

bool INFFile::OpenFileQueue() {
  CloseFileQueue();
  if (!IsOpen()) return false;
  HSPFILEQ queue = calls_.openFileQueue();
  if (!IsQueue(queue)) return Failed();
  queue_ = queue;
  ++g_openQueues;
  // No owner and no progress window: nothing may wait for a user.
  queueContext_ = calls_.initDefaultQueueCallback(nullptr, static_cast<HWND>(INVALID_HANDLE_VALUE), 0, 0, nullptr);
  if (!queueContext_) {
    Failed();
    CloseFileQueue();
    return false;
  }
  return true;
}

bool INFFile::QueueSectionFiles(const CString& section, const CString& sourceRoot, DWORD copyFlags) {
  if (!IsOpen() || !IsQueue(queue_)) return false;
  if (!calls_.installFilesFromInfSection(handle_, nullptr, queue_, section.CStr(), sourceRoot.CStr(), copyFlags))
    return Failed();
  return true;
}

bool INFFile::CommitFileQueue(PSP_FILE_CALLBACK_A callback) {
  if (!IsQueue(queue_) || !queueContext_ || !callback) return false;
  // The callback gets this object, whose queue context the platform's own
  // answers need.
  if (!calls_.commitFileQueue(nullptr, queue_, callback, this)) return Failed();
  return true;
}

void INFFile::CloseFileQueue() {
  if (queueContext_) calls_.termDefaultQueueCallback(queueContext_);
  queueContext_ = nullptr;
  if (!IsQueue(queue_)) return;
  calls_.closeFileQueue(queue_);
  queue_ = INVALID_HANDLE_VALUE;
  --g_openQueues;
}

UINT INFFile::DefaultQueueAnswer(UINT notification, UINT_PTR param1, UINT_PTR param2) {
  // Only a committing queue asks, and only an open file has one.
  if (!queueContext_) return 0;
  return calls_.defaultQueueCallback(queueContext_, notification, param1, param2);
}
