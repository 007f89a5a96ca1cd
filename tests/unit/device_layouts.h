// The same few devices as Windows NT 4.0, XP, 7 and 10/11 lay them out in the
// registry, and the configuration manager that Windows 2000 and later ask for
// a device's presence and problem. Written from the platform documentation
// ("HKLM\SYSTEM\CurrentControlSet\Enum Registry Tree", "System-Defined Device
// Setup Classes") and from what real registries of those systems hold:
//   NT 4.0   network cards with "Title", media resources marked "Active",
//            instances with "Class", "StatusFlags" and "Problem";
//   XP       network cards with "Description" only, no active media resource,
//            instances with "Class" and "ClassGUID", plain "DeviceDesc";
//   7        as XP, with "DeviceDesc" and "Mfg" in the indirect "@file,%key%;text" form;
//   10, 11   as 7, and instances without "Class": only "ClassGUID".
// From XP on, the services' "Enum" lists name present and absent devices
// alike; only the configuration manager tells them apart.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tests/fake_machine/fake_machine.h"

namespace device_layouts {

// Win9x: the 9x family's live device list names the present devices (with
// their problem codes) and their hardware keys below "Enum".
enum class Layout { Win9x, Nt4, Xp, Win7, Win10, Win11 };

// The devices, by their instance paths below the enumeration tree.
inline const std::string kKeyboard = "ACPI\\PNP0303\\4&1d401fb5&0";
inline const std::string kUsbKeyboard = "HID\\VID_046D&PID_C31C\\7&2a1b&0&0000";  // disabled
inline const std::string kScsiAdapter = "PCI\\VEN_9004&DEV_8178\\3&61aaa01&0&60";
inline const std::string kSound = "PCI\\VEN_8086&DEV_2415\\3&267a616a&0&28";
inline const std::string kMonitor = "DISPLAY\\Default_Monitor\\4&427137e&0&UID0";
inline const std::string kOldMonitor = "DISPLAY\\ORV1700\\1&8713bca&0&UID0";  // removed
inline const std::string kNetCard = "PCI\\VEN_8086&DEV_100E\\3&267a616a&0&18";

// The configuration manager's answers for a machine.
enum class ConfigManager {
    None,          // the system lacks the functions (as Windows 95 and NT 4.0 do)
    Answers,       // cfgmgr32.dll: present, absent and a disabled device (problem 22)
    Answers2000,   // the same answers from setupapi.dll, as Windows 2000 has them
    Fails,         // locates nothing: CR_FAILURE for every device (what Wine answers)
    Garbage,       // codes and problem numbers that no Windows returns
};

// A machine of the version's record with the layout, and the configuration
// manager offered as asked.
std::unique_ptr<platform::fake::Machine> MachineWith(Layout layout, ConfigManager cm);

// The machine of the layout's own Windows: the 9x family and NT 4.0 without
// the configuration manager, the others with it.
std::unique_ptr<platform::fake::Machine> TypicalMachine(Layout layout);

// Offers the configuration manager's two functions on a machine.
void OfferConfigManager(platform::fake::Machine& machine, ConfigManager cm);

}  // namespace device_layouts
