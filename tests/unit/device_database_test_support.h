// What the tests of the two device databases share: the rows (with their
// checks) of the device search, of the value reads and of the driver-key
// paths at the edge of 259 characters. Each family's test describes its machine and lists its
// rows of these types.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "devices/device_family.h"
#include "devices/device_query.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace device_database_test {

// FindDeviceKey of device `number` of a class: whether it is found, and the
// key buffer and status after the call, found or not.
struct FindRow {
    const char* name;
    const char* deviceClass;
    LONG number;
    bool found;
    std::string key;
    LONG status;
};

inline void PrintTo(const FindRow& row, std::ostream* os) { *os << row.name; }

inline void ExpectFind(const FindRow& row) {
    char key[1040];
    std::memset(key, test_support::kFill, sizeof key);
    LONG status = test_support::kLongSentinel;
    EXPECT_EQ(row.found,
              devices::FindDeviceKey(row.number, row.deviceClass, key, sizeof key, &status));
    EXPECT_EQ(row.key, std::string(key));
    EXPECT_EQ(row.status, status);
}

// QueryDeviceValue of a value below a device key: whether it is read, its
// type, and its text (REG_SZ) or number (REG_DWORD).
struct ReadRow {
    const char* name;
    std::string deviceKey;
    const char* subkey;
    const char* valueName;
    bool ok;
    DWORD type;
    const char* text;
    DWORD number = 0;
};

inline void PrintTo(const ReadRow& row, std::ostream* os) { *os << row.name; }

inline void ExpectRead(const ReadRow& row) {
    BYTE buffer[1040];
    std::memset(buffer, test_support::kFill, sizeof buffer);
    DWORD type = test_support::kSentinel;
    DWORD size = sizeof buffer;
    EXPECT_EQ(row.ok, devices::QueryDeviceValue(row.deviceKey.c_str(), row.subkey, row.valueName,
                                                &type, buffer, &size));
    if (!row.ok) return;
    EXPECT_EQ(row.type, type);
    if (row.type == REG_SZ) {
        EXPECT_EQ(std::strlen(row.text) + 1, size);
        EXPECT_STREQ(row.text, reinterpret_cast<const char*>(buffer));
    }
    if (row.type == REG_DWORD) {
        DWORD number = 0;
        std::memcpy(&number, buffer, sizeof number);
        EXPECT_EQ(row.number, number);
    }
}

// The driver-key retry with a "Driver" text at the edge of the room that its
// family's prefix leaves of a 259-character path: the text may fill the room
// but not pass it, and a subkey may end the path at 259 characters.
struct DriverPathRow {
    const char* name;
    int pastRoom;  // the text's length minus the room
    bool terminated;
    const char* subkey;
    bool ok;
};

inline void PrintTo(const DriverPathRow& row, std::ostream* os) { *os << row.name; }

inline const DriverPathRow kDriverPathRows[] = {
    {"DriverFillingItsRoomUnterminated", 0, false, nullptr, true},
    {"DriverFillingItsRoomWithTerminatorIsTooLong", 0, true, nullptr, false},
    {"DriverOneByteTooLong", 1, false, nullptr, false},
    {"SubkeyEndingAt259", -3, true, "ab", true},
    {"SubkeyPassing259", -3, true, "abc", false},
    {"EmptySubkeyAt259", -1, true, "", true},
};

// Where a family keeps a device and its driver keys, and the room it gives
// the "Driver" text.
struct DriverPlace {
    const devices::DeviceFamily& family;
    DWORD room;
    std::string deviceKey;   // below HKLM
    std::string driverRoot;  // the machine's path of the driver keys' parent, with "\"
};

inline void ExpectDriverPath(platform::fake::Machine& machine, const DriverPlace& place,
                             const DriverPathRow& row) {
    const int length = static_cast<int>(place.room) + row.pastRoom;
    const std::string driver = "D\\" + std::string(static_cast<size_t>(length - 2), 'd');
    machine.Raw("HKLM\\" + place.deviceKey, "Driver", REG_SZ,
                row.terminated ? driver + std::string(1, '\0') : driver);
    std::string driverKey = place.driverRoot + driver.substr(0, place.room);
    if (row.subkey && *row.subkey) driverKey += std::string("\\") + row.subkey;
    machine.Sz(driverKey, "Answer", "deep");

    BYTE buffer[64] = {};
    DWORD type = 0, size = sizeof buffer;
    EXPECT_EQ(row.ok, devices::ReadDeviceValue(place.family, place.deviceKey.c_str(), row.subkey,
                                               "Answer", &type, buffer, &size));
    if (row.ok) {
        EXPECT_STREQ("deep", reinterpret_cast<const char*>(buffer));
    }
}

}  // namespace device_database_test
