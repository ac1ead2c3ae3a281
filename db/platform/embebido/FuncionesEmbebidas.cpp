#include "db/platform/embebido/FuncionesEmbebidas.h"

#include <QHash>
#include <QRegularExpression>
#include <QUuid>

#include <sqlite3.h>

#include <cmath>
#include <cstring>

namespace {

QString Texto(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}
bool Nulo(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }
void Resultado(sqlite3_context* c, const QString& s) {
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(c, b.constData(), b.size(), SQLITE_TRANSIENT);
}
void Falla(sqlite3_context* c, int nativo, const QString& texto) {
    const QByteArray b = QStringLiteral("kv:%1:%2").arg(nativo).arg(texto).toUtf8();
    sqlite3_result_error(c, b.constData(), b.size());
}
EstadoSesion* Estado(sqlite3_context* c) { return static_cast<EstadoSesion*>(sqlite3_user_data(c)); }

QString SinBlancosFinales(const QString& s) {
    int n = static_cast<int>(s.size());
    while (n > 0 && s[n - 1] == QLatin1Char(' ')) --n;
    return s.left(n);
}
QString SinBlancosIniciales(const QString& s) {
    int i = 0;
    while (i < s.size() && s[i] == QLatin1Char(' ')) ++i;
    return s.mid(i);
}

// ---- collations ----

// _CI_AS: case ignored (accented letters too), accents significant,
// trailing blanks ignored.
int CompararCi(void*, int n1, const void* p1, int n2, const void* p2) {
    const auto* a = static_cast<const unsigned char*>(p1);
    const auto* b = static_cast<const unsigned char*>(p2);
    while (n1 > 0 && a[n1 - 1] == ' ') --n1;
    while (n2 > 0 && b[n2 - 1] == ' ') --n2;
    int i = 0;
    const int n = n1 < n2 ? n1 : n2;
    for (; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if ((x | y) & 0x80) break;
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return x < y ? -1 : 1;
    }
    if (i == n) return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
    // from the first non-ASCII character on (the prefixes are equal ASCII): fold both rests
    const QString ra = QString::fromUtf8(reinterpret_cast<const char*>(a + i), n1 - i).toCaseFolded();
    const QString rb = QString::fromUtf8(reinterpret_cast<const char*>(b + i), n2 - i).toCaseFolded();
    const int c = ra.compare(rb);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Dates compared as instants whatever the form they were written in.
QString Canonica(const char* p, int n) {
    static const char plantilla[] = "0000-00-00 00:00:00.000";
    if (n >= 10 && n <= 23 && p[4] == '-' && p[7] == '-') {
        QByteArray r(plantilla, 23);
        std::memcpy(r.data(), p, static_cast<std::size_t>(n));
        if (n > 10) r[10] = ' ';
        return QString::fromLatin1(r);
    }
    const QString s = QString::fromUtf8(p, n);
    const QDateTime d = LeeFechaSql(s);
    return d.isValid() ? TextoFecha(d) : s;
}
int CompararFecha(void*, int n1, const void* p1, int n2, const void* p2) {
    const QString a = Canonica(static_cast<const char*>(p1), n1);
    const QString b = Canonica(static_cast<const char*>(p2), n2);
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// ---- LIKE with SQL Server's syntax ----

bool Coincide(const QString& p, int i, const QString& s, int j, QChar escape) {
    while (i < p.size()) {
        const QChar c = p[i];
        if (!escape.isNull() && c == escape && i + 1 < p.size()) {
            if (j >= s.size() || s[j] != p[i + 1]) return false;
            i += 2;
            ++j;
            continue;
        }
        if (c == QLatin1Char('%')) {
            while (i < p.size() && p[i] == QLatin1Char('%')) ++i;
            if (i == p.size()) return true;
            for (int k = j; k <= s.size(); ++k)
                if (Coincide(p, i, s, k, escape)) return true;
            return false;
        }
        if (j >= s.size()) return false;
        if (c == QLatin1Char('_')) { ++i; ++j; continue; }
        if (c == QLatin1Char('[')) {
            const int cierre = p.indexOf(QLatin1Char(']'), i + 2);
            if (cierre > i) {
                int k = i + 1;
                bool negado = false;
                if (p[k] == QLatin1Char('^')) { negado = true; ++k; }
                bool dentro = false;
                for (; k < cierre; ++k) {
                    if (k + 2 < cierre && p[k + 1] == QLatin1Char('-')) {
                        if (s[j] >= p[k] && s[j] <= p[k + 2]) dentro = true;
                        k += 2;
                    } else if (s[j] == p[k]) {
                        dentro = true;
                    }
                }
                if (dentro == negado) return false;
                i = cierre + 1;
                ++j;
                continue;
            }
        }
        if (c != s[j]) return false;
        ++i;
        ++j;
    }
    return j == s.size();
}

void Like(sqlite3_context* c, int n, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1])) { sqlite3_result_null(c); return; }
    const QString patron = Texto(v[0]).toCaseFolded();
    const QString valor = SinBlancosFinales(Texto(v[1])).toCaseFolded();
    QChar escape;
    if (n == 3 && !Nulo(v[2])) {
        const QString e = Texto(v[2]);
        if (e.size() != 1) {
            Falla(c, 506, QStringLiteral("The invalid escape character \"%1\" was specified in a LIKE predicate.").arg(e));
            return;
        }
        escape = e[0];
    }
    sqlite3_result_int(c, Coincide(patron, 0, valor, 0, escape) ? 1 : 0);
}

