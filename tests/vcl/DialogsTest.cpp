// Message boxes: the real modal box, answered by the test, and the hook.
#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

#include "VclTestSupport.h"

namespace {

struct SeenBox {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title, text;
  QStringList buttons;
};

// Waits for the modal box, notes what it shows and presses the button
// labelled Press.
void AnswerBox(SeenBox* Seen, const QString& Press) {
  QTimer::singleShot(10, qApp, [Seen, Press] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return AnswerBox(Seen, Press);
    Seen->icon = box->icon();
    Seen->title = box->windowTitle();
    Seen->text = box->text();
    for (QAbstractButton* b : box->buttons()) {
      Seen->buttons << b->text();
      if (b->text() == Press) b->click();
    }
  });
}

TEST(Dialogs, MessageDlgShowsAModalErrorBoxWithOneOk) {
  SeenBox seen;
  AnswerBox(&seen, "OK");
  EXPECT_EQ(MessageDlg("Cannot create file /x/y.ini", mtError, TMsgDlgButtons() << mbOK, 0), mrOk);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.title, "Error");
  EXPECT_EQ(seen.text, "Cannot create file /x/y.ini");
  EXPECT_EQ(seen.buttons, QStringList{"OK"});
}

TEST(Dialogs, MessageDlgReturnsThePressedButton) {
  SeenBox seen;
  AnswerBox(&seen, "No");
  EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, TMsgDlgButtons() << mbYes << mbNo, 0), mrNo);
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.title, "Confirm");
  EXPECT_EQ(seen.buttons.size(), 2);
}

TEST(Dialogs, HookAnswersEveryBox) {
  TBoxRecorder boxes(mrCancel);
  EXPECT_EQ(MessageDlg("m", mtWarning, TMsgDlgButtons() << mbOK << mbCancel, 0), mrCancel);
  ShowMessage("hello");
  Exception e("Failure.");
  Application->ShowException(&e);
  try {
    throw std::runtime_error("std failure");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  try {
    throw 42;
  } catch (...) {
    Application->HandleException(nullptr);
  }
  ASSERT_EQ(boxes.Boxes.size(), 5u);
  EXPECT_EQ(boxes.Boxes[0].Caption, "Warning");
  EXPECT_TRUE(boxes.Boxes[0].Buttons.Contains(mbCancel));
  EXPECT_EQ(boxes.Boxes[1].Caption, Application->Title.Get());
  EXPECT_EQ(boxes.Boxes[2].Text, "Failure.") << "no second period";
  EXPECT_EQ(boxes.Boxes[3].Text, "std failure.");
  EXPECT_EQ(boxes.Boxes[4].Text, "");
}

}  // namespace
