#include <algorithm>
#include <cmath>

#include <CoreMedia/CMTime.hpp>
#include <QuartzCore/CABasicAnimation.hpp>
#include <QuartzCore/CATransaction.hpp>

#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManager.hpp"
#include "ZTCustomCameraView/ZTCameraViewManager/ZTCameraViewManagerInternal.hpp"
#include "ZTLogger.hpp"

// Pinch to zoom, tap to focus with its rectangle, pan to set the exposure.

namespace ZentrelSDK {

using AVFoundation::AVCaptureDevice;
using Dispatch::DispatchQueue;
using UIKit::CGFloat;
using UIKit::CGPoint;

namespace {
constexpr CGFloat focusSide = 75;

// The point `p` scaled by `factor` about `center`.
CGPoint scaled(CGPoint p, CGPoint center, CGFloat factor) {
  return {center.x + (p.x - center.x) * factor, center.y + (p.y - center.y) * factor};
}

CoreGraphics::CGPath scaledPath(const CoreGraphics::CGPath& path, CGPoint center, CGFloat factor) {
  CoreGraphics::CGPath out;
  for (const auto& element : path.elements()) {
    switch (element.type) {
      case CoreGraphics::CGPath::ElementType::moveToPoint:
        out.move(scaled(element.point, center, factor));
        break;
      case CoreGraphics::CGPath::ElementType::addLineToPoint:
        out.addLine(scaled(element.point, center, factor));
        break;
      case CoreGraphics::CGPath::ElementType::closeSubpath:
        out.closeSubpath();
        break;
      case CoreGraphics::CGPath::ElementType::addArc:
        out.addArc(scaled(element.arc.center, center, factor), element.arc.radius * factor,
                   element.arc.startAngle, element.arc.endAngle, element.arc.clockwise);
        break;
    }
  }
  return out;
}
}  // namespace

std::shared_ptr<UIKit::UIPinchGestureRecognizer> ZTCameraViewManager::Gestures::zoomGesture() {
  std::lock_guard lock(mutex_);
  if (!zoomGesture_) zoomGesture_ = std::make_shared<UIKit::UIPinchGestureRecognizer>();
  return zoomGesture_;
}

std::shared_ptr<UIKit::UITapGestureRecognizer> ZTCameraViewManager::Gestures::focusGesture() {
  std::lock_guard lock(mutex_);
  if (!focusGesture_) focusGesture_ = std::make_shared<UIKit::UITapGestureRecognizer>();
  return focusGesture_;
}

std::shared_ptr<UIKit::UIPanGestureRecognizer> ZTCameraViewManager::Gestures::exposureGesture() {
  std::lock_guard lock(mutex_);
  if (!exposureGesture_) exposureGesture_ = std::make_shared<UIKit::UIPanGestureRecognizer>();
  return exposureGesture_;
}

float ZTCameraViewManager::Gestures::exposureValue() const {
  std::lock_guard lock(mutex_);
  return exposureValue_;
}
void ZTCameraViewManager::Gestures::setExposureValue(float value) {
  std::lock_guard lock(mutex_);
  exposureValue_ = value;
}
float ZTCameraViewManager::Gestures::translationY() const {
  std::lock_guard lock(mutex_);
  return translationY_;
}
void ZTCameraViewManager::Gestures::setTranslationY(float value) {
  std::lock_guard lock(mutex_);
  translationY_ = value;
}
std::optional<CGPoint> ZTCameraViewManager::Gestures::startPanPointInPreviewLayer() const {
  std::lock_guard lock(mutex_);
  return startPanPointInPreviewLayer_;
}

template <class Recognizer>
void ZTCameraViewManager::Gestures::attachGesture(
    const std::shared_ptr<UIKit::UIView>& view,
    std::shared_ptr<Recognizer> (Gestures::*recognizer)(), void (Gestures::*action)(Recognizer&),
    const char* selector) {
  // Views and their recognisers belong to the main thread.
  DispatchQueue::main().async(
      [self = parts_.manager.shared_from_this(), view, recognizer, action, selector] {
        auto& gestures = Parts::of(*self).gestures;
        auto gesture = (gestures.*recognizer)();
        // The manager is the target, held weakly; the same action is added once.
        gesture->addTarget(
            std::weak_ptr<void>(self),
            [weak = std::weak_ptr(self), action](UIKit::UIGestureRecognizer& sender) {
              auto* typed = dynamic_cast<Recognizer*>(&sender);
              if (auto manager = weak.lock(); manager && typed) {
                (Parts::of(*manager).gestures.*action)(*typed);
              }
            },
            selector);
        view->addGestureRecognizer(gesture);
        gesture->setDelegate(self);
      });
}

void ZTCameraViewManager::Gestures::attach(const std::shared_ptr<UIKit::UIView>& view) {
  attachGesture(view, &Gestures::zoomGesture, &Gestures::_zoomStart, "zoomStart:");
  attachGesture(view, &Gestures::focusGesture, &Gestures::_focusStart, "focusStart:");
  attachGesture(view, &Gestures::exposureGesture, &Gestures::_exposureStart, "exposureStart:");
}

bool ZTCameraViewManager::gestureRecognizerShouldBegin(UIKit::UIGestureRecognizer& recognizer) {
  parts_->gestures.shouldBegin(recognizer);
  return true;
}

void ZTCameraViewManager::Gestures::shouldBegin(UIKit::UIGestureRecognizer& recognizer) {
  if (dynamic_cast<UIKit::UIPinchGestureRecognizer*>(&recognizer)) {
    std::lock_guard lock(mutex_);
    beginZoomScale_ = zoomScale_;
  }
}

void ZTCameraViewManager::Gestures::_setupMaxZoomScale() {
  UIKit::CGFloat limit = 1;
  if (auto device = parts_.session.currentDevice()) {
    limit = device->activeFormat().videoMaxZoomFactor;
  }
  std::lock_guard lock(mutex_);
  beginZoomScale_ = 1;
  maxZoomScale_ = limit;
}

void ZTCameraViewManager::Gestures::_zoomStart(UIKit::UIPinchGestureRecognizer& recognizer) {
  auto view = parts_.session.embeddingView();
  auto layer = parts_.session.previewLayer();
  if (!view || !layer) return;
  for (std::size_t i = 0; i < recognizer.numberOfTouches(); ++i) {
    const auto location = recognizer.location(i, view.get());
    const auto inLayer = layer->convertPointFrom(location, layer->superlayer().get());
    if (!layer->contains(inLayer)) return;
  }
  _zoom(recognizer.scale());
}

void ZTCameraViewManager::Gestures::_zoom(CGFloat scale) {
  auto device = parts_.session.currentDevice();
  if (device && !device->lockForConfiguration()) {
    ZTLogger::errorLog("Error locking configuration");
    return;
  }
  CGFloat zoom = 1;
  {
    std::lock_guard lock(mutex_);
    zoomScale_ = std::max<CGFloat>(1.0, std::min(beginZoomScale_ * scale, maxZoomScale_));
    zoom = zoomScale_;
  }
  if (device) {
    device->setVideoZoomFactor(zoom);
    device->unlockForConfiguration();
  }
}

void ZTCameraViewManager::Gestures::_focusStart(UIKit::UITapGestureRecognizer& recognizer) {
  auto device = parts_.session.currentDevice();
  _changeExposureMode(AVCaptureDevice::ExposureMode::continuousAutoExposure);
  {
    std::lock_guard lock(mutex_);
    translationY_ = 0;
    exposureValue_ = 0.5f;
  }
  const auto focus = parts_.settings.get(&CameraSettingValues::focusMode);
  const auto exposure = parts_.settings.get(&CameraSettingValues::exposureMode);
  auto layer = parts_.session.previewLayer();
  auto view = recognizer.view();
  if (!device || !layer || !view) return;
  const auto point = view->layer()->convertPointTo(recognizer.location(view.get()), layer.get());
  const auto interest = layer->captureDevicePointConverted(point);
  if (auto locked = device->lockForConfiguration(); !locked) {
    ZTLogger::errorLog(locked.error().localizedDescription());
    return;
  }
  _showFocusRectangleAtPoint(point, *layer);
  if (device->isFocusPointOfInterestSupported()) device->setFocusPointOfInterest(interest);
  if (device->isExposurePointOfInterestSupported()) device->setExposurePointOfInterest(interest);
  if (device->isFocusModeSupported(focus)) device->setFocusMode(focus);
  if (device->isExposureModeSupported(exposure)) device->setExposureMode(exposure);
  device->unlockForConfiguration();
}

void ZTCameraViewManager::Gestures::_showFocusRectangleAtPoint(CGPoint point,
                                                               QuartzCore::CALayer& layer,
                                                               std::optional<float> brightness) {
  if (lastFocusRectangle_) {
    lastFocusRectangle_->removeFromSuperlayer();
    lastFocusRectangle_.reset();
  }
  const CGFloat w = focusSide;
  const CGFloat h = focusSide;
  const CGFloat minX = point.x - w / 2;
  const CGFloat minY = point.y - h / 2;
  const CGFloat maxX = minX + w;
  const CGFloat maxY = minY + h;
  CoreGraphics::CGPath path;
  path.addRect({{minX, minY}, {w, h}});
  path.move({minX + w / 2, minY});
  path.addLine({minX + w / 2, minY + 5});
  path.move({maxX, minY + h / 2});
  path.addLine({maxX - 5, minY + h / 2});
  path.move({minX + w / 2, maxY});
  path.addLine({minX + w / 2, maxY - 5});
  path.move({minX, minY + h / 2});
  path.addLine({minX + 5, minY + h / 2});
  if (brightness) {
    const CGFloat x = minX + w + w / 4;
    const CGFloat y = minY + h - CGFloat(*brightness) * h;
    path.move({x, minY});
    path.addLine({x, minY + h});
    path.move({x - w / 16, y});
    path.addLine({x + w / 16, y});
  }
  const auto start = scaledPath(path, point, 2);

  auto shape = std::make_shared<QuartzCore::CAShapeLayer>();
  shape->path = path;
  shape->fillColor = QuartzCore::CGColor{0, 0, 0, 0};
  shape->strokeColor = QuartzCore::CGColor{1.0, 0.83, 0.0, 0.95};
  shape->lineWidth = 1.0;
  layer.addSublayer(shape);
  lastFocusRectangle_ = shape;
  lastFocusPoint_ = point;

  QuartzCore::CATransaction::begin();
  QuartzCore::CATransaction::setAnimationDuration(0.2);
  QuartzCore::CATransaction::setAnimationTimingFunction(
      QuartzCore::CAMediaTimingFunction(QuartzCore::CAMediaTimingFunction::Name::easeOut));
  QuartzCore::CATransaction::setCompletionBlock(
      [weak = parts_.weak(), drawn = std::weak_ptr(shape)] {
        auto rectangle = drawn.lock();
        if (!rectangle || !rectangle->superlayer()) return;
        rectangle->removeFromSuperlayer();
        if (auto self = weak.lock()) {
          auto& gestures = Parts::of(*self).gestures;
          if (gestures.lastFocusRectangle_ == rectangle) gestures.lastFocusRectangle_.reset();
        }
      });
  if (!brightness) {
    auto appear = std::make_shared<QuartzCore::CABasicAnimation>("path");
    appear->fromValue = start;
    appear->toValue = path;
    shape->add(appear, "path");
  }
  auto fade = std::make_shared<QuartzCore::CABasicAnimation>("opacity");
  fade->fromValue = CGFloat(1.0);
  fade->toValue = CGFloat(0.0);
  fade->beginTime = QuartzCore::CACurrentMediaTime() + 0.8;
  fade->fillMode = QuartzCore::CAMediaTimingFillMode::forwards;
  fade->isRemovedOnCompletion = false;
  shape->add(fade, "opacity");
  QuartzCore::CATransaction::commit();
}

void ZTCameraViewManager::Gestures::_exposureStart(UIKit::UIPanGestureRecognizer& recognizer) {
  auto view = recognizer.view();
  if (!view) return;
  _changeExposureMode(AVCaptureDevice::ExposureMode::custom);
  const auto state = recognizer.state();
  float value = 0;
  {
    std::lock_guard lock(mutex_);
    const float t = translationY_ + static_cast<float>(recognizer.translation(view.get()).y);
    if (state == UIKit::UIGestureRecognizer::State::ended) translationY_ = t;
    const float travel = std::min(std::fabs(t) / 400.0f, 1.0f) / 2.0f;
    exposureValue_ = t < 0 ? 0.5f + travel : 0.5f - travel;
    value = exposureValue_;
  }
  _changeExposureDuration(value);
  auto layer = parts_.session.previewLayer();
  if (state == UIKit::UIGestureRecognizer::State::began && layer) {
    const auto start = view->layer()->convertPointTo(recognizer.location(view.get()), layer.get());
    std::lock_guard lock(mutex_);
    startPanPointInPreviewLayer_ = start;
  }
  if (layer && lastFocusPoint_) _showFocusRectangleAtPoint(*lastFocusPoint_, *layer, value);
}

void ZTCameraViewManager::Gestures::_changeExposureMode(AVCaptureDevice::ExposureMode mode) {
  auto device = parts_.session.currentDevice();
  if (!device || device->exposureMode() == mode) return;
  if (!device->lockForConfiguration()) return;
  if (device->isExposureModeSupported(mode)) device->setExposureMode(mode);
  device->unlockForConfiguration();
}

void ZTCameraViewManager::Gestures::_changeExposureDuration(float value) {
  if (!parts_.session.isSetUp()) return;
  auto device = parts_.session.currentDevice();
  if (!device || !device->lockForConfiguration()) return;
  const double p = static_cast<double>(std::pow(value, exposureDurationPower));
  const auto& format = device->activeFormat();
  const double minD =
      std::max(CoreMedia::CMTimeGetSeconds(format.minExposureDuration), exposureMininumDuration);
  const double maxD = CoreMedia::CMTimeGetSeconds(format.maxExposureDuration);
  const double duration = p * (maxD - minD) + minD;
  if (device->exposureMode() == AVCaptureDevice::ExposureMode::custom) {
    device->setExposureModeCustom(CoreMedia::CMTimeMakeWithSeconds(duration, 1000000000),
                                  AVFoundation::AVCaptureISOCurrent);
  }
  device->unlockForConfiguration();
}

}  // namespace ZentrelSDK
