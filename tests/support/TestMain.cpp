#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Names every skipped test and its reason, which the brief output leaves
// out: the runner (cmake/run-gtest.sh) fails a skip its registration does
// not expect, and must know which test it was.
class SkipNamer : public testing::EmptyTestEventListener {
 public:
  void OnTestEnd(const testing::TestInfo& test) override {
    const testing::TestResult* result = test.result();
    if (!result->Skipped()) return;
    printf("[  SKIPPED ] %s.%s\n", test.test_suite_name(), test.name());
    for (int i = 0; i < result->total_part_count(); ++i) {
      if (result->GetTestPartResult(i).skipped()) printf("  because: %s\n", result->GetTestPartResult(i).message());
    }
    fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  // A failing test must fail, not wait for someone to close a dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new SkipNamer);
  return RUN_ALL_TESTS();
}
