' Whether this host's build of the library answers: creating the object by
' both ProgIDs and calling it by name (which needs the registered type
' library of this host's system kind), or, when it is not registered in this
' host's registry view, that creating it fails with error 429.
' Usage: cscript side_by_side.vbs answers|absent
Option Explicit
Dim want, passed, failed, progId, o, e, name
want = WScript.Arguments(0)
passed = 0
failed = 0

Sub Expect(what, ok)
    If ok Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAIL " & what
    End If
End Sub

For Each progId In Array("Orvane.VXR.ZEKO.HWInfo", "Orvane.VXR.ZEKO.HWInfo.1")
    On Error Resume Next
    Err.Clear
    Set o = Nothing
    Set o = CreateObject(progId)
    e = Err.Number
    If want = "answers" Then
        Expect progId & " is created (error " & e & ")", e = 0
        Err.Clear
        name = o.OSName
        Expect progId & ".OSName answers by name (error " & Err.Number & ")", Err.Number = 0 And Len(name) > 0
        Err.Clear
        Expect progId & ".NumberOfProcessors answers by name", o.NumberOfProcessors > 0 And Err.Number = 0
    Else
        Expect progId & " is not there: error 429 (got " & e & ")", e = 429
    End If
    On Error GoTo 0
Next
WScript.Echo passed & " passed, " & failed & " failed"
