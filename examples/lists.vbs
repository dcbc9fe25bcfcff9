' Read what another program shows in its lists: the rows of a list view, cell by cell and column by
' column, and a branch of a tree view. The texts live in the other program's process; Wrang reads
' them from there and changes nothing in it. Then choose in them as a user does: select a row, check
' a box, expand a branch; the program is told, as by a click.
' needs: wrang_target --lists
' (under test the project's own lists target shows them; bind the readers to any program's controls)
Option Explicit
Dim top, files, tree, row, column, line, names, fruit, keys

Set top = CreateObject("Wrang.clsWrangler").InitByWindow("WrangListsTarget", "Lists target")
If top.hWnd = 0 Then WScript.Echo "Start the lists target first.": WScript.Quit 1

' A text as the example prints it: long ones cut short.
Function Cut(text)
    If Len(text) > 30 Then Cut = Left(text, 27) & "..." Else Cut = text
End Function

' The list view by its class and window name; the reader tells the kind from the class.
Set files = CreateObject("Wrang.clsListReader").InitByHandle(top.GetChild("SysListView32", "Files").hWnd)
If files Is Nothing Then WScript.Echo "No list view found.": WScript.Quit 1
WScript.Echo "The list view has " & files.Count & " rows of " & files.ColumnCount & " columns:"
For row = 0 To files.Count - 1
    line = ""
    For column = 0 To files.ColumnCount - 1
        If column > 0 Then line = line & " | "
        line = line & Cut(files.GetText(row, column))
    Next
    WScript.Echo "  " & line
Next

' A whole column in one call, as an array of strings.
names = files.GetColumn(0)
WScript.Echo "The first column holds " & (UBound(names) + 1) & " names; the first is " & names(0)
WScript.Echo "Selected row: " & files.SelectedIndex & "; found README.TXT from row 1 on: row " & _
    files.FindText("README.TXT", 0, 1)

' The tree: a path names an item by the texts from a root down.
Set tree = CreateObject("Wrang.clsTreeReader").InitByHandle(top.GetChild("SysTreeView32", "Folders").hWnd)
If tree Is Nothing Then WScript.Echo "No tree view found.": WScript.Quit 1
WScript.Echo "The tree holds " & tree.Count & " items; selected: " & tree.SelectedPath
WScript.Echo "Fruits: " & Join(tree.GetChildren("Fruits"), ", ")
WScript.Echo "Fruits\Apple: " & Join(tree.GetChildren("Fruits\Apple"), ", ") & _
    " (expanded: " & tree.IsExpanded("Fruits\Apple") & ")"
On Error Resume Next
tree.GetChildren "Fruits\Cherry"
WScript.Echo "Fruits\Cherry: error " & Err.Number & ", exists: " & tree.Exists("Fruits\Cherry")
On Error GoTo 0

' Choosing as a user does: the program is told, as by a click, and its own code runs.
Set fruit = CreateObject("Wrang.clsListReader").InitByHandle(top.GetChild("SysListView32", "Fruit").hWnd)
WScript.Echo "Selected Plums: " & fruit.Select(2) & "; selected rows now: " & Join(fruit.SelectedIndices, ",")
WScript.Echo "Checked Apples: " & fruit.Check(0, True) & "; Pears checked: " & fruit.IsChecked(1)

' A tree whose program adds a branch's children only when the branch is first expanded: Expand opens
' each level in turn, so a path three levels down is reached in one call.
Set keys = CreateObject("Wrang.clsTreeReader").InitByHandle(top.GetChild("SysTreeView32", "Keys").hWnd)
WScript.Echo "Drive C\Users there before: " & keys.Exists("Drive C\Users")
WScript.Echo "Expanded Drive C\Users\Public: " & keys.Expand("Drive C\Users\Public") & _
    "; Drive C\Users holds " & Join(keys.GetChildren("Drive C\Users"), ", ")
