#include "app/SerialDevices.h"

namespace delvar::app {

std::string DeviceChoicePath(const SerialDeviceInfo& device) {
    return device.byId.empty() ? device.path : device.byId;
}

std::string DeviceChoiceText(const SerialDeviceInfo& device) {
    std::string text = device.path;
    if (!device.description.empty()) text += " - " + device.description;
    if (!device.manufacturer.empty()) text += " (" + device.manufacturer + ")";
    if (device.access == PortAccess::Denied) text += " [no permission]";
    return text;
}

std::string PermissionMessage(const std::string& path) {
    return "No permission to open " + path +
           ". Serial ports belong to the group \"dialout\": add your user to it "
           "(sudo adduser $USER dialout), then log out and in again.";
}

}  // namespace delvar::app
