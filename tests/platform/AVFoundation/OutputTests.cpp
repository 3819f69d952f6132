#include <filesystem>

#include <AVFoundation/AVCaptureMovieFileOutput.hpp>
#include <ImageIO/CGImageSource.hpp>

#include "AVTestSupport.hpp"
#include "support/CaptureSupport.hpp"
#include "support/TemporaryFolder.hpp"

using namespace avtest;
using Preset = AVCaptureSession::Preset;

namespace {

struct Shot {
  std::optional<Foundation::Data> data;
  std::optional<Foundation::NSError> error;
};

class PhotoRecorder : public AVCapturePhotoCaptureDelegate {
 public:
  void photoOutput(AVCapturePhotoOutput&, const AVCapturePhoto& photo,
                   const std::optional<Foundation::NSError>& error) override {
    shots.record(Shot{photo.fileDataRepresentation(), error});
  }
  zttest::Recorder<Shot> shots;
};

struct Decoded {
  std::size_t width = 0, height = 0;
  std::optional<int> orientation;
  std::optional<CaptureRig::PatternMark> mark;
};

Decoded decode(const Foundation::Data& data) {
  auto source = ImageIO::CGImageSource::createWithData(data);
  auto image = source->createImage(0);
  if (!image) return {};
  return Decoded{image.value()->width(), image.value()->height(),
                 source->copyProperties(0).value().orientation,
                 CaptureRig::readPattern(*image.value())};
}

}  // namespace

class Photo : public CaptureTest {};

TEST_F(Photo, DecodesToThePresetsSizeAndFrameNumber) {
  struct Row {
    Preset preset;
    std::size_t width, height;
  };
  const std::vector<Row> rows = {{Preset::low, 192, 144},
                                 {Preset::medium, 640, 480},
                                 {Preset::high, 1920, 1080},
                                 {Preset::photo, 4032, 3024}};
  std::uint32_t frame = 0;
  for (const auto& row : rows) {
    auto camera = startCamera(row.preset);
    auto delegate = std::make_shared<PhotoRecorder>();
    camera.photo->capturePhoto({}, delegate);
    ASSERT_TRUE(delegate->shots.waitFor(1)) << presetName(row.preset);
    const auto shot = delegate->shots.calls()[0];
    EXPECT_FALSE(shot.onMain);
    ASSERT_TRUE(shot.value.data.has_value());
    const auto decoded = decode(*shot.value.data);
    EXPECT_EQ(decoded.width, row.width);
    EXPECT_EQ(decoded.height, row.height);
    EXPECT_EQ(decoded.orientation, 6);  // portrait
    ASSERT_TRUE(decoded.mark.has_value());
    EXPECT_EQ(decoded.mark->number, frame++);
    EXPECT_FALSE(decoded.mark->mirrored);
  }
}

TEST_F(Photo, FollowsTheConnectionsOrientationAndMirroring) {
  auto camera = startCamera(Preset::low, AVCaptureDevice::Position::front);
  auto connection = camera.photo->connection(AVMediaType::video);
  ASSERT_NE(connection, nullptr);
  struct Row {
    AVCaptureVideoOrientation orientation;
    bool mirrored;
    int exif;
  };
  const std::vector<Row> rows = {{AVCaptureVideoOrientation::portrait, true, 6},
                                 {AVCaptureVideoOrientation::landscapeRight, false, 1},
                                 {AVCaptureVideoOrientation::landscapeLeft, true, 3},
                                 {AVCaptureVideoOrientation::portraitUpsideDown, false, 8}};
  auto delegate = std::make_shared<PhotoRecorder>();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    connection->setVideoOrientation(rows[i].orientation);
    connection->setVideoMirrored(rows[i].mirrored);
    camera.photo->capturePhoto({}, delegate);
    ASSERT_TRUE(delegate->shots.waitFor(i + 1));
    const auto decoded = decode(*delegate->shots.calls()[i].value.data);
    EXPECT_EQ(decoded.orientation, rows[i].exif);
    ASSERT_TRUE(decoded.mark.has_value());
    EXPECT_EQ(decoded.mark->mirrored, rows[i].mirrored);
    EXPECT_EQ(decoded.mark->number, i);
  }
  EXPECT_EQ(camera.photo->supportedFlashModes().size(), 1u);  // the front camera has none
}

TEST_F(Photo, WithoutARunningSessionTheDelegateGetsAnError) {
  auto camera = startCamera(Preset::low);
  camera.session->stopRunning();
  auto delegate = std::make_shared<PhotoRecorder>();
  camera.photo->capturePhoto({}, delegate);
  ASSERT_TRUE(delegate->shots.waitFor(1));
  EXPECT_EQ(delegate->shots.calls()[0].value.error->code, AVErrorSessionNotRunning);
  auto loose = AVCapturePhotoOutput::make();
  loose->capturePhoto({}, delegate);
  ASSERT_TRUE(delegate->shots.waitFor(2));
  EXPECT_FALSE(delegate->shots.calls()[1].value.data.has_value());
}

