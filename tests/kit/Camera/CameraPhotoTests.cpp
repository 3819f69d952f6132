#include <filesystem>
#include <string>

#include <AVFoundation/AVTypes.hpp>
#include <Foundation/Data.hpp>
#include <Photos/PHTypes.hpp>

#include "CameraFixture.hpp"

using namespace cameratest;
using ZentrelSDK::CameraOutputMode;
using ZentrelSDK::CaptureError;
using PhotoFault = CaptureRig::PhotoFault;

namespace {

class CameraPhoto : public CameraTest {
 protected:
  void SetUp() override {
    CameraTest::SetUp();
    manager->setWriteFilesToPhoneLibrary(false);
  }
  // Captures and saves; the outcome once `count` completions came.
  std::shared_ptr<Outcome> save(const std::string& prefix, std::size_t count = 1) {
    auto outcome = std::make_shared<Outcome>();
    manager->captureAndSavePictureWithCompletion(prefix, recorder(outcome));
    EXPECT_TRUE(until([&] { return outcome->count() >= count; }));
    return outcome;
  }
  std::shared_ptr<Outcome> capture() {
    auto outcome = std::make_shared<Outcome>();
    manager->capturePhotoWithCompletion(recorder(outcome));
    EXPECT_TRUE(until([&] { return outcome->count() > 0; }));
    return outcome;
  }
  static Foundation::URL urlOf(const ZentrelSDK::CaptureResult& result) {
    return *result.successValue()->content.asUrl();
  }
};

TEST_F(CameraPhoto, SavesTheCaptureAsPrefixJpgWithItsOwnProperties) {
  attach();
  const auto outcome = save("1733544000");
  ASSERT_EQ(outcome->count(), 1u);
  ASSERT_TRUE(outcome->at(0).isSuccess());
  const auto url = urlOf(outcome->at(0));
  EXPECT_EQ(url.path(), cacheFolder() + "/1733544000.jpg");
  const auto bytes = Foundation::dataContentsOf(url).value();
  const auto source = ImageIO::CGImageSource::createWithData(bytes);
  const auto properties = source->copyProperties(0).value();
  // The photo preset's frame, the first the sensor gave, in the capture's orientation.
  EXPECT_EQ(properties.pixelWidth, 4032u);
  EXPECT_EQ(properties.pixelHeight, 3024u);
  EXPECT_EQ(properties.orientation,
            AVFoundation::exifOrientation(AVFoundation::AVCaptureVideoOrientation::portrait));
  EXPECT_FALSE(properties.app1Segments.empty());
  EXPECT_EQ(frameNumber(bytes), 0u);
}

struct FaultRow {
  const char* name;
  PhotoFault fault;
  double delay;
};

class Fault : public CameraPhoto, public ::testing::WithParamInterface<FaultRow> {};

TEST_P(Fault, GivesOneFailureAndTheNextCaptureItsOwnPhoto) {
  attach();
  manager->setPhotoCaptureTimeout(2);
  CaptureRig::injectPhotoFault(GetParam().fault, GetParam().delay);
  auto failed = std::make_shared<Outcome>();
  manager->capturePhotoWithCompletion(recorder(failed));
  ASSERT_TRUE(until([&] { return failed->count() > 0; }, 4.0));
  EXPECT_TRUE(failedWith(failed->at(0), CaptureError::noImageData));
  manager->setPhotoCaptureTimeout(ZTCameraViewManager::defaultPhotoCaptureTimeout);

  const auto next = capture();
  // Whatever the fault's callback still does, it reaches neither capture.
  for (int i = 0; i < 20; ++i) advance(0.25);
  ui->settle();
  ASSERT_EQ(failed->count(), 1u);
  ASSERT_EQ(next->count(), 1u);
  ASSERT_TRUE(next->at(0).isSuccess());
  EXPECT_EQ(frameNumber(*next->at(0).imageData()), 1u);
}

INSTANTIATE_TEST_SUITE_P(Camera, Fault,
                         ::testing::Values(FaultRow{"error", PhotoFault::error, 0},
                                           FaultRow{"noData", PhotoFault::noData, 0},
                                           FaultRow{"nonImageData", PhotoFault::nonImageData, 0},
                                           FaultRow{"never", PhotoFault::never, 0},
                                           FaultRow{"lateBeyondTheWait", PhotoFault::late, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraPhoto, ARepeatedCallbackIsDropped) {
  attach();
  CaptureRig::injectPhotoFault(PhotoFault::twice);
  const auto first = capture();
  const auto second = capture();
  ui->settle();
  ASSERT_EQ(first->count(), 1u);
  EXPECT_EQ(frameNumber(*first->at(0).imageData()), 0u);
  EXPECT_EQ(frameNumber(*second->at(0).imageData()), 1u);
}

struct QueueRow {
  const char* name;
  bool animateShutter;
  bool onMain;
};

class CompletionQueue : public CameraPhoto, public ::testing::WithParamInterface<QueueRow> {};

TEST_P(CompletionQueue, FollowsTheShutter) {
  attach();
  manager->setAnimateShutter(GetParam().animateShutter);
  const auto outcome = save("queue");
  ASSERT_TRUE(outcome->at(0).isSuccess());
  EXPECT_EQ(outcome->onMain(0), GetParam().onMain);
  if (!GetParam().onMain) {
    EXPECT_EQ(outcome->queue(0), "CameraSessionQueue");
  }
}

INSTANTIATE_TEST_SUITE_P(Camera, CompletionQueue,
                         ::testing::Values(QueueRow{"shutter", true, true},
                                           QueueRow{"noShutter", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MirrorRow {
  const char* name;
  ZentrelSDK::CameraDevice camera;
  bool flipFront;
  bool mirrored;
};

class Mirroring : public CameraPhoto, public ::testing::WithParamInterface<MirrorRow> {};

TEST_P(Mirroring, FlipsOnlyTheFrontCamerasPhotoWhenAsked) {
  const auto& row = GetParam();
  const auto position = row.camera == ZentrelSDK::CameraDevice::front
                            ? AVFoundation::AVCaptureDevice::Position::front
                            : AVFoundation::AVCaptureDevice::Position::back;
  manager->setShouldFlipFrontCameraImage(row.flipFront);
  attach();
  manager->setCameraDevice(row.camera);
  ASSERT_TRUE(
      until([&] { return manager->captureSession()->videoDevice()->position() == position; }));
  ASSERT_TRUE(until([&] { return manager->cameraIsReady(); }));
  const auto outcome = capture();
  ASSERT_EQ(outcome->count(), 1u);
  ASSERT_TRUE(outcome->at(0).isSuccess());
  // Read from the picture's own pixels: the sensor's markers come out swapped when mirrored.
  auto image = ImageIO::CGImageSource::createWithData(*outcome->at(0).imageData())->createImage(0);
  ASSERT_TRUE(image.isSuccess());
  const auto mark = CaptureRig::readPattern(*image.value());
  ASSERT_TRUE(mark.has_value());
  EXPECT_EQ(mark->mirrored, row.mirrored);
}

INSTANTIATE_TEST_SUITE_P(
    Camera, Mirroring,
    ::testing::Values(MirrorRow{"frontFlipped", ZentrelSDK::CameraDevice::front, true, true},
                      MirrorRow{"backWithFlipOn", ZentrelSDK::CameraDevice::back, true, false},
                      MirrorRow{"frontUnflipped", ZentrelSDK::CameraDevice::front, false, false},
                      MirrorRow{"back", ZentrelSDK::CameraDevice::back, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedRow {
  const char* name;
  bool setUp;
  std::string title;
};

class Refused : public CameraPhoto, public ::testing::WithParamInterface<RefusedRow> {};

TEST_P(Refused, ShowsItsMessageAndFailsWithNoVideoConnection) {
  collectMessages();
  if (GetParam().setUp) attach(CameraOutputMode::videoOnly);
  const auto outcome = capture();
  ASSERT_TRUE(until([&] { return !messages.empty(); }));
  EXPECT_TRUE(failedWith(outcome->at(0), CaptureError::noVideoConnection));
  EXPECT_EQ(titles(), std::vector<std::string>{GetParam().title});
}

INSTANTIATE_TEST_SUITE_P(
    Camera, Refused,
    ::testing::Values(RefusedRow{"beforeSetUp", false, "No capture session setup"},
                      RefusedRow{"videoMode", true, "Capture session output mode video"}),
    [](const auto& info) { return std::string(info.param.name); });

struct PrefixRow {
  const char* name;
  std::string prefix;
};

class BadPrefix : public CameraPhoto, public ::testing::WithParamInterface<PrefixRow> {};

TEST_P(BadPrefix, FailsAndWritesNothing) {
  attach();
  const auto outcome = save(GetParam().prefix);
  const auto result = outcome->at(0);
  const auto* failure = result.failureValue();
  ASSERT_NE(failure, nullptr);
  const auto* error = std::get_if<Foundation::CocoaError>(failure);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->code, Foundation::CocoaError::Code::FileWriteInvalidFileName);
  EXPECT_FALSE(std::filesystem::exists(cacheFolder()) && !std::filesystem::is_empty(cacheFolder()));
}

INSTANTIATE_TEST_SUITE_P(Camera, BadPrefix,
                         ::testing::Values(PrefixRow{"slash", "a/b"}, PrefixRow{"dot", "."},
                                           PrefixRow{"dotDot", ".."},
                                           PrefixRow{"nul", std::string("a\0b", 3)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraPhoto, AnEmptyPrefixGetsAUniqueNameAndAnExplicitOneReplacesItsFile) {
  attach();
  const auto a = urlOf(save("")->at(0));
  const auto b = urlOf(save("")->at(0));
  EXPECT_NE(a.path(), b.path());
  EXPECT_NE(a.path(), cacheFolder() + "/.jpg");
  const auto first = urlOf(save("same")->at(0));
  const auto second = urlOf(save("same")->at(0));
  EXPECT_EQ(first.path(), second.path());
  EXPECT_EQ(frameNumber(Foundation::dataContentsOf(second).value()), 3u);
}

TEST_F(CameraPhoto, WithTheLibraryTheURLComesFirstThenTheAsset) {
  attach();
  manager->setWriteFilesToPhoneLibrary(true);
  manager->setImageAlbumName("Documents");
  CaptureRig::setLibraryPermission(Photos::PHAuthorizationStatus::authorized);
  const auto outcome = save("library", 2);
  ASSERT_EQ(outcome->count(), 2u);
  EXPECT_TRUE(outcome->at(0).successValue()->content.asUrl().has_value());
  const auto second = outcome->at(1);
  const auto* asset = second.successValue();
  ASSERT_NE(asset, nullptr);
  EXPECT_TRUE(std::holds_alternative<std::shared_ptr<Photos::PHAsset>>(asset->content.value()));
  ASSERT_EQ(CaptureRig::albums().size(), 1u);
}

TEST_F(CameraPhoto, ARefusedLibraryLeavesOnlyTheURL) {
  attach();
  manager->setWriteFilesToPhoneLibrary(true);
  CaptureRig::setLibraryPermission(Photos::PHAuthorizationStatus::notDetermined,
                                   Photos::PHAuthorizationStatus::denied);
  const auto outcome = save("refused");
  for (int i = 0; i < 10; ++i) advance(0.2);
  EXPECT_EQ(outcome->count(), 1u);
  EXPECT_EQ(CaptureRig::libraryPrompts(), 1);
}

struct CutRow {
  const char* name;
  void (*cut)(std::shared_ptr<ZTCameraViewManager>& manager);
};

class MidCapture : public CameraPhoto, public ::testing::WithParamInterface<CutRow> {};

TEST_P(MidCapture, TheCaptureFailsAtOnce) {
  attach();
  CaptureRig::injectPhotoFault(PhotoFault::never);
  auto outcome = std::make_shared<Outcome>();
  manager->capturePhotoWithCompletion(recorder(outcome));
  // Cut only once the capture waits on the hardware, which took its fault.
  ASSERT_TRUE(ui->runUntil([] { return CaptureRig::waitingPhotoFaults() == 0; }, 5));
  GetParam().cut(manager);
  // The clock stands still: the time-out cannot be what answers.
  ASSERT_TRUE(ui->runUntil([&] { return outcome->count() > 0; }, 5));
  EXPECT_TRUE(failedWith(outcome->at(0), CaptureError::noImageData));
}

INSTANTIATE_TEST_SUITE_P(Camera, MidCapture,
                         ::testing::Values(CutRow{"destroyingTheManager",
                                                  [](std::shared_ptr<ZTCameraViewManager>& m) {
                                                    m.reset();
                                                  }},
                                           CutRow{"removingTheSession",
                                                  [](std::shared_ptr<ZTCameraViewManager>& m) {
                                                    m->stopAndRemoveCaptureSession();
                                                  }}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
