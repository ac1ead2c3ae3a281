#pragma once
// Appearance and launching services of the application frame: the window
// style chosen for this computer, user and database; starting a sibling
// program of the suite; opening a document with its associated program;
// asking whether a file can be opened. The windows' side (applying the style
// and the icon) is in frame/ui/AparienciaVentana.h.

#include <QString>

#include <cstdint>

// The style number: key "Styles" of tq400xr.ini in the section upper-cased
// UsuarioPC + "_" + upper-cased session database + "Styles"; "4" when
// missing. A value that is not a whole number counts as 0 (any other style).
int EstiloSkin();

// The style sheet file of a style, relative to the program's folder:
// 1 "Styles/Vista.cjstyles", 2 "Styles/WinXP.Luna.cjstyles",
// 3 "Styles/WinXP.Royale.cjstyles", 4 "Styles/iTunes/Normalitunes.ini",
// any other "Styles/Office2007.cjstyles".
QString ArchivoSkin(int estilo);

// Where the style sheet of a style lies: the application folder first, then
// the executable's folder; empty when neither has it.
QString RutaSkin(int estilo);

// Starts a sibling program of the suite, not waiting for it, with this
// session's command line (one argument, exactly as the suite writes it):
// a `Programa` with "\" (or "/") is run from its seventh character ("SHELL "
// and a path); one with "SHELL" is the program's folder + its seventh character
// on; any other the program's folder + `Programa`. `Parametro` loses
// everything up to its first blank. `Resultado` is nonzero when the program
// started (the platform gives no task identifier: 1), else 0, and then the
// operator is told the option is not available. Failures go to the frame's
// error dialog ("MenuExes").
void MenuExes(const QString& Programa, QString& Parametro, int32_t& Resultado);

// Opens a file or web address with its associated program. A name with a
// blank and no double quote is wrapped in double quotes first; `mostrar`
// asks for the program's window to show (6 when true, 0 otherwise).
bool AbreDocumento(const QString& documento, bool mostrar);

// The same opening with the display code given as it is (0 hides, 6 shows).
bool AbreConPrograma(const QString& documento, int mostrar);

// True when the file can be opened for reading (double quotes ignored).
bool ExisteArchivo(const QString& archivo);
