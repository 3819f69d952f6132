// The six-digit entry driven as a user would: keys, delete, paste from the edit menu, long
// press, and what the owner hears after each.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <Foundation/Characters.hpp>
#include <Testing/UI.hpp>
#include <UIKit/UIKeyboard.hpp>
#include <UIKit/UIMenuController.hpp>
#include <UIKit/UIPasteboard.hpp>
#include <UIKit/UIViewController.hpp>

#include "ZTUIComponents/ZTVerificationCode/ZTSixDigitsCodeEnterView.hpp"
#include "ZTUtilites/ZTUIConstants.hpp"
#include "platform/UIKit/UIKitTestSupport.hpp"

namespace {

using namespace ZentrelSDK;
using UIKit::UIKeyboard;
using UIKit::UIPasteboard;

// One step of what the user does.
struct Step {
  enum class Kind { type, remove, paste, autofill, clear } kind;
  std::string text;
};
const auto type = [](std::string keys) { return Step{Step::Kind::type, std::move(keys)}; };
const auto remove = [] { return Step{Step::Kind::remove, {}}; };
const auto paste = [](std::string text) { return Step{Step::Kind::paste, std::move(text)}; };
// Several characters in one insert, as autofill or a keyboard paste sends them.
const auto autofill = [](std::string text) { return Step{Step::Kind::autofill, std::move(text)}; };
const auto clear = [] { return Step{Step::Kind::clear, {}}; };

class CodeEntry : public uikittest::ClockTest {
 protected:
  void SetUp() override {
    ClockTest::SetUp();
    UIPasteboard::general().setString(std::nullopt);
    ui = std::make_unique<PlatformTesting::UI>();
    entry = ZTSixDigitsCodeEnterView::make(UIKit::CGRect::make(24, 300, 327, 56));
    ui->root()->view()->addSubview(entry);
    entry->setDidChangeEnterCode(
        [this](const std::string& code) { heard.push_back("change:" + code); });
    entry->setDidFinishedEnterCode([this](const std::string& code) {
      heard.push_back("finished:" + code);
      keyboardGoneFirst = !ui->isKeyboardVisible();
    });
  }
  void TearDown() override {
    UIKit::UIMenuController::shared().hideMenu();
    UIPasteboard::general().setString(std::nullopt);
    ui.reset();
    ClockTest::TearDown();
  }

  void run(const Step& step) {
    switch (step.kind) {
      case Step::Kind::type:
        ASSERT_TRUE(ui->type(step.text, entry));
        break;
      case Step::Kind::remove:
        if (!entry->isFirstResponder()) {
          ASSERT_TRUE(ui->tap(entry));
        }
        ASSERT_TRUE(ui->deleteBackward());
        break;
      case Step::Kind::paste:
        ASSERT_TRUE(ui->paste(step.text, entry));
        break;
      case Step::Kind::autofill:
        if (!entry->isFirstResponder()) {
          ASSERT_TRUE(ui->tap(entry));
        }
        entry->insertText(step.text);
        break;
      case Step::Kind::clear:
        entry->clearCode();
        break;
    }
  }
  // The cells, left to right, as the user finds them.
  std::vector<std::shared_ptr<ZTSingleCharCodeView>> cellViews() const {
    std::vector<std::shared_ptr<ZTSingleCharCodeView>> found;
    for (const char* name :
         {"firstDigit", "secondDigit", "thirdDigit", "fourthDigit", "fifthDigit", "sixthDigit"})
      found.push_back(ui->find<ZTSingleCharCodeView>(name));
    return found;
  }
  std::vector<std::optional<std::string>> cells() const {
    std::vector<std::optional<std::string>> shown;
    for (const auto& cell : cellViews()) shown.push_back(cell->charLabel.lock()->text());
    return shown;
  }
  // Whether each underline has the accent colour (else the inactive one), as the eye sees
  // them: in 8 bits.
  std::vector<bool> accented() const {
    auto same = [](const std::optional<UIKit::UIColor>& colour, const UIKit::UIColor& wanted) {
      if (!colour) return false;
      const auto a = colour->components();
      const auto b = wanted.components();
      auto byte = [](double v) { return static_cast<int>(v * 255 + 0.5); };
      return byte(a.red) == byte(b.red) && byte(a.green) == byte(b.green) &&
             byte(a.blue) == byte(b.blue) && byte(a.alpha) == byte(b.alpha);
    };
    std::vector<bool> lines;
    for (const auto& cell : cellViews()) {
      const auto colour = cell->underlineView.lock()->backgroundColor();
      const bool accent = same(colour, ZTUIConstants::MAIN_COLOR());
      EXPECT_TRUE(accent || same(colour, ZTUIConstants::INACTIVE_UNDERLINE_COLOR()));
      lines.push_back(accent);
    }
    return lines;
  }

