#include "app/Platform.h"

void prepareProcessEnvironment() {}
