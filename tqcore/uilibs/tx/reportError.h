// The launcher's error report: a message box with the error icon and one "OK" button, or, when
// no box can be shown, a line on standard error and in the log.
#pragma once

namespace tx {

void reportError(const char* text);

} // namespace tx
