#pragma once

#include <memory>
#include <optional>
#include <string>

#include "UIKit/UIView.hpp"

namespace UIKit {

// One item of a collection. Its content view holds what it shows. A touch anywhere in it but
// on a control or a view with recognizers selects it.
class UICollectionViewCell : public UIView {
 public:
  explicit UICollectionViewCell(CGRect frame = {});

  const std::optional<std::string>& reuseIdentifier() const { return reuseIdentifier_; }
  const std::shared_ptr<UIView>& contentView() const { return contentView_; }
  bool isSelected() const { return selected_; }
  virtual void setSelected(bool selected) { selected_ = selected; }
  // Before the collection hands the cell out again.
  virtual void prepareForReuse() {}

  std::shared_ptr<UIView> hitTest(CGPoint point) override;
  void touchesEnded(const UITouch& touch) override;

 private:
  friend class UICollectionView;
  std::optional<std::string> reuseIdentifier_;
  std::shared_ptr<UIView> contentView_;
  bool selected_ = false;
};

// A cell takes the touches of what it holds, except those of controls inside it and of views
// with gesture recognizers of their own.
std::shared_ptr<UIView> cellHitTest(UIView& cell, std::shared_ptr<UIView> hit);

}  // namespace UIKit
