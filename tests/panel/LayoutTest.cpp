// The window as its description builds it: every component's class, text,
// geometry, Tab order, settings and handler binding.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <vcl/Graphics.h>

#include "PanelFixture.h"

namespace {

class LayoutTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    CreateWindow();
  }
};

// The component fields of TForm1, in declaration order.
const char* const FieldOrder[] = {
    "Button1", "Edit1",   "Button2",    "Button5",  "Edit2",    "Button6",     "Bevel1",
    "feAbsPos", "btSetPower", "feVcc",  "btGetVcc", "btGetAbsPos", "btClrAbsPos", "btRunF",
    "btRunR",  "btSoftStop", "btHardStop", "btGoTo1", "Timer1", "cbChan",      "Label1",
    "fePos1",  "fePower", "Label2",     "feSpeed",  "Label3",   "cbStepMode",  "Label4",
    "Label5",  "btGoTo2", "fePos2",     "Label6",   "btGoTo3",  "fePos3",      "Label7",
    "btGoTo4", "fePos4",  "Label8",     "btBase",   "Label9",   "Label10",     "feHold",
    "Label11", "Label12", "feAcc"};

struct FloatSettings {
  int digits;
  double min, max, value;
};

struct ControlRow {
  const char* name;
  const char* cls;
  const char* text;  // caption, or the text an edit shows
  int left, top, width, height;
  int tabOrder;  // -1: not in the Tab order
  const char* handler;  // bound handler's event, or nullptr
  FloatSettings fe;     // TFloatEdit only
};

