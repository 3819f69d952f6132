#include "ZTCustomCameraView/ZTCameraViewController.hpp"

#include <string>

#include <Dispatch/DispatchQueue.hpp>
#include <Foundation/Bundle.hpp>
#include <QuartzCore/CAShapeLayer.hpp>
#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/UIBezierPath.hpp>
#include <UIKit/UIColor.hpp>

#include "ZTCustomCameraView/ZTCameraData/ZTCameraData.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCaptureTime.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTCropModel.hpp"
#include "ZTEvents.hpp"
#include "ZTUIComponents/ZTUIUtilites.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"

namespace ZentrelSDK {

namespace {
constexpr UIKit::UIColor kViolet{0.7372549, 0.5372549, 1.0, 1.0};
constexpr UIKit::UIColor kHoleFrame{0.09533624, 0.79793113, 0.38643196, 1.0};
constexpr UIKit::CGFloat kHoleRadius = 12.0;
}  // namespace

ZTCameraViewController::ZTCameraViewController()
    : UIViewController("ZTCameraViewController",
                       Foundation::Bundle::forIdentifier(ZTConstants::BundleID)) {}

void ZTCameraViewController::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("recordView", recordView);
  binder.outlet("cameraView", cameraView);
  binder.outlet("maskImageView", maskImageView);
  binder.outlet("maskView", maskView);
  binder.outlet("upperBorder", upperBorder);
  binder.outlet("bottomBorder", bottomBorder);
  binder.outlet("recordButton", recordButton);
  binder.outlet("timerLabel", timerLabel);
  binder.action("recordAction:", [this](UIKit::UIControl&) { recordAction(); });
  binder.action("cancelAction:", [this](UIKit::UIControl&) { cancelAction(); });
}

void ZTCameraViewController::viewDidLoad() {
  UIViewController::viewDidLoad();
  cameraManager = std::make_shared<ZTCameraViewManager>();
  cameraManager->setCameraOutputMode(mediaType == MediaType::photo ? CameraOutputMode::stillImage
                                                                   : CameraOutputMode::videoOnly);
  cameraManager->setWriteFilesToPhoneLibrary(false);
  configureUI();
}

void ZTCameraViewController::viewDidAppear(bool animated) {
  UIViewController::viewDidAppear(animated);
  createTransperentHoleInMask();
}

void ZTCameraViewController::viewDidDisappear(bool animated) {
  UIViewController::viewDidDisappear(animated);
  // A countdown must not run on against a session that is gone.
  if (timer) timer->invalidate();
  if (cameraManager) cameraManager->stopAndRemoveCaptureSession();
}

void ZTCameraViewController::configureUI() {
  configureRecordView();
  setupCameraManager();
}

void ZTCameraViewController::configureRecordView() {
  auto plate = recordView.lock();
  auto button = recordButton.lock();
  if (!plate || !button) return;
  plate->layer()->cornerRadius = plate->layer()->bounds().maxX() / 2;
  button->layer()->cornerRadius = button->layer()->bounds().maxX() / 2;
  recordProgress = std::make_shared<ZTProgressView>(plate->bounds(), *plate, kViolet,
                                                    ZTUIConstants::MAIN_COLOR(), 6.0, 0);
  button->setBackgroundColor(kViolet);
}

void ZTCameraViewController::setupCameraManager() {
  if (auto view = cameraView.lock()) (void)cameraManager->addPreviewLayerToView(view);
}

void ZTCameraViewController::createTransperentHoleInMask() {
  clearMaskHole();
  calculateMaskHole();
  addGreenBorderToMaskView();
  addTransperantMaskToMaskView();
}

void ZTCameraViewController::clearMaskHole() {
  auto mask = maskView.lock();
  if (!mask) return;
  mask->layer()->setMask(nullptr);
  for (auto layer : std::vector(mask->layer()->sublayers())) layer->removeFromSuperlayer();
}

bool ZTCameraViewController::maskImageIsShowing() const {
  auto outline = maskImageView.lock();
  return outline && !outline->isHidden() && outline->image();
}

void ZTCameraViewController::calculateMaskHole() {
  auto mask = maskView.lock();
  if (!mask) return;
  if (maskImageIsShowing()) {
    holeInMaskRect_ = maskImageView.lock()->frame();
    return;
  }
  const auto frame = mask->frame();
  holeInMaskRect_ = UIKit::CGRect::make(20, 2, frame.size.width - 40, frame.size.height - 4);
}

