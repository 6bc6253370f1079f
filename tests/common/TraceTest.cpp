#include <gtest/gtest.h>

#include <string>

#include "Trace.h"
#include "TraceCapture.h"

TEST(Trace, LinesReachTheDebuggerOutput) {
  TraceCapture capture;
  Trace("RegistryInfo::GetHiveString - bad index %i\n", -1);
  ASSERT_EQ(1u, capture.Lines().size());
  EXPECT_EQ("RegistryInfo::GetHiveString - bad index -1\n", capture.Lines()[0]);
}

TEST(Trace, LongTextsAreWrittenWhole) {
  TraceCapture capture;
  for (size_t size : {511u, 512u, 513u, 1024u, 70000u}) {
    std::string text(size, 'x');
    text[size / 2] = 'y';
    Trace("%s\n", text.c_str());
    ASSERT_FALSE(capture.Lines().empty());
    EXPECT_EQ(text + "\n", capture.Lines().back()) << "text of " << size << " bytes";
  }
}

TEST(Trace, NullFormatIsIgnored) {
  TraceCapture capture;
  const char* none = nullptr;
  Trace(none);
  EXPECT_TRUE(capture.Lines().empty());
}
