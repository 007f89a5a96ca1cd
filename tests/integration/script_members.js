// Calls every member of the registered component by name from JScript, on
// objects made through both ProgIDs, and compares the answers with what this
// Wine prefix says about itself. Argument: "nt" or "9x".
// The last line printed is the tally "N passed, N failed"; Wine's cscript
// reports no script errors, so the calling shell test insists on that line.
var E_NOTIMPL = 0x80004001, E_POINTER = 0x80004003, E_FAIL = 0x80004005;
// Script engines may turn E_NOTIMPL into "Object doesn't support this action".
var SCRIPT_ACTION_NOT_SUPPORTED = 0x800A01BD;

var passed = 0, failed = 0;
var mode = WScript.Arguments.length > 0 ? String(WScript.Arguments.Item(0)).toLowerCase() : "nt";
var isNt = mode == "nt";
var sh = new ActiveXObject("WScript.Shell");
var fso = new ActiveXObject("Scripting.FileSystemObject");

function report(ok, name, detail) {
    if (ok) { passed++; return; }
    failed++;
    WScript.Echo("FAIL " + name + ": " + detail);
}

function show(v) { return typeof v + " [" + v + "]"; }

// Calls fn; gives {value, error} with error the unsigned status or 0.
function call(fn) {
    try {
        return { value: fn(), error: 0 };
    } catch (e) {
        return { value: undefined, error: e.number >>> 0 };
    }
}

function expect(name, r, type, wanted) {
    if (r.error) report(false, name, "error 0x" + r.error.toString(16));
    else if (typeof r.value != type) report(false, name, show(r.value) + ", wanted a " + type);
    else report(r.value === wanted, name, show(r.value) + ", wanted [" + wanted + "]");
}

function expectNoCase(name, r, wanted) {
    if (!r.error && typeof r.value == "string") r.value = r.value.toLowerCase();
    expect(name, r, "string", wanted.toLowerCase());
}

function expectError(name, r, wanted) {
    var ok = r.error == wanted || (wanted == E_NOTIMPL && r.error == SCRIPT_ACTION_NOT_SUPPORTED);
    report(ok, name, "error 0x" + r.error.toString(16) + ", wanted 0x" + wanted.toString(16));
}

function regText(path) {
    try { return String(sh.RegRead(path)); } catch (e) { return ""; }
}

// Wine's WScript.Shell hands the expansion back with its terminating zero.
function env(name) { return sh.ExpandEnvironmentStrings("%" + name + "%").replace(/\0/g, ""); }

var NOMINAL = [12, 16, 20, 25, 33, 40, 50, 60, 66, 75, 80, 90, 100, 120, 133, 150,
               166, 200, 233, 266, 300, 333, 400, 450, 500, 550];
function nominalMhz(measured) {
    for (var i = 0; i < NOMINAL.length; i++) {
        var b = NOMINAL[i], d = Math.floor(b / 20);
        if (measured >= b - d && measured <= b + d) return b;
    }
    return measured;
}

// ---- Facts of this prefix ----------------------------------------------------------------
var NT_KEY = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\";
var WIN_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\";
var CPU_KEY = "HKLM\\Hardware\\Description\\System\\CentralProcessor\\";
var curKey = isNt ? NT_KEY : WIN_KEY;

var cpuCount = parseInt(env("NUMBER_OF_PROCESSORS"), 10);
var cpuLevel = parseInt(env("PROCESSOR_LEVEL"), 10);
var cpuRevision = parseInt(env("PROCESSOR_REVISION"), 16);
// Wine derives the processor type from the level: 3 and 4 are the 386 and
// 486, everything newer is reported as a Pentium. A 64-bit process sees the
// type AMD64, which is named by the registry's "Identifier" instead.
var is64 = env("PROCESSOR_ARCHITECTURE") == "AMD64";
var wantCpuId = cpuLevel == 3 ? "386" : cpuLevel == 4 ? "486"
              : cpuLevel != 6 ? "Pentium"
              : (cpuRevision & 0xFF00) == 0x700 ? "Pentium III" : "Pentium II";
// On the NT family processors newer than the Pentium III (above level 6; at
// level 6 model 9 and from 12 on), and every one a 64-bit process sees, go by their
// "ProcessorNameString" without its leading blanks, where there is one.
var cpuModel = (cpuRevision & 0xFF00) >> 8;
var cpuNewer = is64 || (isNt && (cpuLevel > 6 || (cpuLevel == 6 && (cpuModel == 9 || cpuModel >= 12))));
function wantCpu(key) {
    var name = regText(key + "ProcessorNameString").replace(/^ +/, "");
    if (cpuNewer && name != "") return name;
    return is64 ? regText(key + "Identifier") : wantCpuId;
}

