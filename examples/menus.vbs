' A window's menus: read the menu bar and its pop-ups, enumerate entries, rename one, click one.
' needs: notepad.exe
'
' Another process's menus can be used where the window system shares menus between processes
' (Windows). Under Wine a process can use only its own menus: there the menu bar's handle and the
' system-command identifiers are all this example can show, and it says so.
Option Explicit
Dim pad, bar, cursor, entry, popup, selectAll, caption, position

Set pad = CreateObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad")
If pad.hWnd = 0 Then WScript.Echo "Start notepad first.": WScript.Quit 1

Set bar = pad.GetMenu()
WScript.Echo "Notepad's menu bar: hMenu " & bar.hMenu & ", SC_CLOSE = " & bar.GetSysMenuID("SC_CLOSE")
If bar.ChildCount < 0 Then
    WScript.Echo "Its entries cannot be used from this process (ChildCount " & bar.ChildCount & _
        "): this system keeps menus private to their process."
    WScript.Quit 0
End If

' Enumerate the menu bar; each entry is itself the parent of its pop-up's entries.
Set cursor = bar.BeginChildEnum()
Do While cursor.NextItem()
    Set popup = cursor.GetItem()
    If Not popup Is Nothing Then
        WScript.Echo popup.Text & " (" & popup.ChildCount & " entries)"
        For position = 0 To popup.ChildCount - 1
            Set entry = popup.GetChildMenu(position)
            If Not entry Is Nothing Then
                If entry.IsSeparator Then
                    WScript.Echo "    ----"
                Else
                    WScript.Echo "    " & entry.Text & IIf(entry.Enabled, "", " (disabled)") & IIf(entry.Checked, " (checked)", "")
                    If Plain(entry.Text) = "Select All" Then Set selectAll = entry
                End If
            End If
        Next
    End If
Loop
bar.EndChildEnum cursor

' Rename the first pop-up's caption, then put it back.
Set popup = bar.GetChildMenu(0)
caption = popup.Text
popup.Text = caption & " (renamed)"
WScript.Echo "Renamed: " & popup.Text
popup.Text = caption
WScript.Echo "Restored: " & popup.Text

' Click an entry: notepad gets the same command as from the mouse.
If Not IsEmpty(selectAll) Then
    selectAll.ClickItem
    WScript.Echo "Clicked " & Plain(selectAll.Text)
End If

' A caption without its access-key marks and its shortcut: "Select &All<Tab>Ctrl+A" is "Select All".
Function Plain(caption)
    Plain = Replace(Split(caption & vbTab, vbTab)(0), "&", "")
End Function

Function IIf(condition, whenTrue, whenFalse)
    If condition Then IIf = whenTrue Else IIf = whenFalse
End Function
