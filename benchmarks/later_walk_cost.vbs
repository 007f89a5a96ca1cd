' FindDevice on a Windows 10 device layout (benchmarks/later_layout.py) beside
' WMI's Win32_PnPEntity query for the same class, in one run: for each class
' the first device, the walk past every device of the class (the search for
' the device after the last), and WMI's query of the class's entities; the
' rounds of the three alternate and the fastest round of each counts.
' Prints "later|CLASS|DEVICES|FIRST_NS|WALK_NS|WMI ENTITIES|WMI_NS" per class
' and "later_walk_cost: N classes" last.
'   cscript //nologo later_walk_cost.vbs ROUNDS ROUND_MS CLASS...
Option Explicit

Dim o, wmi, rounds, roundSeconds, a, cls, prefix, devices, v, r, s, side
Dim runs(2), best(2), classes
rounds = CLng(WScript.Arguments(0))
roundSeconds = CDbl(WScript.Arguments(1)) / 1000
Set o = CreateObject("Orvane.VXR.ZEKO.HWInfo")
Set wmi = GetObject("winmgmts:")

'' Side 0: FindDevice(0); side 1: the walk past every device of the class,
' FindDevice(devices), which finds nothing; side 2: WMI.
Function Ask(side)
    Dim n, item
    n = 0
    Select Case side
        Case 0
            If o.FindDevice(0, cls) Then n = 1
        Case 1
            If o.FindDevice(devices, cls) Then n = 1
        Case 2
            ' Wine's Win32_PnPEntity has no class column (PNPClass, ClassGuid): the
            ' class is told by the instance path, which later_layout.py names after it.
            For Each item In wmi.ExecQuery("SELECT DeviceID FROM Win32_PnPEntity")
                If InStr(1, item.DeviceID, prefix, vbTextCompare) = 1 Then n = n + 1
            Next
    End Select
    Ask = n
End Function

Function Since(start)
    Dim s
    s = Timer - start
    If s < 0 Then s = s + 86400
    Since = s
End Function

Function RoundTime(side, calls)
    Dim i, t
    t = Timer
    For i = 1 To calls
        v = Ask(side)
    Next
    RoundTime = Since(t)
End Function

Function CallsPerRound(side)
    Dim calls
    calls = 1
    Do While RoundTime(side, calls) < roundSeconds And calls < 65536
        calls = calls * 2
    Loop
    CallsPerRound = calls
End Function

Function Nanoseconds(seconds, calls)
    Nanoseconds = CStr(Fix(seconds * 1000000000 / calls))
End Function

classes = 0
For a = 2 To WScript.Arguments.Count - 1
    cls = WScript.Arguments(a)
    prefix = "ZLATER\" & cls & "\"
    devices = 0
    Do While o.FindDevice(devices, cls)
        devices = devices + 1
    Loop
    For side = 0 To 2
        runs(side) = CallsPerRound(side)
        best(side) = 1E+30
    Next
    For r = 1 To rounds
        For side = 0 To 2
            s = RoundTime(side, runs(side))
            If s < best(side) Then best(side) = s
        Next
    Next
    WScript.Echo "later|" & cls & "|" & devices & "|" & Nanoseconds(best(0), runs(0)) & "|" & _
                 Nanoseconds(best(1), runs(1)) & "|" & Ask(2) & "|" & Nanoseconds(best(2), runs(2))
    classes = classes + 1
Next
WScript.Echo "later_walk_cost: " & classes & " classes"
