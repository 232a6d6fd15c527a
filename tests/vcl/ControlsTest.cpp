// Combo box, timer, edit box, button and ownership of the widgets.
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPointer>
#include <chrono>
#include <thread>

#include "VclTestSupport.h"

namespace {

class TCtlForm : public TLogForm {
 public:
  explicit TCtlForm(TComponent* AOwner) : TLogForm(AOwner) {}
  TComboBox* cbChan = nullptr;
  TEdit* Edit1 = nullptr;
  TButton* Button1 = nullptr;
  TLabel* Label1 = nullptr;
  TTimer* Timer1 = nullptr;
  int Ticks = 0;
  bool ThrowOnTick = false;
  void Tick(TObject*) {
    ++Ticks;
    if (ThrowOnTick) throw Exception("tick failed");
  }
  void Fail(TObject*) { throw Exception("Handler failed"); }
  static const TFormTable& FormTable() {
    static TFormTable t = [] {
      TFormTable table("TCtlForm");
      table.Field("cbChan", &TCtlForm::cbChan)
          .Field("Edit1", &TCtlForm::Edit1)
          .Field("Button1", &TCtlForm::Button1)
          .Field("Label1", &TCtlForm::Label1)
          .Field("Timer1", &TCtlForm::Timer1)
          .Handler("Tick", &TCtlForm::Tick)
          .Handler("Fail", &TCtlForm::Fail);
      return AddHandlers(table);
    }();
    return t;
  }
};

const char* const kCtlForm = R"(object F: TCtlForm
  Width = 400
  Height = 300
  object cbChan: TComboBox
    Left = 8
    Top = 8
    Style = csDropDownList
    Items.Strings = ('CHAN 1' 'CHAN 2' 'CHAN 3' 'ALL')
    ItemIndex = 0
    TabOrder = 0
    OnChange = Change
  end
  object Edit1: TEdit
    Left = 8
    Top = 40
    TabOrder = 1
    OnChange = Change
  end
  object Button1: TButton
    Left = 8
    Top = 80
    TabOrder = 2
    Caption = 'Go'
    OnClick = Fail
  end
  object Label1: TLabel
    Left = 100
    Width = 3
    Top = 8
    Caption = 'A &&B'
  end
  object Timer1: TTimer
    Enabled = False
    Interval = 10
    OnTimer = Tick
  end
end
)";

class Controls : public ::testing::Test {
 protected:
  void SetUp() override { form.reset(NewFormFromText<TCtlForm>(nullptr, kCtlForm, "ctl.dfm")); }
  std::unique_ptr<TCtlForm> form;
};

TEST_F(Controls, ItemIndexFromCodeRaisesNoChangeButTheUsersChoiceDoes) {
  TComboBox* cb = form->cbChan;
  cb->ItemIndex = 2;
  EXPECT_EQ(cb->ItemIndex, 2);
  EXPECT_EQ(cb->Text, "CHAN 3");
  cb->ItemIndex = 9;
  EXPECT_EQ(cb->ItemIndex, -1) << "an index outside the list leaves no selection";
  cb->ItemIndex = -5;
  EXPECT_EQ(cb->ItemIndex, -1);
  cb->ItemIndex = 0;
  EXPECT_TRUE(form->Log.empty()) << "no OnChange from code";

  ShowActive(form.get());
  cb->SetFocus();
  QTest::keyClick(VclWidget(cb), Qt::Key_Down);
  EXPECT_EQ(cb->ItemIndex, 1);
  EXPECT_EQ(form->Log, std::vector<String>{"change cbChan"});
  QTest::keyClick(VclWidget(cb), Qt::Key_Down);
  EXPECT_EQ(cb->ItemIndex, 2);
  EXPECT_EQ(form->Log.size(), 2u);
}

TEST_F(Controls, ComboItemsDoNotSelectByThemselves) {
  TComboBox* cb = form->cbChan;
  cb->Items->Clear();
  cb->Items->Add("a");
  cb->Items->Add("b");
  EXPECT_EQ(cb->ItemIndex, -1) << "adding to an empty list selects nothing";
  cb->ItemIndex = 1;
  cb->Items->Insert(0, "z");
  EXPECT_EQ(cb->ItemIndex, 2) << "the selected item stays selected";
  cb->Items->Delete(2);
  EXPECT_EQ(cb->ItemIndex, -1) << "deleting the selected item clears the selection";
  EXPECT_EQ(cb->Items->ToVector(), (std::vector<String>{"z", "a"}));
  cb->Text = "a";
  EXPECT_EQ(cb->ItemIndex, 1) << "a pick-only list selects the item of that text";
  cb->DropDownCount = 9;
  EXPECT_EQ(cb->DropDownCount, 9);
  TComboBox fresh(nullptr);
  EXPECT_EQ(fresh.DropDownCount, 8);
  EXPECT_EQ(fresh.ItemIndex, -1);
  EXPECT_TRUE(form->Log.empty());
}

