// Shared assertions of the script tests, put in front of each JScript test by the build.
// Wine's cscript exits 0 and prints nothing on a script error, so a test passes only when it
// reaches finish() with every check passed and prints "ALL PASSED".
var passed = 0, failed = 0;
function check(condition, label) {
    if (condition) passed++; else { failed++; WScript.Echo("FAIL: " + label); }
}
function checkEqual(expected, actual, label) {
    check(expected === actual, label + " (expected [" + expected + "], got [" + actual + "])");
}
function finish() {
    WScript.Echo(failed == 0 && passed > 0 ? "ALL PASSED (" + passed + " checks)"
                                           : passed + " passed, " + failed + " failed");
}
// The number of an automation error as a script sees it (error 6 for 0x800A0006).
function errorNumber(e) { return e.number & 0xFFFF; }
