#pragma once
// Collects what the code under test writes to the debugger output while the
// capture is alive. OutputDebugStringA raises DBG_PRINTEXCEPTION_C in the
// calling process; a vectored handler sees the text before the system's own
// handler swallows the exception.

#include <string>
#include <vector>

class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  // False on a Windows without vectored handlers (before XP): nothing is seen.
  bool IsAvailable() const { return handle_ != nullptr; }
  // Each OutputDebugStringA call, in order.
  const std::vector<std::string>& Lines() const { return lines_; }
  // All of them joined.
  std::string Text() const;
  bool Contains(const std::string& line) const;
  void Clear() { lines_.clear(); }

 private:
  static long __stdcall Handler(struct _EXCEPTION_POINTERS* info);
  static TraceCapture* current_;
  void* handle_;
  TraceCapture* previous_;
  std::vector<std::string> lines_;
};
