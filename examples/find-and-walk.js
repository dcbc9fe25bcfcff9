// Find a window by class name and caption, walk its children, and climb back to the top.
// needs: notepad.exe

var pad = new ActiveXObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad");
if (pad.hWnd == 0) { WScript.Echo("Start notepad first."); WScript.Quit(1); }
WScript.Echo("Found notepad: class " + pad.ClassName + ", hWnd " + pad.hWnd);

WScript.Echo("Its child windows, first to last:");
for (var child = pad.GetFirstChild(); child.hWnd != 0; child = child.GetNextSibling())
    WScript.Echo("  " + child.ClassName + " (hWnd " + child.hWnd + ", parent " + child.hWndParent + ")");

// A child by class name; an empty caption "" would match only an empty caption.
var edit = pad.GetChild("Edit");
WScript.Echo("The edit box by class name: " + edit.ClassName +
             "; its top-level window is notepad: " + (edit.GetTopLevelParent().hWnd == pad.hWnd));

// A lookup that finds nothing still returns an object, bound to no window.
var missing = new ActiveXObject("Wrang.clsWrangler").InitByWindow("NoSuchClass", "No such window");
WScript.Echo("A window that does not exist: hWnd " + missing.hWnd + ", IsWindow " + missing.IsWindow);
