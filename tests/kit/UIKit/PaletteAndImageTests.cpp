#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceRegistry.hpp>
#include <UIKit/UINib.hpp>

#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTImageViewFromLib.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using ZentrelSDK::ZTImageFromLib;

TEST(LibraryImages, EveryImageTheKitAsksForIsInItsBundle) {
  for (const char* name : {"buttonBackground", "Check", "logoUpperLeft", "turn90right", "arrowBack",
                           "documentUploaded", "pendingCircle", "waitBloodyCustomer", "docsFine",
                           "logout1", "rightArrow2"}) {
    auto image = ZTImageFromLib::makeLibraryImage(std::string(name));
    ASSERT_NE(image, nullptr) << name;
    EXPECT_GT(image->size().width, 0) << name;
    EXPECT_GT(image->size().height, 0) << name;
  }
}

TEST(LibraryImages, AnAbsentOrUnknownNameGivesNone) {
  EXPECT_EQ(ZTImageFromLib::makeLibraryImage(std::nullopt), nullptr);
  EXPECT_EQ(ZTImageFromLib::makeLibraryImage(std::string("noSuchImage")), nullptr);
}

TEST(LibraryImages, AnImageOnlyInTheHostAppsBundleIsNotFound) {
  const auto folder = Foundation::Bundle::main()->bundlePath();
  const std::string file = folder + "/hostOnlyPicture.png";
  std::ofstream(file, std::ios::binary) << uikittest::pngHeader(4, 4);
  EXPECT_NE(UIImage::named("hostOnlyPicture"), nullptr);
  EXPECT_EQ(ZTImageFromLib::makeLibraryImage(std::string("hostOnlyPicture")), nullptr);
  std::filesystem::remove(file);
}

TEST(LibraryImageView, AnInterfaceFileSetsTheImageNameAndNothingIsLoaded) {
  EXPECT_TRUE(InterfaceRegistry::shared().knows("ZTImageViewFromLib"));
  uikittest::TestBundle files;
  files.write("Card.json", R"({"objects": [
      { "class": "ZTImageViewFromLib", "imageName": "Check", "frame": [0, 0, 40, 40] } ]})");
  auto objects = UINib("Card", files.bundle()).instantiate(nullptr);
  ASSERT_EQ(objects.size(), 1u);
  auto view = std::dynamic_pointer_cast<ZentrelSDK::ZTImageViewFromLib>(objects.front());
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->imageName, "Check");
  EXPECT_EQ(view->image(), nullptr);
}
