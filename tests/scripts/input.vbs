' Clicking and typing from VBScript, against Wine's notepad.
' needs: notepad.exe

Dim pad, edit, typed, tries, number, description
Set pad = WaitForWindow("Notepad", "Untitled - Notepad")
Check pad.hWnd <> 0, "notepad found"

' SendText answers True; an interval outside 16 bits is error 6 before any key, but not for "".
CheckEqual True, pad.SendText(""), "SendText of an empty text"
CheckEqual True, pad.SendText("", 32768), "nothing to type, nothing to overflow"
On Error Resume Next
Err.Clear
pad.SendText "abc", 32768
number = Err.Number
On Error GoTo 0
CheckEqual 6, number, "SendText with an interval of 32768"

' A malformed key string is error 5 and types nothing.
Dim malformed
For Each malformed In Array("{FOO}", "{ENTER", "(ab", "}", "{a 10001}", "+")
    On Error Resume Next
    Err.Clear
    pad.VBSendKeys malformed, True
    number = Err.Number
    description = Err.Description
    On Error GoTo 0
    CheckEqual 5, number, "VBSendKeys " & malformed
    CheckEqual "Invalid procedure call or argument", description, "error text for " & malformed
Next

' Out-of-range click methods are ignored without an error.
pad.ClickButton 7
pad.ClickButton -1
Check pad.IsWindow, "notepad still there after ignored clicks"

' Keys go without Shift, so the letters arrive in lower case.
Set edit = pad.GetChild("Edit")
CheckEqual True, edit.SendText("Typed by Wrang 42", 5), "SendText into notepad's edit control"
For tries = 1 To WAIT_TENTHS
    typed = Replace(edit.Text, Chr(0), "")
    If typed = "typed by wrang 42" Then Exit For
    Pause 0.1
Next
CheckEqual "typed by wrang 42", typed, "text read back from notepad"
' The key-string service types into the active window, which is notepad with its edit focused.
pad.VBSendKeys "{END}+(x)yz", True
CheckEqual "typed by wrang 42Xyz", Replace(edit.Text, Chr(0), ""), "VBSendKeys with the wait flag"

Finish
