// Lists the devices of the classes named on the command line (all common
// classes when none is named) with their descriptions, and a modem's speed.
//   cscript //nologo find_devices.js [class ...]
var hw = new ActiveXObject("Orvane.VXR.ZEKO.HWInfo");
var classes = ["DiskDrive", "CDROM", "Monitor", "Net", "Printer", "Media", "modem", "Display", "SCSIAdapter"];
if (WScript.Arguments.length > 0) {
    classes = [];
    for (var a = 0; a < WScript.Arguments.length; a++) classes.push(WScript.Arguments.Item(a));
}

for (var c = 0; c < classes.length; c++) {
    var cls = classes[c];
    // Each FindDevice walks the registry from the start; 64 is more devices
    // of one class than any machine has.
    for (var n = 0; n < 64 && hw.FindDevice(n, cls); n++) {
        var key = hw.HWKey;
        var line = cls + " " + n + ": " + hw.GetDeviceInfo(key, "", "DeviceDesc") +
                   " (status " + hw.DeviceStatus + ")";
        if (cls.toLowerCase() == "modem") {
            var speed = hw.GetDeviceInfo(key, "", "Speed");
            line += ", " + (speed === undefined ? "speed unknown" : speed + " bit/s");
        }
        WScript.Echo(line);
    }
}
WScript.Echo("SCSI bus: " + (hw.HasSCSIBus ? "yes" : "no") + ", AGP bus: " + (hw.HasAGPBus ? "yes" : "no"));
