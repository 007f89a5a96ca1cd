' Fifteen facts asked of the registered component by name and of WMI, in one
' run: for each fact the rounds of the two sides alternate and the fastest
' round of each counts. A side's round makes as many calls as last ROUND_MS
' (VBScript's Timer is a Single, so it moves in steps of a few milliseconds).
' Prints "answer|FACT|COMPONENT'S|WMI'S" and "wmi|FACT|MEMBER CALLS|MEMBER_NS|
' WMI QUERY|WMI_NS" per fact, and "wmi_cost: N facts" last.
'   cscript //nologo wmi_cost.vbs ROUNDS ROUND_MS
Option Explicit

Dim o, wmi, rounds, roundSeconds, fact, facts, memberCalls, queries, v
Dim memberRuns, wmiRuns, r, s, bestMember, bestWmi
rounds = CLng(WScript.Arguments(0))
roundSeconds = CDbl(WScript.Arguments(1)) / 1000
Set o = CreateObject("Orvane.VXR.ZEKO.HWInfo")
Set wmi = GetObject("winmgmts:")

' Per fact: its name, the members that answer it, and WMI's query for it.
' The last ten are IDeZiVero2's.
facts = Array("OS name", "processor vendor", "processor speed", "fixed disks size", "display device", _
              "memory total", "memory free", "OS build", "OS architecture", "processor name", _
              "processor cores", "logical processors", "BIOS vendor", "BIOS version", "battery charge")
memberCalls = Array("OSName", "ProcessorVendorId(1)", "ProcessorSpeed(1)", "FixedDisksSizeInMB", _
                    "FindDevice(0, ""Display""), HWKey, GetDeviceInfo(HWKey, """", ""DeviceDesc"")", _
                    "MemoryTotalPhysInMB", "MemoryAvailPhysInMB", "OSBuild", "OSArchitecture", _
                    "ProcessorName(1)", "ProcessorCoreCount", "ProcessorLogicalCount", "BIOSVendor", _
                    "BIOSVersion", "BatteryLifePercent")
queries = Array("SELECT Caption FROM Win32_OperatingSystem", _
                "SELECT Manufacturer FROM Win32_Processor", _
                "SELECT MaxClockSpeed FROM Win32_Processor", _
                "SELECT Size FROM Win32_LogicalDisk WHERE DriveType = 3", _
                "SELECT Name FROM Win32_VideoController", _
                "SELECT TotalPhysicalMemory FROM Win32_ComputerSystem", _
                "SELECT FreePhysicalMemory FROM Win32_OperatingSystem", _
                "SELECT BuildNumber FROM Win32_OperatingSystem", _
                "SELECT OSArchitecture FROM Win32_OperatingSystem", _
                "SELECT Name FROM Win32_Processor", _
                "SELECT NumberOfCores FROM Win32_Processor", _
                "SELECT NumberOfLogicalProcessors FROM Win32_ComputerSystem", _
                "SELECT Manufacturer FROM Win32_BIOS", _
                "SELECT SMBIOSBIOSVersion FROM Win32_BIOS", _
                "SELECT EstimatedChargeRemaining FROM Win32_Battery")

' One answer of the fact, from the component (side 0) or WMI (side 1).
Function Ask(n, side)
    Dim item, total
    If side = 0 Then
        Select Case n
            Case 0: Ask = o.OSName
            Case 1: Ask = o.ProcessorVendorId(1)
            Case 2: Ask = o.ProcessorSpeed(1)
            Case 3: Ask = o.FixedDisksSizeInMB
            Case 4:
                Ask = ""
                If o.FindDevice(0, "Display") Then Ask = o.GetDeviceInfo(o.HWKey, "", "DeviceDesc")
            Case 5: Ask = o.MemoryTotalPhysInMB
            Case 6: Ask = o.MemoryAvailPhysInMB
            Case 7: Ask = o.OSBuild
            Case 8: Ask = o.OSArchitecture
            Case 9: Ask = o.ProcessorName(1)
            Case 10: Ask = o.ProcessorCoreCount
            Case 11: Ask = o.ProcessorLogicalCount
            Case 12: Ask = o.BIOSVendor
            Case 13: Ask = o.BIOSVersion
            Case 14: Ask = o.BatteryLifePercent
        End Select
        Exit Function
    End If
    ' No battery is no instance of Win32_Battery.
    Ask = ""
    total = 0
    For Each item In wmi.ExecQuery(queries(n))
        Select Case n
            Case 0: Ask = item.Caption
            Case 1: Ask = item.Manufacturer
            Case 2: Ask = item.MaxClockSpeed
            Case 3: total = total + CDbl(item.Size)
            Case 4: Ask = item.Name
            Case 5: Ask = Fix(CDbl(item.TotalPhysicalMemory) / 1048576)
            Case 6: Ask = Fix(CDbl(item.FreePhysicalMemory) / 1024)
            Case 7: Ask = item.BuildNumber
            Case 8: Ask = item.OSArchitecture
            Case 9: Ask = item.Name
            Case 10: total = total + item.NumberOfCores
            Case 11: Ask = item.NumberOfLogicalProcessors
            Case 12: Ask = item.Manufacturer
            Case 13: Ask = item.SMBIOSBIOSVersion
            Case 14: Ask = item.EstimatedChargeRemaining
        End Select
    Next
    If n = 3 Then Ask = Fix(total / 1048576)
    If n = 10 Then Ask = total
End Function

' Timer counts seconds since midnight; a run across midnight wraps.
Function Since(start)
    Dim s
    s = Timer - start
    If s < 0 Then s = s + 86400
    Since = s
End Function

Function RoundTime(n, side, calls)
    Dim i, t
    t = Timer
    For i = 1 To calls
        v = Ask(n, side)
    Next
    RoundTime = Since(t)
End Function

Function CallsPerRound(n, side)
    Dim calls
    calls = 1
    Do While RoundTime(n, side, calls) < roundSeconds And calls < 65536
        calls = calls * 2
    Loop
    CallsPerRound = calls
End Function

Function Nanoseconds(seconds, calls)
    Nanoseconds = CStr(Fix(seconds * 1000000000 / calls))
End Function

For fact = 0 To UBound(facts)
    memberRuns = CallsPerRound(fact, 0)
    wmiRuns = CallsPerRound(fact, 1)
    bestMember = 1E+30
    bestWmi = 1E+30
    For r = 1 To rounds
        s = RoundTime(fact, 0, memberRuns)
        If s < bestMember Then bestMember = s
        s = RoundTime(fact, 1, wmiRuns)
        If s < bestWmi Then bestWmi = s
    Next
    WScript.Echo "answer|" & facts(fact) & "|" & Ask(fact, 0) & "|" & Ask(fact, 1)
    WScript.Echo "wmi|" & facts(fact) & "|" & memberCalls(fact) & "|" & Nanoseconds(bestMember, memberRuns) & _
                 "|" & queries(fact) & "|" & Nanoseconds(bestWmi, wmiRuns)
Next
WScript.Echo "wmi_cost: " & (UBound(facts) + 1) & " facts"
