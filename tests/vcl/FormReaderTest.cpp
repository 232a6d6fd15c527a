// Forms built from descriptions: classes by name, properties in order,
// fields and handlers through the form table, clear errors at creation.
#include <QFontInfo>
#include <QPushButton>

#include "VclTestSupport.h"

namespace {

// Records the order in which the description sets its properties.
class TOrderProbe : public TCustomEdit {
 public:
  explicit TOrderProbe(TComponent* AOwner) : TCustomEdit(AOwner) {}
  std::vector<String> Order;
  double Low = 0, High = 0, Value = 0;
  void SetLow(double AValue) { Low = AValue, Order.push_back("Low"); }
  void SetHigh(double AValue) { High = AValue, Order.push_back("High"); }
  void SetValue(double AValue) { Value = AValue, Order.push_back("Value"); }
  void Loaded() override {
    TCustomEdit::Loaded();
    Order.push_back("Loaded");
  }
  String ClassName() const override { return "TOrderProbe"; }
};

const bool probeRegistered = (TPublishedClass<TOrderProbe>("TOrderProbe", "TCustomEdit")
                                  .Property("Low", &TOrderProbe::SetLow)
                                  .Property("High", &TOrderProbe::SetHigh)
                                  .Property("Value", &TOrderProbe::SetValue)
                                  .Register(),
                              true);

class TReadForm : public TLogForm {
 public:
  explicit TReadForm(TComponent* AOwner) : TLogForm(AOwner) {}
  TButton* Button1 = nullptr;
  TEdit* Edit1 = nullptr;
  TComboBox* cbChan = nullptr;
  TLabel* Label1 = nullptr;
  TBevel* Bevel1 = nullptr;
  TOrderProbe* Probe1 = nullptr;
  TTimer* Timer1 = nullptr;
  bool ControlsExistedAtCreate = false;
  void FormCreate(TObject* Sender) {
    Record("create", Sender);
    ControlsExistedAtCreate = Button1 && Edit1 && cbChan && cbChan->ItemIndex == 2 && Probe1->Value == 5;
  }
  static const TFormTable& FormTable() {
    static TFormTable t = [] {
      TFormTable table("TReadForm");
      table.Field("Button1", &TReadForm::Button1)
          .Field("Edit1", &TReadForm::Edit1)
          .Field("cbChan", &TReadForm::cbChan)
          .Field("Label1", &TReadForm::Label1)
          .Field("Bevel1", &TReadForm::Bevel1)
          .Field("Probe1", &TReadForm::Probe1)
          .Field("Timer1", &TReadForm::Timer1)
          .Handler("FormCreate", &TReadForm::FormCreate);
      return AddHandlers(table);
    }();
    return t;
  }
};

const char* const kReadForm = R"(object Form1: TReadForm
  Left = 398
  Top = 415
  Width = 594
  Height = 308
  Caption = 'Quodrix Test'
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  OnCreate = FormCreate
  OnClose = CloseHandler
  PixelsPerInch = 96
  TextHeight = 13
  object Bevel1: TBevel
    Left = 16
    Top = 80
    Width = 553
    Height = 2
  end
  object Label1: TLabel
    Left = 142
    Top = 101
    Width = 21
    Height = 13
    Caption = 'Pos:'
  end
  object Button1: TButton
    Left = 16
    Top = 16
    Width = 81
    Height = 25
    Caption = 'Open Device'
    TabOrder = 0
    OnClick = Click
  end
  object Edit1: TEdit
    Left = 112
    Top = 19
    Width = 113
    Height = 21
    TabOrder = 1
    Text = 'typed'
    OnEnter = Enter
  end
  object cbChan: TComboBox
    Left = 16
    Top = 98
    Width = 113
    Height = 21
    Style = csDropDownList
    ItemHeight = 13
    ItemIndex = 2
    TabOrder = 2
    OnChange = Change
    Items.Strings = (
      'CHAN 1'
      'CHAN 2'
      'CHAN 3'
      'ALL')
  end
  object Probe1: TOrderProbe
    Left = 176
    Top = 98
    Width = 81
    Height = 19
    TabOrder = 3
    High = 100
    Low = -100
    Value = 5
  end
  object Timer1: TTimer
    Interval = 100
    Left = -8
    Top = 8
  end
end
)";

