' Hardware report: creates the DeZIVero object and prints every member's
' answer, as text section by section, or as one JSON document for inventories.
' A member that fails shows its status instead of an answer.
'   cscript //nologo report.vbs [/format:text | /format:json]
'
' The members of IDeZiVero2 (memory in megabytes, build and release,
' architecture, processor names and counts, firmware, battery charge) are
' reported where the object has them; an older DeZIVero.DLL has only
' IDeZiVero's, and the report then leaves them out.
'
' The JSON document names every property by its member name; the processors
' are an array, FixedDiskSizeInMB an array by disk number that ends with the
' first disk that fails, and Devices an object keyed by class whose devices
' carry HWKey, DeviceStatus and their values. A failed member is
' {"error": "0x80004001"}: the status the member returned. Text is escaped so
' that the document is plain ASCII whatever the console's code page.
Option Explicit
On Error Resume Next

Dim json, i
json = False
' By index: Wine's WScript.Arguments cannot be walked with For Each.
For i = 0 To WScript.Arguments.Count - 1
    Select Case LCase(WScript.Arguments(i))
        Case "/format:json" : json = True
        Case "/format:text" : json = False
        Case Else
            WScript.Echo "usage: cscript //nologo report.vbs [/format:text | /format:json]"
            WScript.Quit 2
    End Select
Next

' ---- The status of a failed member -------------------------------------

' VBScript hands a component's E_NOTIMPL to scripts as its own error 445; its
' other own errors (below 65536) stand for 0x800A0000 and the number.
Function ErrorCode(errNumber)
    Dim code
    code = errNumber
    If code = 445 Then
        code = &H80004001
    ElseIf code > 0 And code < 65536 Then
        code = &H800A0000 + code
    End If
    ErrorCode = "0x" & Right("0000000" & Hex(code), 8)
End Function

Function Status(errNumber)
    Dim code
    code = ErrorCode(errNumber)
    Select Case code
        Case "0x80004001" : Status = " E_NOTIMPL"
        Case "0x80004003" : Status = " E_POINTER"
        Case "0x80004005" : Status = " E_FAIL"
        Case Else : Status = ""
    End Select
    If errNumber = 445 Then Status = Status & ", VBScript error 445"
    Status = "(error " & code & Status & ")"
End Function

' ---- JSON text ---------------------------------------------------------

' The UTF-16 code of one character. Wine's VBScript has no AscW; its regular
' expressions know \uXXXX, so there the code is found by halving the range.
Dim hasAscW, finder
Err.Clear : hasAscW = AscW("A") = 65 : If Err.Number <> 0 Then hasAscW = False
Err.Clear : Set finder = CreateObject("VBScript.RegExp")

Function Hex4(code)
    Hex4 = Right("000" & Hex(code), 4)
End Function

Function CodeUnit(c)
    Dim low, high, middle
    If hasAscW Then
        CodeUnit = AscW(c) And &HFFFF&
        Exit Function
    End If
    CodeUnit = Asc(c)
    If CodeUnit >= 0 And CodeUnit < 128 Then
        If Chr(CodeUnit) = c Then Exit Function
    End If
    low = 128 : high = 65535
    Do While low < high
        middle = (low + high) \ 2
        finder.Pattern = "^[\u" & Hex4(low) & "-\u" & Hex4(middle) & "]$"
        If finder.Test(c) Then high = middle Else low = middle + 1
    Loop
    CodeUnit = low
End Function

