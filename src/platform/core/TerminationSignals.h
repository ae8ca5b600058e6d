#pragma once
// SIGTERM and SIGINT (logout, shutdown, kill, Ctrl+C in a terminal) end the
// program in an orderly way on the user-interface thread instead of killing
// it mid-run, so that work already written is committed and the log closed.
//
// The signals are blocked in every thread and read from a signal descriptor:
// a handler interrupting the database engine's threads leaves the engine's
// shared locks in a state its detach never gets out of.

#include <functional>

// Call first in main(), before any thread exists; threads inherit the mask.
void BlockTerminationSignals();
// Runs `onTerminate` in the event loop when one of the signals arrives.
void InstallTerminationHandler(std::function<void()> onTerminate);
