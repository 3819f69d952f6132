#include "DocumentsRoad.hpp"

#include <turbojpeg.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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

// A 64 x 40 colour gradient as JPEG, standing in for a photo until the camera lands.
std::optional<std::string> writeSmallJPEG() {
  const int width = 64, height = 40;
  std::vector<unsigned char> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.insert(pixels.end(),
                    {static_cast<unsigned char>(x * 4), static_cast<unsigned char>(y * 6), 160});
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const bool ok = tjCompress2(encoder, pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size,
                              TJSAMP_420, 85, 0) == 0;
  const auto path = std::filesystem::temp_directory_path() / "zentrel-example-document.jpg";
  if (ok) std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(jpeg), size);
  tjFree(jpeg);
  tjDestroy(encoder);
  if (!ok) return std::nullopt;
  return path.string();
}

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

int documentsRoad() {
  std::cout << "10. The app's required document types:";
  const bool updated = await([](auto done) {
    ZTAppDocuments::shared()->updateDockInfo(
        [done](bool ok, std::optional<ZTOAuthError>) { done(ok); });
  });
  for (const auto type : ZTAppDocuments::shared()->dockTypeList())
    std::cout << " " << getLocalize(type);
  std::cout << (updated ? "\n" : " (not loaded)\n");

  const auto path = writeSmallJPEG();
  if (!path) return 1;
  const auto file = Foundation::URL::fileURLWithPath(*path);
  std::cout << "11. Uploading a " << std::filesystem::file_size(*path) << "-byte JPEG\n";
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
  std::filesystem::remove(*path);
  if (!ok) return 1;

  std::cout << "12. The user's documents:\n";
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
