
#include <AVFoundation/AVCaptureMovieFileOutput.hpp>
#include <AVFoundation/AVCaptureVideoPreviewLayer.hpp>

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
    AVCaptureDevice::requestAccess(row.media, [answers](bool granted) { answers.record(granted); });
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
    AVCaptureDevice::requestAccess(row.media, [answers](bool granted) { answers.record(granted); });
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
  EXPECT_FALSE(back->setExposurePointOfInterest({1.5, 0}));
  back->unlockForConfiguration();
  EXPECT_FALSE(back->setTorchMode(AVCaptureDevice::TorchMode::off));
  EXPECT_EQ(back->torchMode(), AVCaptureDevice::TorchMode::on);

  ASSERT_TRUE(front->lockForConfiguration().isSuccess());
  EXPECT_FALSE(front->hasFlash());
  EXPECT_FALSE(front->setTorchMode(AVCaptureDevice::TorchMode::on));
  EXPECT_FALSE(front->setFocusMode(AVCaptureDevice::FocusMode::autoFocus));
  front->unlockForConfiguration();
}

TEST_F(Session, ACustomExposureIsKeptWithinTheFormat) {
  auto back = AVCaptureDevice::defaultDevice(AVMediaType::video);
  const auto& format = back->activeFormat();
  const double shortest = CoreMedia::CMTimeGetSeconds(format.minExposureDuration);
  const double longest = CoreMedia::CMTimeGetSeconds(format.maxExposureDuration);
  ASSERT_TRUE(back->lockForConfiguration().isSuccess());
  ASSERT_TRUE(back->setExposureMode(AVCaptureDevice::ExposureMode::custom));
  struct Row {
    const char* name;
    CoreMedia::CMTime duration;
    float iso;
    double storedDuration;
    float storedISO;
  };
  const std::vector<Row> rows = {
      {"within", CoreMedia::CMTimeMake(1, 100), 400, 0.01, 400},
      {"shorter than the sensor can", CoreMedia::CMTimeMake(1, 100000), 10, shortest,
       format.minISO},
      {"longer than the sensor can", CoreMedia::CMTimeMake(3, 1), 9000, longest, format.maxISO},
      {"keeps the current", CoreMedia::kCMTimeInvalid, AVCaptureISOCurrent, longest, format.maxISO},
      {"at the edges", format.minExposureDuration, format.minISO, shortest, format.minISO},
  };
  for (const auto& row : rows) {
    EXPECT_TRUE(back->setExposureModeCustom(row.duration, row.iso, nullptr)) << row.name;
    EXPECT_NEAR(CoreMedia::CMTimeGetSeconds(back->exposureDuration()), row.storedDuration, 1e-9)
        << row.name;
    EXPECT_EQ(back->iso(), row.storedISO) << row.name;
  }
  back->unlockForConfiguration();
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

TEST_F(Session, AMetadataInputJoinsTheMovieOutputThroughItsOwnConnection) {
  auto session = AVCaptureSession::make();
  ASSERT_TRUE(session->addInput(
      AVCaptureDeviceInput::make(AVCaptureDevice::defaultDevice(AVMediaType::video)).value()));
  ASSERT_TRUE(session->addInput(
      AVCaptureDeviceInput::make(AVCaptureDevice::defaultDevice(AVMediaType::audio)).value()));
  auto movie = AVCaptureMovieFileOutput::make();
  ASSERT_TRUE(session->addOutput(movie));
  EXPECT_EQ(movie->connections().size(), 2u);  // video and audio

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
  EXPECT_FALSE(
      session->canAddConnection(std::make_shared<AVCaptureConnection>(metadata->ports(), photo)));
  session->removeOutput(movie);
  EXPECT_TRUE(movie->connections().empty());
  EXPECT_FALSE(link->isActive());
  EXPECT_EQ(movie->session(), nullptr);
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
