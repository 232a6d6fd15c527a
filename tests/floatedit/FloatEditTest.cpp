// TFloatEdit driven as a user drives it: real key, mouse and focus events on
// the offscreen platform, with a log of every event the box raises.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <vcl/Forms.h>
#include <vcl/QtAccess.h>
#include <vcl/SysUtils.h>

#include "Floatedit.h"

namespace {

std::string Num(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", x);
  return buf;
}

using Log = std::vector<std::string>;

// A small window: two boxes, a button and a plain edit, in this Tab order.
class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {}
  TFloatEdit* fe1 = nullptr;
  TFloatEdit* fe2 = nullptr;
  TButton* Button1 = nullptr;
  Log* EventLog = nullptr;
  void Button1Click(TObject*) {
    if (EventLog) EventLog->push_back("Click");
  }
  void fe1Changed(TObject*) {
    if (EventLog) EventLog->push_back("Changed(desc) " + Num(fe1->Value));
  }
  static const TFormTable& FormTable() {
    static const TFormTable t = TFormTable("TTestForm")
                                    .Field("fe1", &TTestForm::fe1)
                                    .Field("fe2", &TTestForm::fe2)
                                    .Field("Button1", &TTestForm::Button1)
                                    .Handler("Button1Click", &TTestForm::Button1Click)
                                    .Handler("fe1Changed", &TTestForm::fe1Changed);
    return t;
  }
};

const char* const PlainForm = R"(
object TestForm: TTestForm
  Left = 100
  Top = 100
  Width = 320
  Height = 160
  Caption = 'TFloatEdit'
  object fe1: TFloatEdit
    Left = 8
    Top = 8
    Width = 100
    Height = 19
    TabOrder = 0
  end
  object fe2: TFloatEdit
    Left = 8
    Top = 40
    Width = 100
    Height = 19
    TabOrder = 1
  end
  object Button1: TButton
    Left = 8
    Top = 72
    Width = 75
    Height = 25
    Caption = 'Button'
    TabOrder = 2
    OnClick = Button1Click
  end
end
)";

void Pump() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

class FloatEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.reset(NewFormFromText<TTestForm>(nullptr, PlainForm, "PlainForm"));
    form->EventLog = &log;
    fe = form->fe1;
    Watch(fe, "");
    Watch(form->fe2, "2");
    form->Show();
    QWidget* window = VclWidget(form.get());
    window->activateWindow();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    Pump();
    log.clear();
  }
  void TearDown() override { form.reset(); }

  // Logs every event of box e, tagged with Tag ("" for fe1).
  void Watch(TFloatEdit* e, const std::string& Tag) {
    e->OnChanged = [this, e, Tag](TObject* Sender) {
      EXPECT_EQ(Sender, e);
      log.push_back("Changed" + Tag + " " + Num(e->Value));
    };
    e->OnEnterPress = [this, e, Tag](TObject* Sender) {
      EXPECT_EQ(Sender, e);
      log.push_back("EnterPress" + Tag);
    };
    e->OnEnter = [this, e, Tag](TObject* Sender) {
      EXPECT_EQ(Sender, e);
      log.push_back("Enter" + Tag);
    };
    e->OnExit = [this, e, Tag](TObject* Sender) {
      EXPECT_EQ(Sender, e);
      log.push_back("Exit" + Tag);
    };
  }
  void WatchOutOfBounds() {
    fe->OnOutOfBounds = [this](TObject* Sender) {
      EXPECT_EQ(Sender, fe);
      log.push_back("OutOfBounds " + Num(fe->Value));
    };
  }
  void WatchErrors() {
    fe->OnError = [this](TObject* Sender, const String& Msg, bool& Handled) {
      EXPECT_EQ(Sender, fe);
      EXPECT_FALSE(Handled);
      log.push_back("Error " + Msg);
    };
  }

  QWidget* W(TControl* c) const { return VclWidget(c); }
  QLineEdit* Line(TControl* c) const { return qobject_cast<QLineEdit*>(VclWidget(c)); }

  // Clicks into box e and replaces its text by typing Text.
  void TypeInto(TFloatEdit* e, const char* Text) {
    QTest::mouseClick(W(e), Qt::LeftButton);
    QTest::keyClick(W(e), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(W(e), Qt::Key_Backspace);
    QTest::keyClicks(W(e), Text);
    Pump();
  }
  void Focus(TFloatEdit* e) {
    QTest::mouseClick(W(e), Qt::LeftButton);
    Pump();
  }
  void PressEnter(TFloatEdit* e, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QTest::keyClick(W(e), Qt::Key_Return, Mods);
    Pump();
  }
  bool AllSelected(TFloatEdit* e) const {
    return !e->Text.Get().empty() && e->GetSelText() == e->Text.Get();
  }

  std::unique_ptr<TTestForm> form;
  TFloatEdit* fe = nullptr;
  Log log;
};

