object Form1: TForm1
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
  OnClose = FormClose
  OnCreate = FormCreate
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
  object Label2: TLabel
    Left = 118
    Top = 205
    Width = 8
    Height = 13
    Caption = '%'
  end
  object Label3: TLabel
    Left = 376
    Top = 133
    Width = 34
    Height = 13
    Caption = 'Speed:'
  end
  object Label4: TLabel
    Left = 14
    Top = 205
    Width = 23
    Height = 13
    Caption = 'Run:'
  end
  object Label5: TLabel
    Left = 142
    Top = 141
    Width = 27
    Height = 13
    Caption = 'Pos1:'
  end
  object Label6: TLabel
    Left = 142
    Top = 173
    Width = 27
    Height = 13
    Caption = 'Pos2:'
  end
  object Label7: TLabel
    Left = 142
    Top = 205
    Width = 27
    Height = 13
    Caption = 'Pos3:'
  end
  object Label8: TLabel
    Left = 142
    Top = 237
    Width = 27
    Height = 13
    Caption = 'Pos4:'
  end
  object Label9: TLabel
    Left = 118
    Top = 141
    Width = 8
    Height = 13
    Caption = '%'
  end
  object Label10: TLabel
    Left = 14
    Top = 141
    Width = 25
    Height = 13
    Caption = 'Hold:'
  end
  object Label11: TLabel
    Left = 118
    Top = 173
    Width = 8
    Height = 13
    Caption = '%'
  end
  object Label12: TLabel
    Left = 6
    Top = 173
    Width = 47
    Height = 13
    Caption = 'Acc/Dec:'
  end
  object Button1: TButton
    Left = 16
    Top = 16
    Width = 81
    Height = 25
    Caption = 'Open Device'
    TabOrder = 0
    OnClick = Button1Click
  end
  object Edit1: TEdit
    Left = 112
    Top = 19
    Width = 113
    Height = 21
    TabOrder = 1
  end
  object Button2: TButton
    Left = 16
    Top = 48
    Width = 81
    Height = 25
    Caption = 'Close Device'
    TabOrder = 2
    OnClick = Button2Click
  end
  object Button5: TButton
    Left = 488
    Top = 48
    Width = 81
    Height = 25
    Caption = 'Exit'
    TabOrder = 3
    OnClick = Button5Click
  end
  object Edit2: TEdit
    Left = 336
    Top = 19
    Width = 65
    Height = 21
    TabOrder = 4
  end
  object Button6: TButton
    Left = 240
    Top = 16
    Width = 81
    Height = 25
    Caption = 'Get SN'
    TabOrder = 5
    OnClick = Button6Click
  end
  object feAbsPos: TFloatEdit
    Left = 176
    Top = 98
    Width = 81
    Height = 19
    AutoSize = False
    TabOrder = 6
    Format = ffFixed
    Digits = 0
    Precision = 9
    MinMaxCheck = True
    MinValue = -999999999
    MaxValue = 999999999
    Value = 0
    ValueVisible = True
  end
  object btSetPower: TButton
    Left = 16
    Top = 232
    Width = 113
    Height = 25
    Caption = 'Set Power'
    TabOrder = 7
    OnClick = btSetPowerClick
  end
  object feVcc: TFloatEdit
    Left = 336
    Top = 50
    Width = 65
    Height = 19
    AutoSize = False
    TabOrder = 8
    Format = ffFixed
    Digits = 1
    Precision = 9
    MinMaxCheck = True
    MinValue = -999999999
    MaxValue = 999999999
    Value = 0
    ValueVisible = True
  end
  object btGetVcc: TButton
    Left = 240
    Top = 48
    Width = 81
    Height = 25
    Caption = 'Get VCC'
    TabOrder = 9
    OnClick = btGetVccClick
  end
  object btGetAbsPos: TButton
    Left = 488
    Top = 232
    Width = 81
    Height = 25
    Caption = 'HardHiZ'
    TabOrder = 10
    OnClick = btGetAbsPosClick
  end
  object btClrAbsPos: TButton
    Left = 272
    Top = 96
    Width = 81
    Height = 25
    Caption = 'Clr Abs Pos'
    TabOrder = 11
    OnClick = btClrAbsPosClick
  end
  object btRunF: TButton
    Left = 488
    Top = 96
    Width = 81
    Height = 25
    Caption = 'Run ->'
    TabOrder = 12
    OnClick = btRunFClick
  end
  object btRunR: TButton
    Left = 488
    Top = 128
    Width = 81
    Height = 25
    Caption = 'Run <-'
    TabOrder = 13
    OnClick = btRunRClick
  end
  object btSoftStop: TButton
    Left = 488
    Top = 168
    Width = 81
    Height = 25
    Caption = 'SoftStop'
    TabOrder = 14
    OnClick = btSoftStopClick
  end
  object btHardStop: TButton
    Left = 488
    Top = 200
    Width = 81
    Height = 25
    Caption = 'HardStop'
    TabOrder = 15
    OnClick = btHardStopClick
  end
  object btGoTo1: TButton
    Left = 272
    Top = 136
    Width = 81
    Height = 25
    Caption = 'GoTo'
    TabOrder = 16
    OnClick = btGoTo1Click
  end
  object cbChan: TComboBox
    Left = 16
    Top = 98
    Width = 113
    Height = 21
    Style = csDropDownList
    ItemHeight = 13
    Items.Strings = (
      'CHAN 1'
      'CHAN 2'
      'CHAN 3'
      'ALL')
    ItemIndex = 0
    TabOrder = 17
    OnChange = cbChanChange
  end
  object fePos1: TFloatEdit
    Left = 176
    Top = 138
    Width = 81
    Height = 19
    AutoSize = False
    TabOrder = 18
    Format = ffFixed
    Digits = 0
    Precision = 9
    MinMaxCheck = True
    MinValue = -999999999
    MaxValue = 999999999
    Value = -500
    ValueVisible = True
  end
  object fePower: TFloatEdit
    Left = 56
    Top = 202
    Width = 57
    Height = 19
    AutoSize = False
    TabOrder = 19
    Format = ffFixed
    Digits = 1
    Precision = 9
    MinMaxCheck = True
    MinValue = 0
    MaxValue = 100
    Value = 25
    ValueVisible = True
  end
  object feSpeed: TFloatEdit
    Left = 416
    Top = 130
    Width = 57
    Height = 19
    AutoSize = False
    TabOrder = 20
    Format = ffFixed
    Digits = 1
    Precision = 9
    MinMaxCheck = True
    MinValue = 0
    MaxValue = 15625
    Value = 100
    ValueVisible = True
    OnChanged = feSpeedChanged
  end
  object cbStepMode: TComboBox
    Left = 376
    Top = 98
    Width = 97
    Height = 21
    Style = csDropDownList
    DropDownCount = 9
    ItemHeight = 13
    Items.Strings = (
      'FULL'
      'HALF'
      '1/4'
      '1/8'
      '1/16'
      '1/32'
      '1/64'
      '1/128'
      '')
    ItemIndex = 7
    TabOrder = 21
    OnChange = cbChanChange
  end
  object btGoTo2: TButton
    Left = 272
    Top = 168
    Width = 81
    Height = 25
    Caption = 'GoTo'
    TabOrder = 22
    OnClick = btGoTo2Click
  end
  object fePos2: TFloatEdit
    Left = 176
    Top = 170
    Width = 81
    Height = 19
    AutoSize = False
    TabOrder = 23
    Format = ffFixed
    Digits = 0
    Precision = 9
    MinMaxCheck = True
    MinValue = -999999999
    MaxValue = 999999999
    Value = -5000
    ValueVisible = True
  end
  object btGoTo3: TButton
    Left = 272
    Top = 200
    Width = 81
    Height = 25
    Caption = 'GoTo'
    TabOrder = 24
    OnClick = btGoTo3Click
  end
  object fePos3: TFloatEdit
    Left = 176
    Top = 202
    Width = 81
    Height = 19
    AutoSize = False
    TabOrder = 25
    Format = ffFixed
    Digits = 0
    Precision = 9
    MinMaxCheck = True
    MinValue = -999999999
    MaxValue = 999999999
    Value = -10000
    ValueVisible = True
  end
  object btGoTo4: TButton
    Left = 272
    Top = 232
    Width = 81
    Height = 25
    Caption = 'GoTo'
    TabOrder = 26
    OnClick = btGoTo4Click
  end
  object fePos4: TFloatEdit
    Left = 176
    Top = 234
    Width = 81
    Height = 19
    AutoSize = False
    TabOrder = 27
    Format = ffFixed
    Digits = 0
    Precision = 9
    MinMaxCheck = True
    MinValue = -999999999
    MaxValue = 999999999
    Value = -18000
    ValueVisible = True
  end
  object btBase: TButton
    Left = 376
    Top = 160
    Width = 97
    Height = 25
    Caption = 'Base'
    TabOrder = 28
    OnClick = btBaseClick
  end
  object feHold: TFloatEdit
    Left = 56
    Top = 138
    Width = 57
    Height = 19
    AutoSize = False
    TabOrder = 29
    Format = ffFixed
    Digits = 1
    Precision = 9
    MinMaxCheck = True
    MinValue = 0
    MaxValue = 100
    Value = 10
    ValueVisible = True
  end
  object feAcc: TFloatEdit
    Left = 56
    Top = 170
    Width = 57
    Height = 19
    AutoSize = False
    TabOrder = 30
    Format = ffFixed
    Digits = 1
    Precision = 9
    MinMaxCheck = True
    MinValue = 0
    MaxValue = 100
    Value = 40
    ValueVisible = True
  end
  object Timer1: TTimer
    Interval = 100
    OnTimer = Timer1Timer
  end
end
