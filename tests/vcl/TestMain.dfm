object MainTest: TMainTestForm
  Left = 10
  Top = 20
  Width = 300
  Height = 200
  Caption = 'Main test'
  OldCreateOrder = False
  OnCreate = FormCreate
  OnClose = FormClose
  PixelsPerInch = 96
  TextHeight = 13
  object Button1: TButton
    Left = 8
    Top = 8
    Width = 75
    Height = 25
    Caption = 'Exit'
    TabOrder = 0
    OnClick = Button1Click
  end
  object Timer1: TTimer
    Interval = 20
    OnTimer = Timer1Timer
    Left = 100
    Top = 8
  end
end
