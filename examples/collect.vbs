' Fleet collection: writes this machine's JSON hardware report into a folder,
' usually a share that every machine may write to, as COMPUTERNAME.json.
'   cscript //nologo collect.vbs \\server\inventory$
' Meant for a startup or logon script or a scheduled task; report.vbs must lie
' beside it. Exit code 0 when the report was written (under cscript its path
' is printed), 1 when it was not, 2 for a wrong command line.
'
' The report is written under a temporary name in the folder and then renamed,
' so the folder never holds half a report. Each file begins with a member
' "Collector" that names the volume serial number of the machine's Windows
' drive. A file is this machine's own, and is replaced, only when it begins
' with this machine's collector; a file of the same name that another machine
' wrote (a second machine of the same name) or anything else is never touched,
' and the report goes to COMPUTERNAME-2.json, -3 and so on, the first name
' that is free or this machine's own.
Option Explicit

Dim fso, shell, folder, hw, name, serial, collector, temp, target, n, c, badChars
Set fso = CreateObject("Scripting.FileSystemObject")
Set shell = CreateObject("WScript.Shell")
If WScript.Arguments.Count <> 1 Then
    Say "usage: cscript //nologo collect.vbs FOLDER"
    WScript.Quit 2
End If
folder = WScript.Arguments(0)

' Silent under wscript, as Group Policy runs a .vbs script: a message box
' would wait for a click that never comes.
Sub Say(text)
    If LCase(fso.GetFileName(WScript.FullName)) = "cscript.exe" Then WScript.Echo text
End Sub

Sub Fail(message)
    Say "collect.vbs: " & message
    WScript.Quit 1
End Sub

If Not fso.FolderExists(folder) Then Fail "no folder " & folder

On Error Resume Next
Set hw = CreateObject("Orvane.VXR.ZEKO.HWInfo")
If Err.Number <> 0 Then Fail "cannot create Orvane.VXR.ZEKO.HWInfo (is DeZIVero.DLL registered?)"
name = hw.ComputerName
serial = Right("0000000" & Hex(fso.GetDrive(fso.GetDriveName(hw.WinDir)).SerialNumber), 8)
On Error GoTo 0

' Characters that no file name may hold become "_".
badChars = "\/:*?""<>|"
For n = 1 To Len(badChars)
    c = Mid(badChars, n, 1)
    name = Replace(name, c, "_")
Next
If name = "" Then Fail "the computer has no name"
collector = "{" & vbCrLf & "  ""Collector"": {""VolumeSerial"": """ & serial & """},"

' The report, by the host that runs this script (cscript beside wscript: the
' same 32-bit or 64-bit host), into a temporary file of this machine. Paths
' are quoted only where they hold a blank: the 9x family's command.com knows
' no quotes.
Function Quote(text)
    Quote = text
    If InStr(text, " ") > 0 Then Quote = """" & text & """"
End Function

' The first count characters of a file (all of it for 0), or "".
Function ReadText(path, count)
    Dim stream
    ReadText = ""
    On Error Resume Next
    Set stream = fso.OpenTextFile(path, 1)
    If Err.Number <> 0 Then Exit Function
    If count > 0 Then ReadText = stream.Read(count) Else ReadText = stream.ReadAll
    stream.Close
End Function

Sub WriteAll(path, text)
    Dim stream
    Set stream = fso.CreateTextFile(path, True)
    stream.Write text
    stream.Close
End Sub

Dim host, script, command, report
host = fso.BuildPath(fso.GetParentFolderName(WScript.FullName), "cscript.exe")
script = fso.BuildPath(fso.GetParentFolderName(WScript.ScriptFullName), "report.vbs")
temp = fso.BuildPath(folder, name & "." & serial & ".tmp")
command = Quote(host) & " //nologo " & Quote(script) & " /format:json > " & Quote(temp)
' cmd.exe takes the first and the last quote of its command line away.
If InStr(command, """") > 0 Then command = """" & command & """"
shell.Run "%COMSPEC% /c " & command, 0, True
report = Trim(Replace(ReadText(temp, 0), vbCrLf, vbLf))
If Left(report, 1) <> "{" Or Right(report, 1) <> "}" Then
    On Error Resume Next
    fso.DeleteFile temp
    Fail "report.vbs gave no JSON document: " & Left(report, 200)
End If
WriteAll temp, collector & Mid(Replace(report, vbLf, vbCrLf), 2) & vbCrLf

' A name that is free, or this machine's own file: the rename fails when
' another machine took the name in the meantime, and the next name is tried.
On Error Resume Next
For n = 1 To 99
    target = fso.BuildPath(folder, name & ".json")
    If n > 1 Then target = fso.BuildPath(folder, name & "-" & n & ".json")
    If fso.FileExists(target) Then
        If ReadText(target, Len(collector)) = collector Then fso.DeleteFile target
    End If
    Err.Clear
    If Not fso.FileExists(target) Then
        fso.MoveFile temp, target
        If Err.Number = 0 Then
            Say target
            WScript.Quit 0
        End If
    End If
Next
fso.DeleteFile temp
Fail "no free name for " & name & ".json in " & folder
