' A VBScript host: cscript showcalc.vbs (with z5calcD.dll registered; a 32-bit DLL needs the
' 32-bit cscript, C:\Windows\SysWOW64\cscript.exe, on 64-bit Windows).
Option Explicit
Dim calc, result
' [readme]
Set calc = CreateObject("z5calcD.zelcalc")
calc.SetAppName "examplehost"
' The field as four numbers in screen twips: Wtop, Wleft, Wwidth, Wheight. A script has no
' window of its own: Empty instead opens the calculator beside the mouse pointer.
' The line is food: the tax keys start at the reduced rate, 1 (0 is the standard rate).
calc.TaxRateKind = 1
' The field holds whole yen: results (=, %, the grand total, the transfer) are rounded to 0
' decimals, half away from zero (Rounding 0 cuts toward zero, 1 rounds away from it).
calc.Decimals = 0
calc.Rounding = 2
result = calc.showcalc(1200, Array(3000, 4500, 2250, 360), 99999999)
WScript.Echo "The calculator gave " & result
' After the call: the rate the user left the tax keys at (F8 switches them).
If calc.TaxRateKind = 1 Then
    WScript.Echo "It closed at the reduced rate (reduced: " & calc.ReducedTaxRate * 100 & " %)"
Else
    WScript.Echo "It closed at the standard rate (standard: " & calc.TaxRate * 100 & " %)"
End If
' The steps the user took, a line each (key, a tab, the number): kept beside the value, they
' show how it came about. ClearTape empties it.
WScript.Echo calc.Tape
' Every result of = and % over this host's calls adds up: an invoice's total. ClearGrandTotal
' starts it again.
WScript.Echo "Grand total: " & calc.GrandTotal
' [/readme]
