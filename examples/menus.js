// A window's menus: read the menu bar and its pop-ups, enumerate entries, rename one, click one.
// needs: notepad.exe
//
// Another process's menus can be used where the window system shares menus between processes
// (Windows). Under Wine a process can use only its own menus: there the menu bar's handle and the
// system-command identifiers are all this example can show, and it says so.
var pad = new ActiveXObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad");
if (pad.hWnd == 0) { WScript.Echo("Start notepad first."); WScript.Quit(1); }
function plain(text) { return text.split("\t")[0].replace(/&/g, ""); }

var bar = pad.GetMenu();
WScript.Echo("Notepad's menu bar: hMenu " + bar.hMenu + ", SC_CLOSE = " + bar.GetSysMenuID("SC_CLOSE"));
if (bar.ChildCount < 0) {
    WScript.Echo("Its entries cannot be used from this process (ChildCount " + bar.ChildCount +
                 "): this system keeps menus private to their process.");
    WScript.Quit(0);
}

// Enumerate the menu bar; each entry is itself the parent of its pop-up's entries.
var selectAll = null;
var cursor = bar.BeginChildEnum();
while (cursor.NextItem()) {
    var popup = cursor.GetItem();
    if (popup == null) continue;
    WScript.Echo(popup.Text + " (" + popup.ChildCount + " entries)");
    for (var position = 0; position < popup.ChildCount; position++) {
        var entry = popup.GetChildMenu(position);
        if (entry == null) continue;
        if (entry.IsSeparator) { WScript.Echo("    ----"); continue; }
        WScript.Echo("    " + entry.Text + (entry.Enabled ? "" : " (disabled)") + (entry.Checked ? " (checked)" : ""));
        if (plain(entry.Text) == "Select All") selectAll = entry;
    }
}
bar.EndChildEnum(cursor);

// Rename the first pop-up's caption, then put it back.
var first = bar.GetChildMenu(0);
var caption = first.Text;
first.Text = caption + " (renamed)";
WScript.Echo("Renamed: " + first.Text);
first.Text = caption;
WScript.Echo("Restored: " + first.Text);

// Click an entry: notepad gets the same command as from the mouse.
if (selectAll != null) {
    selectAll.ClickItem();
    WScript.Echo("Clicked " + plain(selectAll.Text));
}
