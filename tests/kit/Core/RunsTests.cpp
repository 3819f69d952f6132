// A step's callback acts only while its owner lives and its run goes on.
#include <ZTUtilites/ZTRuns.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

using namespace ZentrelSDK;

namespace {

struct Owner {
  ZTRuns runs;
  int answers = 0;
};

struct RunRow {
  const char* name;
  bool holdsOwner;                                    // the callback keeps its owner
  std::function<void(std::shared_ptr<Owner>&)> then;  // what happens before the answer
  bool acts;
};

void PrintTo(const RunRow& row, std::ostream* out) {
  *out << row.name;
}

class RunGuard : public ::testing::TestWithParam<RunRow> {};

TEST_P(RunGuard, AnAnswerActsOnlyForTheLiveRunOfALiveOwner) {
  const auto& row = GetParam();
  auto owner = std::make_shared<Owner>();
  owner->runs.begin();
  const std::weak_ptr<Owner> watch = owner;
  std::optional<int> heard;
  auto body = [&heard](Owner& self, int value) {
    ++self.answers;
    heard = value;
  };
  std::function<void(int)> answer = row.holdsOwner
                                        ? std::function<void(int)>(owner->runs.guard(owner, body))
                                        : owner->runs.guard(std::weak_ptr<Owner>(owner), body);

  row.then(owner);
  answer(7);
  EXPECT_EQ(heard, row.acts ? std::optional<int>(7) : std::nullopt);
  if (auto alive = watch.lock()) {
    EXPECT_EQ(alive->answers, row.acts ? 1 : 0);
  }

  answer = nullptr;
  owner.reset();
  EXPECT_TRUE(watch.expired()) << "the callback lets go of its owner when it goes";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunGuard,
    ::testing::Values(
        RunRow{"SameRun", false, [](auto&) {}, true},
        RunRow{"NewerRun", false, [](auto& owner) { owner->runs.begin(); }, false},
        RunRow{"EndedRun", false, [](auto& owner) { owner->runs.end(); }, false},
        RunRow{"EndedThenNewRun", false,
               [](auto& owner) {
                 owner->runs.end();
                 owner->runs.begin();
               },
               false},
        RunRow{"OwnerGone", false, [](auto& owner) { owner.reset(); }, false},
        RunRow{"OwnerKeptByTheCallback", true, [](auto& owner) { owner.reset(); }, true},
        RunRow{"KeptOwnerButEndedRun", true, [](auto& owner) { owner->runs.end(); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
