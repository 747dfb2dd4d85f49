#pragma once

#include "trace/systemprobe.h"

#include <QString>

namespace lentaro {

// Single values of the system report and the defect record.
QString pfComputerName(const SystemProbe& probe);
QString pfProcessorText(const ProcessorInfo& processor);
QString pfCpuCountText(const SystemProbe& probe);
QString pfColorDepthText(const SystemProbe& probe); // "True Color" at 24 bits, else 2^bits
QString pfScreenSizeText(const SystemProbe& probe); // "1920 x 1080"
QString pfMonitorCountText(const SystemProbe& probe);
QString pfMouseButtonsText(const SystemProbe& probe);
QString pfMouseWheelText(const SystemProbe& probe); // "Yes" / "No"
QString pfMideastText(const SystemProbe& probe);    // a right-to-left language: "Yes"
QString pfDbcsText();                               // "No": text is UTF-8, never double-byte
QString pfLanguageText(const SystemProbe& probe);
QString pfCountryText(const SystemProbe& probe);

// What the report needs to know of the running program beyond the probe.
struct ReportedProgram {
    QString executableName;              // as trace lines name it
    bool developmentEnvironment = false; // the executable lines are left out then
};

// The plain-text report of the machine and the running program, lines ending in CR LF: the
// application, operating system, memory, processor, drives, printer, ports, network, video,
// mouse, keyboard and the modules loaded in the process. "<Unknown>" stands where this system
// has no such setting.
QString pfSystemReport(const SystemProbe& probe, const ReportedProgram& program);

// Appends the "Drives" section: the mounted volumes with their kind and free space.
void pfDrivesReport(const SystemProbe& probe, QString& report);

} // namespace lentaro
