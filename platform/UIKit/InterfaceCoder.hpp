#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "CoreGraphics/CGGeometry.hpp"
#include "UIKit/UIColor.hpp"
#include "UIKit/UIFont.hpp"

namespace Foundation {
class Bundle;
}  // namespace Foundation

namespace UIKit {

class UIImage;

// The JSON object in the bundle's "<name>.<extension>" whose `listKey` is a list; null when
// the file is missing or is not such an object, which is logged as a problem of the `kind`
// of file ("interface file", "storyboard").
nlohmann::json readInterfaceResource(const std::shared_ptr<Foundation::Bundle>& bundle,
                                     const std::string& name, const std::string& extension,
                                     const std::string& listKey, const std::string& kind);

// Reads the properties of one object of an interface file. A value of the wrong kind is
// reported (file, object and key) and read as absent; keys nobody read are reported after
// the object is built.
//   frame: [x, y, width, height]; colours: "#RRGGBB", "#RRGGBBAA" or a name ("clear");
//   font: {"size": 16, "weight": "bold" | number, "name": "..."}; images: a name in the
//   file's bundle.
class InterfaceCoder {
 public:
  InterfaceCoder(const nlohmann::json& object, std::string fileName, std::string objectName,
                 std::shared_ptr<Foundation::Bundle> bundle);

  const std::string& fileName() const { return fileName_; }
  const std::shared_ptr<Foundation::Bundle>& bundle() const { return bundle_; }

  bool contains(std::string_view key) const;
  std::optional<std::string> decodeString(std::string_view key);
  std::optional<double> decodeNumber(std::string_view key);
  std::optional<bool> decodeBool(std::string_view key);
  std::optional<CGRect> decodeRect(std::string_view key);
  std::optional<CGPoint> decodePoint(std::string_view key);
  std::optional<UIColor> decodeColor(std::string_view key);
  std::optional<UIFont> decodeFont(std::string_view key);
  std::optional<std::vector<std::string>> decodeStrings(std::string_view key);
  // Null (reported) when the bundle holds no image of that name.
  std::shared_ptr<UIImage> decodeImage(std::string_view key);

  // Marks a key as handled by the loader itself.
  void markRead(std::string_view key);
  void reportError(std::string_view key, std::string_view problem) const;
  std::vector<std::string> unreadKeys() const;

 private:
  const nlohmann::json* find(std::string_view key);

  const nlohmann::json& object_;
  std::string fileName_;
  std::string objectName_;
  std::shared_ptr<Foundation::Bundle> bundle_;
  std::set<std::string, std::less<>> read_;
};

}  // namespace UIKit
