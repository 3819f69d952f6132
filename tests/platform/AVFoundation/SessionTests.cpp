#include <cmath>

#include <AVFoundation/AVCaptureMovieFileOutput.hpp>
#include <AVFoundation/AVCaptureVideoPreviewLayer.hpp>
#include <CoreMedia/CMFormatDescription.hpp>
#include <CoreMedia/CMTime.hpp>

#include "AVTestSupport.hpp"
#include "support/CaptureSupport.hpp"

using namespace avtest;
using Preset = AVCaptureSession::Preset;

class Session : public CaptureTest {};

TEST_F(Session, NestedConfigurationReachesTheHardwareAtTheOutermostCommit) {
  auto session = AVCaptureSession::make();
  auto input = AVCaptureDeviceInput::make(AVCaptureDevice::defaultDevice(AVMediaType::video));
  ASSERT_TRUE(input.isSuccess());
  session->beginConfiguration();
  session->beginConfiguration();
  EXPECT_TRUE(session->setSessionPreset(AVCaptureSessionPresetLow));
  EXPECT_TRUE(session->addInput(input.value()));
  session->commitConfiguration();
  EXPECT_TRUE(CaptureRig::configurationLog().empty());
  EXPECT_EQ(session->sessionPreset(), Preset::low);
  EXPECT_EQ(session->activePreset(), Preset::high);
  session->commitConfiguration();
  EXPECT_EQ(session->activePreset(), Preset::low);
  EXPECT_EQ(CaptureRig::configurationLog(),
            (std::vector<std::string>{"begin", "preset Low", "add input Back Camera", "commit"}));
  session->commitConfiguration();  // unbalanced: nothing happens
  session->startRunning();
  session->stopRunning();
  EXPECT_EQ(CaptureRig::configurationLog().size(), 6u);
}

TEST_F(Session, RefusedPresetsLeaveThePresetAsItWas) {
  CaptureRig::setAcceptedPresets({Preset::high, Preset::medium});
  auto session = AVCaptureSession::make();
  const std::vector<std::pair<Preset, bool>> rows = {
      {Preset::photo, false}, {Preset::medium, true}, {Preset::low, false}, {Preset::high, true}};
  Preset expected = session->sessionPreset();
  for (const auto& [preset, accepted] : rows) {
    EXPECT_EQ(session->canSetSessionPreset(preset), accepted) << presetName(preset);
    EXPECT_EQ(session->setSessionPreset(preset), accepted) << presetName(preset);
    if (accepted) expected = preset;
    EXPECT_EQ(session->sessionPreset(), expected);
    EXPECT_EQ(session->activePreset(), expected);
  }
}

TEST_F(Session, CanAddTogglesAndDuplicateCameras) {
  auto session = AVCaptureSession::make();
  auto back =
      AVCaptureDeviceInput::make(AVCaptureDevice::defaultDevice(AVMediaType::video)).value();
  auto front = AVCaptureDeviceInput::make(AVCaptureDevice::defaultDevice(
                                              AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                              AVMediaType::video, AVCaptureDevice::Position::front))
                   .value();
  auto output = AVCapturePhotoOutput::make();
  CaptureRig::setCanAddInputs(false);
  CaptureRig::setCanAddOutputs(false);
  EXPECT_FALSE(session->canAddInput(back));
  EXPECT_FALSE(session->addInput(back));
  EXPECT_FALSE(session->addOutput(output));
  CaptureRig::setCanAddInputs(true);
  CaptureRig::setCanAddOutputs(true);
  EXPECT_TRUE(session->addOutput(output));
  EXPECT_EQ(output->connection(AVMediaType::video), nullptr);
  EXPECT_TRUE(session->addInput(back));
  EXPECT_FALSE(session->canAddInput(front));  // one camera at a time
  ASSERT_NE(output->connection(AVMediaType::video), nullptr);
  EXPECT_TRUE(output->connection(AVMediaType::video)->isActive());
  session->removeInput(back);
  EXPECT_EQ(output->connection(AVMediaType::video), nullptr);
  EXPECT_TRUE(session->addInput(front));
  EXPECT_EQ(session->videoDevice()->position(), AVCaptureDevice::Position::front);
}

