' A script host using the component the way VB hosts do: by ProgID, late bound.
Option Explicit
Dim calc
Set calc = CreateObject("z5calcD.zelcalc")
calc.SetAppName "vbshost"
calc.SetHelpFile "C:\vbhelp\vb.chm", 77
WScript.Echo "settings done"

On Error Resume Next
calc.SetAppName "vbsoverflow"
WScript.Echo "error " & Err.Number & " " & Err.Description
Err.Clear
calc.SetHelpFile "C:\vbhelp\vb.chm"
WScript.Echo "error " & Err.Number
Err.Clear
calc.NoSuchMethod
WScript.Echo "error " & Err.Number
Err.Clear
calc.TaxRateKind = 2
WScript.Echo "error " & Hex(Err.Number) & " " & Err.Description
Err.Clear
calc.TaxRate = 0.2
WScript.Echo "error " & Err.Number
Err.Clear
calc.TaxRateKind = 1
WScript.Echo "kind " & calc.TaxRateKind & " rates " & calc.TaxRate & " " & calc.ReducedTaxRate
calc.ClearTape
WScript.Echo "tape [" & calc.Tape & "]"
' Decimals and Rounding as a script gives them: text that is a number converts; 5 and Null are
' refused, the value set before kept.
calc.Decimals = "2"
calc.Decimals = 5
WScript.Echo "error " & Hex(Err.Number) & " " & Err.Description
Err.Clear
calc.Rounding = Null
WScript.Echo "error " & Hex(Err.Number)
Err.Clear
WScript.Echo "decimals " & calc.Decimals & " rounding " & calc.Rounding & " gt " & calc.GrandTotal
calc.ClearGrandTotal
