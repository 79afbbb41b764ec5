// Logging: named sources (plat::LogSrc) routed by the Log parameter,
// "<log>:<target>:<level>[,...]", to destinations (standard error, a log file, the parent process,
// the early-message store).
#pragma once

#include <plat/DString.h>
#include <plat/LogSrc.h>

#include <cstdio>
#include <functional>

namespace plat {

class LogDest;

// Routes by this text instead of the Log parameter and re-applies the routing; null removes the
// override.
void setLogOverride(const char* routing);

// Once: from now on sources without routes drop their messages cheaply; the messages stored so
// far are replayed to the destinations of "*" elements and then forgotten.
void initLogging();

// The text written, wrapped to 79 columns, at the start of every log file opened afterwards.
void setLogHeader(const char* text);
// The same, with the text built by source only when a log file first needs it: building it may
// read system files, which a program that never opens a log file should not pay for.
void setLogHeaderSource(std::function<DString()> source);

// The named destination, without regard to case; null when there is none. "stderr" always
// exists and "ipc" is created when first named.
LogDest* lookupDest(const char* name);

// The listings of advanced usage output: every source name, wrapped to width, and every
// destination that the routing text can name.
void listSources(int width, FILE* out);
void listDests(FILE* out);

// Switches on the "file" destination, which then follows LogDir and LogFile.
void startFileLogging();

// Sends the queued messages of the IPC destination, when it exists, before the process aborts.
void flushLogQueues();

} // namespace plat
