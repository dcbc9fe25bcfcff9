' Listing the notification-area toolbar's buttons from VBScript, against the fake shell (its
' default buttons are Volume, Network and Clock, with commands 100, 101 and 102).
' needs: wrang_fakeshell.exe

Dim probe, tries, tb, again, btn, i, texts, shown, first, missing
' The fake shell may wait for its turn while tests of other programs use theirs; once its window
' is there, it is the only one (fake shells take turns).
Set probe = CreateObject("Wrang.clsWrangler")
For tries = 1 To 1500
    probe.InitByWindow "Shell_TrayWnd", "Wrang fake shell, default buttons"
    If probe.hWnd <> 0 Then Exit For
    Pause 0.1
Next
Check probe.hWnd <> 0, "the fake shell is running"

Set tb = CreateObject("Wrang.clsSysToolbar").Init()
Check Not (tb Is Nothing), "Init finds the toolbar"
Set again = tb.Init()
Check again Is tb, "Init returns the object itself"
Check tb.IsWindow, "IsWindow of the toolbar"
CheckEqual 3, tb.Count, "Count"

texts = ""
shown = ""
For i = 0 To tb.Count - 1
    Set btn = tb.GetButtonByIndex(i)
    texts = texts & btn.Text & "|"
    shown = shown & btn.Visible & "|"
    WScript.Echo "button " & i & ": """ & btn.Text & """, visible " & btn.Visible
Next
CheckEqual "Volume|Network|Clock|", texts, "texts by index"
CheckEqual "True|True|True|", shown, "all shown at first"

' Hide one by its command, list again, and show it again.
tb.GetButtonByCommand(101).Visible = False
shown = ""
For i = 0 To tb.Count - 1
    shown = shown & tb.GetButtonByIndex(i).Visible & "|"
Next
CheckEqual "True|False|True|", shown, "Network hidden"
tb.GetButtonByCommand(101).Visible = True
CheckEqual True, tb.GetButtonByIndex(1).Visible, "Network shown again"

' Walking with the neighbours, and their ends.
Set first = tb.GetButtonByIndex(0)
texts = ""
Set btn = first
Do Until btn Is Nothing
    texts = texts & btn.Text & "|"
    Set btn = btn.GetNextButton()
Loop
CheckEqual "Volume|Network|Clock|", texts, "texts by GetNextButton"
Check first.GetPreviousButton() Is Nothing, "nothing before the first button"

' A move, seen through a fresh listing, and back.
first.MoveRight
CheckEqual "Network", tb.GetButtonByIndex(0).Text, "moved right: the neighbour takes index 0"
CheckEqual "Volume", tb.GetButtonByIndex(1).Text, "moved right: Volume is second"
tb.GetButtonByIndex(1).MoveLeft
CheckEqual "Volume", first.Text, "moved back"

Set missing = tb.GetButtonByCommand(999)
Check Not (missing Is Nothing), "an absent command still gives a button"
CheckEqual "", missing.Text, "an absent command has no text"
CheckEqual "Volume", missing.GetNextButton().Text, "after index -1 comes the first button"

Finish
