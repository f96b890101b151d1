#pragma once
// Chooses this system's Qt Multimedia backend, unless the environment already
// names one. Must run before the first multimedia object is created; the
// QtAlarmPlayer constructor calls it.
void pinMediaBackend();
