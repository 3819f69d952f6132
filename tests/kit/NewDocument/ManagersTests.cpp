// Both managers: a capture begins with the source sheet, and its first photo opens the
// preview, once, for one capture.

#include <gtest/gtest.h>

#include <string>

#include "NewDocumentSupport.hpp"
#include "ZTDocuments/NewDocumentPreview/ZTNewDocumentPreviewViewController.hpp"

namespace {

using namespace ZentrelSDK;
using newdoc::NewDocumentTest;
using Preview = ZTNewDocumentPreviewViewController;
using Type = ZTPublicConstants::DocumentType;

ZTDocumentsManager& manager(bool internal) {
  if (internal) return *ZTPrivateDocumentsManager::shared();
  return *ZTDocumentsManager::shared();
}

class Managers : public NewDocumentTest {
 protected:
  std::size_t previews() const {
    std::size_t n = 0;
    for (auto vc = ui->root(); vc; vc = vc->presentedViewController()) {
      if (std::dynamic_pointer_cast<Preview>(vc)) ++n;
    }
    return n;
  }
  // A photo of another flow.
  void emit(std::shared_ptr<ZTCameraData> media) {
    ZTEvents::shared()->mediaCreatedEventEmit(std::move(media));
    ui->settle();
    pass(0.5);
  }
  void begin(bool internal, Type type) {
    manager(internal).beginUploadingNewDocument(type);
    pass(0.5);
    ASSERT_EQ(ui->alertTitle(), "Source");
  }
};

struct WaitingRow {
  const char* name;
  bool firstInternal, secondInternal;
};

class OneWaitsAtATime : public Managers, public ::testing::WithParamInterface<WaitingRow> {};

TEST_P(OneWaitsAtATime, ANewCaptureEndsTheOneStillWaitingForItsFirstPhoto) {
  const auto& row = GetParam();
  begin(row.firstInternal, Type::Passport);
  // The library route abandoned: that capture still waits.
  ASSERT_TRUE(ui->chooseAction("Choose from library"));
  pass(0.5);
  ASSERT_TRUE(ui->cancelPick());
  pass(0.5);
  ASSERT_EQ(ui->frontmost(), ui->root());

  begin(row.secondInternal, Type::IdCard);
  ASSERT_TRUE(chooseFromLibrary(newdoc::plain(64, 48)));
  pass(0.3);
  ASSERT_EQ(previews(), 1u);
  EXPECT_EQ(frontmost<Preview>()->documentTypeLabel.lock()->text(), "Id Card");
  emit(newdoc::photo(stored.at(0)));
  EXPECT_EQ(previews(), 1u) << "the capture ended with its first photo";
}

INSTANTIATE_TEST_SUITE_P(NewDocument, OneWaitsAtATime,
                         ::testing::Values(WaitingRow{"PublicThenInternal", false, true},
                                           WaitingRow{"InternalThenPublic", true, false},
                                           WaitingRow{"PublicTwice", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

class SheetCancel : public Managers, public ::testing::WithParamInterface<bool> {};

TEST_P(SheetCancel, EndsTheCaptureWithoutAPreview) {
  begin(GetParam(), Type::Passport);
  ASSERT_TRUE(ui->chooseAction("Cancel"));
  pass(0.5);
  EXPECT_EQ(ui->frontmost(), ui->root());
  emit(newdoc::photo(newdoc::cachePhoto("1.jpg", zttest::plainJPEG(64, 48))));
  EXPECT_EQ(previews(), 0u) << "a photo of another flow";
}

INSTANTIATE_TEST_SUITE_P(NewDocument, SheetCancel, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Internal" : "Public"; });

struct IgnoredRow {
  const char* name;
  std::shared_ptr<ZTCameraData> media;
};

class IgnoredMedia : public Managers, public ::testing::WithParamInterface<IgnoredRow> {};

TEST_P(IgnoredMedia, OpenNoPreviewAndEndTheCapture) {
  begin(false, Type::Passport);
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
