#pragma once
// Process set-up that differs per system, done before the application object exists.
void prepareProcessEnvironment();
