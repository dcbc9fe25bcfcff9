// Read what another program shows in its lists: the rows of a list view, cell by cell and column by
// column, and a branch of a tree view. The texts live in the other program's process; Wrang reads
// them from there and changes nothing in it. Then choose in them as a user does: select a row, check
// a box, expand a branch; the program is told, as by a click.
// needs: wrang_target --lists
// (under test the project's own lists target shows them; bind the readers to any program's controls)
var top = new ActiveXObject("Wrang.clsWrangler").InitByWindow("WrangListsTarget", "Lists target");
if (top.hWnd == 0) { WScript.Echo("Start the lists target first."); WScript.Quit(1); }

// A text as the example prints it: long ones cut short.
function cut(text) { return text.length > 30 ? text.substr(0, 27) + "..." : text; }

// The list view by its class and window name; the reader tells the kind from the class.
var files = new ActiveXObject("Wrang.clsListReader").InitByHandle(top.GetChild("SysListView32", "Files").hWnd);
if (files == null) { WScript.Echo("No list view found."); WScript.Quit(1); }
WScript.Echo("The list view has " + files.Count + " rows of " + files.ColumnCount + " columns:");
for (var row = 0; row < files.Count; row++) {
    var cells = [];
    for (var column = 0; column < files.ColumnCount; column++) cells.push(cut(files.GetText(row, column)));
    WScript.Echo("  " + cells.join(" | "));
}

// A whole column in one call: a script's array of strings (VBArray turns it into JScript's).
var names = new VBArray(files.GetColumn(0)).toArray();
WScript.Echo("The first column holds " + names.length + " names; the first is " + names[0]);
WScript.Echo("Selected row: " + files.SelectedIndex + "; found README.TXT from row 1 on: row " +
             files.FindText("README.TXT", 0, 1));

// The tree: a path names an item by the texts from a root down.
var tree = new ActiveXObject("Wrang.clsTreeReader").InitByHandle(top.GetChild("SysTreeView32", "Folders").hWnd);
if (tree == null) { WScript.Echo("No tree view found."); WScript.Quit(1); }
WScript.Echo("The tree holds " + tree.Count + " items; selected: " + tree.SelectedPath);
WScript.Echo("Fruits: " + new VBArray(tree.GetChildren("Fruits")).toArray().join(", "));
WScript.Echo("Fruits\\Apple: " + new VBArray(tree.GetChildren("Fruits\\Apple")).toArray().join(", ") +
             " (expanded: " + tree.IsExpanded("Fruits\\Apple") + ")");
try {
    tree.GetChildren("Fruits\\Cherry");
} catch (e) {
    WScript.Echo("Fruits\\Cherry: error " + (e.number & 0xFFFF) + ", exists: " + tree.Exists("Fruits\\Cherry"));
}

// Choosing as a user does: the program is told, as by a click, and its own code runs.
var fruit = new ActiveXObject("Wrang.clsListReader").InitByHandle(top.GetChild("SysListView32", "Fruit").hWnd);
WScript.Echo("Selected Plums: " + fruit.Select(2) + "; selected rows now: " +
             new VBArray(fruit.SelectedIndices()).toArray().join(","));
WScript.Echo("Checked Apples: " + fruit.Check(0, true) + "; Pears checked: " + fruit.IsChecked(1));

// A tree whose program adds a branch's children only when the branch is first expanded: Expand opens
// each level in turn, so a path three levels down is reached in one call.
var keys = new ActiveXObject("Wrang.clsTreeReader").InitByHandle(top.GetChild("SysTreeView32", "Keys").hWnd);
WScript.Echo("Drive C\\Users there before: " + keys.Exists("Drive C\\Users"));
WScript.Echo("Expanded Drive C\\Users\\Public: " + keys.Expand("Drive C\\Users\\Public") +
             "; Drive C\\Users holds " + new VBArray(keys.GetChildren("Drive C\\Users")).toArray().join(", "));
