// The exception family of the foundation. Every exception keeps its texts inline so that it can be
// built and thrown on low-memory and error paths without touching the heap.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace plat {

class Exception {
public:
    static constexpr std::size_t MessageCapacity = 256;
    static constexpr std::size_t TypeCapacity = 64;

    Exception() = default;
    explicit Exception(const char* text);
    virtual ~Exception() = default;

    const char* message() const { return msg; }
    const char* typeText() const { return type; }

    // "[type] message", or the message alone when the type text is empty; cut to the capacity.
    void displayForm(char* buffer, std::size_t capacity) const;

protected:
    void setType(const char* text);
    void appendMessage(const char* text);
    void appendMessageFormatted(const char* format, va_list args);

    char msg[MessageCapacity] = {};
    char type[TypeCapacity] = {};
};

class ExceptionFmt : public Exception {
public:
    explicit ExceptionFmt(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

// A failed system call: the caller's context, then the system's text for the error number.
class SystemException : public Exception {
public:
    SystemException(const char* text, int err);
    int error() const { return err; }

protected:
    explicit SystemException(int err) : err(err) {}
    void appendSystemText();

    int err;
};

class SystemExceptionFmt : public SystemException {
public:
    SystemExceptionFmt(const char* format, int err, ...) __attribute__((format(printf, 2, 4)));
};

// Takes the error number from errno at construction.
class StdlibException : public SystemException {
public:
    explicit StdlibException(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

class BadNum : public Exception {
public:
    explicit BadNum(const char* text) : Exception(text) {}
};

// With the hidden parameter _BadUtf8Assert set, constructing one fails an assertion instead, so
// that a debugger or the log shows where bad text came from.
class BadUtf8 : public Exception {
public:
    explicit BadUtf8(const char* text);
};

class TimedOut : public Exception {
public:
    explicit TimedOut(const char* text);
};

// Not thrown: fail() reports the broken invariant with a stack trace and aborts the process.
class AssertionFail : public Exception {
public:
    AssertionFail(const char* expression, const char* file, int line);

    AssertionFail& addInfo(const char* format, ...) __attribute__((format(printf, 2, 3)));
    [[noreturn]] void fail();

    const char* expression() const { return expr; }
    const char* sourceFile() const { return file; }
    int sourceLine() const { return line; }

private:
    const char* expr;
    const char* file;
    int line;
};

} // namespace plat

// Internal consistency checks; they stay active in release builds.
#define PLAT_ASSERT(condition)                                                                     \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::plat::AssertionFail(#condition, __FILE__, __LINE__).fail();                          \
    } while (0)

#define PLAT_ASSERT_INFO(condition, ...)                                                           \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::plat::AssertionFail(#condition, __FILE__, __LINE__).addInfo(__VA_ARGS__).fail();     \
    } while (0)