TEST_F(FloatEditTest, NewBoxHoldsZeroWithinZeroToTenAndShowsFiveDecimals) {
  TFloatEdit box(nullptr);
  EXPECT_EQ(box.Value, 0.0);
  EXPECT_EQ(box.MinValue, 0.0);
  EXPECT_EQ(box.MaxValue, 10.0);
  EXPECT_EQ(box.Format, ffFixed);
  EXPECT_EQ(box.Precision.Get(), 5);
  EXPECT_EQ(box.Digits.Get(), 5);
  EXPECT_TRUE(box.MinMaxCheck);
  EXPECT_TRUE(box.ValueVisible);
  EXPECT_FALSE(box.AutoSize);
  EXPECT_EQ(box.Text.Get(), "0.00000");
  // The description-built box too.
  EXPECT_EQ(fe->Text.Get(), "0.00000");
}

// ---- assignment, checks and the clamp ----------------------------------

enum class Validator { None, Accept, Reject };

struct AssignCase {
  const char* name;
  double min, max;
  bool minMaxCheck;
  Validator validator;
  bool outOfBounds;  // OnOutOfBounds assigned
  double assigned;
  double expectValue;
  Log expectLog;
  const char* expectText;  // Digits 1
};

class AssignTest : public FloatEditTest, public ::testing::WithParamInterface<AssignCase> {};