// ---- numbers and conversions ----

struct TipoSql {
    QString nombre;
    int largo = -1;
    int escala = 0;
};
TipoSql LeeTipo(const QString& t) {
    TipoSql r;
    const int p = t.indexOf(QLatin1Char('('));
    r.nombre = (p < 0 ? t : t.left(p)).trimmed().toLower();
    if (p >= 0) {
        const QStringList a = t.mid(p + 1, t.indexOf(QLatin1Char(')')) - p - 1).split(QLatin1Char(','));
        r.largo = a.value(0).trimmed() == QLatin1String("max") ? -1 : a.value(0).toInt();
        r.escala = a.value(1).toInt();
    }
    return r;
}
bool EsTextoTipo(const QString& n) {
    return n == QLatin1String("varchar") || n == QLatin1String("nvarchar") || n == QLatin1String("char") ||
           n == QLatin1String("nchar") || n == QLatin1String("text") || n == QLatin1String("ntext") ||
           n == QLatin1String("sysname");
}
bool EsEnteroTipo(const QString& n) {
    return n == QLatin1String("int") || n == QLatin1String("integer") || n == QLatin1String("smallint") ||
           n == QLatin1String("tinyint") || n == QLatin1String("bigint") || n == QLatin1String("bit");
}
bool EsFechaTipo(const QString& n) {
    return n == QLatin1String("datetime") || n == QLatin1String("smalldatetime") || n == QLatin1String("date") ||
           n == QLatin1String("datetime2");
}

