// Handlers a program installs for its own signals, outside the event-loop signal handler, and the
// dispositions the process was started with, which its children get back before they exec.
#pragma once

namespace os {

// Installs handler for signal with sigaction (interrupted system calls are restarted, as with
// signal()) and remembers the disposition the process had before the first call for that signal.
// Call before children are started. Raises "sigaction".
void catchSignal(int signal, void (*handler)(int));

// Whether the process ignores signal, as nohup leaves SIGHUP. Raises "sigaction".
bool isSignalIgnored(int signal);

// Gives every signal caught through catchSignal() the disposition remembered for it, so that a
// child sees what it would have seen had this program not been in between: an ignored signal
// stays ignored. Async-signal-safe, for the child between fork and exec.
void restoreInheritedDispositions() noexcept;

} // namespace os
