#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include <Foundation/Thread.hpp>
#include <LocalAuthentication/LAContext.hpp>

#include "SecurityTestSupport.hpp"

using namespace LocalAuthentication;
using PlatformTesting::Device;

namespace {

// What a reply brought, and where it ran.
struct Reply {
  bool success = false;
  std::optional<LAError> error;
  std::thread::id thread;
  bool onMainThread = true;
};

class ReplyWaiter {
 public:
  LAContext::Reply callback() {
    return [this](bool success, std::optional<LAError> error) {
      std::lock_guard lock(mutex_);
      reply_ =
          Reply{success, error, std::this_thread::get_id(), Foundation::Thread::isMainThread()};
      cv_.notify_all();
    };
  }
  std::optional<Reply> wait() {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(10), [&] { return reply_.has_value(); });
    return reply_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::optional<Reply> reply_;
};

}  // namespace

using LocalAuthenticationContext = sectest::DeviceTest;

TEST_F(LocalAuthenticationContext, PoliciesFollowTheDeviceSettings) {
  struct Case {
    bool passcode;
    LABiometryType hardware;
    bool enrolled;
    std::optional<LAError::Code> ownerRefusal;
    std::optional<LAError::Code> biometricsRefusal;
  };
  const Case cases[] = {
      {true, LABiometryType::faceID, true, std::nullopt, std::nullopt},
      {true, LABiometryType::touchID, false, std::nullopt, LAError::Code::biometryNotEnrolled},
      {true, LABiometryType::none, false, std::nullopt, LAError::Code::biometryNotAvailable},
      {false, LABiometryType::faceID, true, LAError::Code::passcodeNotSet,
       LAError::Code::passcodeNotSet},
      {false, LABiometryType::none, false, LAError::Code::passcodeNotSet,
       LAError::Code::biometryNotAvailable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "passcode " << c.passcode << ", hardware "
                                    << static_cast<int>(c.hardware) << ", enrolled " << c.enrolled);
    Device::setPasscodeSet(c.passcode);
    Device::setBiometry(c.hardware, c.enrolled);
    LAContext context;
    EXPECT_EQ(context.biometryType(), LABiometryType::none);  // unknown until asked

    const std::optional<LAError> untouched = LAError{LAError::Code::systemCancel};
    auto error = untouched;
    EXPECT_EQ(context.canEvaluatePolicy(LAPolicy::deviceOwnerAuthentication, &error),
              !c.ownerRefusal);
    EXPECT_EQ(error, c.ownerRefusal ? std::optional<LAError>(LAError{*c.ownerRefusal}) : untouched);
    // The hardware is known once asked, whatever the answer.
    EXPECT_EQ(context.biometryType(), c.hardware);

    error = untouched;
    EXPECT_EQ(context.canEvaluatePolicy(LAPolicy::deviceOwnerAuthenticationWithBiometrics, &error),
              !c.biometricsRefusal);
    EXPECT_EQ(error, c.biometricsRefusal ? std::optional<LAError>(LAError{*c.biometricsRefusal})
                                         : untouched);
  }
}

TEST_F(LocalAuthenticationContext, RepliesOnAPrivateQueueWithTheOwnersAnswer) {
  struct Case {
    Device::Answer answer;
    std::optional<LAError::Code> error;
  };
  const Case cases[] = {{Device::Answer::approve, std::nullopt},
                        {Device::Answer::cancel, LAError::Code::userCancel},
                        {Device::Answer::fail, LAError::Code::authenticationFailed}};
  auto context = std::make_shared<LAContext>();
  for (const auto& c : cases) {
    Device::setPromptAnswer(c.answer);
    ReplyWaiter waiter;
    context->evaluatePolicy(LAPolicy::deviceOwnerAuthenticationWithBiometrics, "Confirm payment",
                            waiter.callback());
    const auto reply = waiter.wait();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->success, !c.error);
    EXPECT_EQ(reply->error ? std::optional(reply->error->code) : std::nullopt, c.error);
    EXPECT_NE(reply->thread, std::this_thread::get_id());
    EXPECT_FALSE(reply->onMainThread);
  }
  const auto prompts = Device::shownPrompts();
  ASSERT_EQ(prompts.size(), 3u);
  for (const auto& prompt : prompts) {
    EXPECT_EQ(prompt.reason, "Confirm payment");
    EXPECT_EQ(prompt.policy, LAPolicy::deviceOwnerAuthenticationWithBiometrics);
  }
}

TEST_F(LocalAuthenticationContext, APolicyThatCannotBeEvaluatedShowsNoSheet) {
  Device::setBiometry(LABiometryType::none);
  ReplyWaiter waiter;
  {
    // The reply still comes when the context is gone.
    LAContext context;
    context.evaluatePolicy(LAPolicy::deviceOwnerAuthenticationWithBiometrics, "Sign in",
                           waiter.callback());
  }
  const auto reply = waiter.wait();
  ASSERT_TRUE(reply.has_value());
  EXPECT_FALSE(reply->success);
  ASSERT_TRUE(reply->error.has_value());
  EXPECT_EQ(reply->error->code, LAError::Code::biometryNotAvailable);
  EXPECT_EQ(reply->error->localizedDescription(), "Biometry is not available on this device.");
  EXPECT_TRUE(Device::shownPrompts().empty());
}

TEST_F(LocalAuthenticationContext, AHeldSheetWaitsForTheOwner) {
  Device::setPromptAnswer(Device::Answer::hold);
  LAContext context;
  ReplyWaiter waiter;
  context.evaluatePolicy(LAPolicy::deviceOwnerAuthentication, "Unlock notes", waiter.callback());
  const auto prompt = Device::waitForPrompt(10.0);
  ASSERT_TRUE(prompt.has_value());
  EXPECT_EQ(prompt->reason, "Unlock notes");
  EXPECT_FALSE(Device::answerPrompt(Device::Answer::hold));
  ASSERT_TRUE(Device::answerPrompt(Device::Answer::approve));
  const auto reply = waiter.wait();
  ASSERT_TRUE(reply.has_value());
  EXPECT_TRUE(reply->success);
  EXPECT_FALSE(Device::waitForPrompt(0.0).has_value());
}

TEST(LocalAuthenticationReuse, DurationIsClampedToThePlatformRange) {
  LAContext context;
  EXPECT_EQ(context.touchIDAuthenticationAllowableReuseDuration(), 0.0);
  context.setTouchIDAuthenticationAllowableReuseDuration(10.0);
  EXPECT_EQ(context.touchIDAuthenticationAllowableReuseDuration(), 10.0);
  context.setTouchIDAuthenticationAllowableReuseDuration(1e9);
  EXPECT_EQ(context.touchIDAuthenticationAllowableReuseDuration(),
            LATouchIDAuthenticationMaximumAllowableReuseDuration);
  context.setTouchIDAuthenticationAllowableReuseDuration(-1.0);
  EXPECT_EQ(context.touchIDAuthenticationAllowableReuseDuration(), 0.0);
  context.setTouchIDAuthenticationAllowableReuseDuration(std::nan(""));
  EXPECT_EQ(context.touchIDAuthenticationAllowableReuseDuration(), 0.0);
}
