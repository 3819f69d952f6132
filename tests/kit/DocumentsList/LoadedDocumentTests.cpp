// The preview of an uploaded document: record, then front, then back, each shown as it
// arrives; failures as the user sees them; the back button at any moment.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <UIKit/UIActivityIndicatorView.hpp>

#include "DocumentsListSupport.hpp"
#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedDocumentViewController.hpp"
#include "ZTDocuments/PreviewLoadedDocument/ZTPreviewLoadedViewModel.hpp"
#include "support/CaptureSupport.hpp"

namespace {

using namespace ZentrelSDK;
using doclist::DocumentsListTest;
using doclist::Status;
using doclist::Type;
using Screen = ZTPreviewLoadedDocumentViewController;
using namespace std::chrono_literals;

std::string jpeg(std::size_t width, std::size_t height) {
  const auto bytes = zttest::plainJPEG(width, height);
  return std::string(bytes.begin(), bytes.end());
}

// What the model asks of its view, in order, with the back requests made by each call.
class RecordingView : public ZTPreviewLoadedView {
 public:
  explicit RecordingView(sandbox::Sandbox& server) : server_(server) {}
  void setFrontsidePhoto() override { record("front"); }
  void setBacksidePhoto() override { record("back"); }
  void documentStatusDidUpdate() override { record("status"); }
  void dismiss(std::function<void()> withAction) override {
    record("dismiss");
    if (withAction) withAction();
  }
  void showError(const std::string& error) override { record("error: " + error); }

  std::vector<std::string> calls;
  std::vector<std::size_t> backRequests;

 private:
  void record(std::string call) {
    calls.push_back(std::move(call));
    backRequests.push_back(server_.count("documents.file.back"));
  }
  sandbox::Sandbox& server_;
};

class LoadedDocument : public DocumentsListTest {
 protected:
  std::shared_ptr<Screen> open(
      const std::string& id,
      ZTPublicConstants::DocumentType type = ZTPublicConstants::DocumentType::Passport) {
    ZTPrivateDocumentsManager::shared()->openLoadedDocument(id, type);
    until([&] { return findScreen() != nullptr; });
    pass(0.5);
    return findScreen();
  }
  std::shared_ptr<Screen> findScreen() const {
    for (auto vc = ui->root(); vc; vc = vc->presentedViewController())
      if (auto screen = std::dynamic_pointer_cast<Screen>(vc)) return screen;
    return nullptr;
  }
  static bool spinning(const std::weak_ptr<UIKit::UIActivityIndicatorView>& spinner) {
    return spinner.lock()->isAnimating();
  }
};

TEST_F(LoadedDocument, StatusThenFrontThenBackTheBackAskedOnlyAfterTheFront) {
  const auto id = add(Type::Passport, Status::Verified, jpeg(64, 48), jpeg(32, 24));
  auto model =
      std::make_shared<ZTPreviewLoadedViewModel>(id, ZTPublicConstants::DocumentType::Passport);
  auto view = std::make_shared<RecordingView>(sb());
  model->setupDelegate(view);
  ASSERT_TRUE(until([&] { return view->calls.size() == 3; }));
  EXPECT_EQ(view->calls, (std::vector<std::string>{"status", "front", "back"}));
  EXPECT_EQ(view->backRequests, (std::vector<std::size_t>{0, 0, 1}));
  EXPECT_EQ(model->documentStatus(), ZTPublicConstants::DocumentStatusType::Verified);
  ASSERT_TRUE(model->frontSideImage() && model->backSideImage());
  EXPECT_EQ(model->frontSideImage()->cgImage()->width(), 64u);
  EXPECT_EQ(model->backSideImage()->cgImage()->width(), 32u);

  std::vector<std::string> road;
  for (const auto& request : sb().requests()) road.push_back(request.endpoint);
  EXPECT_EQ(road, (std::vector<std::string>{"documents.get", "documents.file.front",
                                            "documents.file.back"}));
}

TEST_F(LoadedDocument, ShowsTypeAndStatusWithBothSpinnersUntilTheResultsCome) {
  const auto id = add(Type::IdCard, Status::NotReadable, jpeg(64, 48), jpeg(64, 48));
  sb().inject("documents.get", sandbox::Fault::after(300ms));
  auto screen = open(id, ZTPublicConstants::DocumentType::IdCard);
  ASSERT_TRUE(screen);
  EXPECT_TRUE(spinning(screen->spinnerFrontImage));
  EXPECT_TRUE(spinning(screen->spinnerBacksideImage));
  EXPECT_EQ(screen->docTypeLabel.lock()->text(), "Id Card");
  EXPECT_TRUE(screen->addDocumentButton.lock()->isHidden());

  ASSERT_TRUE(until([&] { return !spinning(screen->spinnerBacksideImage); }));
  EXPECT_FALSE(spinning(screen->spinnerFrontImage));
  EXPECT_TRUE(screen->frontsideImageView.lock()->image());
  EXPECT_TRUE(screen->backsideImageView.lock()->image());
  EXPECT_EQ(screen->docStatusLabel.lock()->text(), "Not readable");
  EXPECT_EQ(screen->docStatusLabel.lock()->textColor(), doclist::kRed);
  EXPECT_FALSE(errorShown());
}

struct StatusCase {
  Status status;
  const char* text;
  bool hidden;
  UIKit::UIColor color;
};

class StatusLabel : public LoadedDocument, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusLabel, TakesTheColourOfTheStatus) {
  auto screen = open(add(Type::Passport, GetParam().status, jpeg(16, 16)));
  ASSERT_TRUE(screen);
  ASSERT_TRUE(until([&] { return !spinning(screen->spinnerBacksideImage); }));
  auto label = screen->docStatusLabel.lock();
  EXPECT_EQ(label->text(), GetParam().text);
  EXPECT_EQ(label->isHidden(), GetParam().hidden);
  if (!GetParam().hidden) {
    EXPECT_EQ(label->textColor(), GetParam().color);
  }
}

