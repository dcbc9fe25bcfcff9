// Find a window whose caption you know only in part, in the program you started: a pattern for the
// caption, the process that Exec reports, a wait with a limit; then a control at any depth below it.
// MatchModes, as the type library names them (a script does not read its constants).
var MATCH_EXACT = 0, MATCH_WILDCARD = 1, MATCH_REGEX = 2;

var started = new ActiveXObject("WScript.Shell").Exec("notepad.exe");

// Any window whose caption ends with " - Notepad" that belongs to the process just started
// (wildcards are the default mode, without regard to case).
var finder = new ActiveXObject("Wrang.clsFinder");
finder.WindowText = "* - Notepad";
finder.ProcessId = started.ProcessID;
var watcher = new ActiveXObject("Wrang.clsWatcher");
var pad = watcher.WaitForMatch(finder, 10000);
if (pad.hWnd == 0) { WScript.Echo("No notepad window within 10 seconds."); WScript.Quit(1); }
WScript.Echo("Found: " + pad.Text + " (class " + pad.ClassName + ", process " + finder.ProcessIdOf(pad) + ")");
WScript.Echo("Its program: " + finder.ProcessPathOf(pad));

// Every top-level window of that process, owned pop-ups and dialogs included (null: any caption).
finder.WindowText = null;
WScript.Echo("Top-level windows of that process: " + finder.Count());

// Every window whose caption ends with " - Notepad", in any process: FindAll gives an array.
finder.Reset();
finder.WindowText = "* - Notepad";
var all = new VBArray(finder.FindAll()).toArray();
WScript.Echo("Notepad windows in any process: " + all.length);

// A control at any depth below the window, its class name as a regular expression.
finder.Reset();
finder.MatchMode = MATCH_REGEX;
finder.ClassName = "^edit$";
finder.Parent = pad;
var edit = finder.FindFirst();
WScript.Echo("Its edit control: hWnd " + edit.hWnd + ", control identifier " + finder.ControlIdOf(edit));

// A pattern that is no regular expression is refused where it is set.
try {
    finder.WindowText = "(unclosed";
} catch (e) {
    WScript.Echo("A bad pattern: error " + (e.number & 0xFFFF) + " (" + e.description + ")");
}

pad.CloseWindow();
WScript.Echo("Notepad closed: " + watcher.WaitForClose(pad, 10000));
