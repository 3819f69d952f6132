#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CoreGraphics/CGGeometry.hpp>
#include <Foundation/Timer.hpp>
#include <UIKit/UIAlertController.hpp>
#include <UIKit/UIView.hpp>

namespace ZentrelSDK {

class ZTProgressView;
class ZTUploadDocumentModel;

// The kit's feedback, each presented over the topmost view controller: a button-less error
// alert that closes itself after 5 seconds or on a tap on its dimmed backdrop and then runs
// its completion, and a loader (a bare spinner over the dimmed screen). Both wait for a
// present or dismiss under way on top to end. Main thread only.
class ZTUIUtilites : public std::enable_shared_from_this<ZTUIUtilites> {
 public:
  static const std::shared_ptr<ZTUIUtilites>& shared();

  // Shows "Error" with `description`. Without a description or a controller to present from,
  // runs `completion` before returning and shows nothing. Otherwise `completion` runs once:
  // after the alert has gone (a newer alert replacing it included), or at once when the
  // alert cannot be shown after all.
  void errorAlert(const std::optional<std::string>& description,
                  std::function<void()> completion = nullptr);
  // Shows the spinner at `scale`, replacing a loader already shown; `completion` runs once it
  // is on screen, also when a newer call took its place (its loader is the one shown then), or
  // at once when no loader can be shown by then (no controller to present from, the
  // presentation refused). Without a controller to present from at the call nothing happens.
  void loaderStart(CoreGraphics::CGFloat scale = 1.0, std::function<void()> completion = nullptr);
  // For a step that must go on either way: the loader, then `next`; without a controller to
  // present from, `next` alone, on a later turn of the main queue.
  void loaderStartThen(std::function<void()> next);
  // Closes the loader (on a later turn of the main queue); `completion` runs when it has gone,
  // or at once when none is shown. One asked for but not on screen yet is closed once it is.
  void loaderDissmiss(std::function<void()> completion = nullptr);
  // On a later turn of the main queue, presents the upload progress screen for `model` over
  // the current context of the topmost controller; `completion` runs once it is on screen.
  // Without a controller to present from nothing is shown and `completion` never runs.
  void presentUploadDocumentProgressBar(const std::shared_ptr<ZTUploadDocumentModel>& with,
                                        std::function<void()> withCompletion = nullptr);
  // The backdrop tap of the error alert.
  void actionDissmissErrorAlert();

  std::shared_ptr<ZTProgressView> loadingProgress;

  ZTUIUtilites(const ZTUIUtilites&) = delete;
  ZTUIUtilites& operator=(const ZTUIUtilites&) = delete;

 private:
  ZTUIUtilites();
  void showErrorAlert(std::uint64_t request, const std::string& description,
                      std::function<void()> completion);
  void armErrorAlert(std::uint64_t request, const std::shared_ptr<UIKit::UIAlertController>& alert);
  void closeErrorAlertByTimer();
  void showLoader(std::uint64_t request, CoreGraphics::CGFloat scale);
  void settleLoader();
  void goOnWithoutLoader(std::vector<std::function<void()>> waiting);
  void clearBackgroundColor(const std::shared_ptr<UIKit::UIView>& view);

  std::shared_ptr<UIKit::UIAlertController> errorAlert_;
  std::shared_ptr<UIKit::UIAlertController> loaderAlert_;
  std::shared_ptr<Foundation::Timer> timerDissmissErrorAlert_;
  std::function<void()> errorAlertCompletion_;
  // Each request counts up; a step of an older request that a newer one overtook stops.
  std::uint64_t errorAlertRequest_ = 0;
  std::uint64_t loaderRequest_ = 0;
  // Between a loader asked for and its presentation (or giving up): closings wait for it.
  bool loaderPending_ = false;
  std::vector<std::function<void()>> dismissalsWhenShown_;
  // The completions of the loaders asked for since the last one was shown.
  std::vector<std::function<void()>> loaderCompletions_;
};

}  // namespace ZentrelSDK
