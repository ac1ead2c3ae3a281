#pragma once
// Qt's own texts (dialog buttons, the file dialog's columns and places) in
// Spanish, as the rest of the program.

// Loads Qt's Spanish translations from the installed Qt; false when they
// are not installed (the texts then stay in English).
bool CargaTraduccionesQt();
