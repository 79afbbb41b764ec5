// Splitting a configured command into arguments, and quoting arguments into a command line that
// splits back into the same arguments.
#pragma once

#include <plat/DString.h>

#include <vector>

namespace plat {

// Arguments are separated by runs of blanks and tabs outside double quotes; a double quote
// switches quoting and is dropped. n backslashes before a double quote give n/2 backslashes and,
// when n is odd, a literal quote that does not switch quoting; other backslashes are literal.
// Quotes alone make an (empty) argument; separators alone make none.
std::vector<DString> splitCommandLine(const char* text);

// Appends one argument, after a blank when the line is not empty. An empty argument, or one
// holding a blank, tab, line feed or double quote, is written in double quotes with the
// backslashes that splitCommandLine needs to restore it; a null argument is the empty one.
void appendQuotedArgument(DString& commandLine, const char* argument);

} // namespace plat
