#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "AVFoundation/AVCaptureConnection.hpp"
#include "AVFoundation/AVCaptureInput.hpp"
#include "AVFoundation/AVCaptureOutput.hpp"

namespace AVFoundation {

// Swift's AVCaptureSession. Inputs, outputs and connections join the graph at once; what the
// hardware does with them (the active preset, the configuration log) is applied when the
// outermost configuration block commits, or at once outside a block. Thread-safe.
class AVCaptureSession : public std::enable_shared_from_this<AVCaptureSession> {
 public:
  enum class Preset { low, medium, high, photo };

  static std::shared_ptr<AVCaptureSession> make() { return std::make_shared<AVCaptureSession>(); }

  void beginConfiguration();
  void commitConfiguration();

  Preset sessionPreset() const;
  bool canSetSessionPreset(Preset preset) const;
  // A preset the hardware refuses changes nothing and returns false (the platform raises).
  bool setSessionPreset(Preset preset);
  // The preset the frames are taken at: the last one committed.
  Preset activePreset() const;

  bool canAddInput(const std::shared_ptr<AVCaptureInput>& input) const;
  bool addInput(const std::shared_ptr<AVCaptureInput>& input);
  bool addInputWithNoConnections(const std::shared_ptr<AVCaptureInput>& input);
  void removeInput(const std::shared_ptr<AVCaptureInput>& input);
  bool canAddOutput(const std::shared_ptr<AVCaptureOutput>& output) const;
  bool addOutput(const std::shared_ptr<AVCaptureOutput>& output);
  bool addOutputWithNoConnections(const std::shared_ptr<AVCaptureOutput>& output);
  void removeOutput(const std::shared_ptr<AVCaptureOutput>& output);
  bool canAddConnection(const std::shared_ptr<AVCaptureConnection>& connection) const;
  bool addConnection(const std::shared_ptr<AVCaptureConnection>& connection);

  std::vector<std::shared_ptr<AVCaptureInput>> inputs() const;
  std::vector<std::shared_ptr<AVCaptureOutput>> outputs() const;

  // Synchronous, as on the platform.
  void startRunning();
  void stopRunning();
  bool isRunning() const;

  // The video device of the first camera input, or null.
  std::shared_ptr<AVCaptureDevice> videoDevice() const;

  AVCaptureSession() = default;
  ~AVCaptureSession();

 private:
  void record(std::string action);  // mutex_ held
  void connect(const std::shared_ptr<AVCaptureInput>& input,
               const std::shared_ptr<AVCaptureOutput>& output);  // mutex_ held

  mutable std::mutex mutex_;
  int depth_ = 0;
  std::vector<std::string> pending_;
  Preset preset_ = Preset::high;
  Preset active_ = Preset::high;
  bool running_ = false;
  std::vector<std::shared_ptr<AVCaptureInput>> inputs_;
  std::vector<std::shared_ptr<AVCaptureOutput>> outputs_;
  std::vector<std::shared_ptr<AVCaptureConnection>> connections_;
};

// Swift's preset constants.
inline constexpr auto AVCaptureSessionPresetLow = AVCaptureSession::Preset::low;
inline constexpr auto AVCaptureSessionPresetMedium = AVCaptureSession::Preset::medium;
inline constexpr auto AVCaptureSessionPresetHigh = AVCaptureSession::Preset::high;
inline constexpr auto AVCaptureSessionPresetPhoto = AVCaptureSession::Preset::photo;

const char* presetName(AVCaptureSession::Preset preset);

}  // namespace AVFoundation
