#include "Main.h"

#include <cmath>
#include <limits>
#include <memory>

#include <qdxlink.h>
#include <vcl/Dialogs.h>
#include <vcl/IniFiles.h>
#include <vcl/SysUtils.h>

#include "Control.h"

TForm1* Form1 = nullptr;

namespace {

constexpr std::uint8_t AllChannels = 7;

// Initialisation sent to every channel after a successful open.
constexpr std::int32_t InitStepMode = 7;  // the index of "1/128"
constexpr double InitFullStepSpeed = 15000;  // steps/s
constexpr double InitMaxSpeed = 15000;       // steps/s
constexpr double InitAcc = 1000;             // steps/s^2
constexpr double InitDec = 1000;             // steps/s^2
constexpr std::int32_t InitConfig = 0x1E00;

constexpr double HomingSpeed = 50;  // steps/s
constexpr std::int32_t StatusSwitchFlag = 0x0004;

// Toward zero, as a 32-bit integer. The position edits keep their values
// far inside that range; the saturation only keeps the conversion defined.
std::int32_t TruncToInt32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(x);
}

String SettingsFileName() { return ChangeFileExt(Application->ExeName, ".ini"); }

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {}

TForm1::~TForm1() = default;

const TFormTable& TForm1::FormTable() {
  static const TFormTable table = TFormTable("TForm1")
                                      .Field("Button1", &TForm1::Button1)
                                      .Field("Edit1", &TForm1::Edit1)
                                      .Field("Button2", &TForm1::Button2)
                                      .Field("Button5", &TForm1::Button5)
                                      .Field("Edit2", &TForm1::Edit2)
                                      .Field("Button6", &TForm1::Button6)
                                      .Field("Bevel1", &TForm1::Bevel1)
                                      .Field("feAbsPos", &TForm1::feAbsPos)
                                      .Field("btSetPower", &TForm1::btSetPower)
                                      .Field("feVcc", &TForm1::feVcc)
                                      .Field("btGetVcc", &TForm1::btGetVcc)
                                      .Field("btGetAbsPos", &TForm1::btGetAbsPos)
                                      .Field("btClrAbsPos", &TForm1::btClrAbsPos)
                                      .Field("btRunF", &TForm1::btRunF)
                                      .Field("btRunR", &TForm1::btRunR)
                                      .Field("btSoftStop", &TForm1::btSoftStop)
                                      .Field("btHardStop", &TForm1::btHardStop)
                                      .Field("btGoTo1", &TForm1::btGoTo1)
                                      .Field("Timer1", &TForm1::Timer1)
                                      .Field("cbChan", &TForm1::cbChan)
                                      .Field("Label1", &TForm1::Label1)
                                      .Field("fePos1", &TForm1::fePos1)
                                      .Field("fePower", &TForm1::fePower)
                                      .Field("Label2", &TForm1::Label2)
                                      .Field("feSpeed", &TForm1::feSpeed)
                                      .Field("Label3", &TForm1::Label3)
                                      .Field("cbStepMode", &TForm1::cbStepMode)
                                      .Field("Label4", &TForm1::Label4)
                                      .Field("Label5", &TForm1::Label5)
                                      .Field("btGoTo2", &TForm1::btGoTo2)
                                      .Field("fePos2", &TForm1::fePos2)
                                      .Field("Label6", &TForm1::Label6)
                                      .Field("btGoTo3", &TForm1::btGoTo3)
                                      .Field("fePos3", &TForm1::fePos3)
                                      .Field("Label7", &TForm1::Label7)
                                      .Field("btGoTo4", &TForm1::btGoTo4)
                                      .Field("fePos4", &TForm1::fePos4)
                                      .Field("Label8", &TForm1::Label8)
                                      .Field("btBase", &TForm1::btBase)
                                      .Field("Label9", &TForm1::Label9)
                                      .Field("Label10", &TForm1::Label10)
                                      .Field("feHold", &TForm1::feHold)
                                      .Field("Label11", &TForm1::Label11)
                                      .Field("Label12", &TForm1::Label12)
                                      .Field("feAcc", &TForm1::feAcc)
                                      .Handler("FormCreate", &TForm1::FormCreate)
                                      .Handler("FormClose", &TForm1::FormClose)
                                      .Handler("Button1Click", &TForm1::Button1Click)
                                      .Handler("Button6Click", &TForm1::Button6Click)
                                      .Handler("Button2Click", &TForm1::Button2Click)
                                      .Handler("Button5Click", &TForm1::Button5Click)
                                      .Handler("Timer1Timer", &TForm1::Timer1Timer)
                                      .Handler("cbChanChange", &TForm1::cbChanChange)
                                      .Handler("btGetVccClick", &TForm1::btGetVccClick)
                                      .Handler("btClrAbsPosClick", &TForm1::btClrAbsPosClick)
                                      .Handler("btGoTo1Click", &TForm1::btGoTo1Click)
                                      .Handler("btGoTo2Click", &TForm1::btGoTo2Click)
                                      .Handler("btGoTo3Click", &TForm1::btGoTo3Click)
                                      .Handler("btGoTo4Click", &TForm1::btGoTo4Click)
                                      .Handler("btRunFClick", &TForm1::btRunFClick)
                                      .Handler("btRunRClick", &TForm1::btRunRClick)
                                      .Handler("feSpeedChanged", &TForm1::feSpeedChanged)
                                      .Handler("btSoftStopClick", &TForm1::btSoftStopClick)
                                      .Handler("btHardStopClick", &TForm1::btHardStopClick)
                                      .Handler("btGetAbsPosClick", &TForm1::btGetAbsPosClick)
                                      .Handler("btSetPowerClick", &TForm1::btSetPowerClick)
                                      .Handler("btBaseClick", &TForm1::btBaseClick);
  return table;
}

