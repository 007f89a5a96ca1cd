' Cost per call of the registered component from VBScript, where every member
' is called by name through IDispatch, beside a built-in object's property and
' WMI queries that answer similar questions. Prints "label|calls|seconds" lines.
' VBScript's Timer ticks in steps of several milliseconds under Wine, so the
' loops run long enough for those steps not to matter.
'   cscript //nologo dispatch_cost.vbs [calls]
Option Explicit

Dim calls, o, d, i, v, t, wmi, item, queries
calls = 10000
If WScript.Arguments.Count > 0 Then calls = CLng(WScript.Arguments(0))
queries = 500

' Timer counts seconds since midnight; a run across midnight wraps.
Function Since(start)
    Dim s
    s = Timer - start
    If s < 0 Then s = s + 86400
    Since = s
End Function

Sub Print(label, n, seconds)
    WScript.Echo label & "|" & n & "|" & seconds
End Sub

Set o = CreateObject("Orvane.VXR.ZEKO.HWInfo")

t = Timer
For i = 1 To calls
Next
Print "cscript empty loop", calls, Since(t)

t = Timer
For i = 1 To calls
    v = o.OSName
Next
Print "cscript OSName by name", calls, Since(t)

t = Timer
For i = 1 To calls
    v = o.NumberOfProcessors
Next
Print "cscript NumberOfProcessors by name", calls, Since(t)

Set d = CreateObject("Scripting.Dictionary")
t = Timer
For i = 1 To calls
    v = d.Count
Next
Print "cscript Scripting.Dictionary.Count", calls, Since(t)

Set wmi = GetObject("winmgmts:")
t = Timer
For i = 1 To queries
    For Each item In wmi.ExecQuery("SELECT Caption FROM Win32_OperatingSystem")
        v = item.Caption
    Next
Next
Print "WMI Win32_OperatingSystem.Caption", queries, Since(t)

t = Timer
For i = 1 To queries
    For Each item In wmi.ExecQuery("SELECT Name FROM Win32_Processor")
        v = item.Name
    Next
Next
Print "WMI Win32_Processor.Name", queries, Since(t)

WScript.Echo "done"
