#pragma once

#include <QString>

namespace lentaro {

// What SXCLIENT.INI in the program folder asks of the trace runtime.
struct TraceSettings {
    bool circularLog = false;
    QString circularFile; // full path
    int recordSize = 512;
    int maxRecords = 100;

    bool forceSystemInfo = false;
    QString emailAddress;
    bool writeToDisk = false;
    bool captureToDisk = false;
    QString logFile; // full path when Write To Disk is on, else empty
    bool silentRun = false;

    bool includeResources = false;
    bool includeMemory = false;
    bool includeArguments = false;
    bool includeUser = false;

    QString quillmarkDatabase;
    QString quillmarkAddress;
    QString quillmarkProject;
    QString quillmarkAssignedTo;
    bool attachLog = false;

    // Settings that could not be used as written (their defaults were taken instead);
    // empty when every setting was usable.
    QString problem;
};

// "SXCLIENT.INI"
QString pfIniFileName();

// Reads the settings file of the given program folder. A missing file is no error: the circular
// log keeps its defaults and everything else is off or empty.
TraceSettings readTraceSettings(const QString& programFolder);

// The leading decimal number of a text, 0 when it starts with none ("12ab" is 12, "0.5" is 0.5).
double leadingNumber(const QString& text);

} // namespace lentaro
