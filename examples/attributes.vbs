' Read and change a window's attributes: caption, text, position, size, state, visibility.
' needs: notepad.exe
Option Explicit
Dim pad, edit

Set pad = CreateObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad")
If pad.hWnd = 0 Then WScript.Echo "Start notepad first.": WScript.Quit 1

WScript.Echo "Caption: " & pad.Text & "; enabled " & pad.Enabled & ", visible " & pad.Visible & _
    ", state " & pad.WindowState & " (1 normal, 3 maximised, 6 minimised)"

' Position and size are screen coordinates of the outer frame; each assignment moves or resizes.
pad.Left = 40: pad.Top = 30: pad.Width = 480: pad.Height = 320
WScript.Echo "Moved and resized to " & pad.Left & "," & pad.Top & ", " & pad.Width & " x " & pad.Height

Set edit = pad.GetChild("Edit")
edit.Text = "Written by the attributes example"
WScript.Echo "Edit box text: " & edit.Text

pad.Visible = False
WScript.Echo "Hidden: visible " & pad.Visible
pad.Visible = True
pad.WindowState = 6
WScript.Echo "Minimised: state " & pad.WindowState
pad.WindowState = 1
WScript.Echo "Restored: state " & pad.WindowState & ", visible " & pad.Visible
