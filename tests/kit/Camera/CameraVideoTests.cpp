#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <Foundation/NSError.hpp>
#include <Photos/PHTypes.hpp>

#include "CameraFixture.hpp"

using namespace cameratest;
using ZentrelSDK::CameraOutputMode;

namespace {

struct VideoOutcome {
  std::optional<Foundation::URL> url;
  std::optional<Foundation::NSError> error;
};

class CameraVideo : public CameraTest {
 protected:
  ZTCameraViewManager::VideoCompletion recorder() {
    return [this](const std::optional<Foundation::URL>& url,
                  const std::optional<Foundation::NSError>& error) {
      std::lock_guard lock(mutex);
      outcomes.push_back({url, error});
    };
  }
  std::size_t count() {
    std::lock_guard lock(mutex);
    return outcomes.size();
  }
  // Waits for the recording to start and a second to pass on the clock.
  void record() {
    manager->startRecordingVideo();
    advance(1);
  }
  // Lets every late answer come, then the outcomes.
  std::vector<VideoOutcome> settled() {
    for (int i = 0; i < 10; ++i) advance(0.2);
    std::lock_guard lock(mutex);
    return outcomes;
  }

  std::mutex mutex;
  std::vector<VideoOutcome> outcomes;
};

TEST_F(CameraVideo, RecordsIntoATempMovieNamedByTheTime) {
  attach(CameraOutputMode::videoOnly);
  manager->setWriteFilesToPhoneLibrary(false);
  record();
  manager->stopVideoRecording(recorder());
  ASSERT_TRUE(until([&] { return count() > 0; }));
  const auto got = settled();
  ASSERT_EQ(got.size(), 1u);
  ASSERT_TRUE(got[0].url);
  EXPECT_FALSE(got[0].error);
  const auto name = std::filesystem::path(got[0].url->path()).filename().string();
  EXPECT_TRUE(std::regex_match(name, std::regex(R"(tempMovie\d+\.\d+\.mp4)"))) << name;
  EXPECT_TRUE(std::filesystem::exists(got[0].url->path()));
  std::filesystem::remove(got[0].url->path());
}

struct EndRow {
  const char* name;
  bool libraryOn;
  Photos::PHAuthorizationStatus library;
  bool endError;
  bool urlExpected;
  bool errorExpected;
};

class End : public CameraVideo, public ::testing::WithParamInterface<EndRow> {};

TEST_P(End, TheCompletionRunsExactlyOnce) {
  const auto& row = GetParam();
  attach(CameraOutputMode::videoOnly);
  manager->setWriteFilesToPhoneLibrary(row.libraryOn);
  CaptureRig::setLibraryPermission(Photos::PHAuthorizationStatus::notDetermined, row.library);
  if (row.endError) {
    CaptureRig::failNextRecordingEnd(Foundation::NSError("AVFoundationErrorDomain", -11800));
  }
  record();
  manager->stopVideoRecording(recorder());
  ASSERT_TRUE(until([&] { return count() > 0; }));
  const auto got = settled();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].url.has_value(), row.urlExpected);
  EXPECT_EQ(got[0].error.has_value(), row.errorExpected)
      << (got[0].error ? got[0].error->localizedDescription() : "");
  if (got[0].url) std::filesystem::remove(got[0].url->path());
}

INSTANTIATE_TEST_SUITE_P(
    Camera, End,
    ::testing::Values(
        EndRow{"libraryGranted", true, Photos::PHAuthorizationStatus::authorized, false, true,
               false},
        EndRow{"libraryRefused", true, Photos::PHAuthorizationStatus::denied, false, true, false},
        EndRow{"endError", false, Photos::PHAuthorizationStatus::authorized, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CameraVideo, AStopWhileIdleAnswersNotRecording) {
  attach(CameraOutputMode::videoOnly);
  manager->stopVideoRecording(recorder());
  ASSERT_TRUE(until([&] { return count() > 0; }));
  const auto got = settled();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_FALSE(got[0].url);
  ASSERT_TRUE(got[0].error);
  EXPECT_EQ(got[0].error->localizedDescription(), "not recording");
}

TEST_F(CameraVideo, AStartWhileRecordingIsIgnoredAndTheTrackIsAddedOnce) {
  attach(CameraOutputMode::videoOnly);
  manager->setWriteFilesToPhoneLibrary(false);
  record();
  manager->startRecordingVideo();
  manager->stopVideoRecording(recorder());
  ASSERT_TRUE(until([&] { return count() > 0; }));
  record();
  manager->stopVideoRecording(recorder());
  ASSERT_TRUE(until([&] { return count() > 1; }));
  const auto got = settled();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_NE(got[0].url->path(), got[1].url->path());
  int metadataInputs = 0;
  for (const auto& input : manager->captureSession()->inputs()) {
    metadataInputs +=
        std::dynamic_pointer_cast<AVFoundation::AVCaptureMetadataInput>(input) != nullptr;
  }
  EXPECT_EQ(metadataInputs, 1);
  for (const auto& o : got) std::filesystem::remove(o.url->path());
}

TEST_F(CameraVideo, AMovieNameThatExistsGetsASuffix) {
  attach(CameraOutputMode::videoOnly);
  manager->setWriteFilesToPhoneLibrary(false);
  // Two recordings at one moment of the clock.
  for (int i = 0; i < 2; ++i) {
    manager->startRecordingVideo();
    manager->stopVideoRecording(recorder());
    ASSERT_TRUE(ui->runUntil([&] { return count() > static_cast<std::size_t>(i); }));
  }
  const auto got = settled();
  ASSERT_EQ(got.size(), 2u);
  ASSERT_TRUE(got[0].url && got[1].url);
  EXPECT_EQ(got[1].url->path(),
            got[0].url->path().substr(0, got[0].url->path().size() - 4) + "-1.mp4");
  for (const auto& o : got) std::filesystem::remove(o.url->path());
}

TEST_F(CameraVideo, StillImageModeRefusesToRecord) {
  attach();
  collectMessages();
  manager->startRecordingVideo();
  ASSERT_TRUE(until([&] { return !messages.empty(); }));
  EXPECT_EQ(titles(), std::vector<std::string>{"Capture session output still image"});
  EXPECT_EQ(manager->recordedFileSize(), 0);
}

}  // namespace
