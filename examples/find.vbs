' Find a window whose caption you know only in part, in the program you started: a pattern for the
' caption, the process that Exec reports, a wait with a limit; then a control at any depth below it.
Option Explicit
' MatchModes, as the type library names them (a script does not read its constants).
Const MATCH_EXACT = 0, MATCH_WILDCARD = 1, MATCH_REGEX = 2
Dim started, finder, watcher, pad, edit

Set started = CreateObject("WScript.Shell").Exec("notepad.exe")

' Any window whose caption ends with " - Notepad" that belongs to the process just started
' (wildcards are the default mode, without regard to case).
Set finder = CreateObject("Wrang.clsFinder")
finder.WindowText = "* - Notepad"
finder.ProcessId = started.ProcessID
Set watcher = CreateObject("Wrang.clsWatcher")
Set pad = watcher.WaitForMatch(finder, 10000)
If pad.hWnd = 0 Then WScript.Echo "No notepad window within 10 seconds.": WScript.Quit 1
WScript.Echo "Found: " & pad.Text & " (class " & pad.ClassName & ", process " & finder.ProcessIdOf(pad) & ")"
WScript.Echo "Its program: " & finder.ProcessPathOf(pad)

' Every top-level window of that process, owned pop-ups and dialogs included.
finder.WindowText = Empty
WScript.Echo "Top-level windows of that process: " & finder.Count()

' A control at any depth below the window, its class name as a regular expression.
finder.Reset
finder.MatchMode = MATCH_REGEX
finder.ClassName = "^edit$"
Set finder.Parent = pad
Set edit = finder.FindFirst()
WScript.Echo "Its edit control: hWnd " & edit.hWnd & ", control identifier " & finder.ControlIdOf(edit)

' A pattern that is no regular expression is refused where it is set.
On Error Resume Next
finder.WindowText = "(unclosed"
WScript.Echo "A bad pattern: error " & Err.Number & " (" & Err.Description & ")"
On Error GoTo 0

pad.CloseWindow
WScript.Echo "Notepad closed: " & watcher.WaitForClose(pad, 10000)
