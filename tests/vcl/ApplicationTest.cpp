// The application object: CreateForm from the registered description, Run
// until the main form closes, ExeName.
#include <QPointer>

#include "VclTestSupport.h"

namespace {

class TMainTestForm;
TMainTestForm* MainTest = nullptr;

class TMainTestForm : public TForm {
 public:
  explicit TMainTestForm(TComponent* AOwner) : TForm(AOwner) {}
  TButton* Button1 = nullptr;
  TTimer* Timer1 = nullptr;
  static std::vector<String> Log;
  static bool ThrowInCreate;
  static int ClosesRefused;
  void FormCreate(TObject*) {
    Log.push_back(MainTest == this ? "create, reference set" : "create, no reference");
    if (ThrowInCreate) throw Exception("settings unreadable");
  }
  void FormClose(TObject*, TCloseAction& Action) {
    Log.push_back(Action == caHide ? "close caHide" : "close other");
    if (ClosesRefused > 0) {
      --ClosesRefused;
      Action = caNone;
    }
  }
  void Button1Click(TObject*) { Close(); }
  void Timer1Timer(TObject*) { Button1->Click(); }
  static const TFormTable& FormTable() {
    static const TFormTable t = TFormTable("TMainTestForm")
                                    .Field("Button1", &TMainTestForm::Button1)
                                    .Field("Timer1", &TMainTestForm::Timer1)
                                    .Handler("FormCreate", &TMainTestForm::FormCreate)
                                    .Handler("FormClose", &TMainTestForm::FormClose)
                                    .Handler("Button1Click", &TMainTestForm::Button1Click)
                                    .Handler("Timer1Timer", &TMainTestForm::Timer1Timer);
    return t;
  }
};
std::vector<String> TMainTestForm::Log;
bool TMainTestForm::ThrowInCreate = false;
int TMainTestForm::ClosesRefused = 0;

TEST(Application, RunsUntilTheMainFormCloses) {
  TMainTestForm::Log.clear();
  TMainTestForm::ClosesRefused = 1;
  Application->CreateForm(MainTest);
  ASSERT_NE(MainTest, nullptr);
  EXPECT_EQ(Application->MainForm.Get(), MainTest);
  EXPECT_EQ(MainTest->Caption, "Main test");
  QPointer<QWidget> window = VclWidget(MainTest);
  Application->Run();  // the timer presses "Exit"; the first close is refused
  EXPECT_EQ(TMainTestForm::Log,
            (std::vector<String>{"create, reference set", "close caHide", "close caHide"}));
  EXPECT_TRUE(Application->Terminated);
  EXPECT_TRUE(window.isNull()) << "Run frees the forms";
  EXPECT_EQ(Application->MainForm.Get(), nullptr);
}

TEST(Application, ExceptionInOnCreateIsShownAndTheFormStays) {
  TBoxRecorder boxes;
  TMainTestForm::ThrowInCreate = true;
  MainTest = nullptr;
  Application->CreateForm(MainTest);
  TMainTestForm::ThrowInCreate = false;
  ASSERT_NE(MainTest, nullptr);
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].Text, "settings unreadable.");
  delete MainTest;
  EXPECT_EQ(Application->MainForm.Get(), nullptr);
}

class TUnknownForm : public TForm {
 public:
  explicit TUnknownForm(TComponent* AOwner) : TForm(AOwner) {}
  static const TFormTable& FormTable() {
    static const TFormTable t("TUnknownForm");
    return t;
  }
};

TEST(Application, CreateFormWithoutDescriptionFails) {
  TUnknownForm* f = reinterpret_cast<TUnknownForm*>(1);
  EXPECT_THROW(Application->CreateForm(f), EReadError);
  EXPECT_EQ(f, nullptr);
  EXPECT_EQ(Application->MainForm.Get(), nullptr);
}

TEST(Application, ExeNameIsTheRunningExecutable) {
  const String exe = Application->ExeName;
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.front(), '/');
  EXPECT_EQ(ExtractFileName(exe), "vcl_tests");
  EXPECT_EQ(ChangeFileExt(exe, ".ini"), ExtractFilePath(exe) + "vcl_tests.ini");
  EXPECT_EQ(Application->Title, "vcl_tests");
  Application->SetExeName("/tmp/elsewhere/quodrix");
  EXPECT_EQ(Application->ExeName, "/tmp/elsewhere/quodrix");
  Application->SetExeName(exe);
}

}  // namespace