TEST_F(Session, DeviceInputsNeedAccessAndCanFail) {
  auto camera = AVCaptureDevice::defaultDevice(AVMediaType::video);
  CaptureRig::failInputs(1);
  EXPECT_EQ(AVCaptureDeviceInput::make(camera).error().code, AVErrorDeviceNotConnected);
  EXPECT_TRUE(AVCaptureDeviceInput::make(camera).isSuccess());
  CaptureRig::setCameraPermission(AVAuthorizationStatus::denied);
  EXPECT_EQ(AVCaptureDeviceInput::make(camera).error().code,
            AVErrorApplicationIsNotAuthorizedToUseDevice);
  EXPECT_FALSE(AVCaptureDeviceInput::make(nullptr).isSuccess());
}

TEST_F(Session, RequestsMovePermissionsAfterTheirDelay) {
  struct Row {
    AVMediaType media;
    bool grants;
    double delay;
    AVAuthorizationStatus after;
  };
  const std::vector<Row> rows = {
      {AVMediaType::video, true, 0, AVAuthorizationStatus::authorized},
      {AVMediaType::video, false, 0, AVAuthorizationStatus::denied},
      {AVMediaType::audio, true, 3, AVAuthorizationStatus::authorized},
  };
  for (const auto& row : rows) {
    CaptureRig::reset();
    if (row.media == AVMediaType::video)
      CaptureRig::setCameraPermission(AVAuthorizationStatus::notDetermined, row.grants, row.delay);
    else
      CaptureRig::setMicrophonePermission(AVAuthorizationStatus::notDetermined, row.grants,
                                          row.delay);
    zttest::Recorder<bool> answers;
    AVCaptureDevice::requestAccess(row.media, [&](bool granted) { answers.record(granted); });
    if (row.delay > 0) {
      EXPECT_FALSE(answers.waitFor(1, 0.2));
      EXPECT_EQ(AVCaptureDevice::authorizationStatus(row.media),
                AVAuthorizationStatus::notDetermined);
      clock->advance(row.delay);
    }
    ASSERT_TRUE(answers.waitFor(1));
    EXPECT_EQ(AVCaptureDevice::authorizationStatus(row.media), row.after);
    EXPECT_EQ(answers.calls()[0].value, row.grants);
    EXPECT_FALSE(answers.calls()[0].onMain);
    // Asked again: the same answer, no new prompt.
    AVCaptureDevice::requestAccess(row.media, [&](bool granted) { answers.record(granted); });
    ASSERT_TRUE(answers.waitFor(2));
    EXPECT_EQ(answers.calls()[1].value, row.grants);
    EXPECT_EQ(row.media == AVMediaType::video ? CaptureRig::cameraPrompts()
                                              : CaptureRig::microphonePrompts(),
              1);
  }
}

TEST_F(Session, DevicesChangeOnlyUnderTheirLock) {
  auto back = AVCaptureDevice::defaultDevice(AVMediaType::video);
  auto front = AVCaptureDevice::defaultDevice(AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                              AVMediaType::video, AVCaptureDevice::Position::front);
  ASSERT_NE(front, nullptr);
  EXPECT_FALSE(back->setTorchMode(AVCaptureDevice::TorchMode::on));
  CaptureRig::failLocks(AVCaptureDevice::Position::back, 1);
  EXPECT_EQ(back->lockForConfiguration().error().code,
            AVErrorDeviceLockedForConfigurationByAnotherProcess);
  ASSERT_TRUE(back->lockForConfiguration().isSuccess());
  EXPECT_TRUE(back->setTorchMode(AVCaptureDevice::TorchMode::on));
  EXPECT_TRUE(back->setVideoZoomFactor(3));
  EXPECT_FALSE(back->setVideoZoomFactor(back->activeFormat().videoMaxZoomFactor + 1));
  EXPECT_FALSE(back->setVideoZoomFactor(0.5));
  EXPECT_EQ(back->videoZoomFactor(), 3);
  EXPECT_TRUE(back->setFocusPointOfInterest({0.25, 0.75}));
  EXPECT_FALSE(back->setExposurePointOfInterest({1.5, 0}));
  EXPECT_FALSE(back->setExposureModeCustom(CoreMedia::CMTimeMakeWithSeconds(0.01, 1000000), 0));
  EXPECT_TRUE(back->setExposureMode(AVCaptureDevice::ExposureMode::custom));
  zttest::Recorder<double> applied;
  EXPECT_TRUE(back->setExposureModeCustom(
      CoreMedia::CMTimeMakeWithSeconds(10, 1000), AVCaptureISOCurrent,
      [&](CoreMedia::CMTime t) { applied.record(CoreMedia::CMTimeGetSeconds(t)); }));
  EXPECT_DOUBLE_EQ(CoreMedia::CMTimeGetSeconds(back->exposureDuration()),
                   CoreMedia::CMTimeGetSeconds(back->activeFormat().maxExposureDuration));
  EXPECT_EQ(back->iso(), 100);
  ASSERT_TRUE(applied.waitFor(1));
  EXPECT_FALSE(applied.calls()[0].onMain);
  back->unlockForConfiguration();
  EXPECT_FALSE(back->setTorchMode(AVCaptureDevice::TorchMode::off));
  EXPECT_EQ(back->torchMode(), AVCaptureDevice::TorchMode::on);

  ASSERT_TRUE(front->lockForConfiguration().isSuccess());
  EXPECT_FALSE(front->hasFlash());
  EXPECT_FALSE(front->setTorchMode(AVCaptureDevice::TorchMode::on));
  EXPECT_FALSE(front->setFocusMode(AVCaptureDevice::FocusMode::autoFocus));
  front->unlockForConfiguration();
}

