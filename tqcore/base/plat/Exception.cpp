// Text building for the exception family and the assertion-failure path.
#include <plat/Exception.h>

#include <plat/BoolParameter.h>
#include <plat/Log.h>
#include <plat/fixedText.h>
#include <plat/standardErrorReport.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <unistd.h>

// The XSI form of strerror_r, which reports unknown error numbers instead of inventing a text.
extern "C" int __xpg_strerror_r(int errnum, char* buffer, std::size_t length);

namespace plat {

namespace {

std::atomic<bool> assertionInProgress{false};

LogSrc assertionLog("Assertion");

// Created on first use, since text may be checked during any static construction, and never
// destroyed, since it may also be checked during exit.
BoolParameter& badUtf8AssertParameter() {
    static BoolParameter* parameter = new BoolParameter(
        "_BadUtf8Assert", "Make bad UTF-8 cause an assertion failure for debugging", false, true);
    return *parameter;
}

// Registers the parameter at start-up even when no bad text is ever seen.
[[maybe_unused]] BoolParameter& registeredBadUtf8Assert = badUtf8AssertParameter();

constexpr int MaxStackFrames = 62;

void logStackTrace() {
    void* frames[MaxStackFrames];
    int count = backtrace(frames, MaxStackFrames);
    if (count < 2)
        return;
    char** symbols = backtrace_symbols(frames, count);
    for (int i = 1; i < count; ++i) {
        char line[512] = {};
        boundedAppendf(line, sizeof line, "%2d %s", i, symbols ? symbols[i] : "?");
        assertionLog.error("stacktrace: %s", line);
    }
    std::free(symbols);
}

} // namespace

Exception::Exception(const char* text) {
    appendMessage(text);
}

void Exception::setType(const char* text) {
    type[0] = '\0';
    boundedAppend(type, TypeCapacity, text);
}

void Exception::appendMessage(const char* text) {
    boundedAppend(msg, MessageCapacity, text);
}

void Exception::appendMessageFormatted(const char* format, va_list args) {
    boundedAppendf(msg, MessageCapacity, format, args);
}

void Exception::displayForm(char* buffer, std::size_t capacity) const {
    if (capacity == 0)
        return;
    buffer[0] = '\0';
    if (type[0] != '\0')
        boundedAppendf(buffer, capacity, "[%s] ", type);
    boundedAppend(buffer, capacity, msg);
}

ExceptionFmt::ExceptionFmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    appendMessageFormatted(format, args);
    va_end(args);
}

SystemException::SystemException(const char* text, int err) : err(err) {
    appendMessage(text);
    appendSystemText();
}

void SystemException::appendSystemText() {
    type[0] = '\0';
    boundedAppendf(type, TypeCapacity, "System-%d", err);
    if (msg[0] != '\0')
        appendMessage(": ");
    if (err != 0) {
        std::size_t used = std::strlen(msg);
        if (__xpg_strerror_r(err, msg + used, MessageCapacity - used) == EINVAL) {
            msg[used] = '\0';
            appendMessage("Unknown error");
        } else {
            trimIncompleteUtf8(msg, std::strlen(msg));
        }
    } else {
        appendMessage("Success");
    }
    boundedAppendf(msg, MessageCapacity, " (%d)", err);
}

SystemExceptionFmt::SystemExceptionFmt(const char* format, int err, ...) : SystemException(err) {
    va_list args;
    va_start(args, err);
    appendMessageFormatted(format, args);
    va_end(args);
    appendSystemText();
}

StdlibException::StdlibException(const char* format, ...) : SystemException(errno) {
    va_list args;
    va_start(args, format);
    appendMessageFormatted(format, args);
    va_end(args);
    appendSystemText();
}

BadUtf8::BadUtf8(const char* text) : Exception(text) {
    if (badUtf8AssertParameter().getValue())
        AssertionFail("0", __FILE__, __LINE__).addInfo("%s", text).fail();
}

TimedOut::TimedOut(const char* text) : Exception(text) {
    setType("TimedOut");
}

AssertionFail::AssertionFail(const char* expression, const char* file, int line)
    : expr(expression), file(file), line(line) {
    setType("AssertionFail");
    boundedAppendf(msg, MessageCapacity, "Assertion '%s' failed at %s:%d", expression, file, line);
}

AssertionFail& AssertionFail::addInfo(const char* format, ...) {
    appendMessage(": ");
    va_list args;
    va_start(args, format);
    appendMessageFormatted(format, args);
    va_end(args);
    return *this;
}

void AssertionFail::fail() {
    char text[MessageCapacity];
    std::memcpy(text, msg, sizeof text);
    if (assertionInProgress.exchange(true))
        std::abort();
    writeStandardError(text, std::strlen(text));
    writeStandardError("\n", 1);
    try {
        assertionLog.error("%s", text);
        logStackTrace();
        flushLogQueues();
    } catch (...) {
        // The process aborts whatever logging did.
    }
    std::abort();
}

} // namespace plat
