// Type keys: posted straight to a control (no focus needed), and through the key-string service
// into the active window.
// needs: notepad.exe
var pad = new ActiveXObject("Wrang.clsWrangler").InitByWindow("Notepad", "Untitled - Notepad");
if (pad.hWnd == 0) { WScript.Echo("Start notepad first."); WScript.Quit(1); }
var edit = pad.GetChild("Edit");
function shown() { return edit.Text.replace(/\r\n/g, "{ENTER}").replace(/\0/g, ""); }

// SendText posts key messages straight to the control, 5 ms apart: a key-down and key-up per letter,
// digit or space (the window's own message loop makes the character, without Shift, so letters
// arrive in lower case). Brace names such as {F5} or {ENTER} stand for keys; most of them come with
// a character message of their own, so a window that also makes characters from key-downs, as
// notepad does, gets {ENTER} twice. Plain text is what types the same everywhere.
WScript.Echo("SendText returned " + edit.SendText("posted keys 42", 5));
// Posted keys are handled when notepad gets to them: wait (up to a minute) until they are there
// (Wine's cscript has no WScript.Sleep).
function pause(ms) { var until = new Date().getTime() + ms; while (new Date().getTime() < until) {} }
for (var tries = 0; tries < 600 && edit.Text.indexOf("posted keys 42") < 0; tries++) pause(100);
WScript.Echo("Notepad shows: " + shown());

// VBSendKeys types into whatever window is active, here notepad: + is Shift, (...) groups keys,
// {END} is a key name; true waits until the keys are handled.
pad.VBSendKeys("{END}+(x)yz", true);
WScript.Echo("After VBSendKeys: " + shown());

// A malformed key string is error 5 and types nothing.
try {
    pad.VBSendKeys("{NOSUCHKEY}", true);
} catch (e) {
    WScript.Echo("VBSendKeys \"{NOSUCHKEY}\" raised error " + (e.number & 0xFFFF) + ": " + e.description);
}
edit.SendMsgLong(0xB9, 0, 0, true);  // EM_SETMODIFY: nothing to save, so closing notepad asks nothing
