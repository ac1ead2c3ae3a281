#pragma once
// Desktop shortcuts that start this program with a command line: a
// freedesktop launcher (".desktop") on Linux and other Unix desktops, a
// shell link (".lnk") on Windows.

#include <QString>
#include <QStringList>

namespace AccesoDirecto {

// The user's desktop folder: on Unix what `xdg-user-dir DESKTOP` answers,
// else ~/Desktop; on Windows the shell's desktop folder.
QString CarpetaEscritorio();

// The extension of a shortcut file on this platform (".desktop", ".lnk").
QString Extension();

// The shortcut's icon for the program: on Unix the theme's "quenvar" when
// the program is installed, else the executable's folder + "/quenvar.svg";
// the program itself on Windows.
QString IconoDe(const QString& programa);

// One argument of a launcher's Exec key, quoted by the Desktop Entry rules
// and escaped for the key's string value ("%" doubled, "\" doubled twice).
QString ArgumentoExec(const QString& argumento);

// The launcher's text: Type, Name, Exec (program and its arguments), Icon,
// Terminal=false.
QString ContenidoLanzador(const QString& nombre, const QString& programa, const QStringList& argumentos,
                          const QString& icono);

// Writes the shortcut file `archivo` (made executable on Unix). Raises a
// Fallo when it cannot be written.
void Crea(const QString& archivo, const QString& nombre, const QString& programa, const QStringList& argumentos,
          const QString& icono);

}  // namespace AccesoDirecto
