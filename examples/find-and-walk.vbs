' Find a window by class name and caption, walk its children, and climb back to the top.
' needs: notepad.exe
Option Explicit
Dim pad, child, edit, missing

Set pad = CreateObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad")
If pad.hWnd = 0 Then WScript.Echo "Start notepad first.": WScript.Quit 1
WScript.Echo "Found notepad: class " & pad.ClassName & ", hWnd " & pad.hWnd

WScript.Echo "Its child windows, first to last:"
Set child = pad.GetFirstChild()
Do While child.hWnd <> 0
    WScript.Echo "  " & child.ClassName & " (hWnd " & child.hWnd & ", parent " & child.hWndParent & ")"
    Set child = child.GetNextSibling()
Loop

' A child by class name; an empty caption "" would match only an empty caption.
Set edit = pad.GetChild("Edit")
WScript.Echo "The edit box by class name: " & edit.ClassName & _
    "; its top-level window is notepad: " & (edit.GetTopLevelParent().hWnd = pad.hWnd)

' A lookup that finds nothing still returns an object, bound to no window.
Set missing = CreateObject("Wrang.clsWrangler").InitByWindow("NoSuchClass", "No such window")
WScript.Echo "A window that does not exist: hWnd " & missing.hWnd & ", IsWindow " & missing.IsWindow
