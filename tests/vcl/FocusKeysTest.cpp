// Focus enter/exit events and key handling with real Qt events.
#include <QLineEdit>

#include "VclTestSupport.h"

namespace {

// KeyDown overridden as TFloatEdit does: the base raises OnKeyDown first.
class TKeyEdit : public TCustomEdit {
 public:
  explicit TKeyEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
  std::vector<Word> Seen;
  void KeyDown(Word& Key, TShiftState Shift) override {
    TCustomEdit::KeyDown(Key, Shift);
    Seen.push_back(Key);
  }
  String ClassName() const override { return "TKeyEdit"; }
};

const bool keyEditRegistered = (TPublishedClass<TKeyEdit>("TKeyEdit", "TCustomEdit").Register(), true);

class TFocusForm : public TLogForm {
 public:
  explicit TFocusForm(TComponent* AOwner) : TLogForm(AOwner) {}
  TEdit* EditA = nullptr;
  TKeyEdit* EditB = nullptr;
  TButton* Button1 = nullptr;
  TLabel* Label1 = nullptr;
  static const TFormTable& FormTable() {
    static TFormTable t = [] {
      TFormTable table("TFocusForm");
      table.Field("EditA", &TFocusForm::EditA)
          .Field("EditB", &TFocusForm::EditB)
          .Field("Button1", &TFocusForm::Button1)
          .Field("Label1", &TFocusForm::Label1);
      return AddHandlers(table);
    }();
    return t;
  }
};

// Created A, label, button, B; the Tab order is B, A, button.
const char* const kFocusForm = R"(object F: TFocusForm
  Width = 300
  Height = 200
  OnClose = CloseHandler
  object EditA: TEdit
    Left = 8
    Top = 8
    TabOrder = 1
    OnEnter = Enter
    OnExit = Exit
    OnKeyDown = Key
  end
  object Label1: TLabel
    Left = 8
    Top = 100
    Caption = 'Label'
  end
  object Button1: TButton
    Left = 8
    Top = 70
    TabOrder = 2
    Caption = 'Button'
    OnEnter = Enter
    OnExit = Exit
    OnClick = Click
  end
  object EditB: TKeyEdit
    Left = 8
    Top = 40
    TabOrder = 0
    OnEnter = Enter
    OnExit = Exit
    OnKeyDown = Key
  end
end
)";

class FocusKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(NewFormFromText<TFocusForm>(nullptr, kFocusForm, "focus.dfm"));
    ShowActive(form.get());
    if (HasFatalFailure()) return;
    // Showing focuses the first control of the Tab order.
    ASSERT_TRUE(WaitFor([&] { return form->EditB->Focused(); }));
    form->Log.clear();
  }
  void Tab() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
  std::unique_ptr<TFocusForm> form;
};

TEST_F(FocusKeys, TabFollowsTabOrderAndRaisesExitThenEnter) {
  EXPECT_EQ(form->ActiveControl.Get(), form->EditB);
  Tab();
  EXPECT_TRUE(form->EditA->Focused());
  Tab();
  EXPECT_TRUE(form->Button1->Focused());
  Tab();
  EXPECT_TRUE(form->EditB->Focused()) << "the chain wraps and skips the label";
  EXPECT_EQ(form->Log, (std::vector<String>{"key 9 EditB", "exit EditB", "enter EditA", "key 9 EditA", "exit EditA",
                                            "enter Button1", "exit Button1", "enter EditB"}));
}

TEST_F(FocusKeys, ClickOnAButtonLeavesTheEditFirst) {
  QTest::mouseClick(VclWidget(form->Button1), Qt::LeftButton);
  EXPECT_TRUE(form->Button1->Focused());
  EXPECT_EQ(form->Log, (std::vector<String>{"exit EditB", "enter Button1", "click Button1"}));
  form->Log.clear();
  QTest::mouseClick(VclWidget(form->EditA), Qt::LeftButton);
  EXPECT_EQ(form->Log, (std::vector<String>{"exit Button1", "enter EditA"}));
}

TEST_F(FocusKeys, SetFocusMovesTheFocusWithEvents) {
  form->EditA->SetFocus();
  EXPECT_TRUE(form->EditA->Focused());
  EXPECT_FALSE(form->EditB->Focused());
  EXPECT_EQ(form->Log, (std::vector<String>{"exit EditB", "enter EditA"}));
  form->EditA->SetFocus();
  EXPECT_EQ(form->Log.size(), 2u) << "focusing the focused control raises nothing";
}

