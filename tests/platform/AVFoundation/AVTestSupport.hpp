#pragma once

#include <gtest/gtest.h>

#include <AVFoundation/AVCaptureDevice.hpp>
#include <AVFoundation/AVCaptureInput.hpp>
#include <AVFoundation/AVCapturePhotoOutput.hpp>
#include <AVFoundation/AVCaptureSession.hpp>
#include <Testing/CaptureRig.hpp>
#include <Testing/ManualClock.hpp>

namespace avtest {

using namespace AVFoundation;
using PlatformTesting::CaptureRig;

// Each test starts from a reset rig, camera and microphone access granted, on the manual
// clock.
class CaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock = &PlatformTesting::ManualClock::install();
    CaptureRig::reset();
    CaptureRig::setCameraPermission(AVAuthorizationStatus::authorized);
    CaptureRig::setMicrophonePermission(AVAuthorizationStatus::authorized);
  }
  void TearDown() override { CaptureRig::reset(); }

  // A running session with the camera at `position` and a photo output.
  struct Camera {
    std::shared_ptr<AVCaptureSession> session;
    std::shared_ptr<AVCaptureDevice> device;
    std::shared_ptr<AVCapturePhotoOutput> photo;
  };
  Camera startCamera(AVCaptureSession::Preset preset,
                     AVCaptureDevice::Position position = AVCaptureDevice::Position::back) {
    Camera camera;
    camera.session = AVCaptureSession::make();
    camera.device = AVCaptureDevice::defaultDevice(
        AVCaptureDevice::DeviceType::builtInWideAngleCamera, AVMediaType::video, position);
    auto input = AVCaptureDeviceInput::make(camera.device);
    EXPECT_TRUE(input.isSuccess());
    camera.photo = AVCapturePhotoOutput::make();
    camera.session->beginConfiguration();
    EXPECT_TRUE(camera.session->setSessionPreset(preset));
    EXPECT_TRUE(camera.session->addInput(input.value()));
    EXPECT_TRUE(camera.session->addOutput(camera.photo));
    camera.session->commitConfiguration();
    camera.session->startRunning();
    return camera;
  }

  PlatformTesting::ManualClock* clock = nullptr;
};

}  // namespace avtest