void ZTCameraViewController::addGreenBorderToMaskView() {
  auto mask = maskView.lock();
  if (!mask) return;
  auto border = std::make_shared<QuartzCore::CALayer>();
  border->setFrame(holeInMaskRect_.insetBy(-2, -2));
  border->borderWidth = 2.0;
  border->cornerRadius = kHoleRadius;
  border->borderColor = kHoleFrame.cgColor();
  mask->layer()->addSublayer(border);
}

void ZTCameraViewController::addTransperantMaskToMaskView() {
  auto mask = maskView.lock();
  if (!mask) return;
  auto path = UIKit::UIBezierPath(holeInMaskRect_, kHoleRadius).cgPath();
  path.addRect(UIKit::CGRect::make(0, 0, mask->frame().size.width, mask->frame().size.height));
  auto shape = std::make_shared<QuartzCore::CAShapeLayer>();
  shape->path = path;
  shape->fillRule = QuartzCore::CAShapeLayerFillRule::evenOdd;
  mask->layer()->setMask(shape);
}

void ZTCameraViewController::recordAction() {
  if (auto button = recordButton.lock()) button->setEnabled(false);
  if (mediaType == MediaType::photo) {
    takePhoto();
  } else {
    startRecording();
    startTimer();
  }
}

void ZTCameraViewController::cancelAction() {
  if (timer) timer->invalidate();
  dismiss(true);
}

void ZTCameraViewController::takePhoto() {
  if (recordProgress) recordProgress->animation(0, 1.0, 1.0);
  auto mask = maskView.lock();
  const ZTCropModel crop{holeInMaskRect_, mask ? mask->bounds() : UIKit::CGRect{}};
  auto weak = weakAs<ZTCameraViewController>();
  cameraManager->captureAndSavePictureWithCompletion(
      captureTimeText(), [weak, crop](const CaptureResult& result) {
        // A failure arrives on the session queue; the screen's work is on the main queue.
        Dispatch::DispatchQueue::main().async([weak, crop, result] {
          auto self = weak.lock();
          if (!self) return;
          if (const auto* failure = result.failureValue()) {
            ZTUIUtilites::shared()->errorAlert(localizedDescription(*failure));
            self->resetRecordButton();
            return;
          }
          const auto bytes = result.imageData();
          auto image = bytes ? UIKit::UIImage::withData(*bytes) : nullptr;
          if (!image) {
            ZTUIUtilites::shared()->errorAlert("The photo could not be read");
            self->resetRecordButton();
            return;
          }
          self->dismiss(
              true, [image, crop] { ZTEvents::shared()->imagePickedForPreviewEmit(image, crop); });
        });
      });
}

void ZTCameraViewController::startRecording() {
  cameraManager->startRecordingVideo();
}

void ZTCameraViewController::startTimer() {
  if (timer) timer->invalidate();
  auto self = sharedAs<ZTCameraViewController>();
  timer = Foundation::Timer::scheduledTimer(1.0, true,
                                            [self](Foundation::Timer&) { self->countAction(); });
  if (auto button = recordButton.lock()) button->setBackgroundColor(UIKit::UIColor::red());
  if (auto label = timerLabel.lock()) {
    label->setHidden(false);
    label->setText(std::to_string(counter));
  }
  if (recordProgress) recordProgress->animation(0, 1.0, 10.0);
}

void ZTCameraViewController::countAction() {
  if (counter == 0) {
    timer->invalidate();
    stopRecording();
    return;
  }
  --counter;
  if (auto label = timerLabel.lock()) label->setText(std::to_string(counter));
}

void ZTCameraViewController::stopRecording() {
  auto weak = weakAs<ZTCameraViewController>();
  cameraManager->stopVideoRecording([weak](const std::optional<Foundation::URL>& url,
                                           const std::optional<Foundation::NSError>& error) {
    Dispatch::DispatchQueue::main().async([weak, url, error] {
      if (url) {
        ZTEvents::shared()->mediaCreatedEventEmit(
            std::make_shared<ZTCameraData>(url, MediaType::video));
        return;
      }
      ZTUIUtilites::shared()->errorAlert(error ? error->localizedDescription() : "");
      if (auto self = weak.lock()) self->resetRecordButton();
    });
  });
}

void ZTCameraViewController::resetRecordButton() {
  if (auto button = recordButton.lock()) {
    button->setEnabled(true);
    button->setBackgroundColor(UIKit::UIColor::white());
  }
  if (auto label = timerLabel.lock()) {
    label->setHidden(true);
    label->setText("");
  }
  counter = 10;
  if (recordProgress) recordProgress->animation(0, 0, 0);
}

}  // namespace ZentrelSDK