TEST_F(FocusKeys, WindowDeactivationRaisesNoExitOrEnter) {
  QWidget other;
  other.resize(50, 50);
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(form->EditB->Focused());
  QApplication::setActiveWindow(VclWidget(form.get()));
  ASSERT_TRUE(QTest::qWaitForWindowActive(VclWidget(form.get())));
  ASSERT_TRUE(WaitFor([&] { return form->EditB->Focused(); }));
  EXPECT_TRUE(form->Log.empty()) << "log: " << (form->Log.empty() ? "" : form->Log.front());
}

TEST_F(FocusKeys, FocusMovedWhileInactiveRaisesEventsOnReturn) {
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  VclWidget(form->EditA)->setFocus(Qt::OtherFocusReason);
  EXPECT_TRUE(form->Log.empty());
  QApplication::setActiveWindow(VclWidget(form.get()));
  ASSERT_TRUE(QTest::qWaitForWindowActive(VclWidget(form.get())));
  EXPECT_TRUE(WaitFor([&] { return form->Log.size() >= 2; }));
  EXPECT_EQ(form->Log, (std::vector<String>{"exit EditB", "enter EditA"}));
}

TEST_F(FocusKeys, ClosingTheWindowRaisesNoExit) {
  QTest::keyClicks(VclWidget(form->EditB), "12");
  form->Log.clear();
  VclWidget(form.get())->close();  // the title-bar close box
  QApplication::processEvents();
  EXPECT_EQ(form->Log, std::vector<String>{"close(caHide) F"});
  EXPECT_FALSE(form->Visible);
  EXPECT_FALSE(VclWidget(form.get())->isVisible());
}

TEST_F(FocusKeys, CloseActionNoneKeepsTheFormOpen) {
  form->NextCloseAction = caNone;
  form->Close();
  EXPECT_TRUE(form->Visible);
  EXPECT_EQ(form->Log, std::vector<String>{"close(caHide) F"});
}

TEST_F(FocusKeys, KeyDownSeesEveryKey) {
  QWidget* w = VclWidget(form->EditB);
  QTest::keyClick(w, Qt::Key_A);
  QTest::keyClick(w, Qt::Key_A, Qt::ShiftModifier);
  QTest::keyClick(w, Qt::Key_5);
  QTest::keyClick(w, Qt::Key_Left);
  QTest::keyClick(w, Qt::Key_Return);
  QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(w, Qt::Key_Escape);
  QTest::keyClick(w, Qt::Key_F5);
  QTest::keyClick(w, Qt::Key_Backspace);
  QTest::keyClick(w, Qt::Key_Minus);
  QTest::keyClick(w, Qt::Key_Period);
  QTest::keyClick(w, Qt::Key_Tab);
  EXPECT_EQ(form->EditB->Seen,
            (std::vector<Word>{'A', VK_SHIFT, 'A', '5', VK_LEFT, VK_RETURN, VK_RETURN, VK_ESCAPE, VK_F1 + 4, VK_BACK,
                               VK_OEM_MINUS, VK_OEM_PERIOD, VK_TAB}));
  ASSERT_GE(form->Log.size(), 3u);
  EXPECT_EQ(form->Log[0], "key 65 EditB");
  EXPECT_EQ(form->Log[1], "key 16+shift EditB") << "the modifier key itself is a key";
  EXPECT_EQ(form->Log[2], "key 65+shift EditB") << "the shift state arrives";
  EXPECT_TRUE(form->EditA->Focused()) << "Tab still moves on after KeyDown";
}

TEST_F(FocusKeys, KeyZeroSwallowsTheKey) {
  form->SwallowKey = 'X';
  QWidget* w = VclWidget(form->EditB);
  QTest::keyClicks(w, "aXb");
  EXPECT_EQ(form->EditB->Text, "ab");
  EXPECT_EQ(form->EditB->Seen, (std::vector<Word>{'A', 0, 'B'})) << "the override sees Key after OnKeyDown";
  form->SwallowKey = VK_TAB;
  QTest::keyClick(w, Qt::Key_Tab);
  EXPECT_TRUE(form->EditB->Focused()) << "a swallowed Tab moves nothing";
}

}  // namespace