TEST(FormReader, BuildsTheFormWithPropertiesInOrder) {
  std::unique_ptr<TReadForm> f(NewFormFromText<TReadForm>(nullptr, kReadForm, "read.dfm"));
  EXPECT_EQ(f->Name, "Form1");
  EXPECT_EQ(f->Caption, "Quodrix Test");
  EXPECT_EQ(f->Left, 398);
  EXPECT_EQ(f->Top, 415);
  EXPECT_EQ(f->Width, 594);
  EXPECT_EQ(f->Height, 308);
  EXPECT_EQ(f->ClientWidth, 586) << "4 px frame left and right";
  EXPECT_EQ(f->ClientHeight, 281) << "4 + 19 px on top, 4 px below";
  EXPECT_EQ(VclWidget(f.get())->size(), QSize(586, 281));
  EXPECT_EQ(f->Log, std::vector<String>{"create Form1"});
  EXPECT_TRUE(f->ControlsExistedAtCreate) << "OnCreate runs after every control is built";

  EXPECT_EQ(VclWidget(f->Button1)->geometry(), QRect(16, 16, 81, 25));
  EXPECT_EQ(VclWidget(f->Button1)->parentWidget(), VclWidget(f.get()));
  EXPECT_EQ(f->Button1->Caption, "Open Device");
  EXPECT_EQ(f->Edit1->Text, "typed");
  EXPECT_EQ(f->Label1->Caption, "Pos:");
  EXPECT_EQ(VclWidget(f->Bevel1)->geometry(), QRect(16, 80, 553, 2));
  EXPECT_EQ(f->cbChan->Items->Count, 4);
  EXPECT_EQ(f->cbChan->ItemIndex, 2) << "ItemIndex given before Items still applies";
  EXPECT_EQ(f->cbChan->Text, "CHAN 3");
  EXPECT_EQ(f->cbChan->Style, csDropDownList);
  EXPECT_EQ(f->Timer1->Interval, 100u);
  EXPECT_EQ(f->Probe1->Order, (std::vector<String>{"High", "Low", "Value", "Loaded"}));
  EXPECT_EQ(f->Probe1->Low, -100);
  EXPECT_EQ(f->FindComponent("probe1"), f->Probe1);

  // 11-px characters in the platform's sans-serif face.
  QFont font = VclWidget(f->Label1)->font();
  EXPECT_EQ(font.pixelSize(), 11);
  EXPECT_EQ(font.styleHint(), QFont::SansSerif);
  EXPECT_EQ(f->Label1->Font->Height, -11) << "controls follow the form's font";
  EXPECT_FALSE(QFontInfo(font).family().isEmpty());

  f->Button1->Click();
  EXPECT_EQ(f->Log.back(), "click Button1") << "OnClick bound by name";
}

struct ErrorCase {
  const char* what;
  const char* description;
  const char* message;  // a part of the exception's message
};

class TErrForm : public TLogForm {
 public:
  explicit TErrForm(TComponent* AOwner) : TLogForm(AOwner) {}
  TButton* Button1 = nullptr;
  static const TFormTable& FormTable() {
    static TFormTable t = [] {
      TFormTable table("TErrForm");
      table.Field("Button1", &TErrForm::Button1);
      return AddHandlers(table);
    }();
    return t;
  }
};

