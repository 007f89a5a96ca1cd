// JScript reads a device's multi-string "HardwareID" through VBArray.
// Prints the tally "N passed, N failed" last.
var passed = 0, failed = 0;
function check(ok, name, detail) {
    if (ok) { passed++; } else { failed++; WScript.Echo("FAIL " + name + ": " + detail); }
}
var o = new ActiveXObject("Orvane.VXR.ZEKO.HWInfo");
var key = "System\\CurrentControlSet\\Enum\\PCI\\VEN_8086&DEV_2415\\3&267a616a&0&28";
var ids = new VBArray(o.GetDeviceInfo(key, "", "HardwareID")).toArray();
check(ids.length == 2, "two identifiers", ids.length);
check(ids[0] == "PCI\\VEN_8086&DEV_2415&SUBSYS_00008086&REV_01", "first identifier", ids[0]);
check(ids[1] == "PCI\\CC_040100", "second identifier", ids[1]);
WScript.Echo(passed + " passed, " + failed + " failed");
