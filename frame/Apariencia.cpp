#include "frame/Apariencia.h"

#include <QFile>

#include "frame/lib/Lib_Entorno.h"

bool AbreConPrograma(const QString& documento, int mostrar) {
    QString d = documento;
    if (d.contains(QLatin1Char(' ')) && !d.contains(QLatin1Char('"')))
        d = QLatin1Char('"') + d + QLatin1Char('"');
    return LibEntorno().AbreArchivo(0, QString(), d, QString(), QString(), mostrar);
}

bool AbreDocumento(const QString& documento, bool mostrar) {
    return AbreConPrograma(documento, mostrar ? 6 : 0);
}

bool ExisteArchivo(const QString& archivo) {
    QString nombre = archivo;
    nombre.remove(QLatin1Char('"'));
    if (nombre.isEmpty()) return false;
    QFile f(nombre);
    const bool ok = f.open(QIODevice::ReadOnly);
    f.close();
    return ok;
}
