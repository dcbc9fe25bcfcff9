' Shared assertions of the script tests, put in front of each VBScript test by the build.
' Wine's cscript exits 0 and prints nothing on a script error, so a test passes only when it
' reaches Finish with every check passed and prints "ALL PASSED".
Dim g_passed, g_failed
g_passed = 0
g_failed = 0

Sub Check(condition, label)
    If condition Then
        g_passed = g_passed + 1
    Else
        g_failed = g_failed + 1
        WScript.Echo "FAIL: " & label
    End If
End Sub

Sub CheckEqual(expected, actual, label)
    Check expected = actual, label & " (expected [" & expected & "], got [" & actual & "])"
End Sub

Sub Finish()
    If g_failed = 0 And g_passed > 0 Then
        WScript.Echo "ALL PASSED (" & g_passed & " checks)"
    Else
        WScript.Echo g_passed & " passed, " & g_failed & " failed"
    End If
End Sub

' Wine's cscript has no WScript.Sleep.
Sub Pause(seconds)
    Dim started
    started = Timer
    Do While Timer - started < seconds And Timer >= started
    Loop
End Sub

' How many tenths of a second a script waits for what must happen: a minute, since on a loaded
' machine a program may take long to start or to take its keys, and a wait ends as soon as it has.
Const WAIT_TENTHS = 600

' Waits until a top-level window of the class and caption exists (the test runner starts the
' programs named on the script's "needs:" line).
Function WaitForWindow(className, caption)
    Dim w, tries
    Set w = CreateObject("Wrang.clsWrangler")
    For tries = 1 To WAIT_TENTHS
        w.InitByWindow className, caption
        If w.hWnd <> 0 Then Exit For
        Pause 0.1
    Next
    Set WaitForWindow = w
End Function

' The directory of the build, where the test programs are.
Function BuildDir()
    BuildDir = WScript.Arguments(1)
End Function
