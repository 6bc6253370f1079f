#include "INFFile.h"

namespace {

// One thread at a time uses the library, so a plain count will do.
long g_openHandles = 0;

}  // namespace

INFFile::INFFile() : handle_(INVALID_HANDLE_VALUE), lastError_(0) {}

INFFile::~INFFile() { Close(); }

long INFFile::OpenHandles() { return g_openHandles; }

void INFFile::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return;
  SetupCloseInfFile(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  --g_openHandles;
}

bool INFFile::Failed() {
  lastError_ = GetLastError();
  return false;
}

bool INFFile::Open(const CString& path) {
  Close();
  handle_ = SetupOpenInfFileA(path.CStr(), nullptr, INF_STYLE_WIN4, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) return Failed();
  ++g_openHandles;
  return true;
}

bool INFFile::FindFirstLine(const char* section, const char* key, INFCONTEXT* found) {
  // The reader does not check its handle: asking a file that failed to open
  // crashes it.
  if (!IsOpen() || !section || !found) return false;
  if (!SetupFindFirstLineA(handle_, section, key, found)) return Failed();
  return true;
}

bool INFFile::FindNextLine(const INFCONTEXT& from, INFCONTEXT* next) {
  if (!IsOpen() || !next) return false;
  if (!SetupFindNextLine(const_cast<INFCONTEXT*>(&from), next)) return Failed();
  return true;
}

bool INFFile::LineText(const INFCONTEXT& line, char* buffer, DWORD size) {
  if (!IsOpen() || !buffer || size == 0) return false;
  buffer[0] = '\0';
  DWORD needed = 0;
  if (!SetupGetLineTextA(const_cast<INFCONTEXT*>(&line), nullptr, nullptr, nullptr, buffer, size, &needed))
    return Failed();
  buffer[size - 1] = '\0';
  return true;
}

bool INFFile::StringField(const INFCONTEXT& line, DWORD index, char* buffer, DWORD size) {
  if (!IsOpen() || !buffer || size == 0) return false;
  buffer[0] = '\0';
  DWORD needed = 0;
  if (!SetupGetStringFieldA(const_cast<INFCONTEXT*>(&line), index, buffer, size, &needed)) return Failed();
  buffer[size - 1] = '\0';
  return true;
}
