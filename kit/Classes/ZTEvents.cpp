#include "ZTEvents.hpp"

namespace ZentrelSDK {

using Foundation::Notification;

namespace {

// The notification's object as a T, or null when there is none or it is of another type.
template <class T>
const T* payload(const std::optional<Notification>& notification) {
  if (!notification || !notification->object) return nullptr;
  return notification->object->get<T>();
}

}  // namespace

const std::shared_ptr<ZTEvents>& ZTEvents::shared() {
  // Never destroyed: targets may unregister from static destructors at exit.
  static const auto* shared = new std::shared_ptr<ZTEvents>(std::make_shared<ZTEvents>());
  return *shared;
}

ZTEvents::ZTEvents()
    : AUTH_EVENT_NAME("AUTH_EVENT_NAME"),
      USER_DID_ENTER("USER_DID_ENTER"),
      DOCK_MODIFICATION_EVENT_NAME("DOCK_MODIFICATION_EVENT_NAME"),
      DOCK_APP_SUCCESS_EVENT_NAME("DOCK_APP_SUCCESS_EVENT_NAME"),
      DOCK_APP_CANCEL_EVENT_NAME("DOCK_APP_CANCEL_EVENT_NAME"),
      MEDIA_CREATED_EVENT_NAME("MEDIA_CREATED_EVENT_NAME"),
      OAUTH_LOGIN_CHALLENGE_EVENT_NAME("OAUTH_LOGIN_CHALLENGE_EVENT_NAME"),
      OAUTH_CONSENT_CHALLENGE_EVENT_NAME("OAUTH_CONSENT_CHALLENGE_EVENT_NAME"),
      OAUTH_CODE_EVENT_NAME("OAUTH_CODE_EVENT_NAME"),
      AUTH_DID_CANCELLED("AUTH_DID_CANCELLED"),
      IMAGE_PICKED_FOR_CROPPING("IMAGE_PICKED_FOR_CROPPING"),
      IMAGE_PICKED_FOR_PREVIEW("IMAGE_PICKED_FOR_PREVIEW") {}

void ZTEvents::listenWithoutPayload(const Target& target, const std::string& name,
                                    std::function<void()> completion) {
  ZTEventCore::onMainThread(target, name, std::nullopt,
                            [completion = std::move(completion)](const auto&) { completion(); });
}

void ZTEvents::listenForText(const Target& target, const std::string& name,
                             std::function<void(std::optional<std::string>)> completion) {
  ZTEventCore::onMainThread(target, name, std::nullopt,
                            [completion = std::move(completion)](const auto& notification) {
                              const auto* text = payload<std::string>(notification);
                              completion(text ? std::optional<std::string>(*text) : std::nullopt);
                            });
}

void ZTEvents::authEventListen(const Target& target, std::function<void()> completion) {
  listenWithoutPayload(target, AUTH_EVENT_NAME, std::move(completion));
}

void ZTEvents::authEventEmit() {
  ZTEventCore::post(AUTH_EVENT_NAME);
}

void ZTEvents::authCancelEventListen(const Target& target, std::function<void()> completion) {
  ZTEventCore::onBackgroundThread(
      target, AUTH_DID_CANCELLED, std::nullopt,
      [completion = std::move(completion)](const auto&) { completion(); });
}

void ZTEvents::authWasCancelledEmit() {
  ZTEventCore::post(AUTH_DID_CANCELLED);
}

void ZTEvents::userDidEnterListen(const Target& target, std::function<void()> completion) {
  listenWithoutPayload(target, USER_DID_ENTER, std::move(completion));
}

void ZTEvents::userDidEnterEmit() {
  ZTEventCore::post(USER_DID_ENTER);
}

void ZTEvents::documentModificationEventListen(const Target& target,
                                               std::function<void()> completion) {
  listenWithoutPayload(target, DOCK_MODIFICATION_EVENT_NAME, std::move(completion));
}

void ZTEvents::documentModificationEventEmit() {
  ZTEventCore::post(DOCK_MODIFICATION_EVENT_NAME);
}

void ZTEvents::documentForAppLoadingSuccessEventListen(
    const Target& target, std::function<void(std::vector<ZTPublicDocumentElement>)> completion) {
  ZTEventCore::onMainThread(target, DOCK_APP_SUCCESS_EVENT_NAME, std::nullopt,
                            [completion = std::move(completion)](const auto& notification) {
                              const auto* docks =
                                  payload<std::vector<ZTPublicDocumentElement>>(notification);
                              completion(docks ? *docks : std::vector<ZTPublicDocumentElement>{});
                            });
}

void ZTEvents::documentForAppLoadingSuccessEventEmit(std::vector<ZTPublicDocumentElement> docks) {
  ZTEventCore::post(DOCK_APP_SUCCESS_EVENT_NAME, std::move(docks));
}

void ZTEvents::documentForAppLoadingDissmissEventEmit() {
  ZTEventCore::post(DOCK_APP_CANCEL_EVENT_NAME);
}

void ZTEvents::documentForAppLoadingDissmissEventListen(const Target& target,
                                                        std::function<void()> completion) {
  listenWithoutPayload(target, DOCK_APP_CANCEL_EVENT_NAME, std::move(completion));
}

void ZTEvents::mediaCreatedEventListen(
    const Target& target, std::function<void(std::shared_ptr<ZTCameraData>)> completion) {
  ZTEventCore::onMainThread(target, MEDIA_CREATED_EVENT_NAME, std::nullopt,
                            [completion = std::move(completion)](const auto& notification) {
                              const auto* media =
                                  payload<std::shared_ptr<ZTCameraData>>(notification);
                              completion(media ? *media : nullptr);
                            });
}

void ZTEvents::mediaCreatedEventEmit(std::shared_ptr<ZTCameraData> media) {
  ZTEventCore::post(MEDIA_CREATED_EVENT_NAME, std::move(media));
}

void ZTEvents::imagePickedForCroppingListen(
    const Target& target, std::function<void(std::shared_ptr<UIKit::UIImage>)> completion) {
  ZTEventCore::onMainThread(target, IMAGE_PICKED_FOR_CROPPING, std::nullopt,
                            [completion = std::move(completion)](const auto& notification) {
                              const auto* image =
                                  payload<std::shared_ptr<UIKit::UIImage>>(notification);
                              if (image && *image) completion(*image);
                            });
}

void ZTEvents::imagePickedForCroppingEmit(std::shared_ptr<UIKit::UIImage> image) {
  std::optional<Foundation::Any> object;
  if (image) object = Foundation::Any(std::move(image));
  ZTEventCore::post(IMAGE_PICKED_FOR_CROPPING, std::move(object));
}

void ZTEvents::imagePickedForPreviewListen(
    const Target& target,
    std::function<void(std::shared_ptr<UIKit::UIImage>, std::optional<ZTCropModel>)> completion) {
  ZTEventCore::onMainThread(target, IMAGE_PICKED_FOR_PREVIEW, std::nullopt,
                            [completion = std::move(completion)](const auto& notification) {
                              const auto* pair = payload<PreviewPayload>(notification);
                              if (pair && pair->first) completion(pair->first, pair->second);
                            });
}

void ZTEvents::imagePickedForPreviewEmit(std::shared_ptr<UIKit::UIImage> image,
                                         std::optional<ZTCropModel> cropData) {
  ZTEventCore::post(IMAGE_PICKED_FOR_PREVIEW,
                    Foundation::Any::value(PreviewPayload(std::move(image), cropData)));
}

void ZTEvents::oauthLoginChallengeEventListen(
    const Target& target, std::function<void(std::optional<std::string>)> completion) {
  listenForText(target, OAUTH_LOGIN_CHALLENGE_EVENT_NAME, std::move(completion));
}

void ZTEvents::oauthLoginChallengeEventEmit(std::optional<std::string> event) {
  ZTEventCore::post(OAUTH_LOGIN_CHALLENGE_EVENT_NAME, std::move(event));
}

void ZTEvents::oauthConsentChallengeEventListen(
    const Target& target, std::function<void(std::optional<std::string>)> completion) {
  listenForText(target, OAUTH_CONSENT_CHALLENGE_EVENT_NAME, std::move(completion));
}

void ZTEvents::oauthConsentChallengeEventEmit(std::optional<std::string> event) {
  ZTEventCore::post(OAUTH_CONSENT_CHALLENGE_EVENT_NAME, std::move(event));
}

void ZTEvents::oauthCodeEventListen(const Target& target,
                                    std::function<void(std::optional<std::string>)> completion) {
  listenForText(target, OAUTH_CODE_EVENT_NAME, std::move(completion));
}

void ZTEvents::oauthCodeEventEmit(std::optional<std::string> event) {
  ZTEventCore::post(OAUTH_CODE_EVENT_NAME, std::move(event));
}

void ZTEvents::unregiterEvents(const Target& target) {
  ZTEventCore::unregister(target);
}

}  // namespace ZentrelSDK