TEST_F(Session, DevicesFollowTheRig) {
  CaptureRig::setDevices({CaptureRig::frontCamera()});
  EXPECT_EQ(AVCaptureDevice::defaultDevice(AVCaptureDevice::DeviceType::builtInWideAngleCamera,
                                           AVMediaType::video, AVCaptureDevice::Position::back),
            nullptr);
  EXPECT_EQ(AVCaptureDevice::defaultDevice(AVMediaType::audio), nullptr);
  EXPECT_EQ(AVCaptureDevice::defaultDevice(AVMediaType::video)->position(),
            AVCaptureDevice::Position::front);
  CaptureRig::setDevices({});
  EXPECT_EQ(AVCaptureDevice::defaultDevice(AVMediaType::video), nullptr);
}

TEST_F(Session, PreviewLayerConnectsToTheCamera) {
  auto session = AVCaptureSession::make();
  auto layer = AVCaptureVideoPreviewLayer::make(session);
  EXPECT_EQ(layer->connection(), nullptr);
  ASSERT_TRUE(session->addInput(
      AVCaptureDeviceInput::make(AVCaptureDevice::defaultDevice(AVMediaType::video)).value()));
  auto connection = layer->connection();
  ASSERT_NE(connection, nullptr);
  EXPECT_EQ(connection->videoPreviewLayer(), layer);
  layer->setFrame({{0, 0}, {100, 200}});
  struct Row {
    AVCaptureVideoOrientation orientation;
    CoreGraphics::CGPoint layerPoint;
    CoreGraphics::CGPoint devicePoint;
  };
  const std::vector<Row> rows = {
      {AVCaptureVideoOrientation::portrait, {0, 0}, {0, 1}},
      {AVCaptureVideoOrientation::portrait, {100, 50}, {0.25, 0}},
      {AVCaptureVideoOrientation::landscapeRight, {25, 50}, {0.25, 0.25}},
      {AVCaptureVideoOrientation::landscapeLeft, {25, 50}, {0.75, 0.75}},
  };
  for (const auto& row : rows) {
    connection->setVideoOrientation(row.orientation);
    EXPECT_EQ(layer->captureDevicePointConverted(row.layerPoint), row.devicePoint);
  }
}