TEST_P(AssignTest, StoresChecksAndReports) {
  const AssignCase& c = GetParam();
  fe->Digits = 1;
  fe->MaxValue = 1e9;  // widen first so that neither bound clamps the other
  fe->MinValue = c.min;
  fe->MaxValue = c.max;
  fe->MinMaxCheck = c.minMaxCheck;
  if (c.outOfBounds) WatchOutOfBounds();
  if (c.validator != Validator::None) {
    fe->OnValidateValue = [this, &c](TObject* Sender, double AValue, bool& Valid) {
      EXPECT_EQ(Sender, fe);
      EXPECT_TRUE(Valid);
      log.push_back("Validate " + Num(AValue));
      if (c.validator == Validator::Reject) Valid = false;
    };
  }
  log.clear();
  fe->Value = c.assigned;
  EXPECT_EQ(log, c.expectLog);
  if (std::isnan(c.expectValue))
    EXPECT_TRUE(std::isnan(fe->Value));
  else
    EXPECT_EQ(fe->Value, c.expectValue);
  EXPECT_EQ(fe->Text.Get(), c.expectText);
  EXPECT_TRUE(AllSelected(fe));
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, AssignTest,
    ::testing::Values(
        AssignCase{"InRange", 0, 100, true, Validator::None, false, 50, 50, {"Changed 50"}, "50.0"},
        AssignCase{"AtMax", 0, 100, true, Validator::None, false, 100, 100, {"Changed 100"}, "100.0"},
        AssignCase{"AtMin", -5, 100, true, Validator::None, false, -5, -5, {"Changed -5"}, "-5.0"},
        AssignCase{"AboveClampsToMaxTwoChanged", 0, 100, true, Validator::None, false, 150, 100,
                   {"Changed 100", "Changed 100"}, "100.0"},
        AssignCase{"BelowClampsToMin", 0, 100, true, Validator::None, false, -5, 0,
                   {"Changed 0", "Changed 0"}, "0.0"},
        AssignCase{"OutOfBoundsKeepsValue", 0, 100, true, Validator::None, true, 150, 150,
                   {"OutOfBounds 150", "Changed 150"}, "150.0"},
        AssignCase{"NoCheckNoHandlerKeepsAnything", 0, 100, false, Validator::None, false, 150, 150,
                   {"Changed 150"}, "150.0"},
        AssignCase{"NoCheckHandlerAccepts", 0, 100, false, Validator::Accept, false, -7, -7,
                   {"Validate -7", "Changed -7"}, "-7.0"},
        AssignCase{"NoCheckHandlerRejectsValueStays", 0, 100, false, Validator::Reject, false, 50, 50,
                   {"Validate 50", "Changed 50"}, "50.0"},
        AssignCase{"NoCheckHandlerRejectsOutOfBounds", 0, 100, false, Validator::Reject, true, 50, 50,
                   {"Validate 50", "OutOfBounds 50", "Changed 50"}, "50.0"},
        AssignCase{"CheckIgnoresValidator", 0, 100, true, Validator::Reject, false, 50, 50,
                   {"Changed 50"}, "50.0"},
        AssignCase{"WrongOrderAboveMaxTakesMax", 10, 0, true, Validator::None, false, 20, 0,
                   {"Changed 0", "Changed 0"}, "0.0"},
        AssignCase{"WrongOrderBetweenIsAboveMaxTakesMax", 10, 0, true, Validator::None, false, 5, 0,
                   {"Changed 0", "Changed 0"}, "0.0"},
        AssignCase{"WrongOrderBelowTakesMin", 10, 0, true, Validator::None, false, -5, 10,
                   {"Changed 10", "Changed 10"}, "10.0"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(FloatEditTest, WithBoundsReversedNoValueSurvives) {
  fe->MinValue = 10;
  EXPECT_EQ(fe->Value, 10.0);
  fe->MaxValue = 0;  // 10 lies above the new MaxValue
  EXPECT_EQ(fe->Value, 0.0);
  log.clear();
  fe->SetValueAnyway(0);  // at MaxValue, yet below MinValue: takes MinValue
  EXPECT_EQ(fe->Value, 10.0);
  EXPECT_EQ(log, (Log{"Changed 10", "Changed 10"}));
  fe->SetValueAnyway(10);  // at MinValue, yet above MaxValue: takes MaxValue
  EXPECT_EQ(fe->Value, 0.0);
}

TEST_F(FloatEditTest, NaNIsInvalidAndClampsToMin) {
  fe->MinValue = 2;
  log.clear();
  fe->SetValueAnyway(NaN);
  EXPECT_EQ(fe->Value, 2.0);
  EXPECT_EQ(log, (Log{"Changed 2", "Changed 2"}));
}

TEST_F(FloatEditTest, EqualValueRaisesNothingAndKeepsTypedText) {
  fe->Value = 3;
  TypeInto(fe, "7.5");
  log.clear();
  fe->Value = 3;
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(fe->Text.Get(), "7.5");
}

TEST_F(FloatEditTest, NaNCountsAsEqual) {
  fe->Value = 3;
  log.clear();
  fe->Value = NaN;
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(fe->Value, 3.0);

  // A NaN held (no check, no handler) then ignores every assignment.
  fe->MinMaxCheck = false;
  fe->SetValueAnyway(NaN);
  EXPECT_TRUE(std::isnan(fe->Value));
  log.clear();
  fe->Value = 4;
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(std::isnan(fe->Value));
}

TEST_F(FloatEditTest, SetValueAnywayRunsTheFullUpdateForAnEqualValue) {
  fe->Value = 3;
  TypeInto(fe, "9");
  log.clear();
  fe->SetValueAnyway(3);
  EXPECT_EQ(log, (Log{"Changed 3"}));
  EXPECT_EQ(fe->Text.Get(), "3.00000");
  EXPECT_TRUE(AllSelected(fe));
}

TEST_F(FloatEditTest, SettingsOnlyRewriteTheText) {
  fe->Value = 7.25;
  fe->SelLength = 0;
  log.clear();
  fe->Digits = 1;
  EXPECT_EQ(fe->Text.Get(), "7.3");
  fe->Digits = 0;
  EXPECT_EQ(fe->Text.Get(), "7");
  fe->Digits = 3;
  fe->Precision = 2;
  EXPECT_EQ(fe->Text.Get(), "7.300");
  fe->MaxValue = 1000;
  fe->Value = 123.45;
  log.clear();
  // More integer digits than Precision: the general (scientific) form.
  EXPECT_EQ(fe->Text.Get(), "1.2E2");
  fe->Format = ffGeneral;
  fe->Precision = 5;
  EXPECT_EQ(fe->Text.Get(), "123.45");
  fe->ValueVisible = false;
  EXPECT_EQ(fe->Text.Get(), "");
  fe->ValueVisible = true;
  EXPECT_EQ(fe->Text.Get(), "123.45");
  fe->MinMaxCheck = false;
  fe->MinMaxCheck = true;
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(fe->Value, 123.45);
}

TEST_F(FloatEditTest, LoweringMaxClampsAtOnceWithoutSelecting) {
  fe->Digits = 1;
  fe->Value = 8;
  fe->SelLength = 0;
  log.clear();
  fe->MaxValue = 5;
  EXPECT_EQ(fe->Value, 5.0);
  EXPECT_EQ(log, (Log{"Changed 5"}));
  EXPECT_EQ(fe->Text.Get(), "5.0");
  EXPECT_EQ(fe->SelLength, 0);

  log.clear();
  fe->MinValue = 6;  // above MaxValue: the clamp takes MinValue
  EXPECT_EQ(fe->Value, 6.0);
  EXPECT_EQ(log, (Log{"Changed 6"}));
}

TEST_F(FloatEditTest, BoundChangeWithOutOfBoundsReportsAndKeeps) {
  fe->Value = 8;
  WatchOutOfBounds();
  log.clear();
  fe->MaxValue = 5;
  EXPECT_EQ(fe->Value, 8.0);
  EXPECT_EQ(log, (Log{"OutOfBounds 8"}));
  EXPECT_EQ(fe->Text.Get(), "8.00000");
}

TEST_F(FloatEditTest, BoundsWithinKeepValueQuietly) {
  fe->Value = 5;
  log.clear();
  fe->MinValue = 5;
  fe->MaxValue = 5;
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(fe->Value, 5.0);
}

// ---- commits by the user --------------------------------------------------

TEST_F(FloatEditTest, TypingAndEnterCommits) {
  fe->Digits = 1;
  fe->MaxValue = 100;
  TypeInto(fe, "12.5");
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(fe->Value, 12.5);
  EXPECT_EQ(log, (Log{"Changed 12.5", "EnterPress"}));
  EXPECT_EQ(fe->Text.Get(), "12.5");
  EXPECT_TRUE(AllSelected(fe));
}

TEST_F(FloatEditTest, EnterCommitsWhateverTheShiftState) {
  const Qt::KeyboardModifiers mods[] = {Qt::ShiftModifier, Qt::ControlModifier,
                                        Qt::AltModifier};
  double expect = 1;
  for (Qt::KeyboardModifiers m : mods) {
    TypeInto(fe, Num(expect).c_str());
    log.clear();
    PressEnter(fe, m);
    EXPECT_EQ(fe->Value, expect) << m.toInt();
    EXPECT_EQ(log, (Log{"Changed " + Num(expect), "EnterPress"})) << m.toInt();
    expect += 1;
  }
}

TEST_F(FloatEditTest, KeypadEnterCommits) {
  TypeInto(fe, "4");
  log.clear();
  QTest::keyClick(W(fe), Qt::Key_Enter, Qt::KeypadModifier);
  Pump();
  EXPECT_EQ(fe->Value, 4.0);
  EXPECT_EQ(log, (Log{"Changed 4", "EnterPress"}));
}

TEST_F(FloatEditTest, TabAwayCommitsThenUserExitThenNextEnter) {
  Focus(fe);
  TypeInto(fe, "7");
  log.clear();
  QTest::keyClick(W(fe), Qt::Key_Tab);
  Pump();
  EXPECT_TRUE(form->fe2->Focused());
  EXPECT_EQ(fe->Value, 7.0);
  EXPECT_EQ(fe->Text.Get(), "7.00000");
  EXPECT_EQ(log, (Log{"Changed 7", "Exit", "Enter2"}));
  EXPECT_TRUE(AllSelected(form->fe2));
}

TEST_F(FloatEditTest, ClickingAnotherControlCommitsBeforeItsClick) {
  Focus(fe);
  TypeInto(fe, "3");
  log.clear();
  QTest::mouseClick(W(form->Button1), Qt::LeftButton);
  Pump();
  EXPECT_EQ(fe->Value, 3.0);
  EXPECT_EQ(log, (Log{"Changed 3", "Exit", "Click"}));
}

TEST_F(FloatEditTest, LeavingUneditedCommitsOnceAndClampedTwice) {
  fe->Value = 4;
  Focus(fe);
  log.clear();
  QTest::keyClick(W(fe), Qt::Key_Tab);
  Pump();
  EXPECT_EQ(log, (Log{"Changed 4", "Exit", "Enter2"}));

  form->fe2->Digits = 1;
  form->fe2->MaxValue = 100;
  TypeInto(form->fe2, "150");
  log.clear();
  QTest::keyClick(W(form->fe2), Qt::Key_Tab);
  Pump();
  EXPECT_EQ(form->fe2->Value, 100.0);
  EXPECT_EQ(form->fe2->Text.Get(), "100.0");
  EXPECT_EQ(log, (Log{"Changed2 100", "Changed2 100", "Exit2"}));
}

TEST_F(FloatEditTest, UserHandlersSeeTheBoxesOwnWorkDone) {
  Focus(form->fe2);
  form->fe2->OnEnter = [this](TObject*) {
    log.push_back(AllSelected(form->fe2) ? "Enter2 selected" : "Enter2 not selected");
  };
  fe->OnExit = [this](TObject*) { log.push_back("Exit sees " + Num(fe->Value)); };
  Focus(fe);
  TypeInto(fe, "6");
  log.clear();
  QTest::keyClick(W(fe), Qt::Key_Tab);
  Pump();
  EXPECT_EQ(log, (Log{"Changed 6", "Exit sees 6", "Enter2 selected"}));
}

TEST_F(FloatEditTest, OnKeyDownThatSwallowsEnterSuppressesTheCommit) {
  fe->OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState) {
    EXPECT_EQ(Sender, fe);
    log.push_back("KeyDown " + std::to_string(Key));
    if (Key == VK_RETURN) Key = 0;
  };
  TypeInto(fe, "9");
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(log, (Log{"KeyDown 13"}));
  EXPECT_EQ(fe->Value, 0.0);
  EXPECT_EQ(fe->Text.Get(), "9");
}

TEST_F(FloatEditTest, OnKeyDownSeesEnterBeforeTheCommit) {
  fe->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN) log.push_back(Shift.Contains(ssShift) ? "KeyDown Shift+13" : "KeyDown 13");
  };
  TypeInto(fe, "2");
  log.clear();
  PressEnter(fe, Qt::ShiftModifier);
  EXPECT_EQ(log, (Log{"KeyDown Shift+13", "Changed 2", "EnterPress"}));
}

