// A status line on standard error for a person watching a long run.  It is
// written only when standard error is a terminal, rewritten in place at most
// a few times a second; batch runs see nothing.  The log stays the record.
#pragma once

namespace zefra {

// Starts the clock of a computation.
void progress_start();

// Shows the iteration, the largest residual and its equation, the elapsed
// time and mc_message, unless the line was rewritten less than 0.3 s ago.
void progress_update(long iteration, double residual, int equation);

// Ends the line, if one was shown.
void progress_end();

}  // namespace zefra
