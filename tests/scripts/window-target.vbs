' Text that only a control's own window procedure delivers, read from another process.
' needs: wrang_target
' (the build's helper program, started with no arguments from the tests directory of the build)

Dim target, exact, broken, text
Set target = WaitForWindow("WrangScriptTarget", "Script target")
Check target.hWnd <> 0, "target found"

' Both controls keep no caption of their own: GetWindowText has nothing, the messages have it.
Set exact = target.GetChild("WrangOwnText", "")
Check exact.hWnd <> 0, "control found"
CheckEqual "text of the window procedure", exact.Text, "text from WM_GETTEXTLENGTH and WM_GETTEXT"

' A control that reports a length of -1 leaves no buffer to fill: error 5, as the runtime gives.
Set broken = exact.GetNextSibling()
CheckEqual "WrangOwnText", broken.ClassName, "second control"
On Error Resume Next
text = broken.Text
CheckEqual 5, Err.Number, "Text of a control reporting a negative length"
Err.Clear
On Error GoTo 0

target.CloseWindow
Finish