TEST(FormReader, MismatchesFailAtCreationWithAClearMessage) {
  const ErrorCase cases[] = {
      {"unknown class", "object F: TErrForm\n object Button1: TNoSuch\n end\nend",
       "err.dfm(2): form TErrForm, component Button1 (TNoSuch): class TNoSuch not found"},
      {"unknown property", "object F: TErrForm\n object Button1: TButton\n  Captoin = 'x'\n end\nend",
       "err.dfm(3): form TErrForm, component Button1 (TButton), property Captoin: no such property in TButton"},
      {"missing handler", "object F: TErrForm\n object Button1: TButton\n  OnClick = Clik\n end\nend",
       "err.dfm(3): form TErrForm, component Button1 (TButton), property OnClick: TErrForm has no handler Clik"},
      {"handler of another signature",
       "object F: TErrForm\n object Button1: TButton\n  OnClick = CloseHandler\n end\nend",
       "property OnClick: handler 'CloseHandler' (TObject*, TCloseAction&) does not fit event OnClick (TObject*)"},
      {"field without component", "object F: TErrForm\nend",
       "err.dfm: form TErrForm: field Button1 (TButton) has no component in the description"},
      {"field of another class", "object F: TErrForm\n object Button1: TEdit\n end\nend",
       "component Button1 (TEdit): field Button1 is of class TButton, the component is TEdit"},
      {"bad value", "object F: TErrForm\n object Button1: TButton\n  Caption = 12\n end\nend",
       "property Caption: expected a string, found integer"},
      {"bad enumerator",
       "object F: TErrForm\n object Button1: TButton\n end\n object C: TComboBox\n  Style = csWrong\n end\nend",
       "err.dfm(5): form TErrForm, component C (TComboBox), property Style: invalid value 'csWrong'"},
      {"form property", "object F: TErrForm\n OldCreateOrder = True\n object Button1: TButton\n end\nend",
       "err.dfm(2): form TErrForm, property OldCreateOrder: only OldCreateOrder = False is supported"},
      {"form handler", "object F: TErrForm\n OnCreate = Missing\n object Button1: TButton\n end\nend",
       "property OnCreate: TErrForm has no handler Missing"},
      {"other form class", "object F: TOtherForm\nend", "the description is of class TOtherForm, the form is TErrForm"},
      {"duplicate name", "object F: TErrForm\n object Button1: TButton\n end\n object Button1: TButton\n end\nend",
       "a component named Button1 already exists"},
      {"syntax", "object F: TErrForm\n object Button1: TButton\n", "err.dfm(3): missing 'end' of object Button1"},
      {"out of range", "object F: TErrForm\n object Button1: TButton\n  Left = 99999999999\n end\nend",
       "property Left: integer 99999999999 out of range"},
      {"control inside a label",
       "object F: TErrForm\n object L: TLabel\n  object Button1: TButton\n  end\n end\nend", "L cannot hold controls"},
      {"form as child", "object F: TErrForm\n object Button1: TButton\n end\n object G: TForm\n end\nend",
       "class TForm cannot be created from a description"},
  };
  for (const ErrorCase& c : cases) {
    try {
      delete NewFormFromText<TErrForm>(nullptr, c.description, "err.dfm");
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const EReadError& e) {
      EXPECT_NE(e.Message.find(c.message), String::npos) << c.what << ": " << e.Message;
    }
  }
}

TEST(FormReader, RegisteredDescriptionIsFoundByClassName) {
  String text, source;
  ASSERT_TRUE(FindFormDescription("TMainTestForm", text, source));
  EXPECT_EQ(source, "TestMain.dfm");
  EXPECT_FALSE(FindFormDescription("TNobody", text, source));
}

class TNoDescriptionForm : public TForm {
 public:
  explicit TNoDescriptionForm(TComponent* AOwner) : TForm(AOwner) {}
  static const TFormTable& FormTable() {
    static TFormTable t("TNoDescriptionForm");
    return t;
  }
};

TEST(FormReader, MissingDescriptionIsAnError) {
  try {
    delete NewForm<TNoDescriptionForm>(nullptr);
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message, "No form description for class TNoDescriptionForm");
  }
}

}  // namespace
