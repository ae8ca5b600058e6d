#pragma once
// SIGTERM and SIGINT (logout, shutdown, kill, Ctrl+C in a terminal) end the
// program in an orderly way on the user-interface thread instead of killing
// it mid-run, so that work already written is committed and the log closed.

#include <functional>

// Installs the handler once; `onTerminate` runs in the event loop.
void InstallTerminationHandler(std::function<void()> onTerminate);
