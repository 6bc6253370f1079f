#include "TraceCapture.h"

#include <windows.h>

#include <algorithm>

#ifndef DBG_PRINTEXCEPTION_C
#define DBG_PRINTEXCEPTION_C 0x40010006
#endif

TraceCapture* TraceCapture::current_ = nullptr;

namespace {

// Vectored handlers came with Windows XP: imported statically they would stop
// the host program from loading on the older Windows it ships for, where it
// then runs without the trace.
typedef PVOID(WINAPI* AddHandlerFunction)(ULONG, PVECTORED_EXCEPTION_HANDLER);
typedef ULONG(WINAPI* RemoveHandlerFunction)(PVOID);

FARPROC Kernel32Entry(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? GetProcAddress(kernel, name) : nullptr;
}

}  // namespace

TraceCapture::TraceCapture() : handle_(nullptr), previous_(current_) {
  current_ = this;
  auto add = reinterpret_cast<AddHandlerFunction>(reinterpret_cast<void*>(Kernel32Entry("AddVectoredExceptionHandler")));
  if (add) handle_ = add(1, &TraceCapture::Handler);
}

TraceCapture::~TraceCapture() {
  auto remove =
      reinterpret_cast<RemoveHandlerFunction>(reinterpret_cast<void*>(Kernel32Entry("RemoveVectoredExceptionHandler")));
  if (handle_ && remove) remove(handle_);
  current_ = previous_;
}

long __stdcall TraceCapture::Handler(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (current_ && record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
    // [0]: length including the terminating NUL, [1]: the text.
    size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    if (text) {
      if (length > 0 && text[length - 1] == '\0') --length;
      current_->lines_.emplace_back(text, length);
    }
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

std::string TraceCapture::Text() const {
  std::string all;
  for (const std::string& line : lines_) all += line;
  return all;
}

bool TraceCapture::Contains(const std::string& line) const {
  return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
}