INSTANTIATE_TEST_SUITE_P(
    LoadedDocument, StatusLabel,
    ::testing::Values(StatusCase{Status::Draft, "Draft", true, doclist::kBlack},
                      StatusCase{Status::Recognition, "Recognizing", false, doclist::kOrange},
                      StatusCase{Status::PendingReview, "Pending review", false, doclist::kOrange},
                      StatusCase{Status::NotVerified, "Not verified", false, doclist::kRed},
                      StatusCase{Status::Verified, "Verified", false, doclist::kGreen}));

struct FileCase {
  const char* name;
  std::optional<std::string> front;
  std::optional<std::string> back;
  std::optional<sandbox::Fault> frontFault;
  std::optional<std::string> alert;
  bool frontImage;
  bool backImage;
  bool backSpinning;
  std::size_t backRequests;
};

class SideFiles : public LoadedDocument, public ::testing::WithParamInterface<FileCase> {};

TEST_P(SideFiles, EndAsTheUserSeesThem) {
  const auto& c = GetParam();
  const auto id = add(Type::Passport, Status::Verified, c.front, c.back);
  if (c.frontFault) sb().inject("documents.file.front", *c.frontFault);
  sb().inject("documents.get", sandbox::Fault::after(200ms));  // after the presentation
  auto screen = open(id);
  ASSERT_TRUE(screen);
  ASSERT_TRUE(until([&] { return answered("documents.file.front", 1); }));
  ASSERT_TRUE(until([&] {
    return !spinning(screen->spinnerFrontImage) &&
           (c.backSpinning || !spinning(screen->spinnerBacksideImage)) &&
           (!c.alert || errorShown());
  }));
  pass(0.5);
  EXPECT_EQ(errorShown(), c.alert);
  EXPECT_EQ(screen->frontsideImageView.lock()->image() != nullptr, c.frontImage);
  EXPECT_EQ(screen->backsideImageView.lock()->image() != nullptr, c.backImage);
  EXPECT_EQ(spinning(screen->spinnerBacksideImage), c.backSpinning);
  EXPECT_EQ(sb().count("documents.file.back"), c.backRequests);
}

