// Read and change a window's attributes: caption, text, position, size, state, visibility.
// needs: notepad.exe
var pad = new ActiveXObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad");
if (pad.hWnd == 0) { WScript.Echo("Start notepad first."); WScript.Quit(1); }

// Booleans arrive as JScript's true and false.
WScript.Echo("Caption: " + pad.Text + "; enabled " + pad.Enabled + ", visible " + pad.Visible +
             ", state " + pad.WindowState + " (1 normal, 3 maximised, 6 minimised)");

// Position and size are screen coordinates of the outer frame; each assignment moves or resizes.
pad.Left = 40; pad.Top = 30; pad.Width = 480; pad.Height = 320;
WScript.Echo("Moved and resized to " + pad.Left + "," + pad.Top + ", " + pad.Width + " x " + pad.Height);

var edit = pad.GetChild("Edit");
edit.Text = "Written by the attributes example";
WScript.Echo("Edit box text: " + edit.Text);

pad.Visible = false;
WScript.Echo("Hidden: visible " + pad.Visible);
pad.Visible = true;
pad.WindowState = 6;
WScript.Echo("Minimised: state " + pad.WindowState);
pad.WindowState = 1;
WScript.Echo("Restored: state " + pad.WindowState + ", visible " + pad.Visible);
