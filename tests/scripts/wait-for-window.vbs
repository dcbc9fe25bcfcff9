' Waits, up to a minute, until a top-level window of the class and caption exists: run-script.sh
' runs it after starting the programs a script needs, so that the script finds them at once, as
' it does when a user starts them first. Exits 0 when the window is there, 1 when it never came.
'   cscript wait-for-window.vbs CLASS CAPTION
Option Explicit
Dim target, tries, started
Set target = CreateObject("Wrang.clsWrangler")
For tries = 1 To 600
    If target.InitByWindow(WScript.Arguments(0), WScript.Arguments(1)).hWnd <> 0 Then WScript.Quit 0
    ' Wine's cscript has no WScript.Sleep.
    started = Timer: Do While Timer - started < 0.1 And Timer >= started: Loop
Next
WScript.Quit 1
