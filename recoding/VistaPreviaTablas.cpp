// The per-table preview: the plans' statements read back into moves,
// deletions and copies, replayed over row counts read from the server.

#include "recoding/VistaPreviaTablas.h"

#include <QHash>
#include <QSet>
#include <optional>
#include <utility>

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "db/platform/Recordset.h"
#include "platform/Texto.h"
#include "recoding/FrmEMRecodifica.h"
#include "recoding/TextoSql.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// ---- statements read back -------------------------------------------------------

struct Simbolo {
    enum Clase { Palabra, Literal, Signo } clase = Signo;
    QString texto;  // a literal's text as written, quotes doubled
};

// Words (bracketed and double-quoted names too), string literals and signs.
QVector<Simbolo> Simbolos(const QString& s) {
    QVector<Simbolo> r;
    const int n = static_cast<int>(s.size());
    int i = 0;
    auto palabra = [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'@' || c == u'#';
    };
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'\'') {
            int j = i + 1;
            QString t;
            while (j < n) {
                if (s[j] == u'\'') {
                    if (j + 1 < n && s[j + 1] == u'\'') {
                        t += QStringLiteral("''");
                        j += 2;
                        continue;
                    }
                    break;
                }
                t += s[j++];
            }
            r.push_back({Simbolo::Literal, t});
            i = j + 1;
        } else if (c == u'[' || c == u'"') {
            const QChar cierre = c == u'[' ? u']' : u'"';
            const int j = static_cast<int>(s.indexOf(cierre, i + 1));
            const int fin = j < 0 ? n : j + 1;
            r.push_back({Simbolo::Palabra, s.mid(i, fin - i)});
            i = fin;
        } else if (palabra(c)) {
            int j = i;
            while (j < n && palabra(s[j])) ++j;
            r.push_back({Simbolo::Palabra, s.mid(i, j - i)});
            i = j;
        } else {
            r.push_back({Simbolo::Signo, QString(c)});
            ++i;
        }
    }
    return r;
}

// A statement that changes which code some rows carry.
struct Movida {
    enum Clase { Actualiza, Borra, Inserta } clase = Actualiza;
    QString tabla;    // as the statement names it
    QString columna;  // the code column
    QString desde;    // the WHERE literal (the source rows)
    QString hacia;    // the code written (UPDATE's SET, INSERT's first value)
};

bool Es(const QVector<Simbolo>& s, int i, const char* palabra) {
    return i < s.size() && s[i].clase == Simbolo::Palabra &&
           Texto::Iguales(s[i].texto, QLatin1String(palabra));
}
bool EsSigno(const QVector<Simbolo>& s, int i, char signo) {
    return i < s.size() && s[i].clase == Simbolo::Signo && s[i].texto == QLatin1Char(signo);
}
bool EsPalabra(const QVector<Simbolo>& s, int i) {
    return i < s.size() && s[i].clase == Simbolo::Palabra;
}
bool EsLiteral(const QVector<Simbolo>& s, int i) {
    return i < s.size() && s[i].clase == Simbolo::Literal;
}

// "WHERE c = 'x'" closing the statement at i: the column and the literal.
bool Condicion(const QVector<Simbolo>& s, int i, QString& columna, QString& literal) {
    if (!Es(s, i, "WHERE") || !EsPalabra(s, i + 1) || !EsSigno(s, i + 2, '=') || !EsLiteral(s, i + 3) ||
        i + 4 != s.size())
        return false;
    columna = s[i + 1].texto;
    literal = s[i + 3].texto;
    return true;
}

// The plans' forms: UPDATE T SET [x = v,] c = 'a' WHERE c = 'b'; DELETE [FROM]
// T WHERE c = 'b'; INSERT INTO T SELECT 'a', ... FROM T WHERE c = 'b'.
// Anything else (triggers, transactions, the rubro alone) moves nothing.
std::optional<Movida> LeeMovida(const QString& texto) {
    const QVector<Simbolo> s = Simbolos(texto);
    Movida m;
    if (Es(s, 0, "UPDATE") && EsPalabra(s, 1) && Es(s, 2, "SET")) {
        m.clase = Movida::Actualiza;
        m.tabla = s[1].texto;
        int i = 3;
        QHash<QString, QString> asignados;  // column (upper case) → literal
        while (EsPalabra(s, i) && EsSigno(s, i + 1, '=')) {
            if (EsLiteral(s, i + 2)) asignados.insert(s[i].texto.toUpper(), s[i + 2].texto);
            i += 3;
            if (!EsSigno(s, i, ',')) break;
            ++i;
        }
        if (!Condicion(s, i, m.columna, m.desde)) return std::nullopt;
        const auto it = asignados.constFind(m.columna.toUpper());
        if (it == asignados.constEnd()) return std::nullopt;  // the code is not written
        m.hacia = it.value();
        return m;
    }
    if (Es(s, 0, "DELETE")) {
        m.clase = Movida::Borra;
        const int i = Es(s, 1, "FROM") ? 2 : 1;
        if (!EsPalabra(s, i) || !Condicion(s, i + 1, m.columna, m.desde)) return std::nullopt;
        m.tabla = s[i].texto;
        return m;
    }
    if (Es(s, 0, "INSERT") && Es(s, 1, "INTO") && EsPalabra(s, 2) && Es(s, 3, "SELECT") && EsLiteral(s, 4)) {
        m.clase = Movida::Inserta;
        m.tabla = s[2].texto;
        m.hacia = s[4].texto;
        int nivel = 0, i = 5;
        for (; i < s.size(); ++i) {
            if (EsSigno(s, i, '(')) ++nivel;
            if (EsSigno(s, i, ')')) --nivel;
            if (nivel == 0 && Es(s, i, "FROM")) break;
        }
        // Rows copied within the same table only.
        if (!EsPalabra(s, i + 1) || !Texto::Iguales(s[i + 1].texto, m.tabla) ||
            !Condicion(s, i + 2, m.columna, m.desde))
            return std::nullopt;
        return m;
    }
    return std::nullopt;
}

