#pragma once

// The end of a session the user cannot be asked about: the X display went away, or the
// terminal or session manager hung up (SIGHUP). The application's handler runs once, on
// the main thread, and may write files but must not draw or wait for input.

namespace tw::display {

using SessionEndHandler = void (*)();

void SetSessionEndHandler(SessionEndHandler handler);
// Installs the SIGHUP handler and the X connection's I/O error handler (which runs the
// application's handler, then ends the process: nothing of the display can be used then).
void WatchForSessionEnd();
// On the main thread, between events: true (and the handler has run) when a SIGHUP came.
bool EndSessionIfHungUp();
// Runs the handler unless it ran already.
void EndSession();
// The handler ran: the loop ends as soon as the work under way lets it.
bool HasSessionEnded();
// The display went away: the handler runs then (again, after a hang-up) and the process ends
// with it, so nothing can wait for work under way.
bool IsSessionGone();
void ResetSessionEndForTesting();

} // namespace tw::display
