#pragma once
// Process set-up that differs per system, done before the application object exists.
void prepareProcessEnvironment();

// Makes the termination requests of the system (SIGTERM, SIGINT, SIGHUP on
// POSIX: a logout, Ctrl+C, `kill`) end the event loop, so that the program
// leaves through main() and its lock file and socket are removed. Call it once
// the application object exists.
void quitOnTerminationRequests();
