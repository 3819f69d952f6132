// The host app's required document types: the request and the process-wide holder.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DocumentsSupport.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"

namespace {

using namespace ZentrelSDK;
using docstest::DocumentsTest;
using docstest::kApp;
using sandbox::Fault;
using Type = ZTPublicConstants::DocumentType;
using Types = std::vector<Type>;

// Every call of one completion, kept as long as the completion lives.
struct Reports {
  struct Heard {
    std::vector<std::pair<bool, std::optional<ZTOAuthError>>> calls;
    bool onMain = true;
  };
  std::shared_ptr<Heard> heard = std::make_shared<Heard>();
  std::vector<std::pair<bool, std::optional<ZTOAuthError>>>& calls = heard->calls;
  bool& onMain = heard->onMain;
  ZTAppDocuments::Completion completion() {
    return [heard = heard](bool ok, std::optional<ZTOAuthError> error) {
      heard->calls.emplace_back(ok, std::move(error));
      heard->onMain = heard->onMain && Foundation::Thread::isMainThread();
    };
  }
};

class RequiredTypes : public DocumentsTest {
 protected:
  void SetUp() override {
    DocumentsTest::SetUp();
    ZTAppDocuments::shared()->setDockTypeList({Type::IdCard});
  }
  static Reports update() {
    Reports reports;
    ZTAppDocuments::shared()->updateDockInfo(reports.completion());
    EXPECT_TRUE(zttest::runUntil([&] { return !reports.calls.empty(); }, 15));
    EXPECT_EQ(reports.calls.size(), 1u);
    EXPECT_TRUE(reports.onMain);
    return reports;
  }
};

TEST_F(RequiredTypes, EachAnswerUpdatesTheListOrKeepsIt) {
  struct Row {
    const char* name;
    std::optional<Fault> fault;
    bool ok;
    ZTOAuthError error;
    Types list;
  };
  const Types kept{Type::IdCard};
  const std::vector<Row> rows = {
      {"seeded", std::nullopt, true, ZTOAuthError(0, ""), {Type::Passport, Type::ProofOfAddress}},
      {"[]", Fault::json(200, "[]"), true, ZTOAuthError(0, ""), {}},
      {"null", Fault::json(200, "null"), true, ZTOAuthError(0, ""), {}},
      {"unknown type", Fault::json(200, R"(["Visa"])"), false,
       ZTOAuthError(0,
                    "The data couldn\u2019t be read because it isn\u2019t in the correct format."),
       kept},
      {"401", Fault::answer(401, "unauthorized"), false, ZTOAuthError(401, "unauthorized"), kept},
      {"404", Fault::answer(404, "unknown app"), false, ZTOAuthError(404, "unknown app"), kept},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ZTAppDocuments::shared()->setDockTypeList(kept);
    sb().clearFaults();
    if (row.fault) sb().inject("apps.required", *row.fault);
    const auto reports = update();
    ASSERT_EQ(reports.calls.size(), 1u);
    EXPECT_EQ(reports.calls[0].first, row.ok);
    EXPECT_EQ(reports.calls[0].second, row.error);
    EXPECT_EQ(ZTAppDocuments::shared()->dockTypeList(), row.list);
    EXPECT_EQ(sb().requests("apps.required").back().target,
              "/api/v1.1/apps/" + std::string(kApp) + "/documents/required");
  }
  // A 401 here clears no token; nothing fills the scopes.
  EXPECT_EQ(ZTTokenUtilites::shared()->getToken(), session);
  EXPECT_TRUE(ZTAppDocuments::shared()->scopes().empty());
}

TEST_F(RequiredTypes, OverlappingUpdatesEachGetTheirOwnAnswerOnce) {
  using Report = std::pair<bool, std::optional<ZTOAuthError>>;
  const Report ok{true, ZTOAuthError(0, "")};
  const Report missing{false, ZTOAuthError(404, "unknown app")};
  struct Row {
    Fault first, second;  // the answers, the first one held back
    Report firstReport, secondReport;
  };
  const auto late = [](Fault fault) {
    return std::move(fault).withDelay(std::chrono::milliseconds(300));
  };
  const std::vector<Row> rows = {
      {late(Fault::answer(404, "unknown app")), Fault::json(200, R"(["IdCard"])"), missing, ok},
      {late(Fault::json(200, R"(["IdCard"])")), Fault::answer(404, "unknown app"), ok, missing},
  };
  for (const auto& row : rows) {
    sb().clearFaults();
    sb().clearLog();
    sb().inject("apps.required", row.first);
    sb().inject("apps.required", row.second);
    Reports first;
    Reports second;
    ZTAppDocuments::shared()->updateDockInfo(first.completion());
    ASSERT_TRUE(zttest::runUntil([] { return sb().count("apps.required") == 1; }, 5));
    ZTAppDocuments::shared()->updateDockInfo(second.completion());
    ASSERT_TRUE(
        zttest::runUntil([&] { return !first.calls.empty() && !second.calls.empty(); }, 15));
    ASSERT_EQ(first.calls.size(), 1u);
    ASSERT_EQ(second.calls.size(), 1u);
    EXPECT_EQ(first.calls[0], row.firstReport);
    EXPECT_EQ(second.calls[0], row.secondReport);
  }
}

}  // namespace
