// Send messages to a window: text into the window, its text length, and the selection as a number.
// JScript passes every argument by value, so the members that write back into a script's variable
// (SendMsgLongByRef, SendMsgStringByRef) need VBScript: see messages.vbs.
// needs: notepad.exe
var WM_SETTEXT = 0xC, WM_GETTEXTLENGTH = 0xE, EM_GETSEL = 0xB0, EM_SETSEL = 0xB1, EM_SETMODIFY = 0xB9;
var pad = new ActiveXObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad");
if (pad.hWnd == 0) { WScript.Echo("Start notepad first."); WScript.Quit(1); }
var edit = pad.GetChild("Edit");

// forceByVal true: the window gets the text's address itself, as WM_SETTEXT expects.
WScript.Echo("WM_SETTEXT answered " + edit.SendMsgString(WM_SETTEXT, 0, "Hello, world", true));
WScript.Echo("WM_GETTEXTLENGTH answered " + edit.SendMsgLong(WM_GETTEXTLENGTH, 0, 0, true));

// Select "world"; EM_GETSEL without addresses answers start + end * 65536.
edit.SendMsgLong(EM_SETSEL, 7, 12, true);
var both = edit.SendMsgLong(EM_GETSEL, 0, 0, true);
WScript.Echo("EM_GETSEL answered " + both + ": selection from " + (both & 0xFFFF) + " to " + (both >>> 16));

// Posting returns at once; here it clears the changed flag so that closing notepad asks nothing.
edit.PostMsg(EM_SETMODIFY, 0, 0);
