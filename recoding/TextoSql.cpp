#include "recoding/TextoSql.h"

#include "platform/Texto.h"

namespace TextoSql {

QString Comillas(const QString& valor) {
    QString r = valor;
    return r.replace(QLatin1Char('\''), QLatin1String("''"));
}

QString PatronLike(const QString& valor) {
    QString r;
    r.reserve(valor.size() + 8);
    for (QChar c : valor) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('[')) {
            r += QLatin1Char('[');
            r += c;
            r += QLatin1Char(']');
        } else if (c == QLatin1Char('\'')) {
            r += QLatin1String("''");
        } else {
            r += c;
        }
    }
    return r;
}

QString ClaveServidor(const QString& codigo) {
    return Texto::RTrim(codigo).toCaseFolded();
}

}  // namespace TextoSql
