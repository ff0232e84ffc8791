#pragma once
// GStreamer and its plugin registry load on a worker from the start of the
// process: a registry that has to be built again (after an update, or on a
// first run) takes far longer than showing the window, and only the player
// needs it.

namespace rilumo::graph {

// Starts the load; a second call does nothing.
void StartBackend();
// True while the worker started by StartBackend is still loading. Without
// StartBackend the back end loads on first use, and this stays false.
bool BackendStarting();
// Waits for the worker; the process must not end while it loads plugins.
void FinishBackendStart();

}  // namespace rilumo::graph
