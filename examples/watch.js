// Unattended: start notepad, wait for its window, bring it to the front, type into it, close it and
// wait until it is gone. Every wait has a limit, and none hangs on a window that does not answer.
// WaitStates, as the type library names them (a script does not read its constants).
var WAIT_VISIBLE = 1, WAIT_ENABLED = 4, WAIT_RESPONDING = 32;
var watcher = new ActiveXObject("Wrang.clsWatcher");
new ActiveXObject("WScript.Shell").Run("notepad.exe");

// Any notepad window, whatever its caption (null matches any name), within 10 seconds.
var pad = watcher.WaitForWindow("Notepad", null, 10000);
if (pad.hWnd == 0) { WScript.Echo("No notepad window within 10 seconds."); WScript.Quit(1); }
WScript.Echo("Notepad is there: " + pad.Text);
WScript.Echo("Waiting for input: " + watcher.WaitForIdle(pad, 10000) + ", visible, enabled and answering: " +
             watcher.WaitForState(pad, WAIT_VISIBLE | WAIT_ENABLED | WAIT_RESPONDING));

// VBSendKeys types into the active window: bring notepad to the front first.
WScript.Echo("In front: " + watcher.Activate(pad));
var edit = pad.GetChild("Edit");
pad.VBSendKeys("Typed by the watcher", true);
WScript.Echo("Notepad shows: " + edit.Text);

// Ask before sending what waits for an answer, or send with a limit: null when no answer comes.
if (watcher.IsResponding(pad)) {
    var length = watcher.SendMsgTimeout(edit, 0x0E, 0, 0, 1000);  // WM_GETTEXTLENGTH
    WScript.Echo("Text length: " + (length === null ? "no answer" : length));
}

// Nothing to save (EM_SETMODIFY false), so closing asks nothing; then wait until the window is gone.
edit.SendMsgLong(0xB9, 0, 0, true);
pad.CloseWindow();
WScript.Echo("Notepad closed: " + watcher.WaitForClose(pad, 10000));