bool LeeEntero(const QString& s, long long& r) {
    static const QRegularExpression re(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    if (!re.match(s).hasMatch()) return false;
    bool ok = false;
    r = s.trimmed().toLongLong(&ok);
    return ok;
}
bool LeeReal(const QString& s, double& r) {
    static const QRegularExpression re(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?\\s*$"));
    if (!re.match(s).hasMatch()) return false;
    bool ok = false;
    r = s.trimmed().toDouble(&ok);
    return ok;
}
QString TextoNumero(sqlite3_value* v) {
    if (sqlite3_value_type(v) == SQLITE_INTEGER) return QString::number(sqlite3_value_int64(v));
    const double d = sqlite3_value_double(v);
    if (d == std::floor(d) && std::fabs(d) < 1e15) return QString::number(static_cast<long long>(d));
    return QString::number(d, 'g', 15);
}

QString TextoConEstilo(const QDateTime& d, int estilo) {
    switch (estilo) {
        case 103: return d.toString(QStringLiteral("dd/MM/yyyy"));
        case 3: return d.toString(QStringLiteral("dd/MM/yy"));
        case 101: return d.toString(QStringLiteral("MM/dd/yyyy"));
        case 1: return d.toString(QStringLiteral("MM/dd/yy"));
        case 104: return d.toString(QStringLiteral("dd.MM.yyyy"));
        case 105: return d.toString(QStringLiteral("dd-MM-yyyy"));
        case 112: return d.toString(QStringLiteral("yyyyMMdd"));
        case 108: case 8: return d.toString(QStringLiteral("HH:mm:ss"));
        case 120: case 20: return d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        case 121: case 21: return TextoFecha(d);
        case 23: return d.toString(QStringLiteral("yyyy-MM-dd"));
        case 126: return d.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
        default: {
            static const char* meses[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
            const int h = d.time().hour() % 12 == 0 ? 12 : d.time().hour() % 12;
            return QStringLiteral("%1 %2 %3 %4:%5%6")
                .arg(QLatin1String(meses[d.date().month() - 1]))
                .arg(d.date().day(), 2)
                .arg(d.date().year())
                .arg(h, 2)
                .arg(d.time().minute(), 2, 10, QLatin1Char('0'))
                .arg(d.time().hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
        }
    }
}

void Convert(sqlite3_context* c, int n, sqlite3_value** v) {
    const TipoSql t = LeeTipo(Texto(v[0]));
    sqlite3_value* x = v[1];
    if (Nulo(x)) { sqlite3_result_null(c); return; }
    const int estilo = n >= 3 && !Nulo(v[2]) ? sqlite3_value_int(v[2]) : -1;
    const int tipoValor = sqlite3_value_type(x);
    if (EsTextoTipo(t.nombre) || t.nombre == QLatin1String("uniqueidentifier")) {
        QString s;
        if (tipoValor == SQLITE_INTEGER || tipoValor == SQLITE_FLOAT) {
            s = TextoNumero(x);
        } else {
            s = Texto(x);
            if (estilo >= 0) {
                const QDateTime d = LeeFechaSql(s);
                if (d.isValid()) s = TextoConEstilo(d, estilo);
            }
        }
        const int largo = t.largo > 0 ? t.largo : (t.largo == -1 && t.nombre.contains(QLatin1String("char")) &&
                                                    !Texto(v[0]).contains(QLatin1Char('(')) ? 30 : -1);
        if (largo > 0 && s.size() > largo) s = s.left(largo);
        if (largo > 0 && (t.nombre == QLatin1String("char") || t.nombre == QLatin1String("nchar")) && s.size() < largo)
            s = s.leftJustified(largo, QLatin1Char(' '));
        Resultado(c, s);
        return;
    }
    if (EsEnteroTipo(t.nombre)) {
        if (tipoValor == SQLITE_INTEGER) {
            long long i = sqlite3_value_int64(x);
            if (t.nombre == QLatin1String("bit")) i = i != 0;
            sqlite3_result_int64(c, i);
            return;
        }
        if (tipoValor == SQLITE_FLOAT) {
            sqlite3_result_int64(c, static_cast<long long>(sqlite3_value_double(x)));
            return;
        }
        const QString s = Texto(x);
        long long i = 0;
        if (!LeeEntero(s, i)) {
            Falla(c, 245, QStringLiteral("Conversion failed when converting the varchar value '%1' to data type %2.")
                              .arg(s, t.nombre));
            return;
        }
        if (t.nombre == QLatin1String("bit")) i = i != 0;
        sqlite3_result_int64(c, i);
        return;
    }
    if (t.nombre == QLatin1String("decimal") || t.nombre == QLatin1String("numeric") || t.nombre == QLatin1String("float") ||
        t.nombre == QLatin1String("real") || t.nombre == QLatin1String("money") || t.nombre == QLatin1String("smallmoney")) {
        double d = 0;
        if (tipoValor == SQLITE_INTEGER || tipoValor == SQLITE_FLOAT) {
            d = sqlite3_value_double(x);
        } else if (!LeeReal(Texto(x), d)) {
            const QString destino = t.nombre == QLatin1String("float") || t.nombre == QLatin1String("real")
                                        ? QStringLiteral("float") : QStringLiteral("numeric");
            Falla(c, 8114, QStringLiteral("Error converting data type varchar to %1.").arg(destino));
            return;
        }
        int escala = t.nombre == QLatin1String("money") ? 4 : t.escala;
        if (t.nombre == QLatin1String("decimal") || t.nombre == QLatin1String("numeric") || t.nombre == QLatin1String("money")) {
            const double f = std::pow(10.0, escala);
            d = std::round(d * f) / f;
            if (escala == 0 && std::fabs(d) < 9e18) { sqlite3_result_int64(c, static_cast<long long>(d)); return; }
        }
        sqlite3_result_double(c, d);
        return;
    }
    if (EsFechaTipo(t.nombre)) {
        QDateTime d;
        if (tipoValor == SQLITE_INTEGER || tipoValor == SQLITE_FLOAT) {
            d = QDateTime(QDate(1900, 1, 1), QTime(0, 0)).addMSecs(static_cast<qint64>(sqlite3_value_double(x) * 86400000.0));
        } else {
            const QString s = Texto(x);
            if (estilo == 101 || estilo == 1) {
                const QStringList p = s.trimmed().split(QLatin1Char('/'));
                if (p.size() == 3) d = LeeFechaSql(QStringLiteral("%1/%2/%3").arg(p[1], p[0], p[2]));
            } else {
                d = LeeFechaSql(s);
            }
            if (!d.isValid()) {
                Falla(c, 241, QStringLiteral("Conversion failed when converting date and/or time from character string."));
                return;
            }
        }
        if (t.nombre == QLatin1String("date")) Resultado(c, d.toString(QStringLiteral("yyyy-MM-dd")));
        else Resultado(c, TextoFecha(d));
        return;
    }
    sqlite3_result_value(c, x);
}

// "+": concatenation of two texts; otherwise an addition, the text side
// converted to a number as SQL Server does (245 when it is not one).
void Suma(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1])) { sqlite3_result_null(c); return; }
    const int ta = sqlite3_value_type(v[0]), tb = sqlite3_value_type(v[1]);
    const bool txa = ta == SQLITE_TEXT || ta == SQLITE_BLOB, txb = tb == SQLITE_TEXT || tb == SQLITE_BLOB;
    if (txa && txb) {
        Resultado(c, Texto(v[0]) + Texto(v[1]));
        return;
    }
    auto numero = [&](sqlite3_value* x, bool esTexto, bool otroEntero, long long& i, double& d, bool& entero) {
        if (!esTexto) {
            entero = sqlite3_value_type(x) == SQLITE_INTEGER;
            i = sqlite3_value_int64(x);
            d = sqlite3_value_double(x);
            return true;
        }
        const QString s = Texto(x);
        if (LeeEntero(s, i)) { entero = true; d = static_cast<double>(i); return true; }
        if (!otroEntero && LeeReal(s, d)) { entero = false; return true; }
        Falla(c, 245, QStringLiteral("Conversion failed when converting the varchar value '%1' to data type %2.")
                          .arg(s, otroEntero ? QStringLiteral("int") : QStringLiteral("numeric")));
        return false;
    };
    long long ia = 0, ib = 0;
    double da = 0, db = 0;
    bool ea = false, eb = false;
    if (txa) {
        // datetime + days
        const QString s = Texto(v[0]);
        if (s.size() == 23 && s[4] == QLatin1Char('-') && s[13] == QLatin1Char(':')) {
            const QDateTime d = LeeFechaSql(s);
            if (d.isValid()) { Resultado(c, TextoFecha(d.addMSecs(static_cast<qint64>(sqlite3_value_double(v[1]) * 86400000.0)))); return; }
        }
    }
    if (!numero(v[0], txa, tb == SQLITE_INTEGER, ia, da, ea)) return;
    if (!numero(v[1], txb, ta == SQLITE_INTEGER, ib, db, eb)) return;
    if (ea && eb) sqlite3_result_int64(c, ia + ib);
    else sqlite3_result_double(c, da + db);
}

// A text fits in n characters; blanks beyond n are let through.
void Cabe(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || sqlite3_value_type(v[0]) != SQLITE_TEXT) { sqlite3_result_int(c, 1); return; }
    const int n = sqlite3_value_int(v[1]);
    const auto* p = sqlite3_value_text(v[0]);
    const int bytes = sqlite3_value_bytes(v[0]);
    int chars = 0, i = 0;
    for (; i < bytes; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            if (chars == n) break;
            ++chars;
        }
    }
    for (; i < bytes; ++i)
        if (p[i] != ' ') { sqlite3_result_int(c, 0); return; }
    sqlite3_result_int(c, 1);
}