TEST_F(FloatEditTest, UneditedEnterKeepsFullPrecision) {
  fe->Digits = 1;
  fe->Value = 2.25;
  EXPECT_EQ(fe->Text.Get(), "2.3");
  Focus(fe);
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(fe->Value, 2.25);
  EXPECT_EQ(log, (Log{"Changed 2.25", "EnterPress"}));
  EXPECT_EQ(fe->Text.Get(), "2.3");
  EXPECT_TRUE(AllSelected(fe));
}

TEST_F(FloatEditTest, CommittedOutOfBoundsTextIsClamped) {
  TypeInto(fe, "-3");
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(fe->Value, 0.0);
  EXPECT_EQ(log, (Log{"Changed 0", "Changed 0", "EnterPress"}));
}

// ---- text that does not convert --------------------------------------------

TEST_F(FloatEditTest, BadTextWithoutOnErrorKeepsValue) {
  fe->Value = 5;
  TypeInto(fe, "abc");
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(fe->Value, 5.0);
  EXPECT_EQ(fe->Text.Get(), "5.00000");
  EXPECT_EQ(log, (Log{"Changed 5", "EnterPress"}));
}

enum class OnErrorDoes { Nothing, SetsHandled, AssignsSeven, AssignsSevenAndSetsHandled };

