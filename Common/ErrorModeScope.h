#pragma once
// For its lifetime the platform answers the caller instead of asking the
// user: a host that runs unattended would wait for ever on a box nobody
// sees. The modes are added to the process's own, which is put back when the
// scope ends.
//
//   ErrorModeScope quiet(SEM_FAILCRITICALERRORS);  // an empty drive fails

#include <windows.h>

class ErrorModeScope {
 public:
  explicit ErrorModeScope(UINT modes);
  virtual ~ErrorModeScope();
  ErrorModeScope(const ErrorModeScope&) = delete;
  ErrorModeScope& operator=(const ErrorModeScope&) = delete;

 private:
  UINT previous_;
};
