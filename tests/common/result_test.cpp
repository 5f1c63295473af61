// The result type: a success carries its value, a failure its message, and
// neither can be taken for the other; and the scope guard that runs a
// clean-up on every way out.
#include "common/result.h"
#include "common/scope_exit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using common::Fail;
using common::Result;

namespace {

Result<int> Half(int n) {
  if (n % 2 != 0) return Fail(std::to_string(n) + " is odd");
  return n / 2;
}

Result<> Check(bool good) {
  if (!good) return Fail("not good");
  return {};
}

// Passes a failure on unchanged, as callers do.
Result<> Quarter(int n, int& out) {
  auto half = Half(n);
  if (!half) return Fail(half.error());
  auto quarter = Half(*half);
  if (!quarter) return Fail("half of " + std::to_string(n) + ": " + quarter.error());
  out = *quarter;
  return {};
}

}  // namespace

TEST(Result, SuccessCarriesTheValueAndFailureTheMessage) {
  Result<int> good = Half(8);
  ASSERT_TRUE(good);
  EXPECT_TRUE(good.ok());
  EXPECT_EQ(*good, 4);
  EXPECT_EQ(good.error(), "");
  Result<int> bad = Half(7);
  EXPECT_FALSE(bad);
  EXPECT_EQ(bad.error(), "7 is odd");

  EXPECT_TRUE(Check(true));
  EXPECT_EQ(Check(true).error(), "");
  EXPECT_FALSE(Check(false));
  EXPECT_EQ(Check(false).error(), "not good");

  int out = 0;
  EXPECT_TRUE(Quarter(12, out));
  EXPECT_EQ(out, 3);
  EXPECT_EQ(Quarter(6, out).error(), "half of 6: 3 is odd");
  EXPECT_EQ(Quarter(5, out).error(), "5 is odd");
  EXPECT_EQ(out, 3) << "a failure leaves the output alone";
}

TEST(Result, AStringValueIsNeverTakenForAFailure) {
  Result<std::string> empty = std::string();
  EXPECT_TRUE(empty) << "an empty text is a value, not a failure";
  EXPECT_EQ(*empty, "");
  Result<std::string> text = std::string("not good");
  EXPECT_TRUE(text);
  Result<std::string> failed = Fail("");
  EXPECT_FALSE(failed) << "a failure without words is still a failure";
}

TEST(Result, HoldsValuesThatCanOnlyMove) {
  Result<std::unique_ptr<int>> owned = std::make_unique<int>(5);
  ASSERT_TRUE(owned);
  std::unique_ptr<int> taken = std::move(*owned);
  EXPECT_EQ(*taken, 5);
  Result<std::vector<int>> list = std::vector<int>{1, 2, 3};
  EXPECT_EQ(list->size(), 3u);
}

// A failure that says which of several things was at fault.
struct Fault {
  int which = -1;
  std::string message;
};

Result<void, Fault> FirstNegative(const std::vector<int>& numbers) {
  for (size_t i = 0; i < numbers.size(); ++i)
    if (numbers[i] < 0) return common::FailWith(Fault{static_cast<int>(i), "negative"});
  return {};
}

TEST(Result, AFailureMayCarryAnErrorOfItsOwnType) {
  EXPECT_TRUE(FirstNegative({1, 2}));
  EXPECT_EQ(FirstNegative({1, 2}).error().which, -1);
  Result<void, Fault> bad = FirstNegative({1, -2, -3});
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().which, 1);
  EXPECT_EQ(bad.error().message, "negative");
  Result<int, Fault> failed = common::FailWith(Fault{0, "none"});
  EXPECT_FALSE(failed);
  EXPECT_EQ(failed.error().which, 0);
}

TEST(ScopeExit, RunsItsCleanUpOnEveryWayOut) {
  std::vector<std::string> done;
  auto run = [&](int exitAt) {
    common::ScopeExit restore([&] { done.push_back("restored after " + std::to_string(exitAt)); });
    if (exitAt == 1) return;
    done.push_back("went on");
  };
  run(1);
  run(2);
  EXPECT_EQ(done, (std::vector<std::string>{"restored after 1", "went on", "restored after 2"}));
  try {
    common::ScopeExit restore([&] { done.push_back("restored on a throw"); });
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(done.back(), "restored on a throw");
}
