' Every form of the field that VBScript can give to showcalc; the typist answers 6*7 Enter.
Option Explicit
Class FieldRect
    Public Wtop
    Public Wleft
    Public Wwidth
    Public Wheight
End Class
Dim calc, m, mmax, rect, fieldArray, r
Set calc = CreateObject("z5calcD.zelcalc")
m = 5
mmax = 0
Set rect = New FieldRect
rect.Wtop = 3000
rect.Wleft = 1500
rect.Wwidth = 1500
rect.Wheight = 300
fieldArray = Array(3000, 1500, 1500, 300)
WScript.Echo "array " & calc.showcalc(m, Array(3000, 1500, 1500, 300), mmax)
WScript.Echo "array variable " & calc.showcalc(m, fieldArray, mmax)
WScript.Echo "object " & calc.showcalc(m, rect, mmax)
WScript.Echo "empty " & calc.showcalc(m, Empty, mmax)
WScript.Echo "null " & calc.showcalc(m, Null, mmax)
WScript.Echo "nothing " & calc.showcalc(m, Nothing, mmax)

On Error Resume Next
r = calc.showcalc(m, 3000, mmax)
WScript.Echo "error " & Err.Number & " " & Err.Description
Err.Clear
r = calc.showcalc(m, Array(1, 2, 3), mmax)
WScript.Echo "error " & Err.Number & " " & Err.Description
