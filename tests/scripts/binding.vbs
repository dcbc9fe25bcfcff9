' Creating the classes and binding a window from VBScript, against Wine's notepad.
' needs: notepad.exe

Dim pad, w, none, again
Set pad = WaitForWindow("Notepad", "Untitled - Notepad")
Check pad.hWnd <> 0, "notepad found by class name and caption"
Check pad.IsWindow, "IsWindow of notepad"
CheckEqual pad.hWnd, pad.GetWindowHandle(), "GetWindowHandle equals hWnd"

' Creation and binding chain in one expression; the result is the object itself.
Set w = CreateObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad")
CheckEqual pad.hWnd, w.hWnd, "chained InitByWindow"
Set again = w.InitByHandle(w.hWnd)
Check again Is w, "InitByHandle returns the same object"

' Omitted arguments are empty strings, not wildcards: no window has an empty class name.
Set none = CreateObject("Wrang.clsWrangler").InitByWindow()
Check Not (none Is Nothing), "a lookup that finds nothing still returns the object"
CheckEqual 0, none.hWnd, "hWnd after a lookup that finds nothing"
CheckEqual False, none.IsWindow, "IsWindow after a lookup that finds nothing"
Set none = w.InitByWindow("Notepad")
CheckEqual 0, w.hWnd, "class only with the default caption does not match"

' The other creatable classes.
Dim tb, jg
Set tb = CreateObject("Wrang.clsSysToolbar")
Check TypeName(tb) <> "", "Wrang.clsSysToolbar can be created"
Set jg = CreateObject("Wrang.clsJuggler")
Check TypeName(jg) <> "", "Wrang.clsJuggler can be created"

' The other three classes are handed out, never created.
Dim progId, created
For Each progId In Array("Wrang.clsMenuItem", "Wrang.clsMenuEnum", "Wrang.clsToolbarButton")
    On Error Resume Next
    Err.Clear
    Set created = CreateObject(progId)
    CheckEqual 429, Err.Number, progId & " cannot be created"
    On Error GoTo 0
Next

Finish