var wantOsName = regText(curKey + "ProductName");
var csdText = isNt ? regText(NT_KEY + "CSDVersion") : "";
var wantOsVersion = isNt ? regText(NT_KEY + "CurrentVersion") + (csdText ? " (" + csdText + ")" : "")
                         : regText(WIN_KEY + "VersionNumber");
var wantOwner = regText(curKey + "RegisteredOwner");
var wantOrg = regText(curKey + "RegisteredOrganization");
var wantId = regText(curKey + "ProductId");

// Wine's JScript has no Enumerator, so the letters are walked one by one.
var sizeKb = 0;
for (var c = 65; c <= 90; c++) {
    var letter = String.fromCharCode(c);
    if (!fso.DriveExists(letter)) continue;
    var drive = fso.GetDrive(letter);
    if (drive.DriveType == 2) sizeKb += Math.floor(drive.TotalSize / 1024);
}
var wantDisksMb = Math.floor(sizeKb / 1024);

function vendorName(text) {
    switch (text.toLowerCase()) {
        case "genuineintel": return "Intel";
        case "authenticamd": return "AMD";
        case "cyrixinstead": return "Cyrix";
    }
    return text;
}

// ---- Every member, by name -----------------------------------------------------------------
function checkObject(o, label) {
    var p = label + ".";
    expect(p + "OSName", call(function () { return o.OSName; }), "string", wantOsName);
    expect(p + "OSVersion", call(function () { return o.OSVersion; }), "string", wantOsVersion);
    var csd = call(function () { return o.CSD; });
    if (isNt) expect(p + "CSD", csd, "string", csdText);
    else report(!csd.error && typeof csd.value == "string", p + "CSD is text", show(csd.value));
    expectError(p + "CSDVersion", call(function () { return o.CSDVersion; }), E_NOTIMPL);
    expectError(p + "BootDrive", call(function () { return o.BootDrive; }), E_NOTIMPL);
    expectNoCase(p + "ComputerName", call(function () { return o.ComputerName; }),
                 env("COMPUTERNAME").substr(0, 15));
    expect(p + "BootMode", call(function () { return o.BootMode; }), "number", 0);
    expectNoCase(p + "SysDir", call(function () { return o.SysDir; }), fso.GetSpecialFolder(1).Path);
    expectNoCase(p + "WinDir", call(function () { return o.WinDir; }), fso.GetSpecialFolder(0).Path);
    expect(p + "DebugEnabled", call(function () { return o.DebugEnabled; }), "boolean", false);
    expect(p + "RegOwnerName", call(function () { return o.RegOwnerName; }), "string", wantOwner);
    expect(p + "RegOrganization", call(function () { return o.RegOrganization; }), "string", wantOrg);
    expect(p + "RegID", call(function () { return o.RegID; }), "string", wantId);
    expect(p + "MfgName", call(function () { return o.MfgName; }), "string", "Generic");
    expect(p + "MfgComputerModel", call(function () { return o.MfgComputerModel; }), "string", "AT Compatible");
    expect(p + "NumberOfProcessors", call(function () { return o.NumberOfProcessors; }), "number", cpuCount);

    var bad = [0, -1, cpuCount + 1];
    for (var b = 0; b < bad.length; b++) {
        var n = bad[b];
        expect(p + "ProcessorId(" + n + ")", call(function () { return o.ProcessorId(n); }), "string", "");
        expect(p + "ProcessorMMXId(" + n + ")", call(function () { return o.ProcessorMMXId(n); }), "string", "");
        expect(p + "ProcessorVendorId(" + n + ")", call(function () { return o.ProcessorVendorId(n); }), "string", "");
        expect(p + "ProcessorSpeed(" + n + ")", call(function () { return o.ProcessorSpeed(n); }), "number", 0);
    }
    for (var i = 1; i <= cpuCount; i++) {
        var key = CPU_KEY + (i - 1) + "\\";
        expect(p + "ProcessorId(" + i + ")", call(function () { return o.ProcessorId(i); }), "string",
               wantCpu(key));
        expect(p + "ProcessorMMXId(" + i + ")", call(function () { return o.ProcessorMMXId(i); }), "string",
               regText(key + "MMXIdentifier"));
        expect(p + "ProcessorVendorId(" + i + ")", call(function () { return o.ProcessorVendorId(i); }), "string",
               vendorName(regText(key + "VendorIdentifier")));
        var mhz = isNt ? nominalMhz(parseInt(regText(key + "~MHz"), 10)) : 0;
        expect(p + "ProcessorSpeed(" + i + ")", call(function () { return o.ProcessorSpeed(i); }), "number", mhz);
    }

    expect(p + "DockedInfo", call(function () { return o.DockedInfo; }), "number", 4);
    expect(p + "CurrentHWProfile", call(function () { return o.CurrentHWProfile; }), "string", "");

    var names = ["MemoryTotalPhys", "MemoryTotalPageFile", "MemoryTotalVirtual"];
    var mem = [call(function () { return o.MemoryTotalPhys; }),
               call(function () { return o.MemoryTotalPageFile; }),
               call(function () { return o.MemoryTotalVirtual; })];
    for (var m = 0; m < mem.length; m++) {
        report(!mem[m].error && typeof mem[m].value == "number" && mem[m].value != 0 && mem[m].value != -1,
               p + names[m], show(mem[m].value));
    }
    var power = call(function () { return o.PowerStatus; });
    report(!power.error && power.value >= -1 && power.value <= 254, p + "PowerStatus", show(power.value));
    var battery = call(function () { return o.BatteryStatus; });
    report(!battery.error && battery.value >= 0 && battery.value <= 255, p + "BatteryStatus", show(battery.value));
    var life = call(function () { return o.BatteryLifeTime; });
    report(!life.error && typeof life.value == "number", p + "BatteryLifeTime", show(life.value));
    var full = call(function () { return o.BatteryFullLifeTime; });
    report(!full.error && typeof full.value == "number", p + "BatteryFullLifeTime", show(full.value));

    expect(p + "HWKey before FindDevice", call(function () { return o.HWKey; }), "string", "");
    expect(p + "DeviceStatus before FindDevice", call(function () { return o.DeviceStatus; }), "number", -1);
    expect(p + "FindDevice(0, monitor)", call(function () { return o.FindDevice(0, "monitor"); }), "boolean", isNt);
    var hwKey = call(function () { return o.HWKey; });
    if (isNt) {
        report(!hwKey.error && hwKey.value.indexOf("System\\CurrentControlSet\\Enum\\") == 0,
               p + "HWKey of the monitor", show(hwKey.value));
        expect(p + "GetDeviceInfo(monitor, Class)",
               call(function () { return o.GetDeviceInfo(hwKey.value, "", "Class"); }), "string", "Monitor");
        expect(p + "DeviceStatus after a routed find", call(function () { return o.DeviceStatus; }), "number", 0);
    } else {
        expect(p + "HWKey after a failed find", hwKey, "string", "");
    }
    expectError(p + "FindDevice(-1)", call(function () { return o.FindDevice(-1, "Monitor"); }), E_POINTER);
    expect(p + "HWKey emptied by a refused FindDevice", call(function () { return o.HWKey; }), "string", "");
    expect(p + "GetDeviceInfo of a missing key",
           call(function () { return o.GetDeviceInfo("Software\\No\\Such\\Key", "", "DeviceDesc"); }),
           "undefined", undefined);
    expect(p + "HasSCSIBus", call(function () { return o.HasSCSIBus; }), "boolean", false);
    expect(p + "HasAGPBus", call(function () { return o.HasAGPBus; }), "boolean", false);

    expect(p + "FixedDisksSizeInMB", call(function () { return o.FixedDisksSizeInMB; }), "number", wantDisksMb);
    var free = call(function () { return o.FixedDisksFreeSpaceInMB; });
    report(!free.error && free.value >= 0 && free.value <= wantDisksMb, p + "FixedDisksFreeSpaceInMB", show(free.value));
    var disk0 = call(function () { return o.FixedDiskSizeInMB(0); });
    if (isNt) report(!disk0.error && disk0.value > 0, p + "FixedDiskSizeInMB(0)", show(disk0.value) + " " + disk0.error);
    expectError(p + "FixedDiskSizeInMB(-1)", call(function () { return o.FixedDiskSizeInMB(-1); }), E_FAIL);
}

var progIds = ["Orvane.VXR.ZEKO.HWInfo", "Orvane.VXR.ZEKO.HWInfo.1"];
for (var k = 0; k < progIds.length; k++) {
    var made = call(function () { return new ActiveXObject(progIds[k]); });
    report(!made.error && made.value, "new ActiveXObject " + progIds[k], "error 0x" + made.error.toString(16));
    if (!made.error && made.value) checkObject(made.value, progIds[k]);
}

WScript.Echo(passed + " passed, " + failed + " failed");
