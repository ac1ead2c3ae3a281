#pragma once
// The application's data held by the library.

#include <QString>

class Lib_Aplicacion {
  public:
    // Records the application folder, given once at start-up.
    void AsignaRuta(const QString& ruta) { ruta_ = ruta; }
    const QString& Ruta() const { return ruta_; }

  private:
    QString ruta_;
};

Lib_Aplicacion& LibAplicacion();
