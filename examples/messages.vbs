' Send messages to a window: text into the window, text back into a buffer, and a number the
' window writes into a variable of the script.
' needs: notepad.exe
Option Explicit
Const WM_SETTEXT = &HC, WM_GETTEXT = &HD, EM_GETSEL = &HB0, EM_SETSEL = &HB1, EM_SETMODIFY = &HB9
Dim pad, edit, answer, buffer, selectionEnd

Set pad = CreateObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad")
If pad.hWnd = 0 Then WScript.Echo "Start notepad first.": WScript.Quit 1
Set edit = pad.GetChild("Edit")

' forceByVal True: the window gets the text's address itself, as WM_SETTEXT expects.
answer = edit.SendMsgString(WM_SETTEXT, 0, "Hello, world", True)
WScript.Echo "WM_SETTEXT answered " & answer

' The window copies into the script's string: make it long enough, and say how long in wParam.
buffer = Space(32)
answer = edit.SendMsgStringByRef(WM_GETTEXT, Len(buffer), buffer, True)
WScript.Echo "WM_GETTEXT copied " & answer & " characters: " & Left(buffer, answer)

' Select "world", then let the edit box write the end of the selection into selectionEnd:
' without forceByVal the window gets the address of the script's variable.
edit.SendMsgLong EM_SETSEL, 7, 12, True
selectionEnd = 0
edit.SendMsgLongByRef EM_GETSEL, 0, selectionEnd
WScript.Echo "EM_GETSEL wrote the end of the selection into the variable: " & selectionEnd

' Posting returns at once; here it clears the changed flag so that closing notepad asks nothing.
edit.PostMsg EM_SETMODIFY, 0, 0
