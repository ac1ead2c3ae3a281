#include "platform/lib/TratamientoErrores.h"

#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Util.h"
#include "platform/ArchivoTexto.h"
#include "platform/Operador.h"
#include "platform/Texto.h"

PartesError ArmaPartesError(const Fallo& error, const QString& rutina, const QString& finTitulo) {
    PartesError p;
    p.mensaje = QStringLiteral("Ha ocurrido el Siguiente Error (") + QString::number(error.Numero()) +
                QStringLiteral(") ") + Texto::Trim(error.Descripcion());
    if (!rutina.isEmpty()) p.rutina = QStringLiteral(" - ") + rutina;
    p.titulo = error.Origen() + p.rutina + finTitulo;
    return p;
}

QString TextoRespuesta(int respuesta) {
    switch (respuesta) {
        case vbRetry:
            return QStringLiteral("Reintentar");
        case vbIgnore:
            return QStringLiteral("Ignorar");
        case vbAbort:
            return QStringLiteral("Abortar");
        case vbCancel:
            return QStringLiteral("Cancelar");
        case vbYes:
            return QStringLiteral("Sí");
        case vbNo:
            return QStringLiteral("No");
        default:
            return {};
    }
}

QString LineaLogError(const QDateTime& momento, const QString& parteRutina, const QString& mensaje,
                      int respuesta) {
    return Texto::FormatoFecha(momento, QStringLiteral("mm-dd-yyyy")) + QLatin1Char(' ') +
           Texto::FormatoFecha(momento, QStringLiteral("hh:mm:ss")) + QStringLiteral(" Rutina: ") +
           Texto::Trim(parteRutina) + QStringLiteral(" Mensaje ") + Texto::Trim(mensaje) +
           QStringLiteral(" Respondió : ") + TextoRespuesta(respuesta) + ArchivoTexto::CRLF;
}

QString CarpetaTemporalGlobal() {
    QString carpeta;
    if (!qEnvironmentVariable("temp").isEmpty()) carpeta = Texto::Trim(qEnvironmentVariable("tmp"));
    if (carpeta.isEmpty()) carpeta = LibEntorno().CarpetaTemporal();
    carpeta = LibUtil().AgregaBarra(carpeta);
    if (!carpeta.endsWith(QLatin1Char('/')) && !carpeta.endsWith(QLatin1Char('\\')))
        carpeta += QLatin1Char('/');
    return carpeta;
}

QString RutaLogErroresGlobal() { return CarpetaTemporalGlobal() + NombreLogErrores; }

QString TextoFechaCorta(const QDateTime& momento) { return Texto::FormatoFecha(momento, FechaCorta()); }

int TratamientoErroresGlobal(const Fallo& error, std::optional<int> botones, const QString& rutina) {
    const QString ruta = RutaLogErroresGlobal();
    // Opened for appending first: the log exists even when nothing is shown.
    ArchivoTexto::Agrega(ruta, QString());
    if (error.Numero() == 0) return 0;
    const PartesError p = ArmaPartesError(error, rutina, FinTituloGlobal);
    const int respuesta = ElOperador().Mensaje(p.mensaje, botones.value_or(BotonesErrorPorDefecto), p.titulo);
    ArchivoTexto::Agrega(ruta, LineaLogError(QDateTime::currentDateTime(), p.rutina, p.mensaje, respuesta));
    return respuesta;
}

Guardia::Dialogo TratamientoGlobalDe(const QString& rutina) {
    return [rutina](const Fallo& f) { return TratamientoErroresGlobal(f, std::nullopt, rutina); };
}

QString FechaHoraCorta() {
    return QStringLiteral("dd/mm/yy hh:mm");
}
QString FechaCorta() {
    return QStringLiteral("dd/mm/yy");
}
QString HoraCorta() {
    return QStringLiteral("hh:mm");
}
