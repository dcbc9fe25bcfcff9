' Type keys: posted straight to a control (no focus needed), and through the key-string service
' into the active window.
' needs: notepad.exe
Option Explicit
Dim pad, edit, tries, started

Set pad = CreateObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad")
If pad.hWnd = 0 Then WScript.Echo "Start notepad first.": WScript.Quit 1
Set edit = pad.GetChild("Edit")

' SendText posts key messages straight to the control, 5 ms apart: a key-down and key-up per letter,
' digit or space (the window's own message loop makes the character, without Shift, so letters
' arrive in lower case). Brace names such as {F5} or {ENTER} stand for keys; most of them come with
' a character message of their own, so a window that also makes characters from key-downs, as
' notepad does, gets {ENTER} twice. Plain text is what types the same everywhere.
WScript.Echo "SendText returned " & edit.SendText("posted keys 42", 5)
' Posted keys are handled when notepad gets to them: wait (up to a minute) until they are there.
For tries = 1 To 600
    If InStr(edit.Text, "posted keys 42") > 0 Then Exit For
    started = Timer: Do While Timer - started < 0.1 And Timer >= started: Loop
Next
WScript.Echo "Notepad shows: " & Replace(Replace(edit.Text, vbCrLf, "{ENTER}"), Chr(0), "")

' VBSendKeys types into whatever window is active, here notepad: + is Shift, (...) groups keys,
' {END} is a key name; True waits until the keys are handled.
pad.VBSendKeys "{END}+(x)yz", True
WScript.Echo "After VBSendKeys: " & Replace(Replace(edit.Text, vbCrLf, "{ENTER}"), Chr(0), "")

' A malformed key string is error 5 and types nothing.
On Error Resume Next
pad.VBSendKeys "{NOSUCHKEY}", True
WScript.Echo "VBSendKeys ""{NOSUCHKEY}"" raised error " & Err.Number & ": " & Err.Description
On Error GoTo 0
edit.SendMsgLong &HB9, 0, 0, True  ' EM_SETMODIFY: nothing to save, so closing notepad asks nothing
