' A window's menu bar from VBScript, against Wine's notepad, which has one. Another process's menu
' handles can be used where the platform allows it (not under Wine); what holds everywhere is checked.
' needs: notepad.exe

Dim pad, bar, again, none, unbound, sys, en, item, count, walked, steps

' Any object with the members of a menu can be walked, a script's own class too: its members are
' found by name, and its GetChildMenu gets the cursor by reference.
Class ScriptMenu
    Public Asked
    Public Ended
    Public JumpFrom
    Public Property Get ChildCount()
        ChildCount = 2
    End Property
    Public Function GetChildMenu(nPos)
        Asked = Asked & nPos & ";"
        If nPos = JumpFrom Then nPos = 2147483647
        Set GetChildMenu = Nothing
    End Function
    Public Sub EndChildEnum(objEnum)
        Set Ended = objEnum
    End Sub
End Class
Set pad = WaitForWindow("Notepad", "Untitled - Notepad")
Check pad.hWnd <> 0, "notepad found"

Set bar = pad.GetMenu()
Check Not (bar Is Nothing), "GetMenu returns a controller"
Check bar.hMenu <> 0, "notepad has a menu bar"
CheckEqual pad.hWnd, bar.hWnd, "the controller names notepad's window"
CheckEqual bar.hMenu, bar.GetMenuHandle(), "GetMenuHandle equals hMenu"
CheckEqual pad.hWnd, bar.GetWindow().hWnd, "GetWindow gives notepad back"

' The same menu bar by class and caption; Nothing where there is no window or no menu bar.
Set again = CreateObject("Wrang.clsJuggler").InitByWindow("Notepad", "Untitled - Notepad")
CheckEqual bar.hMenu, again.hMenu, "InitByWindow finds the same menu bar"
Set none = CreateObject("Wrang.clsJuggler").InitByWindow("NoSuchClass", "No such caption")
Check none Is Nothing, "InitByWindow without a window gives Nothing"
Set none = CreateObject("Wrang.clsJuggler").Init(0, pad.hWnd)
Check none Is Nothing, "Init with menu 0 gives Nothing"

' A window object bound to nothing still hands out a controller, bound to nothing as well.
Set unbound = CreateObject("Wrang.clsWrangler").InitByHandle(0).GetMenu()
Check Not (unbound Is Nothing), "GetMenu of an unbound window is an object"
CheckEqual 0, unbound.hMenu, "its hMenu"
CheckEqual 0, unbound.hWnd, "its hWnd"
CheckEqual -1, unbound.ChildCount, "its ChildCount"
CheckEqual False, unbound.BeginChildEnum().NextItem(), "nothing to walk"

CheckEqual 61536, bar.GetSysMenuID("SC_CLOSE"), "SC_CLOSE"
CheckEqual 0, bar.GetSysMenuID("sc_close"), "names are case-sensitive"
CheckEqual 61696, bar.GetSysMenuID("SC_KEYMENU"), "SC_KEYMENU"

On Error Resume Next
Err.Clear
bar.ClickChildItem2 Nothing
CheckEqual 91, Err.Number, "clicking Nothing"
On Error GoTo 0

Set walked = New ScriptMenu
walked.JumpFrom = -2
Set en = CreateObject("Wrang.clsJuggler").BeginChildEnum()
en.Init walked
CheckEqual 2, en.Count(), "the count of a script's menu"
Check en.GetItem() Is Nothing, "an entry before the first step"
steps = 0
Do While en.NextItem()
    steps = steps + 1
    Check en.GetItem() Is Nothing, "a script's menu hands out Nothing"
Loop
CheckEqual 2, steps, "two steps over two entries"
CheckEqual "-1;0;1;", walked.Asked, "positions asked for"
en.EndEnum
Check walked.Ended Is en, "EndEnum hands over the cursor"
' The script moves the cursor to the top through its reference: the next step overflows.
walked.JumpFrom = 1
Set en = CreateObject("Wrang.clsJuggler").BeginChildEnum()
en.Init walked
Check en.NextItem() And en.NextItem(), "two steps"
en.GetItem
On Error Resume Next
Err.Clear
en.NextItem
CheckEqual 6, Err.Number, "the step past 2147483647"
On Error GoTo 0

count = bar.ChildCount
If count > 0 Then
    WScript.Echo "notepad's menu bar has " & count & " entries:"
    Set en = bar.BeginChildEnum()
    CheckEqual count, en.Count(), "the cursor's count"
    Do While en.NextItem()
        Set item = en.GetItem()
        If Not item Is Nothing Then WScript.Echo "  " & item.Text & " (" & item.ChildCount & " entries)"
    Loop
    en.EndEnum
Else
    WScript.Echo "notepad's menu bar " & bar.hMenu & " cannot be read from this process (ChildCount " & count & ")"
End If
Set sys = bar.GetSysMenu()
If Not sys Is Nothing Then WScript.Echo "notepad's system menu: " & sys.hMenu & ", " & sys.ChildCount & " entries"

Finish
