// The program's own course: the application creates the window as its main
// form and runs the event loop until the window closes.
#include <sys/stat.h>

#include <QTimer>

#include "PanelFixture.h"

namespace {

class ProgramTest : public PanelTest {};

TEST_F(ProgramTest, ReadOnlySettingsShowOneErrorBoxThenTheProgramEnds) {
  WriteFile(IniPath(), SampleSettings);
  ASSERT_EQ(chmod(IniPath().c_str(), 0444), 0);

  Application->CreateForm(Form1);
  ASSERT_NE(Form1, nullptr);
  EXPECT_EQ(Application->MainForm.Get(), Form1);
  TButton* exitButton = Form1->Button5;
  QTimer::singleShot(300, [exitButton] { QTest::mouseClick(VclWidget(exitButton), Qt::LeftButton); });
  // Only a loop that never ends trips this.
  bool timedOut = false;
  QTimer::singleShot(30000, [&timedOut] {
    timedOut = true;
    Application->Terminate();
  });
  Application->Run();
  EXPECT_FALSE(timedOut);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, "Cannot create file " + IniPath().string());
  EXPECT_EQ(boxes[0].Type, mtError);
  EXPECT_TRUE(Same(calls, {fakeqdx::Named("CloseDevice")}));
  EXPECT_EQ(ReadFile(IniPath()), SampleSettings);
}

}  // namespace
