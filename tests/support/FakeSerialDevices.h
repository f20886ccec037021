// The computer's serial ports as a test sets them out.
#pragma once

#include <map>

#include "app/SerialDevices.h"

namespace delvar::testing {

struct FakeSerialDevices final : app::SerialDevices {
    std::vector<app::SerialDeviceInfo> devices;
    std::map<int, std::string> assigned;
    std::map<std::string, app::PortAccess> access;  // a path not in it is Ok

    std::vector<app::SerialDeviceInfo> List() override { return devices; }
    void Assign(int n, const std::string& path) override { assigned[n] = path; }
    std::string PathOf(int n) const override {
        auto it = assigned.find(n);
        return it != assigned.end() ? it->second : "/dev/ttyS" + std::to_string(n - 1);
    }
    app::PortAccess Access(const std::string& path) const override {
        auto it = access.find(path);
        return it != access.end() ? it->second : app::PortAccess::Ok;
    }
};

}  // namespace delvar::testing
