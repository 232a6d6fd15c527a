// The test panel's window: connection, channel selection, position poll,
// motion and power controls, and the settings file beside the executable.
//
// Every handler runs on the GUI thread from the window's event loop. The
// handlers call the command layer (Control.h) and, for opening, closing and
// the serial number, the link library directly; no result except that of
// QDX_OpenDevice is examined.
#pragma once

#include <cstdint>

#include <vcl/ExtCtrls.h>
#include <vcl/Forms.h>
#include <vcl/StdCtrls.h>

#include "Floatedit.h"

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* AOwner);
  ~TForm1() override;

  // Components, created by the form description (Main.dfm).
  TButton* Button1 = nullptr;      // "Open Device"
  TEdit* Edit1 = nullptr;          // connection message
  TButton* Button2 = nullptr;      // "Close Device"
  TButton* Button5 = nullptr;      // "Exit"
  TEdit* Edit2 = nullptr;          // serial number
  TButton* Button6 = nullptr;      // "Get SN"
  TBevel* Bevel1 = nullptr;
  TFloatEdit* feAbsPos = nullptr;  // live position, steps
  TButton* btSetPower = nullptr;
  TFloatEdit* feVcc = nullptr;     // supply, volts
  TButton* btGetVcc = nullptr;
  TButton* btGetAbsPos = nullptr;  // captioned "HardHiZ": the high-impedance stop
  TButton* btClrAbsPos = nullptr;
  TButton* btRunF = nullptr;
  TButton* btRunR = nullptr;
  TButton* btSoftStop = nullptr;
  TButton* btHardStop = nullptr;
  TButton* btGoTo1 = nullptr;
  TTimer* Timer1 = nullptr;        // 100 ms position poll
  TComboBox* cbChan = nullptr;
  TLabel* Label1 = nullptr;
  TFloatEdit* fePos1 = nullptr;    // stored positions, steps
  TFloatEdit* fePower = nullptr;   // running power, percent
  TLabel* Label2 = nullptr;
  TFloatEdit* feSpeed = nullptr;   // steps/s
  TLabel* Label3 = nullptr;
  TComboBox* cbStepMode = nullptr; // item index = step mode
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;
  TButton* btGoTo2 = nullptr;
  TFloatEdit* fePos2 = nullptr;
  TLabel* Label6 = nullptr;
  TButton* btGoTo3 = nullptr;
  TFloatEdit* fePos3 = nullptr;
  TLabel* Label7 = nullptr;
  TButton* btGoTo4 = nullptr;
  TFloatEdit* fePos4 = nullptr;
  TLabel* Label8 = nullptr;
  TButton* btBase = nullptr;
  TLabel* Label9 = nullptr;
  TLabel* Label10 = nullptr;
  TFloatEdit* feHold = nullptr;    // holding power, percent
  TLabel* Label11 = nullptr;
  TLabel* Label12 = nullptr;
  TFloatEdit* feAcc = nullptr;     // accelerating and decelerating power, percent

  // Handlers, bound by name in the form description.
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Button1Click(TObject* Sender);
  void Button6Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button5Click(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void cbChanChange(TObject* Sender);
  void btGetVccClick(TObject* Sender);
  void btClrAbsPosClick(TObject* Sender);
  void btGoTo1Click(TObject* Sender);
  void btGoTo2Click(TObject* Sender);
  void btGoTo3Click(TObject* Sender);
  void btGoTo4Click(TObject* Sender);
  void btRunFClick(TObject* Sender);
  void btRunRClick(TObject* Sender);
  void feSpeedChanged(TObject* Sender);
  void btSoftStopClick(TObject* Sender);
  void btHardStopClick(TObject* Sender);
  void btGetAbsPosClick(TObject* Sender);
  void btSetPowerClick(TObject* Sender);
  void btBaseClick(TObject* Sender);

  /// Reads the settings file (the executable's path with ".ini") into the
  /// window position, the two lists and eight numeric edits. A missing file
  /// or key, or a value that does not convert, keeps what the control holds.
  void LoadSettings();
  /// Writes those values back into the settings file, keeping the file's
  /// other sections and keys. A failed write is shown in an error box, and
  /// the method returns normally.
  void SaveSettings();

  static const TFormTable& FormTable();

 private:
  void SetInitialState();
  void GoToPosition(const TFloatEdit* PositionEdit);

  bool FConnected = false;
  std::uint8_t FChanMask = 0;  // 1, 2, 4 or 7 once FormCreate has run
  std::int8_t FRunState = 0;   // 0 not running, 1 forward, 2 reverse
};

/// The window, created by the program's entry.
extern TForm1* Form1;
