// Every form of the field that JScript can give to showcalc; the typist answers 6*7 Enter.
var calc = new ActiveXObject("z5calcD.zelcalc");
WScript.Echo("object " + calc.showcalc(5, {Wtop: 3000, Wleft: 1500, Wwidth: 1500, Wheight: 300}, 0));
WScript.Echo("array " + calc.showcalc(5, [3000, 1500, 1500, 300], 0));
WScript.Echo("null " + calc.showcalc(5, null, 0));
WScript.Echo("undefined " + calc.showcalc(5, undefined, 0));
var refused = [3000, [1, 2, 3], {Top: 1, Left: 2}];
for (var i = 0; i < refused.length; i++) {
    try {
        calc.showcalc(5, refused[i], 0);
        WScript.Echo("no error");
    } catch (e) {
        WScript.Echo("error " + (e.number >>> 0).toString(16) + " " + e.description);
    }
}