// The plan's statements as the server splits the batch: an entry that
// goes on in the next one (the copy's INSERT and its FROM) joined to it.
QStringList Sentencias(const Plan& plan) {
    QStringList r;
    for (int k = 0; k < plan.Cantidad; ++k) {
        const QString& t = plan.Sentencias[static_cast<size_t>(k)];
        const QString inicio = Texto::Trim(t).section(QLatin1Char(' '), 0, 0);
        if (!r.isEmpty() && Texto::Iguales(inicio, QStringLiteral("FROM")) &&
            Texto::EmpiezaCon(Texto::Trim(r.back()), QStringLiteral("INSERT")))
            r.back() += kCrLf + t;
        else
            r << t;
    }
    return r;
}

// ---- row counts -------------------------------------------------------------------

// The rows under each code of a table's column, by where they come from:
// the key they carried before the list (read from the server on first use),
// or the copy that inserted them. Rows of one origin always move together.
class Conteos {
  public:
    using Origenes = QHash<QString, qint64>;

    // Rows of the table whose column equals the literal, now.
    Origenes& De(const QString& tabla, const QString& columna, const QString& literal) {
        const QString k = Clave(tabla, columna, literal);
        auto it = cache_.find(k);
        if (it == cache_.end()) {
            Origenes o;
            if (const qint64 n = Lee(tabla, columna, literal); n > 0) o.insert(k, n);
            it = cache_.insert(k, o);
        }
        return it.value();
    }
    // A new origin, for rows a copy inserts.
    QString Copia() { return QStringLiteral("copia") + QChar(1) + QString::number(++copias_); }
    // Of the rows, those an earlier move in the same table and column
    // already took; all of them are marked as moved from now on.
    qint64 YaMovidas(const QString& tabla, const QString& columna, const Origenes& filas) {
        qint64 r = 0;
        for (auto it = filas.cbegin(); it != filas.cend(); ++it) {
            const QString k = tabla.toUpper() + QChar(1) + columna.toUpper() + QChar(1) + it.key();
            if (movidas_.contains(k))
                r += it.value();
            else
                movidas_.insert(k);
        }
        return r;
    }

    static qint64 Total(const Origenes& o) {
        qint64 n = 0;
        for (const qint64 v : o) n += v;
        return n;
    }
    static void Agrega(Origenes& a, const Origenes& b) {
        for (auto it = b.cbegin(); it != b.cend(); ++it) a[it.key()] += it.value();
    }

