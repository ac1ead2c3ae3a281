#pragma once
// The application folder and the option reading shared by every executable.

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// The folder that holds the files placed "in the application folder": the
// one given with --carpeta, else $QUENVAR_CARPETA, else the executable's
// when the user can write there and the program is not installed (a build
// tree or a folder of its own), else the user's own: $XDG_DATA_HOME/quenvar
// (~/.local/share/quenvar), created on first use.
QString CarpetaAplicacion();
// The executable's folder.
QString CarpetaPrograma();
// Installed: the executable has "../share/quenvar" beside it.
bool ProgramaInstalado();
bool ProgramaInstalado(const QString& carpetaPrograma);
// The application folder when none is given, for a program in `carpetaPrograma`.
QString CarpetaPorDefecto(const QString& carpetaPrograma);
// Where the files that ship with the program (style sheets, icon) are:
// the installed share folder, else the executable's.
QString CarpetaCompartida();
// The user's own application folder, created when missing.
QString CarpetaDeUsuario();
// The project's version, e.g. "0.1".
QString VersionPrograma();
void EstableceCarpetaAplicacion(const QString& carpeta);
// Where the embedded engine keeps its database files: $QUENVAR_DATOS, else
// the application folder.
QString CarpetaDatos();

// Ends the process at once, without any shut-down step (the operator chose
// to close the application). Tests install their own ending, which may throw.
[[noreturn]] void TerminaProceso(int codigo);
void EstableceTerminacion(std::function<void(int)> terminar);

// Options of an executable: "--name" followed by a fixed number of values.
struct Opcion {
    QString nombre;      // without the leading "--"
    int valores = 0;     // how many values follow it
    QString ayuda;       // e.g. "ANT NVO  cargar por prefijo"
};

struct OpcionesLeidas {
    QMap<QString, QStringList> opciones;  // name -> its values (empty for a flag)
    QStringList posicionales;
    QString error;                        // non-empty when the line was not understood

    bool Tiene(const QString& nombre) const { return opciones.contains(nombre); }
    QString Valor(const QString& nombre, int i = 0, const QString& defecto = {}) const;
};

// Reads argv against the declared options. "--carpeta DIR" is known to
// every executable and is applied to CarpetaAplicacion() at once.
OpcionesLeidas LeeOpciones(int argc, char** argv, std::vector<Opcion> declaradas);
// The usage line and one aligned line per option, --carpeta, --help and
// --version included. An option's help is its values' names, two blanks
// or more, and what it does ("ARCHIVO  cargar los pares…").
QString AyudaOpciones(const QString& uso, const std::vector<Opcion>& declaradas);
// When the arguments ask for --help (or -h) or --version: prints that on
// standard output and gives the exit status (0). Every executable asks it
// first, before it needs a display or a database.
std::optional<int> AtiendeAyuda(int argc, char** argv, const QString& uso, const std::vector<Opcion>& declaradas);
// The text those print, for a caller with its own output.
std::optional<QString> TextoDeAyuda(const QStringList& argumentos, const QString& uso,
                                    const std::vector<Opcion>& declaradas);
