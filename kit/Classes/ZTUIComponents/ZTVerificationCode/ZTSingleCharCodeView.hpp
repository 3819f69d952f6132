#pragma once

#include <memory>
#include <string>

#include <UIKit/UILabel.hpp>
#include <UIKit/UIView.hpp>

namespace ZentrelSDK {

// One cell of the six-digit entry: a character over an underline, laid out by the interface
// file "ZTSingleCharCodeView". The underline is grey while the cell is empty and in the
// accent colour once it holds a character. Interface files may name it by its class. Main
// thread only.
class ZTSingleCharCodeView : public UIKit::UIView {
 public:
  // Swift `init(frame:)`; without its interface file the cell stays empty (logged).
  explicit ZTSingleCharCodeView(UIKit::CGRect frame = {});

  // Outlets, held weakly: the loaded content view owns them.
  std::weak_ptr<UIKit::UILabel> charLabel;
  std::weak_ptr<UIKit::UIView> underlineView;

  // Shows the character (one in practice).
  void setCode(const std::string& code);
  // Empties the cell.
  void removeChar();
  // Colours the underline by whether the cell holds a character.
  void configureUI();

  void bindInterface(UIKit::InterfaceBinder& binder) override;

 private:
  void commonInit();
};

}  // namespace ZentrelSDK
