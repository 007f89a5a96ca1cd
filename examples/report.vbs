' Hardware report: creates the DeZIVero object and prints every member's
' answer, section by section. A member that fails shows its status in hex
' instead of an answer.
'   cscript //nologo report.vbs
Option Explicit
On Error Resume Next

Dim o, v, e, i, n, count
Set o = CreateObject("Orvane.VXR.ZEKO.HWInfo")
If Err.Number <> 0 Or Not IsObject(o) Then
    WScript.Echo "Cannot create Orvane.VXR.ZEKO.HWInfo: error 0x" & Hex(Err.Number) & _
                 " (is DeZIVero.DLL registered? regsvr32 DeZIVero.DLL)"
    WScript.Quit 1
End If

' VBScript hands E_NOTIMPL to scripts as its own error 445.
Function Status(errNumber)
    Select Case errNumber
        Case 445 : Status = "(error 0x80004001 E_NOTIMPL, VBScript error 445)"
        Case &H80004001 : Status = "(error 0x80004001 E_NOTIMPL)"
        Case &H80004003 : Status = "(error 0x80004003 E_POINTER)"
        Case &H80004005 : Status = "(error 0x80004005 E_FAIL)"
        Case Else : Status = "(error 0x" & Right("0000000" & Hex(errNumber), 8) & ")"
    End Select
End Function

Function Text(value)
    Select Case VarType(value)
        Case 0 : Text = "(no value)"
        Case 1 : Text = "(null)"
        Case 8 : Text = """" & value & """"
        Case Else : Text = CStr(value)
    End Select
End Function

Sub Line(label, value, errNumber)
    If errNumber <> 0 Then
        WScript.Echo "  " & Left(label & Space(26), 26) & Status(errNumber)
    Else
        WScript.Echo "  " & Left(label & Space(26), 26) & Text(value)
    End If
End Sub

' For answers already turned into readable text.
Sub Plain(label, value, errNumber)
    If errNumber <> 0 Then
        WScript.Echo "  " & Left(label & Space(26), 26) & Status(errNumber)
    Else
        WScript.Echo "  " & Left(label & Space(26), 26) & value
    End If
End Sub

Sub Section(title)
    WScript.Echo ""
    WScript.Echo title
    WScript.Echo String(Len(title), "-")
End Sub

' A 32-bit count of bytes as the member gives it (2 GB and more come out
' negative) and in megabytes.
Function Bytes(value)
    Dim b
    b = CDbl(value)
    If b < 0 Then b = b + 4294967296
    Bytes = CStr(value) & " (" & Int(b / 1048576) & " MB)"
End Function

Function Named(value, names)
    If value >= 0 And value <= UBound(names) Then
        Named = value & " (" & names(value) & ")"
    Else
        Named = CStr(value)
    End If
End Function

WScript.Echo "DeZIVero hardware report"
WScript.Echo "========================"

Section "Operating system"
Err.Clear : v = o.OSName : Line "OSName", v, Err.Number
Err.Clear : v = o.OSVersion : Line "OSVersion", v, Err.Number
Err.Clear : v = o.CSD : Line "CSD", v, Err.Number
Err.Clear : v = o.CSDVersion : Line "CSDVersion", v, Err.Number
Err.Clear : v = o.BootDrive : Line "BootDrive", v, Err.Number
Err.Clear : v = o.BootMode : e = Err.Number
If e = 0 Then v = Named(v, Array("normal", "fail-safe", "fail-safe with network", "unknown"))
Plain "BootMode", v, e
Err.Clear : v = o.ComputerName : Line "ComputerName", v, Err.Number
Err.Clear : v = o.SysDir : Line "SysDir", v, Err.Number
Err.Clear : v = o.WinDir : Line "WinDir", v, Err.Number
Err.Clear : v = o.DebugEnabled : Line "DebugEnabled", v, Err.Number
Err.Clear : v = o.DockedInfo : e = Err.Number
If e = 0 Then v = Named(v, Array("undocked", "docked", "user undocked", "user docked", "unknown"))
Plain "DockedInfo", v, e
Err.Clear : v = o.CurrentHWProfile : Line "CurrentHWProfile", v, Err.Number

