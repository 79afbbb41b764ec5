// The launcher's road: extract the embedded payload beside the launcher, run it with the
// launcher's arguments and standard streams, wait for it and clean up.
#pragma once

namespace launcher {

// Returns the process exit status: 0 once the payload has run and ended (its own status is not
// passed on), 1 after a failure that was reported to the user.
int run(int argc, char** argv);

} // namespace launcher
