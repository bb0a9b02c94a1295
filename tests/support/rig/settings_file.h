// The program's settings file as tests see it: its path in the test's own configuration
// folder, removed for a fresh start.
#pragma once

#include <QString>

QString SettingsFilePath();
// Removes the settings file and anything set aside beside it.
void RemoveSettingsFiles();