// ---- text functions ----

void Len(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    const QString s = sqlite3_value_type(v[0]) == SQLITE_TEXT ? Texto(v[0]) : TextoNumero(v[0]);
    sqlite3_result_int(c, static_cast<int>(SinBlancosFinales(s).toUcs4().size()));
}
void DataLength(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    sqlite3_result_int(c, static_cast<int>(Texto(v[0]).toUcs4().size()));
}
void LTrim(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    Resultado(c, SinBlancosIniciales(Texto(v[0])));
}
void RTrim(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    Resultado(c, SinBlancosFinales(Texto(v[0])));
}
void Substring(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1]) || Nulo(v[2])) { sqlite3_result_null(c); return; }
    const long long inicio = sqlite3_value_int64(v[1]), largo = sqlite3_value_int64(v[2]);
    if (largo < 0) {
        Falla(c, 537, QStringLiteral("Invalid length parameter passed to the LEFT or SUBSTRING function."));
        return;
    }
    const QString s = Texto(v[0]);
    const long long desde = std::max<long long>(inicio, 1), hasta = inicio + largo;  // exclusive, 1-based
    if (hasta <= desde || desde > s.size()) { Resultado(c, QString()); return; }
    Resultado(c, s.mid(static_cast<int>(desde - 1), static_cast<int>(hasta - desde)));
}
void Left(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1])) { sqlite3_result_null(c); return; }
    const long long n = sqlite3_value_int64(v[1]);
    if (n < 0) { Falla(c, 537, QStringLiteral("Invalid length parameter passed to the left function.")); return; }
    const QString s = sqlite3_value_type(v[0]) == SQLITE_TEXT ? Texto(v[0]) : TextoNumero(v[0]);
    Resultado(c, s.left(static_cast<int>(n)));
}
void Right(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1])) { sqlite3_result_null(c); return; }
    const long long n = sqlite3_value_int64(v[1]);
    if (n < 0) { Falla(c, 536, QStringLiteral("Invalid length parameter passed to the right function.")); return; }
    const QString s = sqlite3_value_type(v[0]) == SQLITE_TEXT ? Texto(v[0]) : TextoNumero(v[0]);
    Resultado(c, s.right(static_cast<int>(n)));
}
void CharIndex(sqlite3_context* c, int n, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1])) { sqlite3_result_null(c); return; }
    const QString buscado = Texto(v[0]).toCaseFolded(), s = Texto(v[1]).toCaseFolded();
    int inicio = n >= 3 && !Nulo(v[2]) ? sqlite3_value_int(v[2]) : 1;
    if (inicio < 1) inicio = 1;
    if (buscado.isEmpty()) { sqlite3_result_int(c, 0); return; }
    sqlite3_result_int(c, static_cast<int>(s.indexOf(buscado, inicio - 1)) + 1);
}
void Upper(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    Resultado(c, Texto(v[0]).toUpper());
}
void Lower(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    Resultado(c, Texto(v[0]).toLower());
}
void Replace(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1]) || Nulo(v[2])) { sqlite3_result_null(c); return; }
    QString s = Texto(v[0]);
    const QString buscado = Texto(v[1]);
    if (!buscado.isEmpty()) s.replace(buscado, Texto(v[2]), Qt::CaseInsensitive);
    Resultado(c, s);
}
void Space(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || sqlite3_value_int(v[0]) < 0) { sqlite3_result_null(c); return; }
    Resultado(c, QString(sqlite3_value_int(v[0]), QLatin1Char(' ')));
}
void Replicate(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1]) || sqlite3_value_int(v[1]) < 0) { sqlite3_result_null(c); return; }
    Resultado(c, Texto(v[0]).repeated(sqlite3_value_int(v[1])));
}
void IsNumeric(sqlite3_context* c, int, sqlite3_value** v) {
    double d;
    const int t = sqlite3_value_type(v[0]);
    sqlite3_result_int(c, t == SQLITE_INTEGER || t == SQLITE_FLOAT || (t == SQLITE_TEXT && LeeReal(Texto(v[0]), d)));
}
void IsDate(sqlite3_context* c, int, sqlite3_value** v) {
    sqlite3_result_int(c, !Nulo(v[0]) && LeeFechaSql(Texto(v[0])).isValid());
}
void Str(sqlite3_context* c, int n, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    const int largo = n >= 2 ? sqlite3_value_int(v[1]) : 10, dec = n >= 3 ? sqlite3_value_int(v[2]) : 0;
    QString s = QString::number(sqlite3_value_double(v[0]), 'f', dec);
    if (s.size() > largo) s = QString(largo, QLatin1Char('*'));
    Resultado(c, s.rightJustified(largo, QLatin1Char(' ')));
}
void Techo(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    if (sqlite3_value_type(v[0]) == SQLITE_INTEGER) sqlite3_result_int64(c, sqlite3_value_int64(v[0]));
    else sqlite3_result_double(c, std::ceil(sqlite3_value_double(v[0])));
}
void Piso(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    if (sqlite3_value_type(v[0]) == SQLITE_INTEGER) sqlite3_result_int64(c, sqlite3_value_int64(v[0]));
    else sqlite3_result_double(c, std::floor(sqlite3_value_double(v[0])));
}
void Cuadrado(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    const double d = sqlite3_value_double(v[0]);
    sqlite3_result_double(c, d * d);
}
void Potencia(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0]) || Nulo(v[1])) { sqlite3_result_null(c); return; }
    sqlite3_result_double(c, std::pow(sqlite3_value_double(v[0]), sqlite3_value_double(v[1])));
}

