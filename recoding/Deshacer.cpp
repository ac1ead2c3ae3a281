#include "recoding/Deshacer.h"

#include <QFileInfo>
#include <QHash>

#include "frame/lib/Lib_Util.h"
#include "frame/platform/Aplicacion.h"
#include "frame/platform/ArchivoTexto.h"
#include "frame/platform/Texto.h"
#include "recoding/TextoSql.h"

using Texto::Trim;

namespace {

QString Par(const ResultadoCodigo& r) {
    return Texto::RTrim(r.viejo) + QStringLiteral(" → ") + Trim(r.nuevo);
}

}  // namespace

ListaDeshacer ArmaDeshacer(const QVector<ResultadoCodigo>& codigos) {
    ListaDeshacer l;
    // The successful codes received by each new code, and the last of them.
    QHash<QString, int> recibidos;
    for (const ResultadoCodigo& r : codigos)
        if (!r.error) ++recibidos[TextoSql::ClaveServidor(r.nuevo)];

    QStringList lineas;
    for (const ResultadoCodigo& r : codigos) {
        if (r.error) continue;
        QString motivo;
        if (r.tipo == TipoPlan::Fusion)
            motivo = QStringLiteral("fusión");
        else if (r.tipo == TipoPlan::Estadisticas)
            motivo = QStringLiteral("sólo estadísticas");
        else if (recibidos.value(TextoSql::ClaveServidor(r.nuevo)) > 1)
            motivo = QStringLiteral("el código nuevo recibió otros artículos");
        else if (Texto::LTrim(r.viejo) != r.viejo || Texto::LTrim(r.nuevo) != r.nuevo)
            motivo = QStringLiteral("código guardado con blancos al principio");
        else if (r.viejo.contains(QLatin1Char(',')) || r.nuevo.contains(QLatin1Char(',')))
            motivo = QStringLiteral("código con una coma");
        if (!motivo.isEmpty()) {
            l.noReversibles << Par(r) + QStringLiteral(" (") + motivo + QStringLiteral(")");
            continue;
        }
        lineas << Trim(r.nuevo) + QLatin1Char(',') + Trim(r.viejo);
    }
    for (auto it = lineas.crbegin(); it != lineas.crend(); ++it) l.lineas << *it;
    return l;
}

QString RutaDeshacer(const QDateTime& momento) {
    const QString base = LibUtil().AgregaBarra(CarpetaAplicacion()) + QStringLiteral("Deshacer-") +
                         momento.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Runs within the same second (a script's lists) keep each its own list.
    QString ruta = base + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(ruta); ++n)
        ruta = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".txt");
    return ruta;
}

bool EscribeDeshacer(const QString& ruta, const ListaDeshacer& lista) {
    QString texto;
    for (const QString& l : lista.lineas) texto += l + ArchivoTexto::CRLF;
    return ArchivoTexto::EscribeSinPerdida(ruta, texto);
}
