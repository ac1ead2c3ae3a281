#include "access/LectorBases.h"

#include "platform/ArchivoTexto.h"
#include "platform/Texto.h"

#include <QStringList>

namespace {

// The fields of one line.
QStringList Campos(const QString& linea) {
    QStringList campos;
    qsizetype i = 0;
    const qsizetype n = linea.size();
    for (;;) {
        while (i < n && linea[i] == QLatin1Char(' ')) ++i;
        QString campo;
        if (i < n && linea[i] == QLatin1Char('"')) {
            const qsizetype cierre = linea.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype fin = cierre < 0 ? n : cierre;
            campo = linea.mid(i + 1, fin - i - 1);
            const qsizetype coma = cierre < 0 ? -1 : linea.indexOf(QLatin1Char(','), cierre + 1);
            campos.append(campo);
            if (coma < 0) break;
            i = coma + 1;
        } else {
            const qsizetype coma = linea.indexOf(QLatin1Char(','), i);
            const qsizetype fin = coma < 0 ? n : coma;
            campos.append(Texto::Trim(linea.mid(i, fin - i)));
            if (coma < 0) break;
            i = coma + 1;
        }
    }
    return campos;
}

}  // namespace

std::vector<EntradaBase> LeeBases(const QString& texto) {
    std::vector<EntradaBase> r;
    for (const QString& linea : ArchivoTexto::Lineas(texto)) {
        if (Texto::Trim(linea).isEmpty()) continue;
        QStringList c = Campos(linea);
        while (c.size() < 5) c.append(QString());
        r.push_back({c[0], c[1], c[2], c[3], c[4]});
    }
    return r;
}