// ---- dates ----

void GetDate(sqlite3_context* c, int, sqlite3_value**) { Resultado(c, TextoFecha(QDateTime::currentDateTime())); }
void GetUtcDate(sqlite3_context* c, int, sqlite3_value**) { Resultado(c, TextoFecha(QDateTime::currentDateTimeUtc())); }

QDateTime FechaDe(sqlite3_context* c, sqlite3_value* v, bool& ok) {
    ok = true;
    if (Nulo(v)) { ok = false; sqlite3_result_null(c); return {}; }
    const QDateTime d = LeeFechaSql(Texto(v));
    if (!d.isValid()) {
        ok = false;
        Falla(c, 241, QStringLiteral("Conversion failed when converting date and/or time from character string."));
    }
    return d;
}
void Parte(sqlite3_context* c, int parte, sqlite3_value* v) {
    bool ok;
    const QDateTime d = FechaDe(c, v, ok);
    if (!ok) return;
    sqlite3_result_int(c, parte == 0 ? d.date().year() : parte == 1 ? d.date().month() : d.date().day());
}
void Year(sqlite3_context* c, int, sqlite3_value** v) { Parte(c, 0, v[0]); }
void Month(sqlite3_context* c, int, sqlite3_value** v) { Parte(c, 1, v[0]); }
void Day(sqlite3_context* c, int, sqlite3_value** v) { Parte(c, 2, v[0]); }

