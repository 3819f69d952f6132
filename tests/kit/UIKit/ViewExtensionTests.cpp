#include <gtest/gtest.h>

#include <UIKit/UILabel.hpp>
#include <UIKit/UITextField.hpp>

#include "ZTExtensions/ZTUIViewExtensions.hpp"

using namespace UIKit;
using Key = NSAttributedString::Key;
using ZentrelSDK::PaddingSide;

TEST(TextFieldPadding, ALeftPaddingIsAnEmptyViewOfTheWidthAndTheFieldsHeight) {
  UITextField field(CGRect::make(0, 0, 200, 44));
  ZentrelSDK::addPadding(field, PaddingSide::left(10));
  ASSERT_NE(field.leftView(), nullptr);
  EXPECT_EQ(field.leftView()->frame(), CGRect::make(0, 0, 10, 44));
  EXPECT_EQ(field.leftViewMode(), UITextField::ViewMode::always);
  EXPECT_TRUE(field.clipsToBounds());
  EXPECT_EQ(field.rightView(), nullptr);
}

TEST(LetterSpacing, KernsEveryCharacterButTheLast) {
  UILabel label;
  label.setText("abc");
  ZentrelSDK::setLetterSpacing(label);
  ASSERT_TRUE(label.attributedText().has_value());
  NSRange range;
  EXPECT_EQ(label.attributedText()->attribute(Key::kern, 0, &range),
            NSAttributedString::Value(0.3));
  EXPECT_EQ(range, (NSRange{0, 2}));
  EXPECT_FALSE(label.attributedText()->attribute(Key::kern, 2).has_value());
  EXPECT_EQ(label.text(), "abc");

  ZentrelSDK::setLetterSpacing(label, 1.5);
  EXPECT_EQ(label.attributedText()->attribute(Key::kern, 1), NSAttributedString::Value(1.5));
}

TEST(LetterSpacing, WithoutTextOrWithAnEmptyOneNothingChanges) {
  UILabel none;
  ZentrelSDK::setLetterSpacing(none);
  EXPECT_FALSE(none.attributedText().has_value());
  EXPECT_FALSE(none.text().has_value());

  UILabel empty;
  empty.setAttributedText(NSAttributedString("", {}));
  const auto before = empty.attributedText();
  ZentrelSDK::setLetterSpacing(empty);
  EXPECT_EQ(empty.attributedText(), before);
  EXPECT_EQ(empty.text(), "");
}
