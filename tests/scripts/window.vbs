' Walking Wine's notepad, reading and changing its attributes and sending it messages, from VBScript.
' needs: notepad.exe

Const WM_SETTEXT = &HC, WM_GETTEXT = &HD, EM_GETSEL = &HB0, EM_SETSEL = &HB1, EM_SETMODIFY = &HB9
Dim pad, edit, other, last, buffer, original, sel, answer, tries

Set pad = WaitForWindow("Notepad", "Untitled - Notepad")
Check pad.hWnd <> 0, "notepad found"

' The tree: a top-level window with the edit control first and the status bar last.
CheckEqual "Notepad", pad.ClassName, "class name of the top-level window"
CheckEqual "Untitled - Notepad", pad.Text, "caption"
CheckEqual 0, pad.hWndParent, "a top-level window has no parent"
CheckEqual 0, pad.Parent.hWnd, "Parent of a top-level window is unbound, not Nothing"
CheckEqual 0, pad.GetTopLevelParent().hWnd, "the climb starts above the window"
Check pad.HasChildren, "notepad has children"

' The edit control's own caption is empty, so "" finds it ("" is not a wildcard).
Set edit = pad.GetChild("Edit", "")
Check edit.hWnd <> 0, "edit child found"
CheckEqual "Edit", edit.ClassName, "class name of the edit child"
CheckEqual pad.hWnd, edit.hWndParent, "hWndParent of the edit child"
CheckEqual pad.hWnd, edit.Parent.hWnd, "Parent of the edit child"
CheckEqual pad.hWnd, edit.GetTopLevelParent().hWnd, "top-level parent of the edit child"
CheckEqual edit.hWnd, pad.GetFirstChild().hWnd, "the edit control is the first child"
CheckEqual 0, edit.GetPreviousSibling().hWnd, "nothing before the first child"
Set last = pad.GetLastChild()
Check last.hWnd <> edit.hWnd And last.hWnd <> 0, "the last child is another window"
CheckEqual 0, last.GetNextSibling().hWnd, "nothing after the last child"
CheckEqual edit.hWnd, last.GetSibling("Edit", "").hWnd, "GetSibling searches from the first child"
Set other = edit.GetSibling("Edit", "")
CheckEqual edit.hWnd, other.hWnd, "GetSibling finds the window itself"
Check Not (other Is edit), "as a new object"
CheckEqual 0, pad.GetChild().hWnd, "omitted names ask for an empty class name"
CheckEqual False, edit.HasChildren, "the edit control has no children"

' Text of a control, read and set; the same through messages.
edit.Text = "hello from a script"
CheckEqual "hello from a script", edit.Text, "edit text read back"
buffer = Space(30)
answer = edit.SendMsgStringByRef(WM_GETTEXT, 30, buffer, True)
CheckEqual 19, answer, "WM_GETTEXT answer"
CheckEqual 30, Len(buffer), "the whole buffer comes back"
CheckEqual "hello from a script" & Chr(0) & Space(10), buffer, "text, its terminator, the old spaces"
original = "set by a message"
edit.SendMsgString WM_SETTEXT, 0, original, True
CheckEqual "set by a message", edit.Text, "WM_SETTEXT through SendMsgString"
CheckEqual "set by a message", original, "SendMsgString leaves the script's string alone"

' The selection end written back into a script variable through lParam.
edit.SendMsgLong EM_SETSEL, 2, 5, True
sel = 0
answer = edit.SendMsgLongByRef(EM_GETSEL, 0, sel, False)
CheckEqual 5, sel, "EM_GETSEL wrote the selection end into the script's variable"
CheckEqual 5 * 65536 + 2, answer, "EM_GETSEL answer"

' Position and size, read back through the window system.
pad.Left = 50
pad.Top = 60
pad.Width = 500
pad.Height = 400
CheckEqual 50, pad.Left, "Left"
CheckEqual 60, pad.Top, "Top"
CheckEqual 500, pad.Width, "Width"
CheckEqual 400, pad.Height, "Height"
Check edit.Left > pad.Left And edit.Top > pad.Top, "a child's edges are screen coordinates"

' Visibility, enabled state, show state, topmost flag.
pad.Visible = False
CheckEqual False, pad.Visible, "hidden"
CheckEqual 1, pad.WindowState, "a hidden window is in state 1"
pad.Visible = True
CheckEqual True, pad.Visible, "shown again"
pad.WindowState = 3
CheckEqual 3, pad.WindowState, "maximised"
pad.WindowState = 1
CheckEqual 1, pad.WindowState, "normal"
pad.WindowState = 6
CheckEqual 6, pad.WindowState, "minimised"
pad.WindowState = 1
CheckEqual 1, pad.WindowState, "normal again"
edit.Enabled = False
CheckEqual False, edit.Enabled, "disabled"
edit.Enabled = True
CheckEqual True, edit.Enabled, "enabled"
CheckEqual False, pad.AlwaysOnTop, "not topmost after binding"
pad.AlwaysOnTop = True
CheckEqual True, pad.AlwaysOnTop, "topmost as assigned"
pad.InitByHandle pad.hWnd
CheckEqual False, pad.AlwaysOnTop, "binding again forgets the flag"
pad.AlwaysOnTop = False

' Nothing is no parent: error 91, and the edit control stays where it is.
On Error Resume Next
Set edit.Parent = Nothing
CheckEqual 91, Err.Number, "Parent set to Nothing"
Err.Clear
On Error GoTo 0
CheckEqual pad.hWnd, edit.hWndParent, "parent unchanged"

' Closing: the message is posted; afterwards the object reads as no window at all.
edit.SendMsgLong EM_SETMODIFY, 0, 0, True
pad.CloseWindow
For tries = 1 To WAIT_TENTHS
    If Not pad.IsWindow Then Exit For
    Pause 0.1
Next
CheckEqual False, pad.IsWindow, "notepad closed"
pad.PostMsg WM_SETTEXT, 0, 0
CheckEqual "", pad.Text, "Text of a closed window"
CheckEqual "", pad.ClassName, "ClassName of a closed window"
CheckEqual 0, pad.Width, "Width of a closed window"
CheckEqual False, pad.Visible, "Visible of a closed window"

Finish
