#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "Dispatch/DispatchQueue.hpp"
#include "Foundation/NSError.hpp"
#include "Photos/PHTypes.hpp"

namespace Photos {

// Swift's PHPhotoLibrary over the simulated library folder (see SimulatedLibrary).
class PHPhotoLibrary : public std::enable_shared_from_this<PHPhotoLibrary> {
 public:
  using ChangeCompletion =
      std::function<void(bool success, const std::optional<Foundation::NSError>& error)>;

  static const std::shared_ptr<PHPhotoLibrary>& shared();

  static PHAuthorizationStatus authorizationStatus();
  // Asks the owner when the status is not determined; the answer comes on a platform thread,
  // after the simulated delay on the process clock. Otherwise answers the current status.
  static void requestAuthorization(std::function<void(PHAuthorizationStatus)> handler);

  // Runs `changeBlock` on the library's serial queue, applies the requests it made as one
  // change, then calls the completion once on another platform thread. Without authorisation
  // the block does not run and the change fails.
  void performChanges(std::function<void()> changeBlock, ChangeCompletion completionHandler);

  PHPhotoLibrary();

 private:
  Dispatch::DispatchQueue queue_;
};

}  // namespace Photos