Function Quoted(text)
    Dim i, c, code
    Quoted = """"
    For i = 1 To Len(text)
        c = Mid(text, i, 1)
        code = CodeUnit(c)
        If c = """" Or c = "\" Then
            Quoted = Quoted & "\" & c
        ElseIf code < 32 Or code > 126 Then
            Quoted = Quoted & "\u" & LCase(Hex4(code))
        Else
            Quoted = Quoted & c
        End If
    Next
    Quoted = Quoted & """"
End Function

Function JsonValue(value)
    Select Case VarType(value)
        Case 0, 1 : JsonValue = "null"
        Case 8 : JsonValue = Quoted(value)
        Case 11 : If value Then JsonValue = "true" Else JsonValue = "false"
        Case Else : JsonValue = CStr(value)
    End Select
End Function

' ---- One writer for both formats ---------------------------------------
' doc collects the JSON document; brackets holds the open "{" and "[" and
' fresh is true while the innermost has no element yet. Text goes out line by
' line, indented by the open groups that have a heading.
Dim doc, brackets, fresh, indent
doc = "" : brackets = "" : fresh = True : indent = "  "

Sub JsonElement(name)
    If Not fresh Then doc = doc & ","
    If doc <> "" Then doc = doc & vbCrLf & Space(2 * Len(brackets))
    If Right(brackets, 1) = "{" Then doc = doc & Quoted(name) & ": "
    fresh = False
End Sub

Sub OpenGroup(heading, name, bracket)
    If json Then
        JsonElement name
        doc = doc & bracket
        brackets = brackets & bracket
        fresh = True
    ElseIf heading <> "" Then
        WScript.Echo indent & heading
        indent = indent & "  "
    End If
End Sub

Sub CloseGroup(heading)
    Dim bracket
    If json Then
        bracket = "}"
        If Right(brackets, 1) = "[" Then bracket = "]"
        brackets = Left(brackets, Len(brackets) - 1)
        If Not fresh Then doc = doc & vbCrLf & Space(2 * Len(brackets))
        doc = doc & bracket
        fresh = False
    ElseIf heading <> "" Then
        indent = Left(indent, Len(indent) - 2)
    End If
End Sub

' A line of the text report only.
Sub Note(text)
    If Not json Then WScript.Echo text
End Sub

Sub Section(title)
    Note ""
    Note title
    Note String(Len(title), "-")
End Sub

' One member's answer: the value itself in JSON, shown (the value made
' readable) in the text report.
Sub AnswerAs(name, value, errNumber, shown)
    If json Then
        JsonElement name
        If errNumber <> 0 Then
            doc = doc & "{""error"": """ & ErrorCode(errNumber) & """}"
        Else
            doc = doc & JsonValue(value)
        End If
    ElseIf errNumber <> 0 Then
        WScript.Echo Left(indent & name & Space(28), 28) & Status(errNumber)
    Else
        WScript.Echo Left(indent & name & Space(28), 28) & shown
    End If
End Sub

Function Text(value)
    Select Case VarType(value)
        Case 0 : Text = "(no value)"
        Case 1 : Text = "(null)"
        Case 8 : Text = """" & value & """"
        Case Else : Text = CStr(value)
    End Select
End Function

Sub Answer(name, value, errNumber)
    AnswerAs name, value, errNumber, Text(value)
End Sub

' A count of bytes as the member gives it, and in megabytes. The members give
' 2147483647 for 2 GB and more; earlier versions of the DLL handed on the 32
' bits of the system's record, so a negative count is read as unsigned.
Function Bytes(value)
    Dim b
    b = CDbl(value)
    If b < 0 Then b = b + 4294967296
    If value = 2147483647 Then
        Bytes = CStr(value) & " (2048 MB or more)"
    Else
        Bytes = CStr(value) & " (" & Int(b / 1048576) & " MB)"
    End If
End Function

Function Named(value, names)
    Named = CStr(value)
    If value >= 0 And value <= UBound(names) Then Named = Named & " (" & names(value) & ")"
End Function

' ---- The report --------------------------------------------------------

Dim o, v, e, n, count
Err.Clear
Set o = CreateObject("Orvane.VXR.ZEKO.HWInfo")
If Err.Number <> 0 Or Not IsObject(o) Then
    e = Err.Number
    If json Then
        WScript.Echo "{""error"": """ & ErrorCode(e) & """, ""message"": ""Cannot create Orvane.VXR.ZEKO.HWInfo""}"
    Else
        WScript.Echo "Cannot create Orvane.VXR.ZEKO.HWInfo: error " & ErrorCode(e) & _
                     " (is DeZIVero.DLL registered? regsvr32 DeZIVero.DLL)"
    End If
    WScript.Quit 1
End If

' Whether the object has IDeZiVero2's members: an older one raises error 438.
Dim has2
Err.Clear : v = o.OSArchitecture : has2 = Err.Number <> 438

Note "DeZIVero hardware report"
Note "========================"
OpenGroup "", "", "{"

Section "Operating system"
Err.Clear : v = o.OSName : Answer "OSName", v, Err.Number
Err.Clear : v = o.OSVersion : Answer "OSVersion", v, Err.Number
Err.Clear : v = o.CSD : Answer "CSD", v, Err.Number
Err.Clear : v = o.CSDVersion : Answer "CSDVersion", v, Err.Number
Err.Clear : v = o.BootDrive : Answer "BootDrive", v, Err.Number
Err.Clear : v = o.BootMode : e = Err.Number
AnswerAs "BootMode", v, e, Named(v, Array("normal", "fail-safe", "fail-safe with network", "unknown"))
Err.Clear : v = o.ComputerName : Answer "ComputerName", v, Err.Number
Err.Clear : v = o.SysDir : Answer "SysDir", v, Err.Number
Err.Clear : v = o.WinDir : Answer "WinDir", v, Err.Number
Err.Clear : v = o.DebugEnabled : Answer "DebugEnabled", v, Err.Number
Err.Clear : v = o.DockedInfo : e = Err.Number
AnswerAs "DockedInfo", v, e, Named(v, Array("undocked", "docked", "user undocked", "user docked", "unknown"))
Err.Clear : v = o.CurrentHWProfile : Answer "CurrentHWProfile", v, Err.Number
If has2 Then
    Err.Clear : v = o.OSBuild : Answer "OSBuild", v, Err.Number
    Err.Clear : v = o.OSDisplayVersion : Answer "OSDisplayVersion", v, Err.Number
    Err.Clear : v = o.OSEdition : Answer "OSEdition", v, Err.Number
    Err.Clear : v = o.OSArchitecture : Answer "OSArchitecture", v, Err.Number
End If

Section "Owner and OEM"
Err.Clear : v = o.RegOwnerName : Answer "RegOwnerName", v, Err.Number
Err.Clear : v = o.RegOrganization : Answer "RegOrganization", v, Err.Number
Err.Clear : v = o.RegID : Answer "RegID", v, Err.Number
Err.Clear : v = o.MfgName : Answer "MfgName", v, Err.Number
Err.Clear : v = o.MfgComputerModel : Answer "MfgComputerModel", v, Err.Number

Section "Processors"
count = 0
Err.Clear : v = o.NumberOfProcessors : e = Err.Number
Answer "NumberOfProcessors", v, e
If e = 0 Then count = v
' A count from a broken machine description must not make the report endless.
If count > 64 Then count = 64
If has2 Then
    Err.Clear : v = o.ProcessorCoreCount : Answer "ProcessorCoreCount", v, Err.Number
    Err.Clear : v = o.ProcessorLogicalCount : Answer "ProcessorLogicalCount", v, Err.Number
End If
OpenGroup "", "Processors", "["
For i = 1 To count
    OpenGroup "Processor " & i, "", "{"
    Err.Clear : v = o.ProcessorId(i) : Answer "ProcessorId", v, Err.Number
    Err.Clear : v = o.ProcessorMMXId(i) : Answer "ProcessorMMXId", v, Err.Number
    Err.Clear : v = o.ProcessorVendorId(i) : Answer "ProcessorVendorId", v, Err.Number
    Err.Clear : v = o.ProcessorSpeed(i) : e = Err.Number
    AnswerAs "ProcessorSpeed", v, e, v & " MHz"
    If has2 Then Err.Clear : v = o.ProcessorName(i) : Answer "ProcessorName", v, Err.Number
    CloseGroup "Processor " & i
Next
CloseGroup ""

Section "Memory"
Err.Clear : v = o.MemoryTotalPhys : e = Err.Number
AnswerAs "MemoryTotalPhys", v, e, Bytes(v)
Err.Clear : v = o.MemoryTotalPageFile : e = Err.Number
AnswerAs "MemoryTotalPageFile", v, e, Bytes(v)
Err.Clear : v = o.MemoryTotalVirtual : e = Err.Number
AnswerAs "MemoryTotalVirtual", v, e, Bytes(v)
If has2 Then
    Err.Clear : v = o.MemoryTotalPhysInMB : e = Err.Number
    AnswerAs "MemoryTotalPhysInMB", v, e, v & " MB"
    Err.Clear : v = o.MemoryAvailPhysInMB : e = Err.Number
    AnswerAs "MemoryAvailPhysInMB", v, e, v & " MB"
    Err.Clear : v = o.MemoryTotalPageFileInMB : e = Err.Number
    AnswerAs "MemoryTotalPageFileInMB", v, e, v & " MB"
    Err.Clear : v = o.MemoryAvailPageFileInMB : e = Err.Number
    AnswerAs "MemoryAvailPageFileInMB", v, e, v & " MB"
End If

Section "Power"
Err.Clear : v = o.PowerStatus : Answer "PowerStatus", v, Err.Number
Err.Clear : v = o.BatteryStatus : Answer "BatteryStatus", v, Err.Number
Err.Clear : v = o.BatteryLifeTime : Answer "BatteryLifeTime", v, Err.Number
Err.Clear : v = o.BatteryFullLifeTime : Answer "BatteryFullLifeTime", v, Err.Number
If has2 Then
    Err.Clear : v = o.BatteryLifePercent : e = Err.Number
    AnswerAs "BatteryLifePercent", v, e, v & " %"
End If

If has2 Then
    Section "Firmware"
    Err.Clear : v = o.BIOSVendor : Answer "BIOSVendor", v, Err.Number
    Err.Clear : v = o.BIOSVersion : Answer "BIOSVersion", v, Err.Number
    Err.Clear : v = o.BIOSReleaseDate : Answer "BIOSReleaseDate", v, Err.Number
    Err.Clear : v = o.SystemFamily : Answer "SystemFamily", v, Err.Number
    Err.Clear : v = o.BaseBoardManufacturer : Answer "BaseBoardManufacturer", v, Err.Number
    Err.Clear : v = o.BaseBoardProduct : Answer "BaseBoardProduct", v, Err.Number
End If

Section "Disks"
OpenGroup "", "FixedDiskSizeInMB", "["
For n = 0 To 31
    Err.Clear : v = o.FixedDiskSizeInMB(n) : e = Err.Number
    AnswerAs "FixedDiskSizeInMB(" & n & ")", v, e, v & " MB"
    If e <> 0 Then Exit For
Next
CloseGroup ""
Err.Clear : v = o.FixedDisksSizeInMB : e = Err.Number
AnswerAs "FixedDisksSizeInMB", v, e, v & " MB"
Err.Clear : v = o.FixedDisksFreeSpaceInMB : e = Err.Number
AnswerAs "FixedDisksFreeSpaceInMB", v, e, v & " MB"

Section "Devices"
Dim cls, found, key
OpenGroup "", "Devices", "{"
For Each cls In Array("DiskDrive", "CDROM", "Monitor", "Net", "Printer", "Media", "modem", "Display", "SCSIAdapter")
    OpenGroup cls, cls, "["
    ' Every FindDevice walks the registry from its start; 64 devices of one
    ' class are more than any machine has.
    For n = 0 To 63
        Err.Clear : found = o.FindDevice(n, cls) : e = Err.Number
        If e <> 0 Then
            Answer "FindDevice(" & n & ")", found, e
            Exit For
        End If
        If Not found Then
            If n = 0 Then Note indent & "(none)"
            Exit For
        End If
        OpenGroup "Device " & n, "", "{"
        Err.Clear : key = o.HWKey : Answer "HWKey", key, Err.Number
        Err.Clear : v = o.DeviceStatus : Answer "DeviceStatus", v, Err.Number
        Err.Clear : v = o.GetDeviceInfo(key, "", "DeviceDesc") : Answer "DeviceDesc", v, Err.Number
        Err.Clear : v = o.GetDeviceInfo(key, "", "Driver") : Answer "Driver", v, Err.Number
        If LCase(cls) = "modem" Then
            Err.Clear : v = o.GetDeviceInfo(key, "", "Speed") : Answer "Speed", v, Err.Number
        End If
        CloseGroup "Device " & n
    Next
    CloseGroup cls
Next
CloseGroup ""

Section "Buses"
Err.Clear : v = o.HasSCSIBus : Answer "HasSCSIBus", v, Err.Number
Err.Clear : v = o.HasAGPBus : Answer "HasAGPBus", v, Err.Number

CloseGroup ""
If json Then WScript.Echo doc
Note ""
Note "End of report"