  std::unique_ptr<PlatformTesting::UI> ui;
  std::shared_ptr<ZTSixDigitsCodeEnterView> entry;
  std::vector<std::string> heard;
  bool keyboardGoneFirst = false;
};

struct Row {
  const char* name;
  std::vector<Step> before;  // not listened to
  std::vector<Step> steps;
  std::vector<std::string> heard;
  std::string code;  // the cells show it, the rest empty
};

void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

class Entering : public CodeEntry, public ::testing::WithParamInterface<Row> {};

TEST_P(Entering, ShowsTheCodeInItsCellsAndReportsEachChange) {
  const auto& row = GetParam();
  for (const auto& step : row.before) run(step);
  heard.clear();
  for (const auto& step : row.steps) run(step);
  EXPECT_EQ(heard, row.heard);
  EXPECT_EQ(entry->code, row.code);
  std::vector<std::optional<std::string>> expected(6);
  std::vector<bool> lines(6, false);
  std::size_t i = 0;
  for (const auto& character : Foundation::characters(row.code)) {
    expected[i] = character;
    lines[i++] = true;
  }
  EXPECT_EQ(cells(), expected);
  EXPECT_EQ(accented(), lines);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Entering,
    ::testing::Values(
        Row{"threeDigits", {}, {type("123")}, {"change:1", "change:12", "change:123"}, "123"},
        Row{"sixDigits",
            {},
            {type("123456")},
            {"change:1", "change:12", "change:123", "change:1234", "change:12345",
             "finished:123456"},
            "123456"},
        Row{"aDigitIntoAFullEntryReplacesTheLast",
            {type("123456")},
            {type("7")},
            {"finished:123457"},
            "123457"},
        Row{"deleteOnAFullEntry", {type("123456")}, {remove()}, {"change:12345"}, "12345"},
        Row{"deleteOnAnEmptyEntry", {}, {remove()}, {}, ""},
        Row{"pasteSixDigits", {}, {paste("654321")}, {"finished:654321"}, "654321"},
        Row{"pasteWithALetter", {type("12")}, {paste("12a456")}, {}, "12"},
        Row{"pasteSevenDigits", {type("12")}, {paste("1234567")}, {}, "12"},
        Row{"pasteReplacesInsteadOfAppending", {type("1234")}, {paste("98")}, {"change:98"}, "98"},
        Row{"pasteDigitsOfAnotherScript",
            {},
            {paste("\u0661\u0662\u0663\u0664\u0665\u0666")},
            {"finished:\u0661\u0662\u0663\u0664\u0665\u0666"},
            "\u0661\u0662\u0663\u0664\u0665\u0666"},
        Row{"clearAFullEntry", {type("123456")}, {clear()}, {"change:"}, ""},
        Row{"autofillLongerThanTheCode", {}, {autofill("12345678")}, {"finished:123456"}, "123456"},
        Row{"autofillIntoAPartialCode",
            {type("12")},
            {autofill("3456789")},
            {"finished:123456"},
            "123456"},
        Row{"autofillIntoAFullCode",
            {type("123456")},
            {autofill("78")},
            {"finished:123457"},
            "123457"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CodeEntry, ATapBringsUpTheNumberPadAndTheLastDigitTakesItAway) {
  ASSERT_TRUE(ui->tap(entry));
  EXPECT_TRUE(entry->isFirstResponder());
  EXPECT_TRUE(ui->isKeyboardVisible());
  EXPECT_EQ(UIKeyboard::shared().keyboardType(), UIKit::UIKeyboardType::numberPad);
  ASSERT_TRUE(ui->type("12345"));
  EXPECT_TRUE(ui->isKeyboardVisible());
  ASSERT_TRUE(ui->type("6"));
  EXPECT_FALSE(ui->isKeyboardVisible());
  EXPECT_TRUE(keyboardGoneFirst);
  EXPECT_FALSE(entry->isFirstResponder());
}

TEST_F(CodeEntry, ALongPressOffersPasteAloneAtTheEntryAndBringsUpTheKeypad) {
  ASSERT_TRUE(ui->longPress(entry));  // the pasteboard is empty: Paste is offered all the same
  const auto& menu = UIKit::UIMenuController::shared();
  EXPECT_TRUE(menu.isMenuVisible());
  EXPECT_EQ(menu.offeredActions(), std::vector<std::string>{"paste:"});
  EXPECT_EQ(menu.targetRect(), entry->convertTo(entry->bounds(), nullptr));
  EXPECT_TRUE(ui->isKeyboardVisible());
  UIPasteboard::general().setString("135790");
  ASSERT_TRUE(UIKit::UIMenuController::shared().choose("paste:"));
  EXPECT_EQ(heard, std::vector<std::string>{"finished:135790"});
}

TEST_F(CodeEntry, WhileNotFocusedItOffersNoEditAction) {
  EXPECT_FALSE(entry->canPerformAction("paste:"));
  UIPasteboard::general().setString("123456");
  UIKit::UIMenuController::shared().showMenu(entry, entry->bounds());
  EXPECT_FALSE(UIKit::UIMenuController::shared().isMenuVisible());
}

TEST_F(CodeEntry, WritingTheCodeShowsNothingUntilTheCellsAreUpdated) {
  entry->code = "42";
  EXPECT_EQ(cells(), std::vector<std::optional<std::string>>(6));
  EXPECT_TRUE(heard.empty());
  entry->updateCodeView();
  EXPECT_EQ(cells()[1], "2");
  EXPECT_EQ(heard, std::vector<std::string>{"change:42"});
}

TEST_F(CodeEntry, ACodeLongerThanTheCellsLeavesThemAsTheyWere) {
  ASSERT_TRUE(ui->type("12", entry));
  heard.clear();
  entry->code = "1234567";
  entry->updateCodeView();
  EXPECT_TRUE(heard.empty());
  EXPECT_EQ(cells()[2], std::nullopt);
  ui->deleteBackward();  // back to six: it fits again
  EXPECT_EQ(heard, std::vector<std::string>{"finished:123456"});
}

TEST_F(CodeEntry, AMaximumBeyondTheCellsNeverReachesPastThem) {
  entry->maxLenght = 8;
  ASSERT_TRUE(ui->type("123", entry));
  EXPECT_EQ(heard, (std::vector<std::string>{"change:1", "change:12", "change:123"}));
}

}  // namespace