namespace {

struct Ending {
  std::string path;
  std::optional<Foundation::NSError> error;
};

class MovieRecorder : public AVCaptureFileOutputRecordingDelegate {
 public:
  void fileOutput(AVCaptureFileOutput&, const Foundation::URL& url,
                  const std::vector<std::shared_ptr<AVCaptureConnection>>&) override {
    starts.record(url.path());
  }
  void fileOutput(AVCaptureFileOutput&, const Foundation::URL& url,
                  const std::vector<std::shared_ptr<AVCaptureConnection>>&,
                  const std::optional<Foundation::NSError>& error) override {
    ends.record(Ending{url.path(), error});
  }
  zttest::Recorder<std::string> starts;
  zttest::Recorder<Ending> ends;
};

}  // namespace

class Movie : public CaptureTest {
 protected:
  std::shared_ptr<AVCaptureMovieFileOutput> startMovieCamera() {
    camera = startCamera(Preset::high);
    auto movie = AVCaptureMovieFileOutput::make();
    EXPECT_TRUE(camera.session->addOutput(movie));
    return movie;
  }
  Camera camera;
  zttest::TemporaryFolder folder;
};

TEST_F(Movie, FileSizeFollowsTheManualClock) {
  CaptureRig::setMovieBytesPerSecond(1000);
  auto movie = startMovieCamera();
  auto delegate = std::make_shared<MovieRecorder>();
  const auto url = Foundation::URL::fileURLWithPath(folder / "movie.mp4");
  ASSERT_TRUE(movie->startRecording(url, delegate));
  EXPECT_FALSE(movie->startRecording(url, delegate));  // already recording
  ASSERT_TRUE(delegate->starts.waitFor(1));
  EXPECT_FALSE(delegate->starts.calls()[0].onMain);
  EXPECT_EQ(movie->recordedFileSize(), 20);
  clock->advance(2.5);
  EXPECT_EQ(movie->recordedFileSize(), 2520);
  EXPECT_EQ(std::filesystem::file_size(url.path()), 2520u);
  EXPECT_DOUBLE_EQ(CoreMedia::CMTimeGetSeconds(movie->recordedDuration()), 2.5);
  clock->advance(1);
  movie->stopRecording();
  movie->stopRecording();
  EXPECT_FALSE(movie->isRecording());
  ASSERT_TRUE(delegate->ends.waitFor(1));
  EXPECT_FALSE(delegate->ends.waitFor(2, 0.2));
  EXPECT_FALSE(delegate->ends.calls()[0].value.error.has_value());
  EXPECT_EQ(std::filesystem::file_size(url.path()), 3520u);
}

TEST_F(Movie, StartsThatCannotRecordEndAtOnce) {
  auto movie = startMovieCamera();
  auto delegate = std::make_shared<MovieRecorder>();
  EXPECT_FALSE(movie->startRecording(
      Foundation::URL::fileURLWithPath(folder / "no-such-folder/x.mp4"), delegate));
  camera.session->stopRunning();
  EXPECT_FALSE(movie->startRecording(Foundation::URL::fileURLWithPath(folder / "c.mp4"), delegate));
  ASSERT_TRUE(delegate->ends.waitFor(2));
  for (const auto& call : delegate->ends.calls()) EXPECT_TRUE(call.value.error.has_value());
  EXPECT_EQ(delegate->starts.count(), 0u);
  EXPECT_EQ(CoreMedia::CMTimeGetSeconds(movie->recordedDuration()), 0);
}

TEST_F(Photo, EachInjectedFaultHappensOnceOnAPlatformThread) {
  using Fault = CaptureRig::PhotoFault;
  struct Row {
    Fault fault;
    std::size_t calls;  // deliveries of the faulty photo
    bool error, data, decodes;
  };
  const std::vector<Row> rows = {
      {Fault::error, 1, true, false, false},        {Fault::noData, 1, false, false, false},
      {Fault::nonImageData, 1, false, true, false}, {Fault::twice, 2, false, true, true},
      {Fault::late, 1, false, true, true},          {Fault::never, 0, false, false, false},
  };
  auto camera = startCamera(Preset::low);
  for (const auto& row : rows) {
    auto faulty = std::make_shared<PhotoRecorder>();
    auto next = std::make_shared<PhotoRecorder>();
    CaptureRig::injectPhotoFault(row.fault, 5);
    camera.photo->capturePhoto({}, faulty);
    camera.photo->capturePhoto({}, next);
    ASSERT_TRUE(next->shots.waitFor(1));
    EXPECT_TRUE(next->shots.calls()[0].value.data.has_value());  // the fault is used up
    if (row.fault == Fault::late) {
      EXPECT_FALSE(faulty->shots.waitFor(1, 0.2));
      clock->advance(5);
    }
    if (row.calls > 0) {
      ASSERT_TRUE(faulty->shots.waitFor(row.calls));
    }
    EXPECT_FALSE(faulty->shots.waitFor(row.calls + 1, 0.2));
    for (const auto& call : faulty->shots.calls()) {
      EXPECT_FALSE(call.onMain);
      EXPECT_EQ(call.value.error.has_value(), row.error);
      EXPECT_EQ(call.value.data.has_value(), row.data);
      if (call.value.data) {
        EXPECT_EQ(decode(*call.value.data).width > 0, row.decodes);
      }
    }
  }
}
