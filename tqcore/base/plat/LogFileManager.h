// Keeps the "file" log destination on the path that LogDir and LogFile name, once file logging
// has been switched on.
#pragma once

#include <plat/ConfigParameter.h>
#include <plat/DString.h>
#include <plat/LogDestFile.h>

namespace plat {

class LogFileManager : public ParameterChangedCallback, public LogDestFile::PathSource {
public:
    // Switches file logging on (once): the "file" destination follows LogDir and LogFile from
    // then on.
    static void start();

    void parameterChanged(ConfigParameter& parameter, int priority) override;
    // LogDir and LogFile, each with its variables expanded, joined by "/".
    DString configuredPath() override;
    // The same from their priority-0 values; null when neither has a value above priority 0.
    DString defaultPath() override;

private:
    LogFileManager();
};

} // namespace plat
