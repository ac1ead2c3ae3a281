#pragma once
// The suite's knowledge of how each master table is searched. For now: the
// default records of the lookup definitions file.

#include <QString>

// Appends the default records to the engine's definitions file, each at
// (file length div 1202) + 1. Failures go to the frame's error dialog
// ("CreaConsultasDefault"); false when the operator left the routine.
bool CreaConsultasDefault();
