#include <windows.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // A failing test must fail, not wait for someone to close a dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
