' Drives Wine's notepad through the registered component.
' needs: notepad.exe
Option Explicit

Dim pad
Set pad = CreateObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad")
If pad.hWnd = 0 Then WScript.Echo "Start notepad first.": WScript.Quit 1

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

WScript.Echo "== Menu bar"
Dim menuBar, menuCursor, menuEntry
Set menuBar = pad.GetMenu()
WScript.Echo "Notepad's menu bar: hMenu = " & menuBar.hMenu & ", owned by hWnd = " & menuBar.hWnd & _
    ", SC_CLOSE = " & menuBar.GetSysMenuID("SC_CLOSE")
' Another process's menu entries can be read only where the platform allows it (not under Wine).
If menuBar.ChildCount > 0 Then
    Set menuCursor = menuBar.BeginChildEnum()
    Do While menuCursor.NextItem()
        Set menuEntry = menuCursor.GetItem()
        If Not menuEntry Is Nothing Then WScript.Echo "  " & menuEntry.Text
    Loop
Else
    WScript.Echo "Its entries cannot be read from this process (ChildCount = " & menuBar.ChildCount & ")"
End If

WScript.Echo "== Tray toolbar"
Dim tray, trayButton, trayIndex
Set tray = CreateObject("Wrang.clsSysToolbar").Init()
If tray Is Nothing Then
    WScript.Echo "No notification-area toolbar found (Wine's own shell has none): no tray buttons to list."
Else
    WScript.Echo "Notification-area toolbar: hWnd = " & tray.hWnd & ", " & tray.Count & " button(s)"
    For trayIndex = 0 To tray.Count - 1
        Set trayButton = tray.GetButtonByIndex(trayIndex)
        WScript.Echo "  button " & trayIndex & ": """ & trayButton.Text & """, visible = " & trayButton.Visible
    Next
End If

WScript.Echo "== Typing"
Dim padEdit, typing, waited, started, shown
Set padEdit = pad.GetChild("Edit")
Set typing = CreateObject("Wrang.clsInput")
' TypeText sends each character to the control itself, in order, and returns once notepad has
' handled them all: exactly the text, whatever the keyboard, with notepad in front or not.
padEdit.Text = ""
WScript.Echo "TypeText returned " & typing.TypeText(padEdit, "This is some text. [x(y)z] {ENTER}")
WScript.Echo "After TypeText, notepad shows: " & Replace(padEdit.Text, Chr(0), "")
' Beside it, SendText as published: key messages posted with the characters' key codes, which
' notepad translates without Shift (capitals come out small, and a key read as another key's gives
' another character or none). The keys are handled when notepad gets to them: wait (up to a minute)
' until they are there (Wine's cscript has no WScript.Sleep).
padEdit.Text = ""
WScript.Echo "SendText returned " & padEdit.SendText("This is some text.", 5)
For waited = 1 To 600
    shown = Replace(padEdit.Text, Chr(0), "")
    If InStr(shown, "this is some text") > 0 Then Exit For
    started = Timer: Do While Timer - started < 0.1 And Timer >= started: Loop
Next
WScript.Echo "After SendText (published behaviour), notepad shows: " & shown
' ClickMenu chooses an entry by its captions where the system lets this process read notepad's
' menus; under Wine it cannot, and says so.
On Error Resume Next
typing.ClickMenu pad, "Edit\Select All"
If Err.Number = 0 Then WScript.Echo "ClickMenu chose Edit\Select All" Else WScript.Echo "ClickMenu: " & Err.Description
On Error GoTo 0
' Typed text counts as a change; clear the flag (EM_SETMODIFY) so closing asks nothing.
padEdit.SendMsgLong &HB9, 0, 0, True

pad.CloseWindow