QString ParteFecha(const QString& p) {
    static const QHash<QString, QString> k = {
        {"yy", "year"}, {"yyyy", "year"}, {"year", "year"}, {"mm", "month"}, {"m", "month"}, {"month", "month"},
        {"dd", "day"}, {"d", "day"}, {"day", "day"}, {"dy", "day"}, {"y", "day"}, {"dayofyear", "dayofyear"},
        {"hh", "hour"}, {"hour", "hour"}, {"mi", "minute"}, {"n", "minute"}, {"minute", "minute"},
        {"ss", "second"}, {"s", "second"}, {"second", "second"}, {"ms", "millisecond"}, {"millisecond", "millisecond"},
        {"wk", "week"}, {"ww", "week"}, {"week", "week"}, {"dw", "weekday"}, {"weekday", "weekday"},
        {"qq", "quarter"}, {"q", "quarter"}, {"quarter", "quarter"}};
    return k.value(p.toLower());
}
void DateAdd(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[1]) || Nulo(v[2])) { sqlite3_result_null(c); return; }
    bool ok;
    const QDateTime d = FechaDe(c, v[2], ok);
    if (!ok) return;
    const QString p = ParteFecha(Texto(v[0]));
    const long long n = sqlite3_value_int64(v[1]);
    QDateTime r;
    if (p == QLatin1String("year")) r = d.addYears(static_cast<int>(n));
    else if (p == QLatin1String("quarter")) r = d.addMonths(static_cast<int>(3 * n));
    else if (p == QLatin1String("month")) r = d.addMonths(static_cast<int>(n));
    else if (p == QLatin1String("day") || p == QLatin1String("dayofyear") || p == QLatin1String("weekday")) r = d.addDays(n);
    else if (p == QLatin1String("week")) r = d.addDays(7 * n);
    else if (p == QLatin1String("hour")) r = d.addSecs(3600 * n);
    else if (p == QLatin1String("minute")) r = d.addSecs(60 * n);
    else if (p == QLatin1String("second")) r = d.addSecs(n);
    else if (p == QLatin1String("millisecond")) r = d.addMSecs(n);
    else { Falla(c, 155, QStringLiteral("'%1' is not a recognized dateadd option.").arg(Texto(v[0]))); return; }
    Resultado(c, TextoFecha(r));
}
void DateDiff(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[1]) || Nulo(v[2])) { sqlite3_result_null(c); return; }
    bool ok;
    const QDateTime a = FechaDe(c, v[1], ok);
    if (!ok) return;
    const QDateTime b = FechaDe(c, v[2], ok);
    if (!ok) return;
    const QString p = ParteFecha(Texto(v[0]));
    long long r = 0;
    if (p == QLatin1String("year")) r = b.date().year() - a.date().year();
    else if (p == QLatin1String("quarter")) r = (b.date().year() * 4 + (b.date().month() - 1) / 3) - (a.date().year() * 4 + (a.date().month() - 1) / 3);
    else if (p == QLatin1String("month")) r = (b.date().year() * 12 + b.date().month()) - (a.date().year() * 12 + a.date().month());
    else if (p == QLatin1String("day") || p == QLatin1String("dayofyear") || p == QLatin1String("weekday")) r = a.date().daysTo(b.date());
    else if (p == QLatin1String("week")) r = a.date().daysTo(b.date()) / 7;
    else if (p == QLatin1String("hour")) r = QDateTime(a.date(), QTime(a.time().hour(), 0)).secsTo(QDateTime(b.date(), QTime(b.time().hour(), 0))) / 3600;
    else if (p == QLatin1String("minute")) r = QDateTime(a.date(), QTime(a.time().hour(), a.time().minute())).secsTo(QDateTime(b.date(), QTime(b.time().hour(), b.time().minute()))) / 60;
    else if (p == QLatin1String("second")) r = a.secsTo(b);
    else if (p == QLatin1String("millisecond")) r = a.msecsTo(b);
    else { Falla(c, 155, QStringLiteral("'%1' is not a recognized datediff option.").arg(Texto(v[0]))); return; }
    sqlite3_result_int64(c, r);
}
void DatePart(sqlite3_context* c, int, sqlite3_value** v) {
    bool ok;
    const QDateTime d = FechaDe(c, v[1], ok);
    if (!ok) return;
    const QString p = ParteFecha(Texto(v[0]));
    int r = 0;
    if (p == QLatin1String("year")) r = d.date().year();
    else if (p == QLatin1String("quarter")) r = (d.date().month() - 1) / 3 + 1;
    else if (p == QLatin1String("month")) r = d.date().month();
    else if (p == QLatin1String("day")) r = d.date().day();
    else if (p == QLatin1String("dayofyear")) r = d.date().dayOfYear();
    else if (p == QLatin1String("weekday")) r = d.date().dayOfWeek() % 7 + 1;  // Sunday = 1
    else if (p == QLatin1String("week")) r = d.date().weekNumber();
    else if (p == QLatin1String("hour")) r = d.time().hour();
    else if (p == QLatin1String("minute")) r = d.time().minute();
    else if (p == QLatin1String("second")) r = d.time().second();
    else if (p == QLatin1String("millisecond")) r = d.time().msec();
    else { Falla(c, 155, QStringLiteral("'%1' is not a recognized datepart option.").arg(Texto(v[0]))); return; }
    sqlite3_result_int(c, r);
}
void DateName(sqlite3_context* c, int n, sqlite3_value** v) {
    DatePart(c, n, v);
}

// ---- session ----

void TranCount(sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_int(c, Estado(c)->nivelTransaccion); }
void RowCount(sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_int64(c, Estado(c)->filasUltima); }
void UltimoError(sqlite3_context* c, int, sqlite3_value**) { sqlite3_result_int(c, Estado(c)->ultimoError); }
void DbName(sqlite3_context* c, int, sqlite3_value**) { Resultado(c, Estado(c)->base); }
void NewId(sqlite3_context* c, int, sqlite3_value**) {
    Resultado(c, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
}
void ObjectId(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    QString n = Texto(v[0]);
    const int punto = n.lastIndexOf(QLatin1Char('.'));
    if (punto >= 0) n = n.mid(punto + 1);
    if (n.startsWith(QLatin1Char('['))) n = n.mid(1, n.size() - 2);
    sqlite3* db = sqlite3_context_db_handle(c);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT rowid FROM main.sqlite_master WHERE name = ?1 COLLATE NOCASE "
                           "AND type IN ('table','view','trigger')",
                           -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_result_null(c);
        return;
    }
    const QByteArray b = n.toUtf8();
    sqlite3_bind_text(st, 1, b.constData(), b.size(), SQLITE_TRANSIENT);
    if (sqlite3_step(st) == SQLITE_ROW) sqlite3_result_int64(c, sqlite3_column_int64(st, 0));
    else sqlite3_result_null(c);
    sqlite3_finalize(st);
}

