#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include <Foundation/Bundle.hpp>
#include <UIKit/InterfaceRegistry.hpp>
#include <UIKit/UINib.hpp>

#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUIComponents/ZTImageViewFromLib.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using ZentrelSDK::ZTImageFromLib;
using ZentrelSDK::ZTUIConstants;

namespace {
void expectBytes(const UIColor& color, int red, int green, int blue) {
  const auto c = color.components();
  EXPECT_EQ(std::lround(c.red * 255), red);
  EXPECT_EQ(std::lround(c.green * 255), green);
  EXPECT_EQ(std::lround(c.blue * 255), blue);
  EXPECT_EQ(c.alpha, 1.0);
}
}  // namespace

TEST(Palette, ColourLiteralsHaveTheirByteComponentsInSinglePrecision) {
  expectBytes(ZTUIConstants::MAIN_COLOR(), 121, 43, 239);
  expectBytes(ZTUIConstants::TEXT_BLACK_COLOR(), 17, 22, 26);
  expectBytes(ZTUIConstants::INACTIVE_UNDERLINE_COLOR(), 183, 191, 202);
  EXPECT_EQ(ZTUIConstants::MAIN_COLOR().components().green,
            static_cast<double>(static_cast<float>(43 / 255.0)));
  EXPECT_EQ(&ZTUIConstants::MAIN_COLOR(), &ZTUIConstants::MAIN_COLOR());  // made once
}

TEST(Palette, TheDisabledButtonColourDiffersOnlyInAlpha) {
  const auto active = ZTUIConstants::COLOR_AUTH_BUTTON_BACKGROUND_ACTIVE();
  const auto disabled = ZTUIConstants::COLOR_AUTH_BUTTON_BACKGROUND_DISABLE();
  EXPECT_EQ(active.withAlphaComponent(0.5), disabled);
  EXPECT_EQ(active.alphaComponent(), 1.0);
  EXPECT_EQ(ZTUIConstants::COLOR_TEXTFIELD_BACKGROUND(), UIColor(0.95, 0.96, 0.97, 1.0));
}

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

  ZentrelSDK::ZTImageViewFromLib coded;
  EXPECT_FALSE(coded.imageName.has_value());
  coded.imageName = "docsFine";
  EXPECT_EQ(coded.image(), nullptr);
}
