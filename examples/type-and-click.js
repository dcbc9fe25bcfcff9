// The classic unattended script: start the editor, type a sentence, close it, and answer its
// question whether to save with a click on the button of the answer.
//
// TypeText types exactly the text, into a window in front or not, and returns once the window has
// handled every character. Click posts a click at a point of a window, here a button of notepad's
// question (Wine's notepad asks with a message box: Yes, No, Cancel). ClickMenu chooses a menu
// entry by its captions where the window system shares menus between processes (Windows); under
// Wine a process can use only its own menus, and ClickMenu says so with error 5.
var watcher = new ActiveXObject("Wrang.clsWatcher");
var input = new ActiveXObject("Wrang.clsInput");
new ActiveXObject("WScript.Shell").Run("notepad.exe");

var pad = watcher.WaitForWindow("Notepad", null, 10000);
if (pad.hWnd == 0) { WScript.Echo("No notepad window within 10 seconds."); WScript.Quit(1); }
var edit = pad.GetChild("Edit");
WScript.Echo("Typed: " + input.TypeText(edit, "This is some text."));
WScript.Echo("Notepad shows: " + edit.Text);

// Edit > Select All, by its captions: the "&" marks and the accelerator text need not be written.
try {
    WScript.Echo("Chose Edit\\Select All: " + input.ClickMenu(pad, "Edit\\Select All"));
} catch (e) {
    WScript.Echo("ClickMenu: error " + (e.number & 0xFFFF) + ": " + e.description);
}

// The text is not saved, so closing asks; a click on No answers.
pad.CloseWindow();
var question = watcher.WaitForWindow("#32770", null, 10000);
var no = question.GetChild("Button", "&No");
WScript.Echo("Notepad asks (" + question.Text + "); clicked No: " + input.Click(no, 10, 10));
WScript.Echo("Notepad closed: " + watcher.WaitForClose(pad, 10000));