TEST(CoreMedia, TimesAndMetadataDescriptions) {
  using namespace CoreMedia;
  EXPECT_DOUBLE_EQ(CMTimeGetSeconds(CMTimeMakeWithSeconds(1.5, 600)), 1.5);
  EXPECT_EQ(CMTimeMakeWithSeconds(0.0005, 1000000000).value, 500000);
  EXPECT_FALSE(CMTimeMakeWithSeconds(std::nan(""), 600).isValid());
  EXPECT_FALSE(CMTimeMakeWithSeconds(1e300, 600).isValid());
  EXPECT_FALSE(CMTimeMake(1, 0).isValid());
  EXPECT_TRUE(std::isnan(CMTimeGetSeconds(kCMTimeInvalid)));
  EXPECT_EQ(CMTimeGetSeconds(kCMTimeZero), 0);

  const CMMetadataSpecification location{"mdta/com.apple.quicktime.location.ISO6709",
                                         kCMMetadataDataType_QuickTimeMetadataLocation_ISO6709};
  auto made = CMMetadataFormatDescriptionCreateWithMetadataSpecifications(
      kCMMetadataFormatType_Boxed, {location});
  ASSERT_TRUE(made.isSuccess());
  EXPECT_EQ(made.value()->specifications().size(), 1u);
  const std::vector<std::vector<CMMetadataSpecification>> bad = {{}, {{"", "type"}}, {{"id", ""}}};
  for (const auto& specs : bad)
    EXPECT_EQ(CMMetadataFormatDescriptionCreateWithMetadataSpecifications(
                  kCMMetadataFormatType_Boxed, specs)
                  .error(),
              kCMFormatDescriptionError_InvalidParameter);
  EXPECT_FALSE(
      CMMetadataFormatDescriptionCreateWithMetadataSpecifications(0x1234, {location}).isSuccess());
  EXPECT_EQ(AVCaptureMetadataInput::make(nullptr, CMClock::hostTimeClock()), nullptr);
  auto input = AVCaptureMetadataInput::make(made.value(), CMClock::hostTimeClock());
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(input->ports().front()->mediaType(), AVMediaType::metadata);
}

TEST_F(Session, AMetadataInputJoinsTheMovieOutputThroughItsOwnConnection) {
  auto session = AVCaptureSession::make();
  ASSERT_TRUE(session->addInput(
      AVCaptureDeviceInput::make(AVCaptureDevice::defaultDevice(AVMediaType::video)).value()));
  ASSERT_TRUE(session->addInput(
      AVCaptureDeviceInput::make(AVCaptureDevice::defaultDevice(AVMediaType::audio)).value()));
  auto movie = AVCaptureMovieFileOutput::make();
  ASSERT_TRUE(session->addOutput(movie));
  EXPECT_EQ(movie->connections().size(), 2u);  // video and audio
  EXPECT_FALSE(movie->movieFragmentInterval() == CoreMedia::kCMTimeInvalid);
  movie->setMovieFragmentInterval(CoreMedia::kCMTimeInvalid);
  EXPECT_FALSE(movie->movieFragmentInterval().isValid());

  auto description = CoreMedia::CMMetadataFormatDescriptionCreateWithMetadataSpecifications(
      CoreMedia::kCMMetadataFormatType_Boxed,
      {{"mdta/com.apple.quicktime.location.ISO6709",
        CoreMedia::kCMMetadataDataType_QuickTimeMetadataLocation_ISO6709}});
  auto metadata =
      AVCaptureMetadataInput::make(description.value(), CoreMedia::CMClock::hostTimeClock());
  auto link = std::make_shared<AVCaptureConnection>(metadata->ports(), movie);
  EXPECT_FALSE(session->canAddConnection(link));  // its input is not in the session yet
  ASSERT_TRUE(session->addInputWithNoConnections(metadata));
  EXPECT_EQ(movie->connections().size(), 2u);
  ASSERT_TRUE(session->addConnection(link));
  EXPECT_FALSE(session->addConnection(link));
  EXPECT_EQ(movie->connections().size(), 3u);
  EXPECT_TRUE(link->isActive());
  EXPECT_FALSE(link->isVideoOrientationSupported());
  link->setVideoMirrored(true);
  EXPECT_FALSE(link->isVideoMirrored());

  auto photo = AVCapturePhotoOutput::make();
  ASSERT_TRUE(session->addOutput(photo));
  EXPECT_EQ(photo->connection(AVMediaType::audio), nullptr);  // photos take video only
  EXPECT_EQ(photo->supportedFlashModes().size(), 3u);         // the back camera has a flash
  EXPECT_FALSE(
      session->canAddConnection(std::make_shared<AVCaptureConnection>(metadata->ports(), photo)));
  session->removeOutput(movie);
  EXPECT_TRUE(movie->connections().empty());
  EXPECT_FALSE(link->isActive());
  EXPECT_EQ(movie->session(), nullptr);
}
