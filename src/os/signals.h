// The signals that would end a program in the middle of its work: those a
// failed write raises are ignored, so that the write fails and is reported,
// and SIGINT and SIGTERM remove the new files a run has not put in place.
#pragma once

#include <string>

#ifndef _WIN32
#include <signal.h>
#endif

namespace korvane {

// Ignores SIGPIPE and SIGXFSZ, so that a write to a pipe whose reader has
// gone, or past the file-size limit (ulimit -f), fails as a write error
// that the program reports with its own exit status. Windows raises
// neither.
void ignore_write_signals();

// The signals held back while the list of new files changes. Windows has
// no way to hold them; a Ctrl-C there runs its handler on a thread of its
// own.
#ifdef _WIN32
struct HeldSignals {};
#else
using HeldSignals = sigset_t;
#endif

// Holds back SIGINT and SIGTERM until release_signals; returns what was
// held before.
HeldSignals hold_signals();
void release_signals(HeldSignals old);

// Notes a new file to be removed should SIGINT or SIGTERM end the process,
// which then ends as the signal would have ended it. Call it with the
// signals held from the file's making on, so that none can come between.
void remove_on_interrupt(const std::string& path);

// Forgets a file noted by remove_on_interrupt: it is in place, or removed.
void forget_on_interrupt(const std::string& path);

}  // namespace korvane