struct ErrorCase {
  const char* name;
  OnErrorDoes action;
  double expectValue;
  Log expectLog;
};

class OnErrorTest : public FloatEditTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(OnErrorTest, HandlerDecidesTheKeptValue) {
  const ErrorCase& c = GetParam();
  fe->Value = 5;
  fe->OnError = [this, &c](TObject* Sender, const String& Msg, bool& Handled) {
    EXPECT_EQ(Sender, fe);
    EXPECT_FALSE(Handled);
    log.push_back("Error " + Msg);
    if (c.action == OnErrorDoes::AssignsSeven || c.action == OnErrorDoes::AssignsSevenAndSetsHandled)
      fe->Value = 7;
    if (c.action == OnErrorDoes::SetsHandled || c.action == OnErrorDoes::AssignsSevenAndSetsHandled)
      Handled = true;
  };
  TypeInto(fe, "abc");
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(fe->Value, c.expectValue);
  EXPECT_EQ(log, c.expectLog);
  EXPECT_EQ(fe->Text.Get(), FloatToStrF(c.expectValue, ffFixed, 5, 5));
}

const char* const AbcMsg = "Error 'abc' is not a valid floating point value";

INSTANTIATE_TEST_SUITE_P(
    Cases, OnErrorTest,
    ::testing::Values(
        ErrorCase{"Nothing", OnErrorDoes::Nothing, 5, {AbcMsg, "Changed 5", "EnterPress"}},
        ErrorCase{"SetsHandled", OnErrorDoes::SetsHandled, 5, {AbcMsg, "Changed 5", "EnterPress"}},
        ErrorCase{"AssignsSevenKept", OnErrorDoes::AssignsSeven, 7,
                  {AbcMsg, "Changed 7", "Changed 7", "EnterPress"}},
        ErrorCase{"AssignsSevenHandledRestores", OnErrorDoes::AssignsSevenAndSetsHandled, 5,
                  {AbcMsg, "Changed 7", "Changed 5", "EnterPress"}}),
    [](const auto& p) { return std::string(p.param.name); });

