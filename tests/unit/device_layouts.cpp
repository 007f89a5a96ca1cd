#include "device_layouts.h"

#include <map>
#include <vector>

namespace device_layouts {

namespace {

using platform::fake::Machine;

const std::string kEnum = "HKLM\\System\\CurrentControlSet\\Enum\\";
const std::string kServices = "HKLM\\System\\CurrentControlSet\\Services\\";
const std::string kClass = "HKLM\\System\\CurrentControlSet\\Control\\Class\\";
const std::string kNet = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
const std::string kMedia = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\MediaResources\\";

struct Device {
    const std::string& path;
    const char* service;
    const char* cls;
    const char* guid;  // as the system writes it: upper case on XP, lower case later
    const char* reference;  // "@file,%key%" of the later systems' indirect text
    const char* words;
    const char* hardwareIds;  // separated by '|'
    DWORD nt4Flags;
};

const Device kDevices[] = {
    {kKeyboard, "i8042prt", "Keyboard", "{4d36e96b-e325-11ce-bfc1-08002be10318}",
     "@keyboard.inf,%*pnp0303.devicedesc%", "Standard PS/2 Keyboard", "ACPI\\PNP0303|*PNP0303",
     0x0A},
    {kUsbKeyboard, "kbdhid", "Keyboard", "{4d36e96b-e325-11ce-bfc1-08002be10318}",
     "@keyboard.inf,%hid.keyboarddevice%", "HID Keyboard Device",
     "HID\\VID_046D&PID_C31C|HID_DEVICE_SYSTEM_KEYBOARD", 0},
    {kScsiAdapter, "aic78xx", "SCSIAdapter", "{4d36e97b-e325-11ce-bfc1-08002be10318}",
     "@oem5.inf,%aic7880%", "Orvane Ultra SCSI Controller", "PCI\\VEN_9004&DEV_8178", 0x0A},
    {kSound, "ac97intc", "MEDIA", "{4d36e96c-e325-11ce-bfc1-08002be10318}", "@oem7.inf,%ac97%",
     "Orvane AC'97 Audio", "PCI\\VEN_8086&DEV_2415&SUBSYS_00008086&REV_01|PCI\\CC_040100", 0x0A},
    {kMonitor, "monitor", "Monitor", "{4d36e96e-e325-11ce-bfc1-08002be10318}",
     "@monitor.inf,%nonpnpmonitor.devicedesc%", "Generic Non-PnP Monitor",
     "MONITOR\\Default_Monitor", 0x0A},
    {kOldMonitor, "monitor", "Monitor", "{4d36e96e-e325-11ce-bfc1-08002be10318}",
     "@oem9.inf,%orv1700%", "Orvane 1700 Monitor", "MONITOR\\ORV1700", 0x0A},
    {kNetCard, "E100B", "Net", "{4d36e972-e325-11ce-bfc1-08002be10318}", "@net8255x.inf,%e100b%",
     "Orvane Fast Ethernet", "PCI\\VEN_8086&DEV_100E", 0x0A},
};

std::string MultiString(const char* items) {
    std::string bytes;
    for (const char* c = items; *c; ++c) bytes += *c == '|' ? '\0' : *c;
    return bytes + std::string(2, '\0');
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// The live list holds the devices present now; the removed monitor is not among them.
void AddLayout9x(Machine& m) {
    int entry = 0;
    for (const Device& d : kDevices) {
        const std::string hardware = "HKLM\\Enum\\" + d.path;
        m.Sz(hardware, "Class", d.cls).Sz(hardware, "DeviceDesc", d.words);
        if (&d.path == &kOldMonitor) continue;
        const std::string node = "HKDD\\Config Manager\\Enum\\C" + std::to_string(++entry);
        m.Sz(node, "HardwareKey", d.path).Dword(node, "Problem", &d.path == &kUsbKeyboard ? 22 : 0);
    }
}

void AddInstance(Machine& m, const Device& d, Layout layout) {
    const std::string key = kEnum + d.path;
    m.Sz(key, "Service", d.service);
    if (layout == Layout::Nt4) {
        m.Sz(key, "Class", d.cls)
            .Dword(key, "StatusFlags", d.nt4Flags)
            .Dword(key, "Problem", 0)
            .Sz(key, "DeviceDesc", d.words);
        return;
    }
    if (layout != Layout::Win10 && layout != Layout::Win11) m.Sz(key, "Class", d.cls);
    m.Sz(key, "ClassGUID", layout == Layout::Xp ? Upper(d.guid) : d.guid)
        .Sz(key, "DeviceDesc",
            layout == Layout::Xp ? std::string(d.words) : std::string(d.reference) + ";" + d.words)
        .Raw(key, "HardwareID", REG_MULTI_SZ, MultiString(d.hardwareIds));
    m.Sz(kClass + d.guid, "Class", d.cls);
}

void AddServiceLists(Machine& m) {
    std::map<std::string, std::vector<std::string>> lists;
    for (const Device& d : kDevices) lists[d.service].push_back(d.path);
    for (const auto& [service, paths] : lists) {
        const std::string key = kServices + service + "\\Enum";
        m.Dword(key, "Count", static_cast<DWORD>(paths.size()));
        for (size_t i = 0; i < paths.size(); ++i) m.Sz(key, std::to_string(i), paths[i]);
    }
}

void AddLayout(Machine& m, Layout layout) {
    if (layout == Layout::Win9x) return AddLayout9x(m);
    for (const Device& d : kDevices) AddInstance(m, d, layout);
    AddServiceLists(m);
    if (layout == Layout::Nt4) {
        m.Sz(kNet + "1", "Title", "[1] Orvane Fast Ethernet")
            .Sz(kNet + "1", "Description", "Orvane Fast Ethernet")
            .Sz(kNet + "1", "ServiceName", "E100B1")
            .Sz(kNet + "1", "Manufacturer", "Orvane");
        m.Sz(kMedia + "wave\\orvaud.sys", "Active", "1")
            .Sz(kMedia + "wave\\orvaud.sys", "Description", "Orvane AC'97 Audio")
            .Sz(kMedia + "midi\\synth.sys", "Active", "0");
        return;
    }
    m.Sz(kNet + "7", "Description", "Orvane Fast Ethernet")
        .Sz(kNet + "7", "ServiceName", "{1B3C5D7E-0000-4000-8000-00AA00BB00CC}");
    m.Key(kMedia + "DirectSound\\Application Compatibility")
        .Key(kMedia + "msvideo\\MSVideo.VfWWDM");
    m.Sz(kEnum + kSound, "LocationInformation",
         layout == Layout::Xp ? "PCI bus 0, device 5, function 0"
                              : "@System32\\drivers\\pci.sys,#65536;"
                                "PCI bus %1, device %2, function %3;(0,5,0)");
}

// What the configuration manager answers for each machine, by the machine.
std::map<const Machine*, ConfigManager>& Answering() {
    static std::map<const Machine*, ConfigManager> answering;
    return answering;
}

// The device nodes located so far; a node's number is its place plus one.
std::vector<std::string>& Located() {
    static std::vector<std::string> located;
    return located;
}

constexpr DWORD kCrSuccess = 0x00, kCrNoSuchDevnode = 0x0D, kCrFailure = 0x13;
constexpr ULONG kDnStarted = 0x08, kDnHasProblem = 0x400;

ConfigManager AnswerOfCurrent() {
    Machine* machine = platform::fake::Current();
    const auto found = machine ? Answering().find(machine) : Answering().end();
    return found == Answering().end() ? ConfigManager::None : found->second;
}

DWORD WINAPI FakeLocate(DWORD* node, char* deviceId, ULONG flags) {
    Machine* machine = platform::fake::Current();
    const ConfigManager answers = AnswerOfCurrent();
    if (!machine || !node || !deviceId || flags != 0) return kCrFailure;
    if (answers == ConfigManager::Fails) return kCrFailure;
    const std::string id = deviceId;
    if (answers == ConfigManager::Garbage) {
        *node = 0xFFFFFFFF;
        return id == kOldMonitor ? 0xBAD : kCrSuccess;
    }
    if (lstrcmpiA(deviceId, kOldMonitor.c_str()) == 0 || !machine->HasKey(kEnum + id))
        return kCrNoSuchDevnode;
    Located().push_back(id);
    *node = static_cast<DWORD>(Located().size());
    return kCrSuccess;
}

DWORD WINAPI FakeStatus(ULONG* status, ULONG* problem, DWORD node, ULONG flags) {
    if (!status || !problem || flags != 0) return kCrFailure;
    if (AnswerOfCurrent() == ConfigManager::Garbage) {
        *status = 0xFFFFFFFF;
        *problem = 0xFFFFFFFF;
        return kCrSuccess;
    }
    if (node == 0 || node > Located().size()) return kCrFailure;
    const bool disabled = lstrcmpiA(Located()[node - 1].c_str(), kUsbKeyboard.c_str()) == 0;
    *status = disabled ? kDnHasProblem : kDnStarted;
    *problem = disabled ? 22 : 0;  // CM_PROB_DISABLED
    return kCrSuccess;
}

std::unique_ptr<Machine> RecordOf(Layout layout, ConfigManager cm) {
    switch (layout) {
    case Layout::Win9x: return Machine::Win9x();
    case Layout::Nt4: return Machine::Nt4();
    case Layout::Xp: return cm == ConfigManager::Answers2000 ? Machine::Win2000() : Machine::Xp();
    case Layout::Win7: return Machine::Win7();
    case Layout::Win10: return Machine::Win10();
    case Layout::Win11: return Machine::Win11();
    }
    return Machine::Nt();
}

}  // namespace

void OfferConfigManager(Machine& machine, ConfigManager cm) {
    Answering()[&machine] = cm;
    if (cm == ConfigManager::None) return;
    const char* library = cm == ConfigManager::Answers2000 ? "setupapi.dll" : "cfgmgr32.dll";
    machine.Offer(library, "CM_Locate_DevNodeA", &FakeLocate)
        .Offer(library, "CM_Get_DevNode_Status", &FakeStatus);
}

std::unique_ptr<Machine> MachineWith(Layout layout, ConfigManager cm) {
    auto machine = RecordOf(layout, cm);
    AddLayout(*machine, layout);
    OfferConfigManager(*machine, cm);
    return machine;
}

std::unique_ptr<Machine> TypicalMachine(Layout layout) {
    const bool older = layout == Layout::Win9x || layout == Layout::Nt4;
    return MachineWith(layout, older ? ConfigManager::None : ConfigManager::Answers);
}

}  // namespace device_layouts
