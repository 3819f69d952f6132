#pragma once

#include <memory>
#include <optional>
#include <string>

#include <UIKit/UIImageView.hpp>
#include <UIKit/UILabel.hpp>
#include <UIKit/UITableViewCell.hpp>

#include "ZTDocuments/DocumentsList/Cell/Document.hpp"

namespace ZentrelSDK {

// A row of the documents list, from the interface file "ZTDocumentsUITableViewCell": the
// type's icon and name, the status in its colour and a disclosure arrow. Main thread only.
class ZTDocumentsUITableViewCell : public UIKit::UITableViewCell {
 public:
  static constexpr const char* reuseIdentifier = "ZTDocumentsUITableViewCell";

  using UIKit::UITableViewCell::UITableViewCell;

  std::weak_ptr<UIKit::UIImageView> iconView;
  std::weak_ptr<UIKit::UILabel> titleLabel;
  std::weak_ptr<UIKit::UILabel> descriptionLabel;
  std::weak_ptr<UIKit::UIImageView> arrowImageView;

  void bindInterface(UIKit::InterfaceBinder& binder) override;
  void awakeFromNib() override;
  // Overwrites everything the cell shows, so nothing of an earlier row stays.
  void setData(const Document& document);

 private:
  void configureUI();
  void setImage(ZTPublicConstants::DocumentType documentType);
};

}  // namespace ZentrelSDK
