object Form1: TForm1
  Caption = 'Quodrix ''Test''' + #13#10
  Font.Style = [fsBold]
  Scale = -999999999.000000
  Hex = $FF00000F
  object cbChan: TComboBox
    Items.Strings = (
      'CHAN 1'
      '')
    Icon.Data = {0A1B}
  end
end