INSTANTIATE_TEST_SUITE_P(
    LoadedDocument, SideFiles,
    ::testing::Values(FileCase{"BothSides", jpeg(64, 48), jpeg(64, 48), std::nullopt, std::nullopt,
                               true, true, false, 1},
                      FileCase{"NoBackImage", jpeg(64, 48), std::nullopt, std::nullopt,
                               std::nullopt, true, false, false, 1},
                      FileCase{"FrontNotAnImage", "plain text, not an image", jpeg(64, 48),
                               std::nullopt, std::nullopt, false, true, false, 1},
                      FileCase{"ChunkedFront", jpeg(64, 48), jpeg(64, 48),
                               sandbox::Fault::chunked(), std::nullopt, true, true, false, 1},
                      FileCase{"NoFrontImage", std::nullopt, jpeg(64, 48), std::nullopt,
                               "answer has not status code = 200 (404)", false, false, true, 0},
                      FileCase{"EmptyFront", jpeg(64, 48), jpeg(64, 48),
                               sandbox::Fault::emptyBody(), "loaded data is empty", false, false,
                               true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadedDocument, AFailedRecordIsShownTwiceAndNoFileIsAsked) {
  const auto id = add(Type::Passport, Status::Verified, jpeg(16, 16), jpeg(16, 16));
  // Later than the screen's own presentation, during which nothing can be presented over it.
  sb().inject("documents.get", sandbox::Fault::answer(500, "record broke").withDelay(200ms));
  auto screen = open(id);
  ASSERT_TRUE(screen);
  // The feedback alert closes itself after 5 s; the screen's own alert follows with the same.
  std::vector<std::shared_ptr<UIKit::UIAlertController>> alerts;
  std::vector<std::string> messages;
  ASSERT_TRUE(until([&] { return errorShown().has_value(); }));
  for (int tick = 0; tick < 150; ++tick) {
    if (auto shown = alert();
        shown && errorShown() && std::find(alerts.begin(), alerts.end(), shown) == alerts.end()) {
      alerts.push_back(shown);
      messages.push_back(*errorShown());
    }
    pass(0.1);
  }
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], messages[1]);
  EXPECT_NE(messages[0], "");
  EXPECT_FALSE(errorShown());
  EXPECT_EQ(sb().count("documents.file.front") + sb().count("documents.file.back"), 0u);
  EXPECT_TRUE(spinning(screen->spinnerFrontImage));
  EXPECT_TRUE(spinning(screen->spinnerBacksideImage));
  EXPECT_EQ(findScreen(), screen) << "the screen stays";
}

TEST_F(LoadedDocument, AnIdWithASlashTravelsAsOneSegment) {
  sb().inject("documents.get", sandbox::Fault::after(200ms));
  ASSERT_TRUE(open("a/b"));
  ASSERT_TRUE(until([&] { return errorShown().has_value(); }));
  const auto asked = sb().requests("documents.get");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].target, "/api/v1.1/documents/a%2Fb");
}

TEST_F(LoadedDocument, AnIdThatNamesNoDocumentIsRefused) {
  for (const std::string id : {"", ".", ".."}) {
    ZTPrivateDocumentsManager::shared()->openLoadedDocument(
        id, ZTPublicConstants::DocumentType::Passport);
    pass(0.5);
    EXPECT_EQ(findScreen(), nullptr) << id;
  }
  EXPECT_TRUE(sb().requests().empty());
}

TEST_F(LoadedDocument, TheBackButtonClosesTheScreenAtAnyMomentAndLaterResultsAreDropped) {
  const auto id = add(Type::Passport, Status::Verified, jpeg(16, 16), jpeg(16, 16));
  sb().inject("documents.file.front", sandbox::Fault::after(300ms));
  std::weak_ptr<ZTPreviewLoadedModel> model;
  {
    auto screen = open(id);
    ASSERT_TRUE(screen);
    model = screen->viewModel;
    ASSERT_TRUE(until([&] { return sb().count("documents.file.front") == 1; }));
    ASSERT_TRUE(ui->tap(screen->backButton.lock()));
  }
  pass(0.5);
  EXPECT_EQ(findScreen(), nullptr);
  EXPECT_TRUE(model.expired()) << "the screen let go of its model";
  ASSERT_TRUE(until([&] { return answered("documents.file.front", 1); }));
  pass(0.5);
  EXPECT_EQ(sb().count("documents.file.back"), 0u);
  EXPECT_FALSE(errorShown());
}

}  // namespace