// The name of the object with that id (as OBJECT_ID and sysobjects number
// them): negative ids are constraints.
void ObjectName(sqlite3_context* c, int, sqlite3_value** v) {
    if (Nulo(v[0])) { sqlite3_result_null(c); return; }
    const sqlite3_int64 id = sqlite3_value_int64(v[0]);
    const char* q = id >= 0 ? "SELECT name FROM main.sqlite_master WHERE rowid = ?1 AND type IN ('table','view','trigger')"
                            : "SELECT nombre FROM main.__kv_restricciones WHERE rowid = -?1";
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(sqlite3_context_db_handle(c), q, -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_result_null(c);
        return;
    }
    sqlite3_bind_int64(st, 1, id);
    if (sqlite3_step(st) == SQLITE_ROW)
        sqlite3_result_text(c, reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), -1, SQLITE_TRANSIENT);
    else
        sqlite3_result_null(c);
    sqlite3_finalize(st);
}

struct Definicion {
    const char* nombre;
    int argumentos;
    void (*f)(sqlite3_context*, int, sqlite3_value**);
    bool determinista;
};

}  // namespace

QString TextoFecha(const QDateTime& d) { return d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")); }

QDateTime LeeFechaSql(const QString& texto) {
    const QString s = texto.trimmed();
    if (s.isEmpty()) return {};
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,7}))?)?)?$"));
    static const QRegularExpression compacta(QStringLiteral(
        "^(\\d{4})(\\d{2})(\\d{2})(?: (\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,7}))?)?)?$"));
    static const QRegularExpression dmy(QStringLiteral(
        "^(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{2,4})(?: (\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d{1,7}))?)?)?$"));
    int y = 0, m = 0, d = 0;
    QRegularExpressionMatch r = iso.match(s);
    if (!r.hasMatch()) r = compacta.match(s);
    if (r.hasMatch()) {
        y = r.captured(1).toInt();
        m = r.captured(2).toInt();
        d = r.captured(3).toInt();
    } else {
        r = dmy.match(s);
        if (!r.hasMatch()) return {};
        d = r.captured(1).toInt();
        m = r.captured(2).toInt();
        y = r.captured(3).toInt();
        if (r.captured(3).size() == 2) y += y < 50 ? 2000 : 1900;
    }
    const QDate fecha(y, m, d);
    if (!fecha.isValid()) return {};
    const QString ms = r.captured(7);
    const QTime hora(r.captured(4).toInt(), r.captured(5).toInt(), r.captured(6).toInt(),
                     ms.isEmpty() ? 0 : (ms + QStringLiteral("00")).left(3).toInt());
    if (!hora.isValid()) return {};
    return QDateTime(fecha, hora);
}

bool LeeErrorFuncion(const QString& mensaje, int& nativo, QString& texto) {
    if (!mensaje.startsWith(QLatin1String("kv:"))) return false;
    const int dos = mensaje.indexOf(QLatin1Char(':'), 3);
    if (dos < 0) return false;
    nativo = mensaje.mid(3, dos - 3).toInt();
    texto = mensaje.mid(dos + 1);
    return true;
}

