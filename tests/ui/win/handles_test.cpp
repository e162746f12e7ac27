// The handle owners: each handle is freed exactly once.
#include "ui/handles.h"

#include <gtest/gtest.h>

#include <vector>

namespace vm::ui {
namespace {

std::vector<int> freed;
struct CountingTraits {
  using Handle = int;
  static int Invalid() { return 0; }
  static void Free(int h) { freed.push_back(h); }
};
using Counted = Owner<CountingTraits>;

TEST(HandleOwner, FreesExactlyOnceThroughMovesResetsAndRelease) {
  freed.clear();
  {
    Counted a(1);
    Counted b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), 1);
    Counted c(2);
    c = std::move(b);  // 2 goes now, 1 moves over
    EXPECT_EQ(freed, (std::vector<int>{2}));
    c = std::move(c);  // self-move keeps the handle
    EXPECT_EQ(c.get(), 1);
    c.reset(3);
    EXPECT_EQ(freed, (std::vector<int>{2, 1}));
    Counted d(4);
    EXPECT_EQ(d.release(), 4);  // given up, never freed
    Counted e;
    e.reset();
  }
  EXPECT_EQ(freed, (std::vector<int>{2, 1, 3}));
}

}  // namespace
}  // namespace vm::ui
