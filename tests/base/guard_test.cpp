#include "base/guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace tedskit::base {
namespace {

TEST(Guard, AnyExceptionBecomesTheFallback) {
  EXPECT_EQ(guard(-739, [] { return 5; }), 5);
  EXPECT_EQ(guard(-739, []() -> int { throw std::bad_alloc(); }), -739);
  EXPECT_EQ(guard(-1, []() -> int { throw 42; }), -1);
  const char* none = guard<const char*>(nullptr, []() -> const char* { throw std::runtime_error("x"); });
  EXPECT_EQ(none, nullptr);
  int steps = 0;
  guard([&] {
    ++steps;
    throw std::bad_alloc();
  });
  EXPECT_EQ(steps, 1);
  static_assert(noexcept(guard(0, [] { return 0; })));
}

}  // namespace
}  // namespace tedskit::base
