#include "Photos/PHPhotoLibrary.hpp"

#include "Photos/ChangeTransaction.hpp"
#include "Photos/SimulatedLibrary.hpp"

namespace Photos {

namespace {
Dispatch::DispatchQueue& answers() {
  return Dispatch::DispatchQueue::global(Dispatch::QoS::UserInitiated);
}
}  // namespace

const std::shared_ptr<PHPhotoLibrary>& PHPhotoLibrary::shared() {
  static const auto library = std::make_shared<PHPhotoLibrary>();
  return library;
}

PHPhotoLibrary::PHPhotoLibrary() : queue_("com.apple.photos.changes") {}

PHAuthorizationStatus PHPhotoLibrary::authorizationStatus() {
  return SimulatedLibrary::shared().permission().status;
}

void PHPhotoLibrary::requestAuthorization(std::function<void(PHAuthorizationStatus)> handler) {
  const auto [status, delay] = SimulatedLibrary::shared().prompt();
  auto block = [handler = std::move(handler), status = status] {
    SimulatedLibrary::shared().settle(status);
    if (handler) handler(status);
  };
  if (delay > 0)
    answers().asyncAfter(delay, std::move(block));
  else
    answers().async(std::move(block));
}

void PHPhotoLibrary::performChanges(std::function<void()> changeBlock,
                                    ChangeCompletion completionHandler) {
  queue_.async([changeBlock = std::move(changeBlock),
                completionHandler = std::move(completionHandler)]() mutable {
    auto finish = [&](bool success, std::optional<Foundation::NSError> error) {
      answers().async(
          [completionHandler = std::move(completionHandler), success, error = std::move(error)] {
            if (completionHandler) completionHandler(success, error);
          });
    };
    if (authorizationStatus() != PHAuthorizationStatus::authorized &&
        authorizationStatus() != PHAuthorizationStatus::limited)
      return finish(false, photosError(PHPhotosErrorAccessUserDenied,
                                       "The user has not allowed access to the library"));
    SimulatedLibrary::Changes changes;
    {
      ChangeTransaction transaction;
      if (changeBlock) changeBlock();
      changes = transaction.changes();
    }
    auto applied = SimulatedLibrary::shared().apply(changes);
    if (!applied) return finish(false, applied.error());
    finish(true, std::nullopt);
  });
}

}  // namespace Photos
