#include <gtest/gtest.h>

#include "UIKit/NSMutableAttributedString.hpp"

using namespace UIKit;
using Key = NSAttributedString::Key;

// The kit's letter spacing leans on this for an empty text.
TEST(AttributedText, ARangePastTheEndChangesNothing) {
  NSMutableAttributedString text("abc");
  const NSAttributedString before = text;
  EXPECT_FALSE(text.addAttribute(Key::kern, 1.0, {2, 2}));
  EXPECT_FALSE(text.addAttribute(Key::kern, 1.0, {4, 0}));
  // An empty text's "all but the last character" wraps around.
  NSMutableAttributedString empty("");
  EXPECT_FALSE(empty.addAttribute(Key::kern, 1.0, {0, empty.length() - 1}));
  EXPECT_EQ(text, before);
  EXPECT_TRUE(text.addAttribute(Key::kern, 1.0, {3, 0}));  // empty, at the end
  EXPECT_TRUE(text.attributes(3).empty());
}