// In the order in which the window creates them.
const ControlRow Rows[] = {
    {"Bevel1", "TBevel", "", 16, 80, 553, 2, -1, nullptr, {}},
    {"Label1", "TLabel", "Pos:", 142, 101, 21, 13, -1, nullptr, {}},
    {"Label2", "TLabel", "%", 118, 205, 8, 13, -1, nullptr, {}},
    {"Label3", "TLabel", "Speed:", 376, 133, 34, 13, -1, nullptr, {}},
    {"Label4", "TLabel", "Run:", 14, 205, 23, 13, -1, nullptr, {}},
    {"Label5", "TLabel", "Pos1:", 142, 141, 27, 13, -1, nullptr, {}},
    {"Label6", "TLabel", "Pos2:", 142, 173, 27, 13, -1, nullptr, {}},
    {"Label7", "TLabel", "Pos3:", 142, 205, 27, 13, -1, nullptr, {}},
    {"Label8", "TLabel", "Pos4:", 142, 237, 27, 13, -1, nullptr, {}},
    {"Label9", "TLabel", "%", 118, 141, 8, 13, -1, nullptr, {}},
    {"Label10", "TLabel", "Hold:", 14, 141, 25, 13, -1, nullptr, {}},
    {"Label11", "TLabel", "%", 118, 173, 8, 13, -1, nullptr, {}},
    {"Label12", "TLabel", "Acc/Dec:", 6, 173, 47, 13, -1, nullptr, {}},
    {"Button1", "TButton", "Open Device", 16, 16, 81, 25, 0, "OnClick", {}},
    {"Edit1", "TEdit", "", 112, 19, 113, 21, 1, nullptr, {}},
    {"Button2", "TButton", "Close Device", 16, 48, 81, 25, 2, "OnClick", {}},
    {"Button5", "TButton", "Exit", 488, 48, 81, 25, 3, "OnClick", {}},
    {"Edit2", "TEdit", "", 336, 19, 65, 21, 4, nullptr, {}},
    {"Button6", "TButton", "Get SN", 240, 16, 81, 25, 5, "OnClick", {}},
    {"feAbsPos", "TFloatEdit", "0", 176, 98, 81, 19, 6, nullptr, {0, -999999999, 999999999, 0}},
    {"btSetPower", "TButton", "Set Power", 16, 232, 113, 25, 7, "OnClick", {}},
    {"feVcc", "TFloatEdit", "0.0", 336, 50, 65, 19, 8, nullptr, {1, -999999999, 999999999, 0}},
    {"btGetVcc", "TButton", "Get VCC", 240, 48, 81, 25, 9, "OnClick", {}},
    {"btGetAbsPos", "TButton", "HardHiZ", 488, 232, 81, 25, 10, "OnClick", {}},
    {"btClrAbsPos", "TButton", "Clr Abs Pos", 272, 96, 81, 25, 11, "OnClick", {}},
    {"btRunF", "TButton", "Run ->", 488, 96, 81, 25, 12, "OnClick", {}},
    {"btRunR", "TButton", "Run <-", 488, 128, 81, 25, 13, "OnClick", {}},
    {"btSoftStop", "TButton", "SoftStop", 488, 168, 81, 25, 14, "OnClick", {}},
    {"btHardStop", "TButton", "HardStop", 488, 200, 81, 25, 15, "OnClick", {}},
    {"btGoTo1", "TButton", "GoTo", 272, 136, 81, 25, 16, "OnClick", {}},
    {"cbChan", "TComboBox", "CHAN 1", 16, 98, 113, 21, 17, "OnChange", {}},
    {"fePos1", "TFloatEdit", "-500", 176, 138, 81, 19, 18, nullptr, {0, -999999999, 999999999, -500}},
    {"fePower", "TFloatEdit", "25.0", 56, 202, 57, 19, 19, nullptr, {1, 0, 100, 25}},
    {"feSpeed", "TFloatEdit", "100.0", 416, 130, 57, 19, 20, "OnChanged", {1, 0, 15625, 100}},
    {"cbStepMode", "TComboBox", "1/128", 376, 98, 97, 21, 21, "OnChange", {}},
    {"btGoTo2", "TButton", "GoTo", 272, 168, 81, 25, 22, "OnClick", {}},
    {"fePos2", "TFloatEdit", "-5000", 176, 170, 81, 19, 23, nullptr, {0, -999999999, 999999999, -5000}},
    {"btGoTo3", "TButton", "GoTo", 272, 200, 81, 25, 24, "OnClick", {}},
    {"fePos3", "TFloatEdit", "-10000", 176, 202, 81, 19, 25, nullptr,
     {0, -999999999, 999999999, -10000}},
    {"btGoTo4", "TButton", "GoTo", 272, 232, 81, 25, 26, "OnClick", {}},
    {"fePos4", "TFloatEdit", "-18000", 176, 234, 81, 19, 27, nullptr,
     {0, -999999999, 999999999, -18000}},
    {"btBase", "TButton", "Base", 376, 160, 97, 25, 28, "OnClick", {}},
    {"feHold", "TFloatEdit", "10.0", 56, 138, 57, 19, 29, nullptr, {1, 0, 100, 10}},
    {"feAcc", "TFloatEdit", "40.0", 56, 170, 57, 19, 30, nullptr, {1, 0, 100, 40}},
    {"Timer1", "TTimer", "", 0, 0, 0, 0, -1, "OnTimer", {}},
};

String TextOf(TComponent* c) {
  if (auto* b = dynamic_cast<TButton*>(c)) return b->Caption;
  if (auto* l = dynamic_cast<TLabel*>(c)) return l->Caption;
  if (auto* e = dynamic_cast<TCustomEdit*>(c)) return e->Text;
  if (auto* cb = dynamic_cast<TComboBox*>(c)) return cb->Text;
  return "";
}

TEST_F(LayoutTest, WindowProperties) {
  EXPECT_EQ(form->Caption.Get(), "Quodrix Test");
  EXPECT_EQ(form->Left.Get(), 398);
  EXPECT_EQ(form->Top.Get(), 415);
  EXPECT_EQ(form->Width.Get(), 594);
  EXPECT_EQ(form->Height.Get(), 308);
  EXPECT_EQ(form->Color.Get(), clBtnFace);
  EXPECT_EQ(form->Font.Get()->Name.Get(), "MS Sans Serif");
  EXPECT_EQ(form->Font.Get()->Height.Get(), -11);
  EXPECT_EQ(form->Font.Get()->Color.Get(), clWindowText);
  EXPECT_EQ(form->Font.Get()->Charset.Get(), DEFAULT_CHARSET);
  EXPECT_TRUE(form->Font.Get()->Style.Get().Empty());
  EXPECT_TRUE(form->OnCreate.Assigned());
  EXPECT_TRUE(form->OnClose.Assigned());
  EXPECT_EQ(form->OnClose.Data(), form);
}

