' Finds the devices that device_nt_seed.txt or device_9x_seed.txt put into the
' registry of this Wine prefix, reads their values (a modem's "Speed" among
' them) and checks the bus members and the object's HWKey and DeviceStatus.
' Argument: "nt" or "9x". The last line printed is the tally
' "N passed, N failed"; the calling shell test insists on it.
Option Explicit
On Error Resume Next

Const E_POINTER = &H80004003
Const vbsEmpty = 0, vbsLong = 3, vbsString = 8, vbsBoolean = 11
Const MaxDevices = 64

Dim passed, failed, mode, isNt, sh, o
passed = 0 : failed = 0
mode = "nt"
If WScript.Arguments.Count > 0 Then mode = LCase(WScript.Arguments(0))
isNt = (mode = "nt")
Set sh = CreateObject("WScript.Shell")

Sub Report(ok, name, detail)
    If ok Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAIL " & name & ": " & detail
    End If
End Sub

Function Show(v)
    If IsEmpty(v) Then
        Show = "Empty"
    ElseIf IsNull(v) Then
        Show = "Null"
    Else
        Show = TypeName(v) & " [" & CStr(v) & "]"
    End If
End Function

Sub Expect(name, errNumber, actual, vt, expected)
    If errNumber <> 0 Then
        Report False, name, "error &H" & Hex(errNumber)
    ElseIf VarType(actual) <> vt Then
        Report False, name, Show(actual) & ", wanted type " & vt & " [" & CStr(expected) & "]"
    ElseIf vt <> vbsEmpty And actual <> expected Then
        Report False, name, Show(actual) & ", wanted [" & CStr(expected) & "]"
    Else
        Report True, name, ""
    End If
End Sub

' FindDevice, then HWKey and DeviceStatus. expectedKey "" means: not found.
' expectedStatus Empty means: not checked.
Sub ExpectFind(cls, n, expectedKey, expectedStatus)
    On Error Resume Next
    Dim v, e, name
    name = "FindDevice(" & n & ", " & cls & ")"
    Err.Clear : v = o.FindDevice(n, cls) : e = Err.Number
    Expect name, e, v, vbsBoolean, (expectedKey <> "")
    Err.Clear : v = o.HWKey : e = Err.Number
    Expect name & " HWKey", e, v, vbsString, expectedKey
    If Not IsEmpty(expectedStatus) Then
        Err.Clear : v = o.DeviceStatus : e = Err.Number
        Expect name & " DeviceStatus", e, v, vbsLong, expectedStatus
    End If
End Sub

Sub ExpectValue(key, subkey, askFor, vt, expected)
    On Error Resume Next
    Dim v, e
    Err.Clear : v = o.GetDeviceInfo(key, subkey, askFor) : e = Err.Number
    Expect "GetDeviceInfo(" & key & ", '" & subkey & "', " & askFor & ")", e, v, vt, expected
End Sub

' Devices of a class, counted the way a caller walks them.
Function CountDevices(cls)
    On Error Resume Next
    Dim n, found
    For n = 0 To MaxDevices - 1
        Err.Clear
        found = o.FindDevice(n, cls)
        If Err.Number <> 0 Or Not found Then Exit For
    Next
    CountDevices = n
End Function

Function RegText(path)
    Dim v
    v = ""
    Err.Clear
    v = sh.RegRead(path)
    If Err.Number <> 0 Then v = ""
    Err.Clear
    RegText = v
End Function

Err.Clear
Set o = CreateObject("Orvane.VXR.ZEKO.HWInfo")
If Err.Number <> 0 Or Not IsObject(o) Then
    Report False, "CreateObject", "error &H" & Hex(Err.Number)
    WScript.Echo passed & " passed, " & failed & " failed"
    WScript.Quit 1
End If

Dim v, e, cls, counts, row, modem0, modem1