// ---- connection -----------------------------------------------------------

void TForm1::FormCreate(TObject*) {
  // The state is set after the settings (the speed box's change handler
  // must find no run recorded while they load), and also when reading them
  // fails: a channel mask left at 0 would address no channel at all. The
  // failure itself goes on to the class library's error box.
  try {
    LoadSettings();
  } catch (...) {
    SetInitialState();
    throw;
  }
  SetInitialState();
}

void TForm1::SetInitialState() {
  // The channel mask starts at channel 1 whatever LoadSettings put into
  // cbChan; it follows the list from its next OnChange.
  FConnected = false;
  FChanMask = 1;
  FRunState = 0;
}

void TForm1::FormClose(TObject*, TCloseAction&) {
  SaveSettings();
  if (FConnected) HardHiZ(AllChannels);
  QDX_CloseDevice();
  FConnected = false;
}

void TForm1::Button1Click(TObject*) {
  if (!QDX_OpenDevice()) {
    Edit1->Text = "Error.";
    FConnected = false;
    return;
  }
  SetStepMode(AllChannels, InitStepMode);
  SetFullStepSpeed(AllChannels, InitFullStepSpeed);
  SetMaxSpeed(AllChannels, InitMaxSpeed);
  SetAcc(AllChannels, InitAcc);
  SetDec(AllChannels, InitDec);
  SetConfig(AllChannels, InitConfig);
  SetHoldPower(AllChannels, feHold->Value);
  SetRunPower(AllChannels, fePower->Value);
  SetAccPower(AllChannels, feAcc->Value);
  SetDecPower(AllChannels, feAcc->Value);  // one edit for both: "Acc/Dec:"
  GetStatus(1);                            // clears each driver's latched flags
  GetStatus(2);
  GetStatus(4);
  HardStop(AllChannels);
  Edit1->Text = "Quodrix connected.";
  FConnected = true;
}

void TForm1::Button6Click(TObject*) {
  HardHiZ(AllChannels);
  const char* serial = nullptr;
  QDX_GetSN(&serial);
  Edit2->SetTextBuf(serial);  // copies: the library owns and reuses the buffer
}

void TForm1::Button2Click(TObject*) {
  QDX_CloseDevice();
  Edit1->Text = "";
  Edit2->Text = "";
  FConnected = false;
}

void TForm1::Button5Click(TObject*) { Close(); }

void TForm1::Timer1Timer(TObject*) {
  if (!FConnected) return;
  const std::int32_t position = GetAbsPos(FChanMask);
  // Single precision holds every 22-bit position exactly.
  feAbsPos->Value = static_cast<double>(static_cast<float>(position));
}

void TForm1::cbChanChange(TObject*) {
  switch (cbChan->ItemIndex) {
    case 0: FChanMask = 1; break;
    case 1: FChanMask = 2; break;
    case 2: FChanMask = 4; break;
    case 3: FChanMask = 7; break;
    default: break;
  }
}

void TForm1::btGetVccClick(TObject*) {
  const double volts = GetVcc(FChanMask);
  feVcc->Value = static_cast<double>(static_cast<float>(volts));
}

// ---- motion and power -----------------------------------------------------

void TForm1::btClrAbsPosClick(TObject*) {
  SetAbsPos(FChanMask, 0);
  feAbsPos->Value = GetAbsPos(FChanMask);
}

void TForm1::GoToPosition(const TFloatEdit* PositionEdit) {
  SetMaxSpeed(FChanMask, feSpeed->Value);
  GoTo(FChanMask, TruncToInt32(PositionEdit->Value));
}