Section "Owner and OEM"
Err.Clear : v = o.RegOwnerName : Line "RegOwnerName", v, Err.Number
Err.Clear : v = o.RegOrganization : Line "RegOrganization", v, Err.Number
Err.Clear : v = o.RegID : Line "RegID", v, Err.Number
Err.Clear : v = o.MfgName : Line "MfgName", v, Err.Number
Err.Clear : v = o.MfgComputerModel : Line "MfgComputerModel", v, Err.Number

Section "Processors"
count = 0
Err.Clear : v = o.NumberOfProcessors : e = Err.Number
Line "NumberOfProcessors", v, e
If e = 0 Then count = v
' A count from a broken machine description must not make the report endless.
If count > 64 Then count = 64
For i = 1 To count
    WScript.Echo "  Processor " & i
    Err.Clear : v = o.ProcessorId(i) : Line "  ProcessorId", v, Err.Number
    Err.Clear : v = o.ProcessorMMXId(i) : Line "  ProcessorMMXId", v, Err.Number
    Err.Clear : v = o.ProcessorVendorId(i) : Line "  ProcessorVendorId", v, Err.Number
    Err.Clear : v = o.ProcessorSpeed(i) : e = Err.Number
    If e = 0 Then v = v & " MHz"
    Plain "  ProcessorSpeed", v, e
Next

Section "Memory"
Err.Clear : v = o.MemoryTotalPhys : e = Err.Number
If e = 0 Then v = Bytes(v)
Plain "MemoryTotalPhys", v, e
Err.Clear : v = o.MemoryTotalPageFile : e = Err.Number
If e = 0 Then v = Bytes(v)
Plain "MemoryTotalPageFile", v, e
Err.Clear : v = o.MemoryTotalVirtual : e = Err.Number
If e = 0 Then v = Bytes(v)
Plain "MemoryTotalVirtual", v, e

Section "Power"
Err.Clear : v = o.PowerStatus : Line "PowerStatus", v, Err.Number
Err.Clear : v = o.BatteryStatus : Line "BatteryStatus", v, Err.Number
Err.Clear : v = o.BatteryLifeTime : Line "BatteryLifeTime", v, Err.Number
Err.Clear : v = o.BatteryFullLifeTime : Line "BatteryFullLifeTime", v, Err.Number

Section "Disks"
For n = 0 To 31
    Err.Clear : v = o.FixedDiskSizeInMB(n) : e = Err.Number
    If e = 0 Then v = v & " MB"
    Plain "FixedDiskSizeInMB(" & n & ")", v, e
    If e <> 0 Then Exit For
Next
Err.Clear : v = o.FixedDisksSizeInMB : e = Err.Number
If e = 0 Then v = v & " MB"
Plain "FixedDisksSizeInMB", v, e
Err.Clear : v = o.FixedDisksFreeSpaceInMB : e = Err.Number
If e = 0 Then v = v & " MB"
Plain "FixedDisksFreeSpaceInMB", v, e

Section "Devices"
Dim cls, found, key
For Each cls In Array("DiskDrive", "CDROM", "Monitor", "Net", "Printer", "Media", "modem", "Display", "SCSIAdapter")
    WScript.Echo "  " & cls
    ' Every FindDevice walks the registry from its start; 64 devices of one
    ' class are more than any machine has.
    For n = 0 To 63
        Err.Clear : found = o.FindDevice(n, cls) : e = Err.Number
        If e <> 0 Then
            Line "  FindDevice(" & n & ")", found, e
            Exit For
        End If
        If Not found Then
            If n = 0 Then WScript.Echo "    (none)"
            Exit For
        End If
        WScript.Echo "    Device " & n
        Err.Clear : key = o.HWKey : Line "    HWKey", key, Err.Number
        Err.Clear : v = o.DeviceStatus : Line "    DeviceStatus", v, Err.Number
        Err.Clear : v = o.GetDeviceInfo(key, "", "DeviceDesc") : Line "    DeviceDesc", v, Err.Number
        Err.Clear : v = o.GetDeviceInfo(key, "", "Driver") : Line "    Driver", v, Err.Number
        If LCase(cls) = "modem" Then
            Err.Clear : v = o.GetDeviceInfo(key, "", "Speed") : Line "    Speed", v, Err.Number
        End If
    Next
Next

Section "Buses"
Err.Clear : v = o.HasSCSIBus : Line "HasSCSIBus", v, Err.Number
Err.Clear : v = o.HasAGPBus : Line "HasAGPBus", v, Err.Number

WScript.Echo ""
WScript.Echo "End of report"
