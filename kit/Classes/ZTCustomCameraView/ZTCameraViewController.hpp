#pragma once

#include <cstdint>
#include <memory>

#include <Foundation/Timer.hpp>
#include <UIKit/UIButton.hpp>
#include <UIKit/UIImage.hpp>
#include <UIKit/UIImageView.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTCustomCameraView/ZTCameraData/MediaType.hpp"
#include "ZTUIComponents/ZTProgressView.hpp"

namespace ZentrelSDK {

class ZTCameraViewManager;

// The document capture screen: the live camera under an overlay with a green-framed hole and
// a record button with a ring. In photo mode a tap takes a picture, closes the screen and
// then announces the picture with the hole as a crop model (image-picked-for-preview); in
// video mode a tap records until a countdown from 10 ends. Owns its camera manager from
// viewDidLoad until its view has disappeared. Main thread only.
class ZTCameraViewController : public UIKit::UIViewController {
 public:
  ZTCameraViewController();

  MediaType mediaType = MediaType::photo;
  std::shared_ptr<UIKit::UIImage> maskImage;  // stored for the creator; the file's outline shows

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;
  void viewDidDisappear(bool animated) override;

  void recordAction();
  void cancelAction();

  UIKit::CGRect holeInMaskRect() const { return holeInMaskRect_; }

 private:
  void configureUI();
  void configureRecordView();
  void setupCameraManager();
  void createTransperentHoleInMask();
  void clearMaskHole();
  void calculateMaskHole();
  void addGreenBorderToMaskView();
  void addTransperantMaskToMaskView();
  bool maskImageIsShowing() const;
  void takePhoto();
  void startRecording();
  void stopRecording();
  void startTimer();
  void countAction();
  void resetRecordButton();

  std::weak_ptr<UIKit::UIView> recordView;
  std::weak_ptr<UIKit::UIView> cameraView;
  std::weak_ptr<UIKit::UIImageView> maskImageView;
  std::weak_ptr<UIKit::UIView> maskView;
  std::weak_ptr<UIKit::UIView> upperBorder;
  std::weak_ptr<UIKit::UIView> bottomBorder;
  std::weak_ptr<UIKit::UIButton> recordButton;
  std::weak_ptr<UIKit::UILabel> timerLabel;
  std::shared_ptr<ZTProgressView> recordProgress;
  std::shared_ptr<ZTCameraViewManager> cameraManager;
  std::int64_t counter = 10;
  std::shared_ptr<Foundation::Timer> timer;
  UIKit::CGRect holeInMaskRect_;
};

}  // namespace ZentrelSDK
