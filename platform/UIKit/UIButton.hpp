#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "UIKit/OptionSet.hpp"
#include "UIKit/UIControl.hpp"

namespace UIKit {

class UIImage;
class UILabel;

// A push button: title, image and background image per control state, falling back to the
// normal state's; its title label shows the current title. A tap inside sends touchUpInside.
// A tap on a button is the button's alone: tap recognizers of the views around it do not
// take it.
class UIButton : public UIControl {
 public:
  // UIControl.State, raw values as on the platform.
  enum class State : unsigned {
    normal = 0,
    highlighted = 1 << 0,
    disabled = 1 << 1,
    selected = 1 << 2
  };
  friend constexpr bool enableOptionSet(State) { return true; }

  explicit UIButton(CGRect frame = {});

  // Null clears the value for that state.
  void setTitle(std::optional<std::string> title, State state);
  std::optional<std::string> title(State state) const;
  void setImage(std::shared_ptr<UIImage> image, State state);
  std::shared_ptr<UIImage> image(State state) const;
  void setBackgroundImage(std::shared_ptr<UIImage> image, State state);
  std::shared_ptr<UIImage> backgroundImage(State state) const;

  // What the button shows now, for its state.
  State state() const;
  std::optional<std::string> currentTitle() const { return title(state()); }
  std::shared_ptr<UIImage> currentImage() const { return image(state()); }
  std::shared_ptr<UIImage> currentBackgroundImage() const { return backgroundImage(state()); }
  const std::shared_ptr<UILabel>& titleLabel() const { return titleLabel_; }

  void setEnabled(bool enabled) override;
  void setSelected(bool selected) override;
  void setHighlighted(bool highlighted) override;

  bool keepsTapsFromAncestorRecognizers() const override { return true; }
  // The current title.
  std::optional<std::string> accessibilityLabel() const override;
  // "title", "image", "backgroundImage" (normal state) and "cornerRadius".
  void decodeInterface(InterfaceCoder& coder) override;

 private:
  template <class T>
  static T lookup(const std::map<State, T>& values, State state);
  void refresh();

  std::map<State, std::string> titles_;
  std::map<State, std::shared_ptr<UIImage>> images_;
  std::map<State, std::shared_ptr<UIImage>> backgroundImages_;
  std::shared_ptr<UILabel> titleLabel_;
};

}  // namespace UIKit
