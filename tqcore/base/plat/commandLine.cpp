// Command-line splitting and quoting with double quotes and backslashes.
#include <plat/commandLine.h>

#include <plat/TextBuilder.h>

#include <cstring>
#include <string>

namespace plat {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t';
}

bool needsQuotes(const char* argument) {
    return *argument == '\0' || std::strpbrk(argument, " \t\n\"") != nullptr;
}

int countBackslashes(const char* text) {
    int count = 0;
    while (text[count] == '\\')
        ++count;
    return count;
}

void appendBackslashes(TextBuilder& out, int count) {
    for (int i = 0; i < count; ++i)
        out.append('\\');
}

} // namespace

std::vector<DString> splitCommandLine(const char* text) {
    std::vector<DString> arguments;
    if (text == nullptr)
        return arguments;
    std::string argument;
    bool inArgument = false;
    bool quoted = false;
    while (*text != '\0') {
        if (!quoted && isSeparator(*text)) {
            if (inArgument)
                arguments.emplace_back(argument.c_str());
            argument.clear();
            inArgument = false;
            ++text;
            continue;
        }
        inArgument = true;
        if (*text == '"') {
            quoted = !quoted;
            ++text;
        } else if (*text == '\\') {
            int backslashes = countBackslashes(text);
            text += backslashes;
            if (*text != '"') {
                argument.append(std::size_t(backslashes), '\\');
                continue;
            }
            argument.append(std::size_t(backslashes / 2), '\\');
            // An even run leaves the quote to switch quoting on the next pass.
            if (backslashes % 2 != 0) {
                argument.push_back('"');
                ++text;
            }
        } else {
            argument.push_back(*text++);
        }
    }
    if (inArgument)
        arguments.emplace_back(argument.c_str());
    return arguments;
}

void appendQuotedArgument(DString& commandLine, const char* argument) {
    if (argument == nullptr)
        argument = "";
    TextBuilder out(commandLine);
    if (out.length() > 0)
        out.append(' ');
    if (!needsQuotes(argument)) {
        out.append(argument);
        return;
    }
    out.append('"');
    int pendingBackslashes = 0;
    for (const char* c = argument; *c != '\0'; ++c) {
        if (*c == '\\') {
            ++pendingBackslashes;
            continue;
        }
        if (*c == '"')
            appendBackslashes(out, 2 * pendingBackslashes + 1);
        else
            appendBackslashes(out, pendingBackslashes);
        out.append(*c);
        pendingBackslashes = 0;
    }
    appendBackslashes(out, 2 * pendingBackslashes);
    out.append('"');
}

} // namespace plat
