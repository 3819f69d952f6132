#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "AVFoundation/AVCaptureConnection.hpp"
#include "AVFoundation/AVTypes.hpp"

namespace AVFoundation {

class AVCaptureSession;

// Swift's AVCaptureOutput: a sink of a session, reached through its connections.
class AVCaptureOutput : public std::enable_shared_from_this<AVCaptureOutput> {
 public:
  virtual ~AVCaptureOutput() = default;
  // The media an output takes in.
  virtual bool accepts(AVMediaType mediaType) const = 0;
  // A short name for the session's configuration log.
  virtual const char* kind() const = 0;

  std::vector<std::shared_ptr<AVCaptureConnection>> connections() const;
  // Swift `connection(with:)`: the first connection carrying that media, or null.
  std::shared_ptr<AVCaptureConnection> connection(AVMediaType mediaType) const;
  std::shared_ptr<AVCaptureSession> session() const;

  // Kept by the session that holds the output.
  void attach(const std::shared_ptr<AVCaptureSession>& session);
  void detach();
  void addConnection(std::shared_ptr<AVCaptureConnection> connection);
  void removeConnection(const std::shared_ptr<AVCaptureConnection>& connection);

 private:
  mutable std::mutex mutex_;
  std::weak_ptr<AVCaptureSession> session_;
  std::vector<std::shared_ptr<AVCaptureConnection>> connections_;
};

}  // namespace AVFoundation
