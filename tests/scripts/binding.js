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

finish();
