#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include <Foundation/Bundle.hpp>

#include "ZTUIComponents/ZTAddDockView.hpp"
#include "ZTUIComponents/ZTImageFromLib.hpp"
#include "ZTUtilites/ZTConstants.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

using namespace UIKit;
using ZentrelSDK::ZTAddDockView;
using ZentrelSDK::ZTConstants;

namespace {

// The card's interface file, read as a user of the bundle would.
nlohmann::json cardFile() {
  auto bundle = Foundation::Bundle::forIdentifier(ZTConstants::BundleID);
  auto path = bundle ? bundle->pathForResource("ZTAddDockView", "json") : std::nullopt;
  if (!path) return {};
  std::ifstream in(*path);
  return nlohmann::json::parse(in, nullptr, false);
}

std::optional<std::string> fileText(const nlohmann::json& node, const std::string& outlet) {
  if (node.is_object()) {
    if (node.value("outlet", "") == outlet && node.contains("text"))
      return node["text"].get<std::string>();
    for (const auto& [key, child] : node.items()) {
      if (auto found = fileText(child, outlet)) return found;
    }
  } else if (node.is_array()) {
    for (const auto& child : node) {
      if (auto found = fileText(child, outlet)) return found;
    }
  }
  return std::nullopt;
}

}  // namespace

TEST(AddDockView, ItsContentComesFromItsInterfaceFile) {
  const auto file = cardFile();
  ASSERT_TRUE(file.is_object());
  auto card = ZTAddDockView::make(CGRect::make(0, 0, 240, 160));
  auto title = card->title.lock();
  auto text = card->text.lock();
  auto image = card->image.lock();
  auto content = card->contentView.lock();
  ASSERT_TRUE(title && text && image && content);
  EXPECT_EQ(title->text(), fileText(file, "title"));
  EXPECT_EQ(text->text(), fileText(file, "text"));
  ASSERT_TRUE(image->imageName.has_value());
  auto expected = ZentrelSDK::ZTImageFromLib::makeLibraryImage(image->imageName);
  ASSERT_NE(image->image(), nullptr);
  EXPECT_EQ(image->image()->size(), expected->size());
  EXPECT_TRUE(title->isDescendant(*content));
}
