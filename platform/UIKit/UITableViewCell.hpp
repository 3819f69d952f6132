#pragma once

#include <memory>
#include <optional>
#include <string>

#include "UIKit/UIView.hpp"

namespace UIKit {

class UIImageView;
class UILabel;

// One row of a table. Its content view holds what it shows; the default style's image view
// and text label are made on first use. A touch anywhere in it but on a control selects it.
class UITableViewCell : public UIView {
 public:
  enum class CellStyle { defaultStyle = 0, value1 = 1, value2 = 2, subtitle = 3 };
  enum class SelectionStyle { none = 0, blue = 1, gray = 2, defaultStyle = 3 };

  // Swift `init(style:reuseIdentifier:)`, which registered classes are made with.
  UITableViewCell(CellStyle style, std::optional<std::string> reuseIdentifier);
  // From an interface file.
  explicit UITableViewCell(CGRect frame = {});

  const std::optional<std::string>& reuseIdentifier() const { return reuseIdentifier_; }
  const std::shared_ptr<UIView>& contentView() const { return contentView_; }
  std::shared_ptr<UILabel> textLabel();
  std::shared_ptr<UIImageView> imageView();
  SelectionStyle selectionStyle() const { return selectionStyle_; }
  void setSelectionStyle(SelectionStyle style) { selectionStyle_ = style; }
  bool isSelected() const { return selected_; }
  void setSelected(bool selected, bool animated = false);

  // Before the table hands the cell out again.
  virtual void prepareForReuse() {}

  std::shared_ptr<UIView> hitTest(CGPoint point) override;
  void touchesEnded(const UITouch& touch) override;
  // "reuseIdentifier".
  void decodeInterface(InterfaceCoder& coder) override;

 protected:
  void didAddSubview(UIView& subview) override;

 private:
  friend class UITableView;
  std::optional<std::string> reuseIdentifier_;
  std::shared_ptr<UIView> contentView_;
  std::shared_ptr<UILabel> textLabel_;
  std::shared_ptr<UIImageView> imageView_;
  SelectionStyle selectionStyle_ = SelectionStyle::defaultStyle;
  bool selected_ = false;
};

}  // namespace UIKit
