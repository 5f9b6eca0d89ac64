// The serial devices as udev knows them: the "tty" subsystem, with the USB device above
// each adapter for its identifiers and strings.
#include <libudev.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "comm/port_discovery.h"
#include "comm/port_monitor.h"

namespace kasa {

namespace {

std::string Text(const char* value) {
    return value != nullptr ? std::string(value) : std::string();
}

std::string Attribute(udev_device* device, const char* name) {
    std::string value = Text(udev_device_get_sysattr_value(device, name));
    while (!value.empty() && (value.back() == '\n' || value.back() == ' ')) {
        value.pop_back();
    }
    return value;
}

// Four hexadecimal digits, upper case, as the identifiers carry them.
std::string Hex4(std::string value) {
    for (char& c : value) {
        c = c >= 'a' && c <= 'f' ? static_cast<char>(c - 32) : c;
    }
    return std::string(value.size() < 4 ? 4 - value.size() : 0, '0') + value;
}

// The stable /dev/serial/by-id link of the device, if udev made one.
std::string StableLink(udev_device* device) {
    for (udev_list_entry* link = udev_device_get_devlinks_list_entry(device); link != nullptr;
         link = udev_list_entry_get_next(link)) {
        const std::string name = Text(udev_list_entry_get_name(link));
        if (name.rfind("/dev/serial/by-id/", 0) == 0) {
            return name;
        }
    }
    // Without udev's database the links are still in the device's properties.
    const std::string links = Text(udev_device_get_property_value(device, "DEVLINKS"));
    for (size_t start = 0; start < links.size();) {
        size_t end = links.find(' ', start);
        end = end == std::string::npos ? links.size() : end;
        if (links.compare(start, 18, "/dev/serial/by-id/") == 0) {
            return links.substr(start, end - start);
        }
        start = end + 1;
    }
    return {};
}

DeviceProperties PropertiesOf(udev_device* device) {
    DeviceProperties p;
    const std::string node = Text(udev_device_get_devnode(device));
    const std::string kernelName = Text(udev_device_get_sysname(device));
    std::string link = StableLink(device);
    p.devicePath = !link.empty() ? link : node;
    // A 16550 slot without a chip behind it reports the port type 0.
    const bool placeholder = kernelName.rfind("ttyS", 0) == 0 && Attribute(device, "type") == "0";
    p.usable = !node.empty() && access(node.c_str(), F_OK) == 0 && !placeholder;
    p.description = Text(udev_device_get_property_value(device, "ID_MODEL_FROM_DATABASE"));
    if (p.description.empty()) {
        p.description = Text(udev_device_get_property_value(device, "ID_MODEL"));
    }
    if (udev_device* usb =
            udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device")) {
        const std::string vendor = "VID_" + Hex4(Attribute(usb, "idVendor"));
        const std::string product = "PID_" + Hex4(Attribute(usb, "idProduct"));
        p.hardwareId =
            "USB\\" + vendor + "&" + product + "&REV_" + Hex4(Attribute(usb, "bcdDevice"));
        p.instanceId = "USB\\" + vendor + "&" + product + "\\" + Attribute(usb, "serial");
        p.compatibleIds = Attribute(usb, "manufacturer");
        const std::string productName = Attribute(usb, "product");
        if (!productName.empty()) {
            p.description = productName;
        }
    } else {
        p.instanceId = "SERIAL\\" + kernelName;
        if (p.description.empty()) {
            p.description = "Port szeregowy";
        }
    }
    p.friendlyName = p.description + " (" + p.devicePath + ")";
    return p;
}

}  // namespace

std::optional<std::vector<DeviceProperties>> EnumerateSerialDevices(bool allDevices,
                                                                    std::string& error) {
    std::unique_ptr<udev, decltype(&udev_unref)> context(udev_new(), &udev_unref);
    std::unique_ptr<udev_enumerate, decltype(&udev_enumerate_unref)> scan(
        context ? udev_enumerate_new(context.get()) : nullptr, &udev_enumerate_unref);
    if (!scan || udev_enumerate_add_match_subsystem(scan.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(scan.get()) < 0) {
        error =
            "Krytyczny błąd w poszukiwaniu portu.\r\nBłąd systemowy w wywołaniu funkcji "
            "udev_enumerate_scan_devices.\r\n";
        return std::nullopt;
    }
    std::vector<DeviceProperties> devices;
    for (udev_list_entry* entry = udev_enumerate_get_list_entry(scan.get()); entry != nullptr;
         entry = udev_list_entry_get_next(entry)) {
        std::unique_ptr<udev_device, decltype(&udev_device_unref)> device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)),
            &udev_device_unref);
        if (!device) {
            continue;
        }
        // A port has its driver's device above it. Consoles, pseudo terminals and virtual
        // consoles have none and are never ports; asked for every device, a port the system
        // names as one is still shown without it.
        const bool driven = udev_device_get_parent(device.get()) != nullptr;
        if (!driven &&
            !(allDevices && IsSerialTtyName(Text(udev_device_get_sysname(device.get()))))) {
            continue;
        }
        devices.push_back(PropertiesOf(device.get()));
    }
    return devices;
}

struct PortMonitor::Impl {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
};

PortMonitor::PortMonitor() : impl_(new Impl) {
    impl_->context = udev_new();
    if (impl_->context != nullptr) {
        impl_->monitor = udev_monitor_new_from_netlink(impl_->context, "udev");
    }
    if (impl_->monitor != nullptr &&
        (udev_monitor_filter_add_match_subsystem_devtype(impl_->monitor, "tty", nullptr) < 0 ||
         udev_monitor_enable_receiving(impl_->monitor) < 0)) {
        impl_->monitor = udev_monitor_unref(impl_->monitor);
    }
}

PortMonitor::~PortMonitor() {
    if (impl_->monitor != nullptr) {
        udev_monitor_unref(impl_->monitor);
    }
    if (impl_->context != nullptr) {
        udev_unref(impl_->context);
    }
    delete impl_;
}

int PortMonitor::Descriptor() const {
    return impl_->monitor != nullptr ? udev_monitor_get_fd(impl_->monitor) : -1;
}

bool PortMonitor::TakeNotices() {
    bool changed = false;
    while (impl_->monitor != nullptr) {
        udev_device* device = udev_monitor_receive_device(impl_->monitor);
        if (device == nullptr) {
            break;
        }
        const std::string action = Text(udev_device_get_action(device));
        changed = changed || action == "add" || action == "remove";
        udev_device_unref(device);
    }
    return changed;
}

}  // namespace kasa
