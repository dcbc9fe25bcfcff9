// Creating the classes and binding a window from JScript.

var w = new ActiveXObject("Wrang.clsWrangler");
var same = w.InitByHandle(12345);
check(same === w || same == w, "InitByHandle returns the object");
check(w.hWnd == 12345, "hWnd keeps any value");
check(w.GetWindowHandle() == 12345, "GetWindowHandle");
check(w.IsWindow == false, "12345 names no window");

var none = new ActiveXObject("Wrang.clsWrangler").InitByWindow();
check(none != null, "InitByWindow with no arguments returns the object");
check(none.hWnd == 0, "omitted arguments are not wildcards");

// null where an object is needed arrives as Nothing (error 91), not as a type mismatch (13).
var number = 0;
try { w.Parent = null; } catch (e) { number = errorNumber(e); }
checkEqual(91, number, "Parent set to null");
number = 0;
try { new ActiveXObject("Wrang.clsJuggler").ClickChildItem2(null); } catch (e) { number = errorNumber(e); }
checkEqual(91, number, "ClickChildItem2(null)");

var j = new ActiveXObject("Wrang.clsJuggler");
check(j != null, "Wrang.clsJuggler can be created");
var t = new ActiveXObject("Wrang.clsSysToolbar");
check(t != null, "Wrang.clsSysToolbar can be created");

var names = ["Wrang.clsMenuItem", "Wrang.clsMenuEnum", "Wrang.clsToolbarButton"];
for (var i = 0; i < names.length; i++) {
    var refused = false;
    try { new ActiveXObject(names[i]); } catch (e) { refused = errorNumber(e) == 429; }
    check(refused, names[i] + " cannot be created");
}

// Errors reach JScript with their numbers: 6 for an overflow, 91 for a missing object.
var number = 0;
try { w.SendText("abc", 32768); } catch (e) { number = errorNumber(e); }
checkEqual(6, number, "SendText with an interval of 32768");
number = 0;
try { w.Parent = null; } catch (e) { number = errorNumber(e); }
checkEqual(91, number, "Parent set to null");
// JScript's null for an object parameter is a null reference, not a type mismatch.
checkEqual(0, w.SendMsg(0, 0, null), "SendMsg with a null object to a handle that is no window");

finish();
