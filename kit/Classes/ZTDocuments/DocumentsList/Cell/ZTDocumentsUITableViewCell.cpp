#include "ZTDocuments/DocumentsList/Cell/ZTDocumentsUITableViewCell.hpp"

#include <UIKit/InterfaceBinder.hpp>
#include <UIKit/InterfaceRegistry.hpp>

#include "ZTUIComponents/ZTImageFromLib.hpp"

namespace ZentrelSDK {

namespace {
const bool registered = UIKit::InterfaceRegistry::registerViewClass<ZTDocumentsUITableViewCell>(
    "ZTDocumentsUITableViewCell");
}  // namespace

void ZTDocumentsUITableViewCell::bindInterface(UIKit::InterfaceBinder& binder) {
  binder.outlet("iconView", iconView);
  binder.outlet("titleLabel", titleLabel);
  binder.outlet("descriptionLabel", descriptionLabel);
  binder.outlet("arrowImageView", arrowImageView);
}

void ZTDocumentsUITableViewCell::awakeFromNib() {
  UITableViewCell::awakeFromNib();
  configureUI();
}

void ZTDocumentsUITableViewCell::configureUI() {
  if (auto arrow = arrowImageView.lock())
    arrow->setImage(ZTImageFromLib::makeLibraryImage("rightArrow2"));
}

void ZTDocumentsUITableViewCell::setData(const Document& document) {
  // The list builds every row with its type.
  const auto type = document.documentType().value_or(ZTPublicConstants::DocumentType::Passport);
  if (auto title = titleLabel.lock()) title->setText(getLocalize(type));
  if (auto description = descriptionLabel.lock()) {
    description->setText(document.status());
    description->setTextColor(document.statusColor());
  }
  setImage(type);
}

void ZTDocumentsUITableViewCell::setImage(ZTPublicConstants::DocumentType documentType) {
  // The icons are named like the types' wire texts.
  if (auto icon = iconView.lock())
    icon->setImage(ZTImageFromLib::makeLibraryImage(rawValue(documentType)));
}

}  // namespace ZentrelSDK