TEST_F(LayoutTest, FieldsInDeclarationOrder) {
  const auto& fields = TForm1::FormTable().Fields();
  ASSERT_EQ(fields.size(), std::size(FieldOrder));
  for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i].Name, FieldOrder[i]) << i;
  EXPECT_EQ(form->ComponentCount.Get(), 45);
}

TEST_F(LayoutTest, EveryControlAsDesigned) {
  ASSERT_EQ(form->ComponentCount.Get(), static_cast<int>(std::size(Rows)));
  for (int i = 0; i < form->ComponentCount; ++i) {
    const ControlRow& r = Rows[i];
    SCOPED_TRACE(r.name);
    TComponent* c = form->GetComponent(i);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Name.Get(), r.name) << "creation order";
    EXPECT_EQ(c->ClassName(), r.cls);
    EXPECT_EQ(form->FindComponent(r.name), c);
    EXPECT_EQ(TextOf(c), r.text);

    if (auto* ctl = dynamic_cast<TControl*>(c)) {
      EXPECT_EQ(ctl->Left.Get(), r.left);
      EXPECT_EQ(ctl->Top.Get(), r.top);
      // A label sizes itself to its caption in the font actually used.
      if (!dynamic_cast<TLabel*>(c)) {
        EXPECT_EQ(ctl->Width.Get(), r.width);
        EXPECT_EQ(ctl->Height.Get(), r.height);
      }
      // The widget itself sits there, in the client area.
      const QRect g = W(ctl)->geometry();
      EXPECT_EQ(g, QRect(ctl->Left, ctl->Top, ctl->Width, ctl->Height));
      EXPECT_TRUE(W(ctl)->isVisible());
      EXPECT_TRUE(ctl->Enabled.Get());
    }
    auto* win = dynamic_cast<TWinControl*>(c);
    if (r.tabOrder >= 0) {
      ASSERT_NE(win, nullptr);
      EXPECT_EQ(win->TabOrder.Get(), r.tabOrder);
      EXPECT_TRUE(win->TabStop.Get());
    } else {
      EXPECT_EQ(win, nullptr) << "labels, the bevel and the timer take no focus";
    }

    const bool bound = r.handler != nullptr;
    if (auto* b = dynamic_cast<TButton*>(c)) {
      EXPECT_EQ(b->OnClick.Assigned(), bound);
      EXPECT_EQ(b->OnClick.Data(), form);
    }
    if (auto* fe = dynamic_cast<TFloatEdit*>(c)) {
      EXPECT_EQ(fe->Format.Get(), ffFixed);
      EXPECT_EQ(fe->Precision.Get(), 9);
      EXPECT_EQ(fe->Digits.Get(), r.fe.digits);
      EXPECT_TRUE(fe->MinMaxCheck.Get());
      EXPECT_TRUE(fe->ValueVisible.Get());
      EXPECT_FALSE(fe->AutoSize.Get());
      EXPECT_EQ(fe->MinValue.Get(), r.fe.min);
      EXPECT_EQ(fe->MaxValue.Get(), r.fe.max);
      EXPECT_EQ(fe->Value.Get(), r.fe.value);
      EXPECT_EQ(fe->OnChanged.Assigned(), bound);
      EXPECT_FALSE(fe->OnError.Assigned());
      EXPECT_FALSE(fe->OnOutOfBounds.Assigned());
      EXPECT_FALSE(fe->OnValidateValue.Assigned());
      EXPECT_FALSE(fe->OnEnterPress.Assigned());
      EXPECT_FALSE(fe->OnEnter.Assigned());
      EXPECT_FALSE(fe->OnExit.Assigned());
    }
    if (auto* e = dynamic_cast<TEdit*>(c)) {
      EXPECT_FALSE(e->OnChange.Assigned());
      EXPECT_FALSE(e->ReadOnly.Get());
    }
    if (auto* cb = dynamic_cast<TComboBox*>(c)) {
      EXPECT_EQ(cb->Style.Get(), csDropDownList);
      EXPECT_EQ(cb->ItemHeight.Get(), 13);
      EXPECT_EQ(cb->OnChange.Data(), form);
      EXPECT_TRUE(cb->OnChange.Assigned());
    }
    if (auto* t = dynamic_cast<TTimer*>(c)) {
      EXPECT_EQ(t->Interval.Get(), 100u);
      EXPECT_TRUE(t->Enabled.Get());
      EXPECT_TRUE(t->OnTimer.Assigned());
    }
  }
}

