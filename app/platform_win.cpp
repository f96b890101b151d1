#include "app/Platform.h"

void prepareProcessEnvironment() {}

// Windows ends a GUI process through its windows' messages, which Qt turns into
// the usual close and quit handling.
void quitOnTerminationRequests() {}