Sub CheckNt()
    On Error Resume Next
    Const Scsi = "HARDWARE\DEVICEMAP\SCSI\"
    Const Cards = "SOFTWARE\Microsoft\Windows NT\CurrentVersion\NetworkCards\"
    Const Enum_ = "System\CurrentControlSet\Enum\"
    Dim disk0, disk1, cd0, monitorKey

    disk0 = Scsi & "Scsi Port 0\Scsi Bus 0\Target Id 0\Logical Unit Id 0"
    disk1 = Scsi & "Scsi Port 1\Scsi Bus 0\Target Id 0\Logical Unit Id 0"
    cd0 = Scsi & "Scsi Port 0\Scsi Bus 0\Target Id 1\Logical Unit Id 0"
    modem0 = Enum_ & "ROOT\MODEM\0000"
    modem1 = Enum_ & "ROOT\MODEM\0001"

    ' Routed classes: the status is set to 0 before the search.
    ExpectFind "DiskDrive", 0, disk0, 0
    ExpectFind "diskdrive", 1, disk1, 0
    ExpectFind "DiskDrive", 2, "", 0
    ExpectFind "CDROM", 0, cd0, 0
    ExpectFind "CDROM", 1, "", 0
    ExpectFind "Net", 0, Cards & "1", 0
    ExpectFind "Net", 1, Cards & "3\0", 0
    ExpectFind "Net", 2, "", 0
    ExpectFind "Printer", 0, "SYSTEM\CurrentControlSet\Control\Print\Printers\Orvane LaserJet", 0
    ExpectFind "Printer", 1, "", 0
    ExpectFind "Media", 0, "SYSTEM\CurrentControlSet\Control\MediaResources\msvideo\Orvane Capture", 0
    ExpectFind "Media", 1, "", 0

    ' Every other class comes from the services' device instances.
    ExpectFind "modem", 0, modem0, 0
    ExpectFind "MODEM", 1, modem1, 22
    ExpectFind "Ports", 0, Enum_ & "ROOT\PORTS\0001", 3
    ExpectFind "Ports", 1, "", Empty
    ExpectFind "SCSIAdapter", 0, Enum_ & "PCI\VEN_9004&DEV_8178\3&1", 0
    ExpectFind "Display", 0, Enum_ & "PCI\VEN_1002&DEV_5246\4&2", 0
    ExpectFind "Display", 1, "", Empty
    ExpectFind "MODEM", 1, modem1, 22
    ExpectFind "Unknown", 0, "", 22

    ' The prefix's own monitor, described by its own registry key.
    Err.Clear : v = o.FindDevice(0, "Monitor") : e = Err.Number
    Expect "FindDevice(0, Monitor)", e, v, vbsBoolean, True
    monitorKey = o.HWKey
    ExpectValue monitorKey, "", "DeviceDesc", vbsString, RegText("HKLM\" & monitorKey & "\DeviceDesc")
    ExpectValue monitorKey, "", "Class", vbsString, "Monitor"

    ' Values, with the names some keys keep them under.
    ExpectValue disk0, "", "DeviceDesc", vbsString, "ORVANE  TESTDISK 1.0"
    ExpectValue disk0, "", "Type", vbsString, "DiskPeripheral"
    ExpectValue disk0, "", "DriverDesc", vbsString, "orvscsi"
    ExpectValue disk0, "", "DMACurrentlyUsed", vbsLong, 1
    ExpectValue disk1, "", "DriverDesc", vbsString, "orvdisk"
    ExpectValue disk1, "", "DMACurrentlyUsed", vbsLong, 0
    ExpectValue LCase(disk0), "", "DeviceDesc", vbsString, "ORVANE  TESTDISK 1.0"
    ExpectValue cd0, "", "DeviceDesc", vbsString, "ORVANE  CD-ROM 2.1"
    ExpectValue Scsi & "Scsi Port 0", "", "DriverDesc", vbsString, "orvscsi"
    ExpectValue Cards & "1", "", "DeviceDesc", vbsString, "[1] Orvane Fast Ethernet"
    ExpectValue Cards & "1", "", "Mfg", vbsString, "Orvane"
    ExpectValue Cards & "3\0", "", "DeviceDesc", vbsString, "[3.0] Orvane Virtual Adapter"
    ExpectValue "SYSTEM\CurrentControlSet\Control\Print\Printers\Orvane LaserJet", "", "DeviceDesc", vbsString, "Orvane LaserJet"
    ExpectValue "SYSTEM\CurrentControlSet\Control\Print\Printers\Orvane LaserJet", "", "DriverDesc", vbsString, "Orvane PCL 5e"
    ExpectValue "SYSTEM\CurrentControlSet\Control\MediaResources\msvideo\Orvane Capture", "", "DeviceDesc", vbsString, "Orvane Video Capture"

    ExpectValue modem0, "", "DeviceDesc", vbsString, "Orvane V.90 Data Fax Modem"
    ExpectValue modem0, "", "DriverDesc", vbsString, "Orvane Modem Driver"
    ExpectValue modem0, "Init", "1", vbsString, "AT&F"
    ExpectValue modem0, "", "1", vbsEmpty, Empty
    ExpectValue modem0, "", "Properties", vbsLong, &H1234&
    ExpectValue modem0, "", "Short", vbsLong, &H1234&
    ExpectValue modem0, "", "Long", vbsEmpty, Empty
    ExpectValue modem0, "", "Strings", vbsEmpty, Empty
    ExpectValue modem0, "", "Path", vbsString, "%WINDIR%"
    ExpectValue modem1, "", "Speed", vbsLong, 33600
    ExpectValue Enum_ & "PCI\VEN_9004&DEV_8178\3&1", "", "DeviceDesc", vbsString, "Orvane Ultra2 SCSI Host Adapter"

    counts = Array(Array("DiskDrive", 2), Array("CDROM", 1), Array("Net", 2), Array("Printer", 1), _
                   Array("Media", 1), Array("modem", 2), Array("Ports", 1), Array("SCSIAdapter", 1), _
                   Array("Display", 1), Array("Unknown", 0), Array("NoSuchClass", 0))
End Sub

Sub Check9x()
    On Error Resume Next
    Dim disk0, floppy, cd0
    disk0 = "Enum\ESDI\GENERIC_IDE__DISK_TYPE47_\MF&CHILD0000&PCI&VEN_8086"
    floppy = "Enum\FLOP\GENERIC_NEC__FLOPPY_DISK_\ROOT&*PNP0700&0000&0"
    cd0 = "Enum\SCSI\ORVANE__CD-ROM_________2.1\PCI&VEN_8086&DEV_7111&BUS_00&DEV_07&FUNC_0110"
    modem0 = "Enum\ROOT\MODEM\0000"
    modem1 = "Enum\ROOT\MODEM\0001"

    ' The floppy drive is left out only when the class is written exactly "DiskDrive".
    ExpectFind "DiskDrive", 0, disk0, 0
    ExpectFind "DiskDrive", 1, "", 9
    ExpectFind "diskdrive", 1, floppy, 0
    ExpectFind "CDROM", 0, cd0, 0
    ExpectFind "modem", 0, modem0, 0
    ExpectFind "Modem", 1, modem1, 22
    ' A failed walk leaves the problem code of the last entry it opened.
    ExpectFind "modem", 2, "", 9
    ExpectFind "display", 0, "Enum\PCI\VEN_1002&DEV_5246\BUS_01&DEV_00&FUNC_00", 0
    ExpectFind "SCSIAdapter", 1, "Enum\PCI\VEN_9004&DEV_0002\BUS_00&DEV_0B&FUNC_00", 0
    ExpectFind "Monitor", 0, "Enum\MONITOR\DEFAULT_MONITOR\0001", 0
    ExpectFind "Net", 0, "Enum\PCI\VEN_10EC&DEV_8139\BUS_00&DEV_0C&FUNC_00", 0
    ExpectFind "Printer", 0, "", 9
    ExpectFind "Modem", 1, modem1, 22

    ExpectValue disk0, "", "DeviceDesc", vbsString, "GENERIC IDE  DISK TYPE47"
    ExpectValue disk0, "", "DriverDesc", vbsString, "Disk drives"
    ExpectValue cd0, "", "DeviceDesc", vbsString, "ORVANE CD-ROM 2.1"
    ExpectValue modem0, "", "DeviceDesc", vbsString, "Orvane 56K V.90 Data Fax Modem"
    ExpectValue modem0, "", "DriverDesc", vbsString, "Orvane Modem Driver"
    ExpectValue modem0, "", "AttachedTo", vbsString, "COM2"
    ExpectValue modem0, "Init", "1", vbsString, "AT&F"
    ExpectValue modem0, "", "1", vbsEmpty, Empty
    ExpectValue modem1, "", "DeviceDesc", vbsString, "Orvane 33.6 Voice Modem"
    ExpectValue modem1, "", "Speed", vbsLong, 33600
    ExpectValue "Enum\PCI\VEN_10EC&DEV_8139\BUS_00&DEV_0C&FUNC_00", "", "DriverDesc", vbsString, "Orvane Fast Ethernet Driver"

    counts = Array(Array("DiskDrive", 1), Array("diskdrive", 2), Array("CDROM", 1), Array("modem", 2), _
                   Array("Display", 1), Array("SCSIAdapter", 2), Array("Monitor", 1), Array("Net", 1), _
                   Array("Printer", 0), Array("Media", 0), Array("NoSuchClass", 0))
End Sub

If isNt Then CheckNt Else Check9x

' The modem's speed from its description, whatever the case of "Speed".
For Each v In Array("Speed", "SPEED", "speed")
    ExpectValue modem0, "", v, vbsLong, 57600
Next

For Each row In counts
    v = CountDevices(row(0))
    Report v = row(1), "devices of class " & row(0), v & " found, wanted " & row(1)
Next

' The bus members search on their own: the object's last find stays as it was.
Err.Clear : v = o.FindDevice(1, "modem") : e = Err.Number
Expect "FindDevice(1, modem) before the bus members", e, v, vbsBoolean, True
Err.Clear : v = o.HasSCSIBus : e = Err.Number
Expect "HasSCSIBus", e, v, vbsBoolean, True
Err.Clear : v = o.HasAGPBus : e = Err.Number
Expect "HasAGPBus", e, v, vbsBoolean, True
Err.Clear : v = o.HWKey : e = Err.Number
Expect "HWKey after the bus members", e, v, vbsString, modem1
Err.Clear : v = o.DeviceStatus : e = Err.Number
Expect "DeviceStatus after the bus members", e, v, vbsLong, 22

' Each object keeps its own last find: a second object has found nothing.
Dim other
Set other = CreateObject("Orvane.VXR.ZEKO.HWInfo.1")
Err.Clear : v = other.HWKey : e = Err.Number
Expect "a second object's HWKey", e, v, vbsString, ""
Err.Clear : v = other.DeviceStatus : e = Err.Number
Expect "a second object's DeviceStatus", e, v, vbsLong, -1
Err.Clear : v = other.FindDevice(0, "modem") : e = Err.Number
Expect "a second object's FindDevice(0, modem)", e, v, vbsBoolean, True
Err.Clear : v = o.HWKey : e = Err.Number
Expect "HWKey of the first object after the second found a device", e, v, vbsString, modem1
Set other = Nothing

' Refused arguments.
Err.Clear : v = o.FindDevice(-1, "modem") : e = Err.Number
Report e = E_POINTER, "FindDevice(-1, modem)", "error &H" & Hex(e)
Err.Clear : v = o.HWKey : e = Err.Number
Expect "HWKey after a refused FindDevice", e, v, vbsString, ""
Err.Clear : v = o.DeviceStatus : e = Err.Number
Expect "DeviceStatus after a refused FindDevice", e, v, vbsLong, 22
Err.Clear : v = o.FindDevice(0, "") : e = Err.Number
Expect "FindDevice(0, empty class)", e, v, vbsBoolean, False
Err.Clear : v = o.FindDevice(0, String(4000, "m")) : e = Err.Number
Expect "FindDevice(0, a very long class)", e, v, vbsBoolean, False

WScript.Echo passed & " passed, " & failed & " failed"
