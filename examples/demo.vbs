' Drives Wine's notepad through the registered component.
Option Explicit

' Wine's cscript has no WScript.Sleep.
Sub Pause(seconds)
    Dim started
    started = Timer
    Do While Timer - started < seconds And Timer >= started
    Loop
End Sub

Dim pad, tries
Set pad = CreateObject("Wrang.clsWrangler")
For tries = 1 To 100
    pad.InitByWindow "Notepad", "Untitled - Notepad"
    If pad.hWnd <> 0 Then Exit For
    Pause 0.1
Next

WScript.Echo "== Binding"
WScript.Echo "Notepad window: hWnd = " & pad.hWnd & ", IsWindow = " & pad.IsWindow

Dim missing
Set missing = CreateObject("Wrang.clsWrangler").InitByWindow("NoSuchClass", "No such caption")
WScript.Echo "A lookup that finds nothing: hWnd = " & missing.hWnd & ", IsWindow = " & missing.IsWindow & _
    ", still an object: " & (Not missing Is Nothing)

WScript.Echo "== Typing"
Dim padEdit
Set padEdit = pad.GetChild("Edit")
' Keys are posted to the control itself: notepad need not be active. Letters go without Shift.
WScript.Echo "SendText returned " & padEdit.SendText("Hello from Wrang", 5)
Pause 0.5
WScript.Echo "Notepad now shows: " & Replace(padEdit.Text, Chr(0), "")
' Typed text counts as a change; clear the flag (EM_SETMODIFY) so closing asks nothing.
padEdit.SendMsgLong &HB9, 0, 0, True

pad.CloseWindow