void TForm1::btGoTo1Click(TObject*) { GoToPosition(fePos1); }
void TForm1::btGoTo2Click(TObject*) { GoToPosition(fePos2); }
void TForm1::btGoTo3Click(TObject*) { GoToPosition(fePos3); }
void TForm1::btGoTo4Click(TObject*) { GoToPosition(fePos4); }

void TForm1::btRunFClick(TObject*) {
  SetStepMode(FChanMask, cbStepMode->ItemIndex);
  Run(FChanMask, true, feSpeed->Value);
  FRunState = 1;
}

void TForm1::btRunRClick(TObject*) {
  SetStepMode(FChanMask, cbStepMode->ItemIndex);
  Run(FChanMask, false, feSpeed->Value);
  FRunState = 2;
}

void TForm1::feSpeedChanged(TObject*) {
  if (FRunState == 1)
    Run(FChanMask, true, feSpeed->Value);
  else if (FRunState == 2)
    Run(FChanMask, false, feSpeed->Value);
}

void TForm1::btSoftStopClick(TObject*) {
  SoftStop(FChanMask);
  FRunState = 0;
}

void TForm1::btHardStopClick(TObject*) {
  HardStop(FChanMask);
  FRunState = 0;
}

void TForm1::btGetAbsPosClick(TObject*) {
  HardHiZ(FChanMask);
  FRunState = 0;
}

void TForm1::btSetPowerClick(TObject*) {
  SetHoldPower(FChanMask, feHold->Value);
  SetRunPower(FChanMask, fePower->Value);
  SetAccPower(FChanMask, feAcc->Value);
  SetDecPower(FChanMask, feAcc->Value);
}

void TForm1::btBaseClick(TObject*) {
  if (GetStatusReg(FChanMask) & StatusSwitchFlag)
    ReleaseSw(FChanMask, false, false);
  else
    GoUntil(FChanMask, false, true, HomingSpeed);
}

// ---- settings file --------------------------------------------------------

void TForm1::LoadSettings() {
  auto ini = std::make_unique<TMemIniFile>(SettingsFileName());
  Left = ini->ReadInteger("General", "Left", Left);
  Top = ini->ReadInteger("General", "Top", Top);
  cbChan->ItemIndex = ini->ReadInteger("Settings", "Channel", cbChan->ItemIndex);
  cbStepMode->ItemIndex = ini->ReadInteger("Settings", "Step", cbStepMode->ItemIndex);
  feHold->Value = ini->ReadFloat("Current", "Hold", feHold->Value);
  feAcc->Value = ini->ReadFloat("Current", "Acc", feAcc->Value);
  fePower->Value = ini->ReadFloat("Current", "Power", fePower->Value);
  feSpeed->Value = ini->ReadFloat("Speed", "Speed1", feSpeed->Value);
  fePos1->Value = ini->ReadFloat("Position", "Pos1", fePos1->Value);
  fePos2->Value = ini->ReadFloat("Position", "Pos2", fePos2->Value);
  fePos3->Value = ini->ReadFloat("Position", "Pos3", fePos3->Value);
  fePos4->Value = ini->ReadFloat("Position", "Pos4", fePos4->Value);
}

void TForm1::SaveSettings() {
  // A save first reads the existing file. If that fails the settings cannot
  // be written either; report it like a failed write so that the window
  // still closes and the device is still released.
  std::unique_ptr<TMemIniFile> ini;
  try {
    ini = std::make_unique<TMemIniFile>(SettingsFileName());
  } catch (const Exception& E) {
    MessageDlg(E.Message, mtError, TMsgDlgButtons() << mbOK, 0);
    return;
  }
  ini->WriteInteger("General", "Left", Left);
  ini->WriteInteger("General", "Top", Top);
  ini->WriteInteger("Settings", "Channel", cbChan->ItemIndex);
  ini->WriteInteger("Settings", "Step", cbStepMode->ItemIndex);
  ini->WriteFloat("Current", "Hold", feHold->Value);
  ini->WriteFloat("Current", "Acc", feAcc->Value);
  ini->WriteFloat("Current", "Power", fePower->Value);
  ini->WriteFloat("Speed", "Speed1", feSpeed->Value);
  ini->WriteFloat("Position", "Pos1", fePos1->Value);
  ini->WriteFloat("Position", "Pos2", fePos2->Value);
  ini->WriteFloat("Position", "Pos3", fePos3->Value);
  ini->WriteFloat("Position", "Pos4", fePos4->Value);
  try {
    ini->UpdateFile();
  } catch (const Exception& E) {
    MessageDlg(E.Message, mtError, TMsgDlgButtons() << mbOK, 0);
  }
}
