' The classic unattended script: start the editor, type a sentence, close it, and answer its
' question whether to save with a click on the button of the answer.
'
' TypeText types exactly the text, into a window in front or not, and returns once the window has
' handled every character. Click posts a click at a point of a window, here a button of notepad's
' question (Wine's notepad asks with a message box: Yes, No, Cancel). ClickMenu chooses a menu
' entry by its captions where the window system shares menus between processes (Windows); under
' Wine a process can use only its own menus, and ClickMenu says so with error 5.
Option Explicit
Dim watcher, input, pad, edit, question, chosen
Set watcher = CreateObject("Wrang.clsWatcher")
Set input = CreateObject("Wrang.clsInput")
CreateObject("WScript.Shell").Run "notepad.exe"

Set pad = watcher.WaitForWindow("Notepad", , 10000)
If pad.hWnd = 0 Then WScript.Echo "No notepad window within 10 seconds.": WScript.Quit 1
Set edit = pad.GetChild("Edit")
WScript.Echo "Typed: " & input.TypeText(edit, "This is some text.")
WScript.Echo "Notepad shows: " & edit.Text

' Edit > Select All, by its captions: the "&" marks and the accelerator text need not be written.
On Error Resume Next
chosen = input.ClickMenu(pad, "Edit\Select All")
If Err.Number = 0 Then
    WScript.Echo "Chose Edit\Select All: " & chosen
Else
    WScript.Echo "ClickMenu: error " & Err.Number & ": " & Err.Description
End If
On Error GoTo 0

' The text is not saved, so closing asks; a click on No answers.
pad.CloseWindow
Set question = watcher.WaitForWindow("#32770", , 10000)
WScript.Echo "Notepad asks (" & question.Text & "); clicked No: " & _
    input.Click(question.GetChild("Button", "&No"), 10, 10)
WScript.Echo "Notepad closed: " & watcher.WaitForClose(pad, 10000)