TEST_F(Controls, TimerTicksOnlyThroughTheEventLoop) {
  form->Timer1->Enabled = true;
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_EQ(form->Ticks, 0) << "no tick without the event loop";
  EXPECT_TRUE(WaitFor([&] { return form->Ticks >= 3; }));
  form->Timer1->Enabled = false;
  int ticks = form->Ticks;
  QTest::qWait(60);
  EXPECT_EQ(form->Ticks, ticks) << "a disabled timer does not tick";
  form->Timer1->Interval = 0;
  form->Timer1->Enabled = true;
  QTest::qWait(60);
  EXPECT_EQ(form->Ticks, ticks) << "interval 0 stops the timer";
}

TEST_F(Controls, TimerHandlerExceptionIsShownAndTheTimerGoesOn) {
  TBoxRecorder boxes;
  form->ThrowOnTick = true;
  form->Timer1->Enabled = true;
  ASSERT_TRUE(WaitFor([&] { return form->Ticks >= 2; }));
  ASSERT_GE(boxes.Boxes.size(), 2u);
  EXPECT_EQ(boxes.Boxes[0].Text, "tick failed.");
}

TEST_F(Controls, EditTextAndChanges) {
  TEdit* e = form->Edit1;
  e->SetTextBuf("12.5");
  EXPECT_EQ(e->Text, "12.5");
  EXPECT_EQ(e->GetTextLen(), 4);
  char buf[3];
  EXPECT_EQ(e->GetTextBuf(buf, sizeof buf), 2);
  EXPECT_STREQ(buf, "12");
  e->SetTextBuf(nullptr);
  EXPECT_EQ(e->Text, "");
  EXPECT_EQ(form->Log, (std::vector<String>{"change Edit1", "change Edit1"}));
  e->Text = "";
  EXPECT_EQ(form->Log.size(), 2u) << "the same text is no change";

  ShowActive(form.get());
  e->SetFocus();
  QTest::keyClicks(VclWidget(e), "ab");
  EXPECT_EQ(e->Text, "ab");
  EXPECT_EQ(form->Log.size(), 4u);
  e->SelectAll();
  EXPECT_EQ(e->SelLength, 2);
  EXPECT_EQ(e->GetSelText(), "ab");
  e->Invalidate();
  e->Repaint();
}

TEST_F(Controls, HandlerExceptionIsShownAndTheLoopGoesOn) {
  TBoxRecorder boxes;
  ShowActive(form.get());
  QTest::mouseClick(VclWidget(form->Button1), Qt::LeftButton);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, "Handler failed.") << "a period is added as the class library does";
  EXPECT_EQ(boxes.Boxes[0].Type, mtError);
  EXPECT_EQ(boxes.Boxes[0].Caption, Application->Title.Get());
  QTest::mouseClick(VclWidget(form->Button1), Qt::LeftButton);
  EXPECT_EQ(boxes.Boxes.size(), 2u);
}

TEST_F(Controls, LabelsAndCaptions) {
  EXPECT_EQ(form->Label1->Caption, "A &&B");
  QFontMetrics fm(VclWidget(form->Label1)->font());
  EXPECT_EQ(form->Label1->Width, fm.horizontalAdvance("A &B")) << "AutoSize fits the caption";
  EXPECT_EQ(form->Label1->Height, fm.height());
  EXPECT_EQ(form->Label1->Left, 100) << "the position stays";
  form->Label1->Caption = "Acc/Dec:";
  EXPECT_EQ(form->Label1->Width, fm.horizontalAdvance("Acc/Dec:"));
  form->Label1->AutoSize = false;
  form->Label1->Width = 5;
  form->Label1->Caption = "long caption";
  EXPECT_EQ(form->Label1->Width, 5) << "without AutoSize the size stays";
  EXPECT_EQ(VclWidget(form->Label1)->focusPolicy(), Qt::NoFocus);
  form->Button1->Caption = "Exit";
  EXPECT_EQ(form->Button1->Caption, "Exit");
}

TEST_F(Controls, TheFormFreesItsControlsAndWidgets) {
  QPointer<QWidget> edit = VclWidget(form->Edit1);
  QPointer<QWidget> window = VclWidget(form.get());
  form.reset();
  EXPECT_TRUE(edit.isNull());
  EXPECT_TRUE(window.isNull());
}

TEST_F(Controls, ControlsCanBeMadeInCode) {
  auto* b = new TButton(form.get());
  EXPECT_FALSE(VclWidget(b)->isVisible());
  b->Parent = form.get();
  b->SetBounds(10, 200, 60, 20);
  b->Caption = "New";
  ShowActive(form.get());
  EXPECT_TRUE(VclWidget(b)->isVisible());
  EXPECT_EQ(VclWidget(b)->geometry(), QRect(10, 200, 60, 20));
  b->Visible = false;
  EXPECT_FALSE(VclWidget(b)->isVisible());
  b->Enabled = false;
  EXPECT_FALSE(VclWidget(b)->isEnabled());
  EXPECT_THROW(b->SetFocus(), EInvalidOperation);
  delete b;
  EXPECT_EQ(form->ControlCount, 4);
}

}  // namespace