void RegistraFuncionesEmbebidas(sqlite3* db, EstadoSesion* estado) {
    static const Definicion funciones[] = {
        {"kv_len", 1, Len, true},          {"kv_datalength", 1, DataLength, true}, {"kv_ltrim", 1, LTrim, true},
        {"kv_rtrim", 1, RTrim, true},      {"kv_substring", 3, Substring, true},   {"kv_left", 2, Left, true},
        {"kv_right", 2, Right, true},      {"kv_charindex", 2, CharIndex, true},   {"kv_charindex", 3, CharIndex, true},
        {"kv_upper", 1, Upper, true},      {"kv_lower", 1, Lower, true},           {"kv_replace", 3, Replace, true},
        {"kv_space", 1, Space, true},      {"kv_replicate", 2, Replicate, true},   {"kv_isnumeric", 1, IsNumeric, true},
        {"kv_isdate", 1, IsDate, true},    {"kv_str", 1, Str, true},               {"kv_str", 2, Str, true},
        {"kv_str", 3, Str, true},          {"kv_ceiling", 1, Techo, true},         {"kv_floor", 1, Piso, true},
        {"kv_square", 1, Cuadrado, true},  {"kv_power", 2, Potencia, true},        {"kv_convert", 2, Convert, true},
        {"kv_convert", 3, Convert, true},  {"kv_suma", 2, Suma, true},             {"kv_cabe", 2, Cabe, true},
        {"kv_year", 1, Year, true},        {"kv_month", 1, Month, true},           {"kv_day", 1, Day, true},
        {"kv_dateadd", 3, DateAdd, true},  {"kv_datediff", 3, DateDiff, true},     {"kv_datepart", 2, DatePart, true},
        {"kv_datename", 2, DateName, true}, {"kv_getdate", 0, GetDate, false},     {"kv_getutcdate", 0, GetUtcDate, false},
        {"kv_newid", 0, NewId, false},     {"kv_object_id", 1, ObjectId, false},   {"kv_object_id", 2, ObjectId, false},
        {"kv_object_name", 1, ObjectName, false},
        {"like", 2, Like, true},           {"like", 3, Like, true},
    };
    for (const Definicion& d : funciones)
        sqlite3_create_function_v2(db, d.nombre, d.argumentos,
                                   SQLITE_UTF8 | SQLITE_INNOCUOUS | (d.determinista ? SQLITE_DETERMINISTIC : 0), nullptr,
                                   d.f, nullptr, nullptr, nullptr);
    static const Definicion sesion[] = {{"kv_trancount", 0, TranCount, false}, {"kv_rowcount", 0, RowCount, false},
                                        {"kv_error", 0, UltimoError, false},   {"kv_db_name", 0, DbName, false},
                                        {"kv_db_name", 1, DbName, false}};
    for (const Definicion& d : sesion)
        sqlite3_create_function_v2(db, d.nombre, d.argumentos, SQLITE_UTF8 | SQLITE_INNOCUOUS, estado, d.f, nullptr,
                                   nullptr, nullptr);
    sqlite3_create_collation_v2(db, "CI_AS", SQLITE_UTF8, nullptr, CompararCi, nullptr);
    sqlite3_create_collation_v2(db, "KV_FECHA", SQLITE_UTF8, nullptr, CompararFecha, nullptr);
}

TipoAdo TipoDeclarado(const QString& declarado) {
    TipoAdo r;
    const TipoSql t = LeeTipo(declarado);
    r.nombre = t.nombre;
    const QString& n = t.nombre;
    const long largo = t.largo;
    if (n == QLatin1String("varchar")) { r.tipo = 200; r.tamano = largo > 0 ? largo : 1; }
    else if (n == QLatin1String("char") || n == QLatin1String("character")) { r.tipo = 129; r.tamano = largo > 0 ? largo : 1; }
    else if (n == QLatin1String("nvarchar")) { r.tipo = 202; r.tamano = largo > 0 ? largo : 1; }
    else if (n == QLatin1String("nchar")) { r.tipo = 130; r.tamano = largo > 0 ? largo : 1; }
    else if (n == QLatin1String("text")) { r.tipo = 201; r.tamano = 2147483647; }
    else if (n == QLatin1String("ntext")) { r.tipo = 203; r.tamano = 1073741823; }
    else if (n == QLatin1String("int") || n == QLatin1String("integer")) { r.tipo = 3; r.tamano = 4; r.precision = 10; r.nombre = QStringLiteral("int"); }
    else if (n == QLatin1String("smallint")) { r.tipo = 2; r.tamano = 2; r.precision = 5; }
    else if (n == QLatin1String("tinyint")) { r.tipo = 17; r.tamano = 1; r.precision = 3; }
    else if (n == QLatin1String("bigint")) { r.tipo = 20; r.tamano = 8; r.precision = 19; }
    else if (n == QLatin1String("bit")) { r.tipo = 11; r.tamano = 2; }
    else if (n == QLatin1String("datetime") || n == QLatin1String("smalldatetime") || n == QLatin1String("datetime2")) { r.tipo = 135; r.tamano = 16; r.precision = 23; r.escala = 3; }
    else if (n == QLatin1String("date")) { r.tipo = 133; r.tamano = 6; r.precision = 10; }
    else if (n == QLatin1String("time")) { r.tipo = 134; r.tamano = 8; }
    else if (n == QLatin1String("decimal") || n == QLatin1String("numeric")) {
        r.tipo = 131; r.tamano = 19; r.precision = largo > 0 ? static_cast<int>(largo) : 18; r.escala = t.escala;
    }
    else if (n == QLatin1String("float") || n == QLatin1String("double precision")) { r.tipo = 5; r.tamano = 8; r.precision = 15; }
    else if (n == QLatin1String("real")) { r.tipo = 4; r.tamano = 4; r.precision = 7; }
    else if (n == QLatin1String("money")) { r.tipo = 6; r.tamano = 8; r.precision = 19; r.escala = 4; }
    else if (n == QLatin1String("smallmoney")) { r.tipo = 6; r.tamano = 4; r.precision = 10; r.escala = 4; }
    else if (n == QLatin1String("uniqueidentifier")) { r.tipo = 72; r.tamano = 16; }
    else if (n == QLatin1String("varbinary") || n == QLatin1String("binary")) { r.tipo = n == QLatin1String("binary") ? 128 : 204; r.tamano = largo > 0 ? largo : 1; }
    else if (n == QLatin1String("image")) { r.tipo = 205; r.tamano = 2147483647; }
    return r;
}
