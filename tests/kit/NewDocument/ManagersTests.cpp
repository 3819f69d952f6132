// Both managers: the first photo of a capture opens the preview, once, for one capture.

#include <gtest/gtest.h>

#include <string>

#include "NewDocumentSupport.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"

namespace {

using namespace ZentrelSDK;
using newdoc::NewDocumentTest;
using Preview = ZTNewDocumentPreviewViewController;
using Type = ZTPublicConstants::DocumentType;

class Managers : public NewDocumentTest {
 protected:
  std::size_t previews() const {
    std::size_t n = 0;
    for (auto vc = ui->root(); vc; vc = vc->presentedViewController()) {
      if (std::dynamic_pointer_cast<Preview>(vc)) ++n;
    }
    return n;
  }
  void emit(std::shared_ptr<ZTCameraData> media) {
    ZTEvents::shared()->mediaCreatedEventEmit(std::move(media));
    ui->settle();
    pass(0.3);
  }
};

TEST_F(Managers, ANewCaptureInEitherManagerEndsTheOneStillWaiting) {
  ZTDocumentsManager::shared()->beginUploadingNewDocument(Type::Passport);
  ZTPrivateDocumentsManager::shared()->beginUploadingNewDocument(Type::IdCard);
  emit(newdoc::photo(newdoc::cachePhoto("1.jpg", zttest::plainJPEG(64, 48))));
  ASSERT_EQ(previews(), 1u);
  EXPECT_EQ(frontmost<Preview>()->documentTypeLabel.lock()->text(), "Id Card");
  emit(newdoc::photo(newdoc::cachePhoto("2.jpg", zttest::plainJPEG(64, 48))));
  EXPECT_EQ(previews(), 1u) << "the capture ended with its first photo";
}

struct IgnoredRow {
  const char* name;
  std::shared_ptr<ZTCameraData> media;
};

class IgnoredMedia : public Managers, public ::testing::WithParamInterface<IgnoredRow> {};

TEST_P(IgnoredMedia, OpenNoPreviewAndEndTheCapture) {
  ZTDocumentsManager::shared()->beginUploadingNewDocument(Type::Passport);
  emit(GetParam().media);
  EXPECT_EQ(previews(), 0u);
  emit(newdoc::photo(newdoc::cachePhoto("1.jpg", zttest::plainJPEG(64, 48))));
  EXPECT_EQ(previews(), 0u) << "the listener is gone";
}

INSTANTIATE_TEST_SUITE_P(
    NewDocument, IgnoredMedia,
    ::testing::Values(
        IgnoredRow{"NoPayload", nullptr},
        IgnoredRow{
            "Video",
            std::make_shared<ZTCameraData>(Foundation::URL::fileURLWithPath("/tmp/movie.mp4"),
                                           MediaType::video)},
        IgnoredRow{"NoFile", std::make_shared<ZTCameraData>(std::nullopt, MediaType::photo)},
        IgnoredRow{
            "NotAnImage",
            std::make_shared<ZTCameraData>(Foundation::URL::fileURLWithPath("/nonexistent/x.jpg"),
                                           MediaType::photo)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
