// A C# (.NET Framework or .NET on Windows) host. Make the interop assembly from the type
// library and reference it:  tlbimp z5calcD.tlb /out:Interop.z5calcD.dll
// Build for the bitness of the registered DLL (x86 for z5calc-win32, x64 for z5calc-win64).
using System;
using System.Runtime.InteropServices;
using System.Windows.Forms;

static class Program
{
    [StructLayout(LayoutKind.Sequential)]
    struct RECT { public int Left, Top, Right, Bottom; }

    [DllImport("user32.dll")]
    static extern bool GetWindowRect(IntPtr hWnd, out RECT rect);

    // [readme]
    // Opens the calculator just right of the field, level with it; returns the transferred
    // value, or the field's value when the user closed the calculator.
    static double Calculate(z5calcD.zelcalc calc, Control field, double value)
    {
        GetWindowRect(field.Handle, out RECT r);                 // screen pixels
        float tx, ty;
        using (var g = field.CreateGraphics()) { tx = 1440f / g.DpiX; ty = 1440f / g.DpiY; }
        var ws = new z5calcD.windowstay
        {
            Wtop = r.Top * ty, Wleft = r.Right * tx,
            Wwidth = (r.Right - r.Left) * tx, Wheight = (r.Bottom - r.Top) * ty,
        };
        double m = value, mmax = 99999999;                        // 0: no limit
        return calc.showcalc(ref m, ref ws, ref mmax);
    }
    // [/readme]

    [STAThread]
    static void Main()
    {
        var calc = new z5calcD.zelcalc();
        calc.SetAppName("myhost");
        var form = new Form { Text = "Order" };
        var field = new TextBox { Left = 20, Top = 20, Width = 150, Text = "1200" };
        field.KeyDown += (s, e) =>
        {
            if (e.KeyCode != Keys.F4) return;
            double.TryParse(field.Text, out double value);
            field.Text = Calculate(calc, field, value).ToString();
        };
        form.Controls.Add(field);
        Application.Run(form);
    }
}
