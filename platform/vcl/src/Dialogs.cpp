// Message boxes.
#include "vcl/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "MessageBox.h"
#include "QtBridge.h"

using namespace vcl_detail;

namespace {

TMessageBoxHook& Hook() {
  static TMessageBoxHook hook;
  return hook;
}

struct TButtonInfo {
  TMsgDlgBtn Button;
  const char* Text;
  QMessageBox::ButtonRole Role;
  int Result;
};

constexpr TButtonInfo kButtons[] = {
    {mbYes, "Yes", QMessageBox::YesRole, mrYes},
    {mbNo, "No", QMessageBox::NoRole, mrNo},
    {mbOK, "OK", QMessageBox::AcceptRole, mrOk},
    {mbCancel, "Cancel", QMessageBox::RejectRole, mrCancel},
    {mbAbort, "Abort", QMessageBox::RejectRole, mrAbort},
    {mbRetry, "Retry", QMessageBox::AcceptRole, mrRetry},
    {mbIgnore, "Ignore", QMessageBox::AcceptRole, mrIgnore},
    {mbAll, "All", QMessageBox::YesRole, mrAll},
    {mbNoToAll, "No to All", QMessageBox::NoRole, mrNoToAll},
    {mbYesToAll, "Yes to All", QMessageBox::YesRole, mrYesToAll},
    {mbHelp, "Help", QMessageBox::HelpRole, mrNone},
    {mbClose, "Close", QMessageBox::RejectRole, mrClose},
};

}  // namespace

TMessageBoxHook SetMessageBoxHook(TMessageBoxHook NewHook) {
  TMessageBoxHook old = std::move(Hook());
  Hook() = std::move(NewHook);
  return old;
}

namespace vcl_detail {

int ShowMessageBox(const TMessageBoxRequest& Request) {
  if (Hook()) return Hook()(Request);
  EnsureQtApplication();
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (Request.Type) {
    case mtWarning: icon = QMessageBox::Warning; break;
    case mtError: icon = QMessageBox::Critical; break;
    case mtInformation: icon = QMessageBox::Information; break;
    case mtConfirmation: icon = QMessageBox::Question; break;
    case mtCustom: break;
  }
  QMessageBox box(icon, ToQ(Request.Caption), ToQ(Request.Text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  TMsgDlgButtons buttons = Request.Buttons.Empty() ? TMsgDlgButtons{mbOK} : Request.Buttons;
  std::vector<std::pair<QAbstractButton*, int>> results;
  QAbstractButton* escape = nullptr;
  for (const TButtonInfo& b : kButtons) {
    if (!buttons.Contains(b.Button)) continue;
    QPushButton* pb = box.addButton(QString::fromUtf8(b.Text), b.Role);
    results.emplace_back(pb, b.Result);
    if (b.Button == mbCancel || (b.Button == mbNo && !buttons.Contains(mbCancel))) escape = pb;
    if (!box.defaultButton()) box.setDefaultButton(pb);
  }
  if (!escape && results.size() == 1) escape = results.front().first;
  if (escape) box.setEscapeButton(escape);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  for (const auto& [button, result] : results)
    if (button == clicked) return result;
  return mrCancel;
}

}  // namespace vcl_detail

int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  static const char* const captions[] = {"Warning", "Error", "Information", "Confirm", ""};
  TMessageBoxRequest r;
  r.Caption = DlgType == mtCustom ? Application->GetTitle() : String(captions[DlgType]);
  r.Text = Msg;
  r.Type = DlgType;
  r.Buttons = Buttons;
  return ShowMessageBox(r);
}

void ShowMessage(const String& Msg) { MessageDlg(Msg, mtCustom, TMsgDlgButtons{mbOK}, 0); }
