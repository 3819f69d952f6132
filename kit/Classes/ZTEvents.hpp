#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <UIKit/UIImage.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTCustomCameraView/ZTCameraData/ZTCameraData.hpp"
#include "ZTCustomCameraView/ZTMediaPreview/PhotoCropper/ZTCropModel.hpp"
#include "ZTEventCore.hpp"

namespace ZentrelSDK {

// The kit's typed event bus: one emit and one listen operation per event. Emits post on the
// caller's thread. Completions run on the main queue, except those of "AUTH_DID_CANCELLED",
// which run on an operation queue of their own per registration. Every listen adds a
// listener; a target ends all of its listeners with unregiterEvents (or by holding a
// ZTEventsRegistration). See ZTEventCore::Target for what a target may be.
class ZTEvents {
 public:
  using Target = ZTEventCore::Target;
  // The image and the optional crop record of "IMAGE_PICKED_FOR_PREVIEW".
  using PreviewPayload = std::pair<std::shared_ptr<UIKit::UIImage>, std::optional<ZTCropModel>>;

  static const std::shared_ptr<ZTEvents>& shared();
  ZTEvents();

  void authEventListen(const Target& target, std::function<void()> completion);
  void authEventEmit();
  void authCancelEventListen(const Target& target, std::function<void()> completion);
  void authWasCancelledEmit();
  void userDidEnterListen(const Target& target, std::function<void()> completion);
  void userDidEnterEmit();
  void documentModificationEventListen(const Target& target, std::function<void()> completion);
  void documentModificationEventEmit();
  // An empty list when the post carries no list.
  void documentForAppLoadingSuccessEventListen(
      const Target& target, std::function<void(std::vector<ZTPublicDocumentElement>)> completion);
  void documentForAppLoadingSuccessEventEmit(std::vector<ZTPublicDocumentElement> docks);
  void documentForAppLoadingDissmissEventEmit();
  void documentForAppLoadingDissmissEventListen(const Target& target,
                                                std::function<void()> completion);
  // The very record emitted, or null when the post carries none.
  void mediaCreatedEventListen(const Target& target,
                               std::function<void(std::shared_ptr<ZTCameraData>)> completion);
  void mediaCreatedEventEmit(std::shared_ptr<ZTCameraData> media);
  // Called only when the post carries an image.
  void imagePickedForCroppingListen(
      const Target& target, std::function<void(std::shared_ptr<UIKit::UIImage>)> completion);
  void imagePickedForCroppingEmit(std::shared_ptr<UIKit::UIImage> image);
  // Called only when the post carries an image with its optional crop record.
  void imagePickedForPreviewListen(
      const Target& target,
      std::function<void(std::shared_ptr<UIKit::UIImage>, std::optional<ZTCropModel>)> completion);
  void imagePickedForPreviewEmit(std::shared_ptr<UIKit::UIImage> image,
                                 std::optional<ZTCropModel> cropData = std::nullopt);
  // The text, or absent when the post carries no text.
  void oauthLoginChallengeEventListen(const Target& target,
                                      std::function<void(std::optional<std::string>)> completion);
  void oauthLoginChallengeEventEmit(std::optional<std::string> event);
  void oauthConsentChallengeEventListen(const Target& target,
                                        std::function<void(std::optional<std::string>)> completion);
  void oauthConsentChallengeEventEmit(std::optional<std::string> event);
  void oauthCodeEventListen(const Target& target,
                            std::function<void(std::optional<std::string>)> completion);
  void oauthCodeEventEmit(std::optional<std::string> event);

  void unregiterEvents(const Target& target);

 private:
  void listenWithoutPayload(const Target& target, const std::string& name,
                            std::function<void()> completion);
  void listenForText(const Target& target, const std::string& name,
                     std::function<void(std::optional<std::string>)> completion);

  const std::string AUTH_EVENT_NAME;
  const std::string USER_DID_ENTER;
  const std::string DOCK_MODIFICATION_EVENT_NAME;
  const std::string DOCK_APP_SUCCESS_EVENT_NAME;
  const std::string DOCK_APP_CANCEL_EVENT_NAME;
  const std::string MEDIA_CREATED_EVENT_NAME;
  const std::string OAUTH_LOGIN_CHALLENGE_EVENT_NAME;
  const std::string OAUTH_CONSENT_CHALLENGE_EVENT_NAME;
  const std::string OAUTH_CODE_EVENT_NAME;
  const std::string AUTH_DID_CANCELLED;
  const std::string IMAGE_PICKED_FOR_CROPPING;
  const std::string IMAGE_PICKED_FOR_PREVIEW;
};

}  // namespace ZentrelSDK
