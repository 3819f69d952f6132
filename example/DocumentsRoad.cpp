#include "DocumentsRoad.hpp"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/RunLoop.hpp>

#include "ZTAPI/ResponceDataModel/Docks/ZTPublicDocumentElement.hpp"
#include "ZTAPI/ZTPrivateAPIDocuments.hpp"
#include "ZTAPI/ZTPublicAPIDocuments.hpp"
#include "ZTDocuments/ZTDocumentsLoadingCore/ZTAppDocuments.hpp"

using namespace ZentrelSDK;

namespace {

using Docs = ZTPrivateAPIDocuments;

// Serves the main run loop until the call reports; false when it failed or took too long.
bool await(const std::function<void(std::function<void(bool)>)>& call) {
  std::optional<bool> ok;
  call([&](bool result) { ok = result; });
  Foundation::RunLoop::main().runUntil([&] { return ok.has_value(); }, 30.0);
  return ok.value_or(false);
}

auto failed(std::function<void(bool)> done) {
  return [done](const std::string& message) {
    std::cout << "   failed: " << message << "\n";
    done(false);
  };
}

}  // namespace

int documentsRoad(const std::string& photoPath) {
  std::cout << "11. The app's required document types:";
  const bool updated = await([](auto done) {
    ZTAppDocuments::shared()->updateDockInfo(
        [done](bool ok, std::optional<ZTOAuthError>) { done(ok); });
  });
  for (const auto type : ZTAppDocuments::shared()->dockTypeList())
    std::cout << " " << getLocalize(type);
  std::cout << (updated ? "\n" : " (not loaded)\n");

  const auto file = Foundation::URL::fileURLWithPath(photoPath);
  std::cout << "12. Uploading the photo, " << std::filesystem::file_size(photoPath) << " bytes\n";
  std::string id;
  bool ok =
      await([&](auto done) {
        Docs::validateDocumentFile(
            file, [done] { done(true); }, nullptr, failed(done));
      }) &&
      await([&](auto done) {
        Docs::createDocument(
            ZTPublicConstants::DocumentType::Passport, ZTPublicConstants::AreaType::Internal, "",
            [&id, done](ZTDocumentCreateResponse answer) {
              id = answer.message;
              done(true);
            },
            failed(done));
      }) &&
      await([&](auto done) {
        Docs::uploadDocumentFileFront(
            id, file, [done](ZTDocumentUploadResponse) { done(true); },
            [](double fraction) { std::printf("   sent %3.0f%%\n", fraction * 100); },
            failed(done));
      }) &&
      await([&](auto done) {
        Docs::confirmDocumentUpload(
            id,
            [done](std::string text) {
              std::cout << "   " << text << "\n";
              done(true);
            },
            failed(done));
      });
  std::optional<ZTPublicConstants::DocumentStatusType> status;
  for (int poll = 1; ok && poll <= 15 && status != ZTPublicConstants::DocumentStatusType::Verified;
       ++poll) {
    Foundation::RunLoop::main().run(0.2);  // a short pause between polls
    ok = await([&](auto done) {
      Docs::getDocumentFromID(
          id,
          [&status, done](ZTDocumentResponse answer) {
            status = answer.status;
            done(true);
          },
          failed(done));
    });
    if (status) std::cout << "   poll " << poll << ": " << getLocalize(*status) << "\n";
  }
  if (!ok) return 1;

  std::cout << "13. The user's documents:\n";
  return await([](auto done) {
    ZTPublicAPIDocuments::request<std::vector<std::optional<ZTPublicDocumentElement>>>(
        true, ZTPublicConstants::getDocumentsEndpoint(),
        [done](const auto& documents) {
          for (const auto& document : documents) {
            if (!document) continue;
            std::cout << "   " << getLocalize(document->documentType) << ": "
                      << getLocalize(document->status) << "\n";
          }
          done(true);
        },
        [done](ZTOAuthError error) {
          std::cout << "   failed: " << error.message.value_or("") << "\n";
          done(false);
        });
  })
             ? 0
             : 1;
}
