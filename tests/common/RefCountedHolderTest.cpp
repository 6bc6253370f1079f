#include <gtest/gtest.h>

#include "RefCountedHolder.h"

namespace {

struct Tracked {
  explicit Tracked(int* live) : live_(live) { ++*live_; }
  ~Tracked() { --*live_; }
  int* live_;
};

}  // namespace

TEST(RefCountedHolder, LastCopyToLetGoFreesTheObject) {
  int live = 0;
  {
    auto first = RefCountedHolder<Tracked>::Make(&live);
    EXPECT_EQ(1, live);
    RefCountedHolder<Tracked> second(first);
    RefCountedHolder<Tracked> third;
    third = second;
    EXPECT_EQ(3, first.UseCount());
    EXPECT_TRUE(first.SharesWith(third));
    first.Reset();
    second = RefCountedHolder<Tracked>();
    EXPECT_EQ(1, live) << "one copy still holds it";
    third = third;  // assignment to itself keeps the object
    EXPECT_EQ(1, live);
  }
  EXPECT_EQ(0, live);
}

TEST(RefCountedHolder, EmptyHoldersShareNothing) {
  RefCountedHolder<int> a, b;
  EXPECT_FALSE(a);
  EXPECT_EQ(nullptr, a.Get());
  EXPECT_EQ(0, a.UseCount());
  auto c = RefCountedHolder<int>::Make(5);
  EXPECT_FALSE(a.SharesWith(c));
  a = c;
  EXPECT_TRUE(a.SharesWith(c));
  EXPECT_EQ(5, *a);
}
