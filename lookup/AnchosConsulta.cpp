#include "lookup/AnchosConsulta.h"

#include "frame/platform/Aplicacion.h"
#include "frame/platform/ArchivoTexto.h"
#include "frame/platform/Texto.h"

#include <QFile>

namespace {

QString Ruta(const QString& nombre) { return ArchivoTexto::BuscaSinMayusculas(CarpetaAplicacion(), nombre); }

// The two quoted fields of a line; false when it has not that form.
bool PartesLinea(const QString& linea, QString& tabla, QString& anchos) {
    const QString l = Texto::Trim(linea);
    if (!l.startsWith(QLatin1Char('"'))) return false;
    const int fin = l.indexOf(QLatin1Char('"'), 1);
    if (fin < 0) return false;
    tabla = l.mid(1, fin - 1);
    const int ab = l.indexOf(QLatin1Char('"'), fin + 1);
    const int cierra = ab < 0 ? -1 : l.indexOf(QLatin1Char('"'), ab + 1);
    anchos = ab < 0 ? QString() : l.mid(ab + 1, cierra < 0 ? -1 : cierra - ab - 1);
    return true;
}

}  // namespace

QString LeeAnchosConsulta(const QString& Tabla) {
    const auto texto = ArchivoTexto::Lee(Ruta(QStringLiteral("CONSULTASLEN.KVX")));
    if (!texto) return {};
    for (const QString& linea : ArchivoTexto::Lineas(*texto)) {
        QString t, a;
        if (PartesLinea(linea, t, a) && Texto::Iguales(Texto::Trim(t), Texto::Trim(Tabla))) return a;
    }
    return {};
}

bool GrabaAnchosConsultaVentana(const QString& Tabla, const QString& Anchos) {
    const QString ruta = Ruta(QStringLiteral("CONSULTASLEN.KVX"));
    const QString aux = Ruta(QStringLiteral("CONSULTASLEN.AUX"));
    QString salida;
    if (const auto texto = ArchivoTexto::Lee(ruta)) {
        for (const QString& linea : ArchivoTexto::Lineas(*texto)) {
            QString t, a;
            if (PartesLinea(linea, t, a) && Texto::Iguales(Texto::Trim(t), Texto::Trim(Tabla))) continue;
            if (Texto::Trim(linea).isEmpty()) continue;
            salida += linea + ArchivoTexto::CRLF;
        }
    }
    salida += QLatin1Char('"') + Tabla + QStringLiteral("\",\"") + Anchos + QLatin1Char('"') + ArchivoTexto::CRLF;
    if (!ArchivoTexto::Escribe(aux, salida)) return false;
    QFile::remove(ruta);
    return QFile::rename(aux, CarpetaAplicacion() + QStringLiteral("/CONSULTASLEN.KVX"));
}
