#include "frame/planilla/Lib_Planilla.h"

#include "frame/planilla/FrmPlanilla.h"
#include "frame/planilla/ModeloPlanilla.h"

#include <QApplication>

void Lib_Planilla::MuestraPlanilla(const QString& Tabla, const QString& Conexion, const QString& Titulo) {
    ModeloPlanilla modelo;
    if (!modelo.Abre(Tabla, Conexion, Titulo)) return;
    FrmPlanilla ventana(modelo, QApplication::activeWindow());
    ventana.setWindowModality(Qt::ApplicationModal);
    ventana.exec();
}

Lib_Planilla& LibPlanilla() {
    static Lib_Planilla p;
    return p;
}
