#include "AVFoundation/AVCaptureOutput.hpp"

#include "AVFoundation/AVCaptureSession.hpp"

namespace AVFoundation {

std::vector<std::shared_ptr<AVCaptureConnection>> AVCaptureOutput::connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

std::shared_ptr<AVCaptureConnection> AVCaptureOutput::connection(AVMediaType mediaType) const {
  std::lock_guard lock(mutex_);
  for (const auto& connection : connections_)
    if (connection->carries(mediaType)) return connection;
  return nullptr;
}

std::shared_ptr<AVCaptureSession> AVCaptureOutput::session() const {
  std::lock_guard lock(mutex_);
  return session_.lock();
}

void AVCaptureOutput::attach(const std::shared_ptr<AVCaptureSession>& session) {
  std::lock_guard lock(mutex_);
  session_ = session;
}

void AVCaptureOutput::detach() {
  std::lock_guard lock(mutex_);
  for (const auto& connection : connections_) connection->setInSession(false);
  connections_.clear();
  session_.reset();
}

void AVCaptureOutput::addConnection(std::shared_ptr<AVCaptureConnection> connection) {
  std::lock_guard lock(mutex_);
  connections_.push_back(std::move(connection));
}

void AVCaptureOutput::removeConnection(const std::shared_ptr<AVCaptureConnection>& connection) {
  std::lock_guard lock(mutex_);
  std::erase(connections_, connection);
}

}  // namespace AVFoundation
