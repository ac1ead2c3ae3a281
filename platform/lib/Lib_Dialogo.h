#pragma once
// The file open and save dialog, through the operator.

#include <QString>

class Lib_Dialogo {
  public:
    void AsignaTitulo(const QString& titulo) { titulo_ = titulo; }
    // "description|pattern|description|pattern|"
    void AsignaFiltro(const QString& filtro) { filtro_ = filtro; }
    void AsignaExtension(const QString& extension) { extension_ = extension; }
    // Save: ask before replacing a file; open: the file must exist.
    void AsignaOpcion(bool opcion) { opcion_ = opcion; }
    void AsignaNombre(const QString& nombre) { nombre_ = nombre; }
    void AsignaCarpeta(const QString& carpeta) { carpeta_ = carpeta; }

    void MuestraAbrir() { Muestra(false); }
    void MuestraGuardar() { Muestra(true); }

    // The chosen file (empty after a cancel).
    QString NombreArchivo() const { return elegido_; }
    bool FueCancelado() const { return cancelado_; }

  private:
    void Muestra(bool guardar);

    QString titulo_, filtro_, extension_, nombre_, carpeta_, elegido_;
    bool opcion_ = false;
    bool cancelado_ = false;
};

Lib_Dialogo& LibDialogo();
