// Windows has one suitable backend, Qt's default.
#include "reminders/MediaBackend.h"

void pinMediaBackend() {}
