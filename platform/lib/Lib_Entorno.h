#pragma once
// The machine environment.

#include <QString>

class QObject;

class Lib_Entorno {
  public:
    // The computer's host name.
    QString NombrePC() const;
    // The logged-on operating-system user.
    QString UsuarioPC() const;
    // $TMPDIR when set, else the system's folder for temporary files.
    QString CarpetaTemporal() const;
    // Qt windows need no preparation.
    void PreparaVentana(QObject* ventana) const {}
    // Opens a file or an address with its associated program through the
    // operator; a program named with parameters is started with them.
    // Surrounding double quotes are removed; a relative file is looked for
    // in `carpeta` when one is given. True when it could be opened.
    bool AbreArchivo(long long ventana, const QString& operacion, const QString& archivo,
                     const QString& parametros, const QString& carpeta, int mostrar) const;
};

Lib_Entorno& LibEntorno();
