// Modal message boxes. GUI thread only.
#pragma once

#include <functional>

#include "vcl/Types.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
  mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

/// Results of a modal box: the button pressed.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrOK = mrOk;  // both spellings are in use
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;
constexpr TModalResult mrClose = 11;

/// Shows Msg in a modal box and waits until the user presses a button.
/// The caption follows DlgType: "Warning", "Error", "Information",
/// "Confirm", or the application title for mtCustom; the icon likewise.
/// One button per member of Buttons, labelled "Yes", "No", "OK", "Cancel",
/// "Abort", "Retry", "Ignore", "All", "No to All", "Yes to All", "Help",
/// "Close" (an empty set gives "OK"). Returns the pressed button's mrXxx.
/// Escape presses Cancel (else No, else a sole button); a box closed some
/// other way gives mrCancel. HelpCtx is ignored.
int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
/// MessageDlg(Msg, mtCustom, {mbOK}, 0).
void ShowMessage(const String& Msg);

/// A message box the layer is about to show.
struct TMessageBoxRequest {
  String Caption;
  String Text;
  TMsgDlgType Type = mtError;
  TMsgDlgButtons Buttons;
};
/// Test hook: when set, every box of MessageDlg, ShowMessage and
/// Application->ShowException calls Hook instead of showing a window, and
/// returns what Hook returns. Returns the hook it replaces; pass nullptr to
/// show real boxes again.
using TMessageBoxHook = std::function<int(const TMessageBoxRequest& Request)>;
TMessageBoxHook SetMessageBoxHook(TMessageBoxHook Hook);
