#include "cli/PortsCommand.h"

#include <QJsonArray>
#include <QJsonObject>

#include "cli/ToolContext.h"
#include "link/LineSettings.h"

namespace tessra::cli {

namespace {

std::string sourceText(PortSource source, int portNumber) {
    switch (source) {
        case PortSource::Environment:
            return PortMap::environmentVariable(portNumber);
        case PortSource::Saved:
            return "saved mapping";
        case PortSource::Default:
            break;
    }
    return "default";
}

QJsonArray names(const std::vector<std::string>& list) {
    QJsonArray array;
    for (const std::string& name : list) array.append(qs(name));
    return array;
}

}  // namespace

ExitCode reportPorts(Report& report, const std::vector<SerialDevice>& devices, const PortMap& map,
                     const std::string& root) {
    std::vector<PortMapping> entries;
    for (int n = 1; n <= kPortCount; ++n) entries.push_back(map.resolve(n));
    std::vector<bool> entryFound(entries.size(), false);

    QJsonArray deviceArray;
    for (const SerialDevice& d : devices) {
        report.line(describePort(d.port));
        if (!d.usbId.empty() || !d.driver.empty())
            report.line("  " + (d.usbId.empty() ? "" : "usb " + d.usbId + ", ") + "driver " +
                        (d.driver.empty() ? "unknown" : d.driver));
        for (const std::string& name : d.byId) report.line("  by-id:   " + name);
        for (const std::string& name : d.byPath) report.line("  by-path: " + name);
        QJsonArray opened;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!reaches(entries[i].device, d, root)) continue;
            entryFound[i] = true;
            const int n = static_cast<int>(i) + 1;
            const std::string source = sourceText(entries[i].source, n);
            report.line("  " + portCaption(n) + " opens it as " + entries[i].device + " (" +
                        source + ")");
            opened.append(QJsonObject{{"port", qs(portCaption(n))},
                                      {"as", qs(entries[i].device)},
                                      {"source", qs(source)}});
        }
        deviceArray.append(QJsonObject{{"device", qs(d.port.device)},
                                       {"description", qs(d.port.description)},
                                       {"manufacturer", qs(d.port.manufacturer)},
                                       {"serialNumber", qs(d.port.serialNumber)},
                                       {"driver", qs(d.driver)},
                                       {"usbId", qs(d.usbId)},
                                       {"byId", names(d.byId)},
                                       {"byPath", names(d.byPath)},
                                       {"ports", opened}});
    }
    if (devices.empty()) report.line("No serial device found");

    // Every entry in JSON; in text only a chosen mapping that reaches nothing,
    // since the defaults of absent built-in ports are no news.
    QJsonArray portArray;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        const std::string source = sourceText(entries[i].source, n);
        if (!entryFound[i] && entries[i].source != PortSource::Default)
            report.line(portCaption(n) + " opens " + entries[i].device + " (" + source +
                        "), which is no serial device found");
        portArray.append(QJsonObject{{"port", qs(portCaption(n))},
                                     {"device", qs(entries[i].device)},
                                     {"source", qs(source)},
                                     {"found", static_cast<bool>(entryFound[i])}});
    }
    report.set("devices", deviceArray);
    report.set("ports", portArray);
    return ExitCode::Done;
}

ExitCode listPorts(ToolContext& c) {
    return reportPorts(c.report, serialDevices(), PortMap());
}

}  // namespace tessra::cli