struct TextCase {
  const char* text;
  bool converts;
  double expect;  // when it converts
};

TEST_F(FloatEditTest, CommittedTextConvertsByTheGrammar) {
  const TextCase cases[] = {
      {" 1e3 ", true, 1000},
      {"+2.5", true, 2.5},
      {"-.5", true, -0.5},
      {"7.", true, 7},
      {"1E-2", true, 0.01},
      {"", false, 0},
      {"   ", false, 0},
      {"1,5", false, 0},  // not the locale's separator
      {"1.5x", false, 0},
      {"e5", false, 0},
      {"1e", false, 0},
      {"0x10", false, 0},
      {"nan", false, 0},
      {"inf", false, 0},
      {"1e400", false, 0},   // beyond the double range, within the extended one
      {"-1e400", false, 0},
      {"1e5000", false, 0},  // beyond the extended range
  };
  fe->MinValue = -1e9;
  fe->MaxValue = 1e9;
  WatchErrors();
  for (const TextCase& c : cases) {
    fe->Value = 42;
    TypeInto(fe, c.text);
    log.clear();
    PressEnter(fe);
    if (c.converts) {
      EXPECT_EQ(fe->Value, c.expect) << '"' << c.text << '"';
      EXPECT_EQ(log, (Log{"Changed " + Num(c.expect), "EnterPress"})) << '"' << c.text << '"';
    } else {
      EXPECT_EQ(fe->Value, 42.0) << '"' << c.text << '"';
      EXPECT_EQ(log, (Log{"Error '" + std::string(c.text) + "' is not a valid floating point value",
                          "Changed 42", "EnterPress"}))
          << '"' << c.text << '"';
      EXPECT_EQ(fe->Text.Get(), "42.00000");
    }
  }
}

TEST_F(FloatEditTest, LargestDoubleStillConverts) {
  fe->MinMaxCheck = false;
  WatchErrors();
  TypeInto(fe, "1.7976931348623157e308");
  PressEnter(fe);
  EXPECT_EQ(fe->Value, std::numeric_limits<double>::max());
}

TEST_F(FloatEditTest, HiddenValueTriesTheEmptyTextAndStaysEmpty) {
  fe->Value = 5;
  fe->ValueVisible = false;
  EXPECT_EQ(fe->Text.Get(), "");
  WatchErrors();
  Focus(fe);
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(log, (Log{"Error '' is not a valid floating point value", "Changed 5", "EnterPress"}));
  EXPECT_EQ(fe->Value, 5.0);
  EXPECT_EQ(fe->Text.Get(), "");

  // Leaving it likewise.
  log.clear();
  QTest::keyClick(W(fe), Qt::Key_Tab);
  Pump();
  EXPECT_EQ(log, (Log{"Error '' is not a valid floating point value", "Changed 5", "Exit", "Enter2"}));

  // A typed number is taken, and the box stays empty.
  TypeInto(fe, "4");
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(log, (Log{"Changed 4", "EnterPress"}));
  EXPECT_EQ(fe->Value, 4.0);
  EXPECT_EQ(fe->Text.Get(), "");
}

