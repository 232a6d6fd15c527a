// Shared helpers of the widget tests.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <memory>

#include "vcl/QtAccess.h"
#include "vcl/vcl.h"

/// A form whose handlers write what happened into Log ("click Button1").
class TLogForm : public TForm {
 public:
  explicit TLogForm(TComponent* AOwner) : TForm(AOwner) {}
  std::vector<String> Log;

  void Record(const String& What, TObject* Sender) {
    auto* c = dynamic_cast<TComponent*>(Sender);
    Log.push_back(What + " " + (c ? c->GetName() : String("?")));
  }
  void ClickHandler(TObject* Sender) { Record("click", Sender); }
  void Enter(TObject* Sender) { Record("enter", Sender); }
  void Exit(TObject* Sender) { Record("exit", Sender); }
  void Change(TObject* Sender) { Record("change", Sender); }
  void Create(TObject* Sender) { Record("create", Sender); }
  void CloseHandler(TObject* Sender, TCloseAction& Action) {
    Record(Action == caHide ? "close(caHide)" : "close(other)", Sender);
    Action = NextCloseAction;
  }
  void Key(TObject* Sender, Word& AKey, TShiftState Shift) {
    Record("key " + std::to_string(AKey) + (Shift.Contains(ssShift) ? "+shift" : ""), Sender);
    if (AKey == SwallowKey) AKey = 0;
  }
  TCloseAction NextCloseAction = caHide;
  Word SwallowKey = 0xFFFF;

  /// Adds the handlers above to a table.
  static TFormTable& AddHandlers(TFormTable& T) {
    return T.Handler("Click", &TLogForm::ClickHandler)
        .Handler("Enter", &TLogForm::Enter)
        .Handler("Exit", &TLogForm::Exit)
        .Handler("Change", &TLogForm::Change)
        .Handler("Create", &TLogForm::Create)
        .Handler("CloseHandler", &TLogForm::CloseHandler)
        .Handler("Key", &TLogForm::Key);
  }
};

/// Runs the event loop until Done() holds or TimeoutMs pass; Done()'s last
/// answer. (QTRY_* report to QtTest, not to GoogleTest.)
template <class F>
bool WaitFor(F Done, int TimeoutMs = 10000) {
  QElapsedTimer t;
  t.start();
  while (!Done()) {
    if (t.elapsed() > TimeoutMs) return Done();
    QTest::qWait(5);
  }
  return true;
}

/// Shows Form and makes its window the active one.
inline void ShowActive(TForm* Form) {
  Form->Show();
  QWidget* w = VclWidget(Form);
  QApplication::setActiveWindow(w);
  ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

/// Records every message box instead of showing it; answers Answer.
class TBoxRecorder {
 public:
  explicit TBoxRecorder(int Answer = mrOk) {
    FOld = SetMessageBoxHook([this, Answer](const TMessageBoxRequest& r) {
      Boxes.push_back(r);
      return Answer;
    });
  }
  ~TBoxRecorder() { SetMessageBoxHook(FOld); }
  std::vector<TMessageBoxRequest> Boxes;

 private:
  TMessageBoxHook FOld;
};