TEST_F(LayoutTest, EachLabelStaysClearOfTheControlItNames) {
  const std::pair<const char*, const char*> pairs[] = {
      {"Label1", "feAbsPos"}, {"Label5", "fePos1"}, {"Label6", "fePos2"}, {"Label7", "fePos3"},
      {"Label8", "fePos4"},   {"Label10", "feHold"}, {"Label12", "feAcc"}, {"Label4", "fePower"},
      {"Label3", "feSpeed"},  {"Label9", "Label5"}, {"Label11", "Label6"}, {"Label2", "Label7"}};
  for (const auto& [label, control] : pairs) {
    auto* l = dynamic_cast<TLabel*>(form->FindComponent(label));
    auto* c = dynamic_cast<TControl*>(form->FindComponent(control));
    ASSERT_TRUE(l && c) << label;
    EXPECT_LT(l->Left + l->Width, c->Left.Get()) << label << " runs into " << control;
    EXPECT_LE(l->Height.Get(), 19) << label;
  }
}

TEST_F(LayoutTest, ListItems) {
  EXPECT_EQ(form->cbChan->Items.Get()->ToVector(),
            (std::vector<String>{"CHAN 1", "CHAN 2", "CHAN 3", "ALL"}));
  EXPECT_EQ(form->cbChan->ItemIndex.Get(), 0);
  EXPECT_EQ(form->cbStepMode->Items.Get()->ToVector(),
            (std::vector<String>{"FULL", "HALF", "1/4", "1/8", "1/16", "1/32", "1/64", "1/128", ""}));
  EXPECT_EQ(form->cbStepMode->ItemIndex.Get(), 7);
  EXPECT_EQ(form->cbStepMode->DropDownCount.Get(), 9);
  EXPECT_EQ(form->cbChan->DropDownCount.Get(), 8);  // the default
  // Pick-only lists.
  EXPECT_EQ(qobject_cast<QComboBox*>(W(form->cbChan))->isEditable(), false);
}

TEST_F(LayoutTest, ClientAreaAndTabChain) {
  EXPECT_EQ(form->ClientWidth.Get(), 586);
  EXPECT_EQ(form->ClientHeight.Get(), 281);

  // Tab runs through the focusable controls by TabOrder and wraps around.
  const char* chain[] = {"Button1",  "Edit1",   "Button2",    "Button5",    "Edit2",  "Button6",
                         "feAbsPos", "btSetPower", "feVcc",   "btGetVcc",   "btGetAbsPos",
                         "btClrAbsPos", "btRunF", "btRunR",   "btSoftStop", "btHardStop",
                         "btGoTo1",  "cbChan",  "fePos1",     "fePower",    "feSpeed",
                         "cbStepMode", "btGoTo2", "fePos2",   "btGoTo3",    "fePos3",
                         "btGoTo4",  "fePos4",  "btBase",     "feHold",     "feAcc",  "Button1"};
  form->Button1->SetFocus();
  Pump();
  for (size_t i = 0; i < std::size(chain); ++i) {
    auto* expected = dynamic_cast<TWinControl*>(form->FindComponent(chain[i]));
    ASSERT_NE(expected, nullptr);
    EXPECT_TRUE(expected->Focused()) << "step " << i << ": " << chain[i];
    if (!expected->Focused()) break;
    PressTab(expected);
  }
  // Walking through the edits commits them without changing a value.
  EXPECT_EQ(form->feSpeed->Value.Get(), 100.0);
  EXPECT_TRUE(calls.empty());
}

}  // namespace
