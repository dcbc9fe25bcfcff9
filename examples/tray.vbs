' The buttons of the shell's notification area (the tray): list them, hide and show one, and move
' one along the toolbar. The buttons live in the shell's process; Wrang reads them from there.
' needs: wrang_fakeshell.exe
' (under test a stand-in shell provides the tray; on Windows the real one is used)
Option Explicit
Dim tray, button

Set tray = CreateObject("Wrang.clsSysToolbar").Init()
If tray Is Nothing Then WScript.Echo "This desktop has no notification area.": WScript.Quit 1

Sub List(title)
    Dim b, line
    Set b = tray.GetButtonByIndex(0)
    line = title & ":"
    Do While Not b Is Nothing
        If b.Visible Then line = line & " [" & b.Text & "]" Else line = line & " (" & b.Text & " hidden)"
        Set b = b.GetNextButton()
    Loop
    WScript.Echo line
End Sub

List "The tray's " & tray.Count & " buttons"

' A button object stands for a position on the toolbar, not for one button.
Set button = tray.GetButtonByIndex(1)
button.Visible = False
List "Second button hidden"
button.Visible = True
List "Shown again"

button.MoveRight
List "Second button moved right"
tray.GetButtonByIndex(2).MoveLeft
List "And moved back"