  private:
    static QString Clave(const QString& tabla, const QString& columna, const QString& literal) {
        return tabla.toUpper() + QChar(1) + columna.toUpper() + QChar(1) + TextoSql::ClaveServidor(literal);
    }
    static qint64 Lee(const QString& tabla, const QString& columna, const QString& literal) {
        RecordsetPtr rs;
        gDB().AbrirRecordset(QStringLiteral("SELECT COUNT(*) FROM ") + tabla + QStringLiteral(" WHERE ") +
                                 columna + QStringLiteral(" = '") + literal + QStringLiteral("'"),
                             rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
        qint64 n = 0;
        if (rs && rs->State() != ado::adStateClosed && !rs->Eof()) n = rs->Fields(0).Value().toLongLong();
        if (rs) gDB().CierraRecordset(rs);
        return n;
    }
    QHash<QString, Origenes> cache_;
    QSet<QString> movidas_;  // table, column and origin of rows already moved
    int copias_ = 0;
};

void Suma(QVector<ConteoTabla>& v, const ConteoTabla& c) {
    for (ConteoTabla& x : v)
        if (x.efecto == c.efecto && Texto::Iguales(x.tabla, c.tabla) &&
            Texto::Iguales(x.columna, c.columna)) {
            x.filas += c.filas;
            x.yaMovidas += c.yaMovidas;
            return;
        }
    v.push_back(c);
}

// Replays one plan over the counts; the rows each statement affects.
QVector<ConteoTabla> Aplica(const Plan& plan, Conteos& conteos) {
    QVector<ConteoTabla> r;
    for (const QString& texto : Sentencias(plan)) {
        const std::optional<Movida> m = LeeMovida(texto);
        if (!m) continue;
        ConteoTabla c;
        c.tabla = m->tabla;
        c.columna = m->columna;
        Conteos::Origenes& desde = conteos.De(m->tabla, m->columna, m->desde);
        c.filas = Conteos::Total(desde);
        switch (m->clase) {
            case Movida::Actualiza: {
                c.efecto = plan.Tipo == TipoPlan::Fusion ? EfectoFilas::Fusiona : EfectoFilas::Mueve;
                c.yaMovidas = conteos.YaMovidas(m->tabla, m->columna, desde);
                if (TextoSql::ClaveServidor(m->desde) != TextoSql::ClaveServidor(m->hacia)) {
                    const Conteos::Origenes mueve = std::exchange(desde, {});
                    Conteos::Agrega(conteos.De(m->tabla, m->columna, m->hacia), mueve);
                }
                break;
            }
            case Movida::Borra:
                c.efecto = EfectoFilas::Borra;
                desde.clear();
                break;
            case Movida::Inserta: {
                c.efecto = EfectoFilas::Copia;
                // New rows: copies of the old code's, moved on later as rows of their own.
                if (c.filas > 0) conteos.De(m->tabla, m->columna, m->hacia)[conteos.Copia()] += c.filas;
                break;
            }
        }
        Suma(r, c);
    }
    return r;
}

// ---- CSV ---------------------------------------------------------------------------

QString Campo(const QString& v) {
    if (!v.contains(QLatin1Char(';')) && !v.contains(QLatin1Char('"')) && !v.contains(QLatin1Char('\r')) &&
        !v.contains(QLatin1Char('\n')))
        return v;
    return QLatin1Char('"') + QString(v).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString Linea(const QStringList& campos) {
    QStringList r;
    for (const QString& c : campos) r << Campo(c);
    return r.join(QLatin1Char(';')) + kCrLf;
}

}  // namespace

QString NombreEfecto(EfectoFilas e) {
    switch (e) {
        case EfectoFilas::Copia:
            return QStringLiteral("copia");
        case EfectoFilas::Mueve:
            return QStringLiteral("mueve");
        case EfectoFilas::Fusiona:
            return QStringLiteral("fusiona");
        case EfectoFilas::Borra:
            return QStringLiteral("borra");
    }
    return {};
}

QVector<ConteoTabla> VistaPreviaTablas::Totales() const {
    QVector<ConteoTabla> r;
    for (const PreviaCodigo& p : codigos)
        for (ConteoTabla c : p.conteos) {
            c.filas -= c.yaMovidas;
            c.yaMovidas = 0;
            Suma(r, c);
        }
    // A line whose rows all moved in an earlier line.
    r.removeIf([](const ConteoTabla& c) { return c.filas == 0; });
    return r;
}

QString VistaPreviaTablas::Csv() const {
    QString r = Linea({QStringLiteral("fila"), QStringLiteral("viejo"), QStringLiteral("nuevo"),
                       QStringLiteral("plan"), QStringLiteral("tabla"), QStringLiteral("columna"),
                       QStringLiteral("efecto"), QStringLiteral("filas")});
    for (const PreviaCodigo& p : codigos) {
        const QStringList codigo{QString::number(p.fila), Texto::RTrim(p.viejo), Texto::RTrim(p.nuevo),
                                 NombreTipoPlan(p.tipo)};
        // A code that would move nothing still gets its line.
        if (p.conteos.isEmpty())
            r += Linea(codigo + QStringList{QString(), QString(), QString(), QStringLiteral("0")});
        for (const ConteoTabla& c : p.conteos)
            r += Linea(codigo +
                       QStringList{c.tabla, c.columna, NombreEfecto(c.efecto), QString::number(c.filas)});
    }
    return r;
}

VistaPreviaTablas CalculaVistaPrevia(FrmEMRecodifica& frm, const std::function<bool(int, int)>& avance) {
    VistaPreviaTablas r;
    Conteos conteos;
    struct Interrumpida {};
    const int ultima = frm.MSFlexGrid1.Rows() - 1;
    try {
        frm.VistaPrevia([&](int fila, const QString& viejo, const QString& nuevo, const Plan& plan) {
            if (avance && !avance(fila, ultima)) throw Interrumpida{};
            PreviaCodigo p;
            p.fila = fila;
            p.viejo = viejo;
            p.nuevo = nuevo;
            p.tipo = plan.Tipo;
            for (const ConteoTabla& c : Aplica(plan, conteos))
                if (c.filas > 0) p.conteos.push_back(c);
            r.codigos.push_back(p);
        });
    } catch (const Interrumpida&) {
        r.interrumpida = true;
    }
    return r;
}
