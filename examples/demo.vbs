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

WScript.Echo "== Window control"
Dim edit, buffer
Set edit = pad.GetChild("Edit", "")
WScript.Echo "Edit child: class = " & edit.ClassName & ", parent is notepad: " & (edit.Parent.hWnd = pad.hWnd)
edit.Text = "Typed by Wrang"
WScript.Echo "Edit text read back: " & edit.Text
buffer = Space(20)
WScript.Echo "WM_GETTEXT into 20 spaces: answer " & edit.SendMsgStringByRef(&HD, 20, buffer, True) & _
    ", buffer [" & Replace(buffer, Chr(0), "\0") & "]"
pad.Left = 40
pad.Top = 30
pad.Width = 480
pad.Height = 320
WScript.Echo "Notepad moved and resized: " & pad.Left & "," & pad.Top & " " & pad.Width & "x" & pad.Height & _
    ", state " & pad.WindowState
edit.SendMsgLong &HB9, 0, 0, True  ' EM_SETMODIFY: nothing to save, so closing asks nothing

pad.CloseWindow
