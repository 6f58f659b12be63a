// Ending the process with an exit status.  end_run throws a RunExit that the
// program entry catches and returns as the process status, so that every file
// held open by a routine is closed on the way out and tests can call routines
// directly and look at the status.  Never call it inside an OpenMP region.
#pragma once

namespace zefra {

struct RunExit {
    int status;
};

[[noreturn]] void end_run(int status);

}  // namespace zefra
