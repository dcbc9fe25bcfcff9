// The buttons of the shell's notification area (the tray): list them, hide and show one, and move
// one along the toolbar. The buttons live in the shell's process; Wrang reads them from there.
// needs: wrang_fakeshell.exe
// (under test a stand-in shell provides the tray; on Windows the real one is used)
var tray = new ActiveXObject("Wrang.clsSysToolbar").Init();
if (tray == null) { WScript.Echo("This desktop has no notification area."); WScript.Quit(1); }

function list(title) {
    var line = title + ":";
    for (var b = tray.GetButtonByIndex(0); b != null; b = b.GetNextButton())
        line += b.Visible ? " [" + b.Text + "]" : " (" + b.Text + " hidden)";
    WScript.Echo(line);
}

list("The tray's " + tray.Count + " buttons");

// A button object stands for a position on the toolbar, not for one button.
var button = tray.GetButtonByIndex(1);
button.Visible = false;
list("Second button hidden");
button.Visible = true;
list("Shown again");

button.MoveRight();
list("Second button moved right");
tray.GetButtonByIndex(2).MoveLeft();
list("And moved back");
