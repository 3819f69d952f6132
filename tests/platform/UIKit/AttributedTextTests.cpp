#include <gtest/gtest.h>

#include <string>

#include "UIKit/NSMutableAttributedString.hpp"
#include "UIKit/UILabel.hpp"

using namespace UIKit;
using Key = NSAttributedString::Key;

TEST(AttributedText, AttributesCoverUTF16Ranges) {
  NSMutableAttributedString text(
      "a\xF0\x9F\x98\x80"
      "b");  // a, a surrogate pair, b
  ASSERT_EQ(text.length(), 4u);
  ASSERT_TRUE(text.addAttribute(Key::kern, 2.0, {0, 3}));
  NSRange range;
  EXPECT_EQ(text.attribute(Key::kern, 2, &range), NSAttributedString::Value(2.0));
  EXPECT_EQ(range, (NSRange{0, 3}));
  EXPECT_FALSE(text.attribute(Key::kern, 3, &range).has_value());
  EXPECT_EQ(range, (NSRange{3, 1}));
  EXPECT_EQ(text.string(),
            "a\xF0\x9F\x98\x80"
            "b");
}

TEST(AttributedText, EditsMergeEqualNeighboursAndKeepOthers) {
  NSMutableAttributedString text("hello world", {{Key::font, UIFont::systemFont(12)}});
  text.addAttribute(Key::foregroundColor, UIColor::red(), {0, 5});
  text.addAttribute(Key::foregroundColor, UIColor::red(), {5, 6});
  NSRange range;
  const auto attributes = text.attributes(7, &range);
  EXPECT_EQ(range, (NSRange{0, 11}));
  EXPECT_EQ(attributes.size(), 2u);

  text.removeAttribute(Key::foregroundColor, {2, 2});
  EXPECT_FALSE(text.attribute(Key::foregroundColor, 3).has_value());
  EXPECT_TRUE(text.attribute(Key::font, 3).has_value());

  text.setAttributes({{Key::kern, 1.0}}, {0, 11});
  EXPECT_EQ(text.attributes(0, &range).size(), 1u);
  EXPECT_EQ(range, (NSRange{0, 11}));
}

TEST(AttributedText, ARangePastTheEndChangesNothing) {
  NSMutableAttributedString text("abc");
  const NSAttributedString before = text;
  EXPECT_FALSE(text.addAttribute(Key::kern, 1.0, {2, 2}));
  EXPECT_FALSE(text.addAttribute(Key::kern, 1.0, {4, 0}));
  EXPECT_EQ(text, before);
  EXPECT_TRUE(text.addAttribute(Key::kern, 1.0, {3, 0}));  // empty, at the end
  EXPECT_TRUE(text.attributes(3).empty());
}

TEST(AttributedText, AppendingKeepsEachPartsAttributes) {
  NSMutableAttributedString text("ab", {{Key::kern, 1.0}});
  text.append(NSAttributedString("cd", {{Key::kern, 2.0}}));
  EXPECT_EQ(text.string(), "abcd");
  EXPECT_EQ(text.attribute(Key::kern, 1), NSAttributedString::Value(1.0));
  EXPECT_EQ(text.attribute(Key::kern, 2), NSAttributedString::Value(2.0));
}

TEST(LabelText, PlainAndAttributedTextReplaceEachOther) {
  UILabel label;
  EXPECT_FALSE(label.text().has_value());
  EXPECT_FALSE(label.attributedText().has_value());
  label.setAttributedText(NSAttributedString("Hi", {{Key::kern, 3.0}}));
  EXPECT_EQ(label.text(), "Hi");
  label.setText("Hello");
  ASSERT_TRUE(label.attributedText().has_value());
  EXPECT_TRUE(label.attributedText()->attributes(0).empty());
  label.setText(std::nullopt);
  EXPECT_FALSE(label.attributedText().has_value());
  EXPECT_FALSE(label.isUserInteractionEnabled());
}
