' Unattended: start notepad, wait for its window, bring it to the front, type into it, close it and
' wait until it is gone. Every wait has a limit, and none hangs on a window that does not answer.
Option Explicit
' WaitStates, as the type library names them (a script does not read its constants).
Const WAIT_VISIBLE = 1, WAIT_ENABLED = 4, WAIT_RESPONDING = 32
Dim watcher, pad, edit
Set watcher = CreateObject("Wrang.clsWatcher")
CreateObject("WScript.Shell").Run "notepad.exe"

' Any notepad window, whatever its caption (a name left out matches any), within 10 seconds.
Set pad = watcher.WaitForWindow("Notepad", , 10000)
If pad.hWnd = 0 Then WScript.Echo "No notepad window within 10 seconds.": WScript.Quit 1
WScript.Echo "Notepad is there: " & pad.Text
WScript.Echo "Waiting for input: " & watcher.WaitForIdle(pad, 10000) & _
    ", visible, enabled and answering: " & watcher.WaitForState(pad, WAIT_VISIBLE Or WAIT_ENABLED Or WAIT_RESPONDING)

' VBSendKeys types into the active window: bring notepad to the front first.
WScript.Echo "In front: " & watcher.Activate(pad)
Set edit = pad.GetChild("Edit")
pad.VBSendKeys "Typed by the watcher", True
WScript.Echo "Notepad shows: " & edit.Text

' Ask before sending what waits for an answer, or send with a limit: Null when no answer comes.
If watcher.IsResponding(pad) Then
    WScript.Echo "Text length: " & watcher.SendMsgTimeout(edit, &HE, 0, 0, 1000)  ' WM_GETTEXTLENGTH
End If

' Nothing to save (EM_SETMODIFY False), so closing asks nothing; then wait until the window is gone.
edit.SendMsgLong &HB9, 0, 0, True
pad.CloseWindow
WScript.Echo "Notepad closed: " & watcher.WaitForClose(pad, 10000)
