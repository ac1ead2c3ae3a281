#include "db/platform/embebido/CacheTraduccion.h"

namespace {

constexpr QChar kAbre(0x0001);
constexpr QChar kCierra(0x0002);

bool EsLetra(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#');
}

// The shape ends with the word LIKE.
bool TrasLike(const QString& forma) {
    qsizetype i = forma.size();
    while (i > 0 && forma[i - 1].isSpace()) --i;
    if (i < 4 || forma.mid(i - 4, 4).compare(QLatin1String("LIKE"), Qt::CaseInsensitive) != 0) return false;
    return i == 4 || !EsLetra(forma[i - 5]);
}

// The batch's shape and its literals (each with its quotes, as written).
// False when a literal is not closed: the translator reports it.
bool FormaDe(const QString& lote, QString& forma, QStringList& literales) {
    forma.reserve(lote.size());
    const qsizetype n = lote.size();
    qsizetype i = 0;
    auto copiaHasta = [&](qsizetype fin) {
        forma += QStringView(lote).mid(i, fin - i);
        i = fin;
    };
    while (i < n) {
        const QChar c = lote[i];
        if (c == kAbre || c == kCierra) return false;
        if (c == QLatin1Char('-') && i + 1 < n && lote[i + 1] == QLatin1Char('-')) {
            qsizetype f = lote.indexOf(QLatin1Char('\n'), i);
            copiaHasta(f < 0 ? n : f);
        } else if (c == QLatin1Char('/') && i + 1 < n && lote[i + 1] == QLatin1Char('*')) {
            int nivel = 0;
            qsizetype f = i;
            do {
                if (lote.mid(f, 2) == QLatin1String("/*")) ++nivel, f += 2;
                else if (lote.mid(f, 2) == QLatin1String("*/")) --nivel, f += 2;
                else ++f;
            } while (nivel > 0 && f < n);
            if (nivel > 0) return false;
            copiaHasta(f);
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar cierre = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            qsizetype f = i + 1;
            for (;;) {
                f = lote.indexOf(cierre, f);
                if (f < 0) return false;
                if (f + 1 < n && lote[f + 1] == cierre) f += 2;
                else break;
            }
            copiaHasta(f + 1);
        } else if (c == QLatin1Char('\'')) {
            qsizetype f = i + 1;
            for (;;) {
                f = lote.indexOf(QLatin1Char('\''), f);
                if (f < 0) return false;
                if (f + 1 < n && lote[f + 1] == QLatin1Char('\'')) f += 2;
                else break;
            }
            if (TrasLike(forma)) {
                copiaHasta(f + 1);
            } else {
                literales << lote.mid(i, f + 1 - i);
                forma += QLatin1Char('\'') + kAbre + QString::number(literales.size() - 1) + kCierra +
                         QLatin1Char('\'');
                i = f + 1;
            }
        } else {
            ++i;
            forma += c;
        }
    }
    return true;
}

// The text with each mark (a literal '\x01k\x02' of its own) replaced by
// what `pon(k, where, result)` appends for it; false when a mark is not such
// a literal or `pon` refuses it.
template <class F>
bool Reemplaza(const QString& texto, QString& salida, F pon) {
    if (!texto.contains(kAbre)) {
        salida = texto;
        return !texto.contains(kCierra);
    }
    QString r;
    r.reserve(texto.size() + 64);
    qsizetype i = 0;
    for (;;) {
        const qsizetype a = texto.indexOf(kAbre, i);
        if (a < 0) break;
        const qsizetype c = texto.indexOf(kCierra, a);
        if (a == 0 || texto[a - 1] != QLatin1Char('\'') || c < 0 || c + 1 >= texto.size() ||
            texto[c + 1] != QLatin1Char('\''))
            return false;
        bool ok = false;
        const int k = QStringView(texto).mid(a + 1, c - a - 1).toInt(&ok);
        if (!ok || k < 0) return false;
        r += QStringView(texto).mid(i, a - 1 - i);
        if (!pon(k, a - 1, r)) return false;
        i = c + 2;
    }
    r += QStringView(texto).mid(i);
    salida = std::move(r);
    return !salida.contains(kCierra);
}

// Puts the literals back in place of their marks.
bool Restituye(QString& texto, const QStringList& literales) {
    return Reemplaza(texto, texto, [&](int k, qsizetype, QString& r) {
        if (k >= literales.size()) return false;
        r += literales[k];
        return true;
    });
}

// The marked text with ?k in place of each mark, k numbered on from the
// size of `literales`, which gets, in the order of k, the literal each
// parameter stands for. False for a literal with a prefix or next to
// another (N'..' among them), which only the text can carry.
bool Liga(const QString& texto, std::vector<int>& literales, QString& ligado) {
    return Reemplaza(texto, ligado, [&](int k, qsizetype comilla, QString& r) {
        if (comilla > 0 && (EsLetra(texto[comilla - 1]) || texto[comilla - 1] == QLatin1Char('\''))) return false;
        literales.push_back(k);
        r += QLatin1Char('?') + QString::number(literales.size());
        return true;
    });
}

// The bound form of a kept statement; not valid when it has none.
SentenciaLigada LigadaDe(const Sentencia& s) {
    SentenciaLigada l;
    if (s.tipo != Sentencia::Sql || !s.basesAdjuntas.isEmpty()) return l;
    // The text alone, and antes + columns + despues, number their
    // parameters apart: the engine takes one or the other.
    std::vector<int> deTexto, deInsert;
    if (!Liga(s.sql, deTexto, l.sql)) return l;
    if (s.insertSinColumnas) {
        // numbered on from the ones before the columns
        if (!Liga(s.insertAntes, deInsert, l.insertAntes) || !Liga(s.insertDespues, deInsert, l.insertDespues))
            return l;
        // Both forms must take the same literals in the same order.
        if (deInsert != deTexto) return l;
    }
    l.literales = std::move(deTexto);
    l.valida = true;
    return l;
}

// A literal's value: without its quotes, doubled quotes made one.
QString ValorDe(const QString& literal) {
    return literal.mid(1, literal.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
}

bool SinMarcas(const QString& s) {
    return !s.contains(kAbre) && !s.contains(kCierra);
}

bool Guardable(const std::vector<Sentencia>& ss) {
    for (const Sentencia& s : ss) {
        switch (s.tipo) {
            case Sentencia::Sql:
            case Sentencia::Nada:
            case Sentencia::IniciaTran:
            case Sentencia::ConfirmaTran:
            case Sentencia::DeshaceTran:
            case Sentencia::GuardaTran:
            case Sentencia::NoCount:
            case Sentencia::Disparadores:
                break;
            default:
                return false;
        }
        if (s.verbo != QLatin1String("SELECT") && s.verbo != QLatin1String("INSERT") &&
            s.verbo != QLatin1String("UPDATE") && s.verbo != QLatin1String("DELETE") && s.tipo == Sentencia::Sql)
            return false;
        if (!SinMarcas(s.verbo) || !SinMarcas(s.tabla) || !SinMarcas(s.nombre) || !SinMarcas(s.clase) ||
            !SinMarcas(s.condicion) || !SinMarcas(s.insertColumnas.join(QString())) ||
            !SinMarcas(s.basesAdjuntas.join(QString())) || !s.restricciones.empty() || !s.columnasNuevas.empty() ||
            !s.cuerpo.empty() || !s.sino.empty())
            return false;
    }
    return true;
}

}  // namespace

bool CacheTraduccion::Traduce(const QString& lote, const QString& base, std::vector<Sentencia>& salida,
                              ErrorTraduccion& error, LigadurasLote* ligaduras) {
    if (ligaduras) {
        ligaduras->sentencias.clear();
        ligaduras->valores.clear();
    }
    QString forma;
    QStringList literales;
    if (!FormaDe(lote, forma, literales)) return TraduceLote(lote, base, salida, error);
    const QString clave = base + QChar(0) + forma;
    auto it = formas_.find(clave);
    if (it == formas_.end()) {
        if (formas_.size() >= capacidad_) formas_.clear();
        Forma f;
        ErrorTraduccion e;
        if (TraduceLote(forma, base, f.sentencias, e)) f.guardable = Guardable(f.sentencias);
        if (f.guardable)
            for (const Sentencia& s : f.sentencias) f.ligadas.push_back(LigadaDe(s));
        it = formas_.insert(clave, std::move(f));
    } else {
        ++aciertos_;
    }
    if (it->guardable) {
        salida = it->sentencias;
        bool ok = true;
        for (Sentencia& s : salida) {
            ok = ok && Restituye(s.original, literales) && Restituye(s.sql, literales) &&
                 Restituye(s.insertAntes, literales) && Restituye(s.insertDespues, literales);
        }
        if (ok) {
            // The bound forms' marks are those just put back: each names one of these literals.
            if (ligaduras) {
                ligaduras->sentencias = it->ligadas;
                for (const QString& l : literales) ligaduras->valores << ValorDe(l);
            }
            return true;
        }
        it->guardable = false;
    }
    return TraduceLote(lote, base, salida, error);
}
