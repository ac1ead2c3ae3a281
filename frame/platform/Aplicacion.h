#pragma once
// The application folder and the option reading shared by every executable.

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// The folder that holds the files placed "in the application folder": the
// one given with --carpeta, else $QUENVAR_CARPETA, else the executable's.
QString CarpetaAplicacion();
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
QString AyudaOpciones(const QString& uso, const std::vector<Opcion>& declaradas);