TEST_F(FloatEditTest, LocaleSeparatorFormatsAndConverts) {
  const char saved = FormatSettings.DecimalSeparator;
  FormatSettings.DecimalSeparator = ',';
  fe->Digits = 2;
  fe->Value = 2.5;
  EXPECT_EQ(fe->Text.Get(), "2,50");
  WatchErrors();
  TypeInto(fe, "3,25");
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(fe->Value, 3.25);
  TypeInto(fe, "1.5");
  log.clear();
  PressEnter(fe);
  EXPECT_EQ(fe->Value, 3.25);
  EXPECT_EQ(log, (Log{"Error '1.5' is not a valid floating point value", "Changed 3.25", "EnterPress"}));
  FormatSettings.DecimalSeparator = saved;
}

TEST_F(FloatEditTest, SetValueStrCommitsLikeTheUser) {
  fe->SetValueStr("6.5");
  EXPECT_EQ(fe->Value, 6.5);
  EXPECT_EQ(log, (Log{"Changed 6.5"}));
  EXPECT_TRUE(AllSelected(fe));
}

// ---- the form description ----------------------------------------------------

TEST(FloatEditDescription, PropertiesApplyInOrderAndEventsBind) {
  const char* text = R"(
object TestForm: TTestForm
  Width = 300
  Height = 120
  object fe1: TFloatEdit
    Left = 8
    Top = 8
    Width = 100
    Height = 19
    AutoSize = False
    TabOrder = 0
    Format = ffFixed
    Digits = 1
    Precision = 9
    MinMaxCheck = True
    MinValue = -999999999.000000000000000000
    MaxValue = 999999999.000000000000000000
    Value = 500
    ValueVisible = True
    OnChanged = fe1Changed
  end
  object fe2: TFloatEdit
    Left = 8
    Top = 40
    Width = 100
    Height = 19
    TabOrder = 1
    ValueVisible = False
  end
  object Button1: TButton
    Left = 8
    Top = 72
    Width = 75
    Height = 25
    TabOrder = 2
  end
end
)";
  std::unique_ptr<TTestForm> f(NewFormFromText<TTestForm>(nullptr, text, "ordered"));
  // The bounds were in place before Value: no clamp to the initial 0..10.
  EXPECT_EQ(f->fe1->Value, 500.0);
  EXPECT_EQ(f->fe1->MinValue, -999999999.0);
  EXPECT_EQ(f->fe1->Precision.Get(), 9);
  EXPECT_EQ(f->fe1->Text.Get(), "500.0");
  EXPECT_EQ(f->fe2->Text.Get(), "");
  Log log;
  f->EventLog = &log;
  f->fe1->Value = 12;
  EXPECT_EQ(log, (Log{"Changed(desc) 12"}));
}

TEST(FloatEditDescription, ValueBeforeBoundsIsTestedAgainstTheInitialBounds) {
  const char* text = R"(
object TestForm: TTestForm
  object fe1: TFloatEdit
    Value = 500
    MaxValue = 1000
  end
  object fe2: TFloatEdit
  end
  object Button1: TButton
  end
end
)";
  std::unique_ptr<TTestForm> f(NewFormFromText<TTestForm>(nullptr, text, "unordered"));
  EXPECT_EQ(f->fe1->Value, 10.0);
}

TEST(FloatEditDescription, TextAndOnChangeAreNotPublished) {
  for (const char* prop : {"Text = '5'", "OnChange = fe1Changed", "MaxLength = 3", "Bogus = 1"}) {
    const std::string text = std::string(R"(
object TestForm: TTestForm
  object fe1: TFloatEdit
    )") + prop + R"(
  end
  object fe2: TFloatEdit
  end
  object Button1: TButton
  end
end
)";
    EXPECT_THROW(std::unique_ptr<TTestForm>(NewFormFromText<TTestForm>(nullptr, text, "bad")),
                 EReadError)
        << prop;
  }
}

TEST(FloatEditDescription, RegisterIsHarmlessToRepeat) {
  Register();
  Register();
  ASSERT_NE(FindClassInfo("TFloatEdit"), nullptr);
  EXPECT_TRUE(ClassInheritsFrom("TFloatEdit", "TCustomEdit"));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application->Initialize();
  return RUN_ALL_TESTS();
}
