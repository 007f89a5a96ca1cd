' Finds the devices that device_win10_seed.txt or device_xp_seed.txt put into
' the registry of this Wine prefix (set to that version) and reads their words,
' a multi-string as an array among them. Argument: "win10" or "xp". The last
' line printed is the tally "N passed, N failed"; the calling shell test
' insists on it.
Option Explicit
On Error Resume Next

Const vbsEmpty = 0, vbsLong = 3, vbsString = 8, vbsBoolean = 11, vbsArray = 8204
Const MaxDevices = 64
Const Enum_ = "System\CurrentControlSet\Enum\"
Const Cards = "SOFTWARE\Microsoft\Windows NT\CurrentVersion\NetworkCards\"

Dim passed, failed, mode, o
passed = 0 : failed = 0
mode = "win10"
If WScript.Arguments.Count > 0 Then mode = LCase(WScript.Arguments(0))

Sub Report(ok, name, detail)
    If ok Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAIL " & name & ": " & detail
    End If
End Sub

Sub Expect(name, errNumber, actual, vt, expected)
    If errNumber <> 0 Then
        Report False, name, "error &H" & Hex(errNumber)
    ElseIf VarType(actual) <> vt Then
        Report False, name, "type " & VarType(actual) & ", wanted type " & vt
    ElseIf vt <> vbsEmpty And vt <> vbsArray Then
        Report actual = expected, name, "[" & CStr(actual) & "], wanted [" & CStr(expected) & "]"
    Else
        Report True, name, ""
    End If
End Sub

' The device number of key among the devices of a class, or -1.
Function NumberOf(cls, key)
    On Error Resume Next
    Dim n
    NumberOf = -1
    For n = 0 To MaxDevices - 1
        Err.Clear
        If Not o.FindDevice(n, cls) Or Err.Number <> 0 Then Exit Function
        If o.HWKey = key Then
            NumberOf = n
            Exit Function
        End If
    Next
End Function

' The device is found by its class, with status 0 and its words.
Sub ExpectDevice(cls, key, words)
    On Error Resume Next
    Dim n, v, e
    n = NumberOf(cls, key)
    Report n >= 0, "FindDevice(n, " & cls & ") finds " & key, "not among the devices found"
    If n < 0 Then Exit Sub
    Err.Clear : v = o.DeviceStatus : e = Err.Number
    Expect cls & " DeviceStatus", e, v, vbsLong, 0
    Err.Clear : v = o.GetDeviceInfo(key, "", "DeviceDesc") : e = Err.Number
    Expect cls & " DeviceDesc", e, v, vbsString, words
End Sub

Err.Clear
Set o = CreateObject("Orvane.VXR.ZEKO.HWInfo")
If Err.Number <> 0 Or Not IsObject(o) Then
    Report False, "CreateObject", "error &H" & Hex(Err.Number)
    WScript.Echo passed & " passed, " & failed & " failed"
    WScript.Quit 1
End If

Dim keyboard, sound, scsi, v, e, item, items
keyboard = Enum_ & "ACPI\PNP0303\4&1d401fb5&0"
sound = Enum_ & "PCI\VEN_8086&DEV_2415\3&267a616a&0&28"
scsi = Enum_ & "PCI\VEN_9004&DEV_8178\3&61aaa01&0&60"

ExpectDevice "Net", Cards & "7", "Orvane Fast Ethernet"
ExpectDevice "Media", sound, "Orvane AC'97 Audio"
ExpectDevice "Keyboard", keyboard, "Standard PS/2 Keyboard"
ExpectDevice "SCSIAdapter", scsi, "Orvane Ultra SCSI Controller"
ExpectDevice "Monitor", Enum_ & "DISPLAY\ORV2200\5&2a1b3c4d&0&UID256", "Orvane 2200 Wide Monitor"
' Wine's configuration manager cannot say whether a device is present, so the
' monitor of years ago counts too.
ExpectDevice "Monitor", Enum_ & "DISPLAY\ORV1700\1&8713bca&0&UID0", "Orvane 1700 Monitor"

Err.Clear : v = o.HasSCSIBus : e = Err.Number
Expect "HasSCSIBus", e, v, vbsBoolean, True

Err.Clear : v = o.GetDeviceInfo(sound, "", "LocationInformation") : e = Err.Number
Expect "LocationInformation", e, v, vbsString, "PCI bus 0, device 5, function 0"
Err.Clear : v = o.GetDeviceInfo(keyboard, "", "Mfg") : e = Err.Number
Expect "Mfg", e, v, vbsString, "(Standard keyboards)"

Err.Clear : v = o.GetDeviceInfo(keyboard, "", "HardwareID") : e = Err.Number
Expect "HardwareID is an array", e, v, vbsArray, Empty
Report UBound(v) = 1, "UBound(HardwareID)", CStr(UBound(v))
items = ""
For Each item In v
    items = items & item & "|"
Next
Report items = "ACPI\PNP0303|*PNP0303|", "For Each HardwareID", items

WScript.Echo passed & " passed, " & failed & " failed"
