// A JScript host: cscript showcalc.js (with z5calcD.dll registered; a 32-bit DLL needs the
// 32-bit cscript, C:\Windows\SysWOW64\cscript.exe, on 64-bit Windows).
// [readme]
var calc = new ActiveXObject("z5calcD.zelcalc");
calc.SetAppName("examplehost");
// The field in screen twips; null instead opens the calculator beside the mouse pointer.
var field = {Wtop: 3000, Wleft: 4500, Wwidth: 2250, Wheight: 360};
var result = calc.showcalc(1200, field, 99999999);
WScript.Echo("The calculator gave " + result);
// [/readme]
