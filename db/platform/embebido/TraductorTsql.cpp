#include "db/platform/embebido/TraductorTsql.h"

#include <QHash>
#include <QSet>

namespace {

QString Mayus(const QString& s) { return s.toUpper(); }

const QSet<QString>& InicioSentencia() {
    static const QSet<QString> k = {
        "SELECT", "INSERT", "UPDATE", "DELETE", "BEGIN",  "COMMIT",  "ROLLBACK", "SAVE",   "ALTER",
        "CREATE", "DROP",   "SET",    "IF",     "DECLARE", "PRINT",  "EXEC",     "EXECUTE", "TRUNCATE",
        "USE",    "GRANT",  "REVOKE", "DENY",   "WHILE",  "RETURN",  "RAISERROR", "MERGE", "GOTO",
        "BREAK",  "CONTINUE", "DBCC", "CHECKPOINT", "WAITFOR"};
    return k;
}

// Words that separate expressions: the additive rewriting never crosses them.
const QSet<QString>& Reservadas() {
    static const QSet<QString> k = {
        "SELECT", "FROM",   "WHERE",  "AND",    "OR",      "NOT",     "AS",       "ON",      "SET",
        "VALUES", "INTO",   "GROUP",  "ORDER",  "BY",      "HAVING",  "UNION",    "ALL",     "DISTINCT",
        "TOP",    "PERCENT", "IS",    "IN",     "LIKE",    "BETWEEN", "EXISTS",   "WHEN",    "THEN",
        "ELSE",   "END",    "JOIN",   "INNER",  "OUTER",   "CROSS",   "FULL",     "ASC",     "DESC",
        "UPDATE", "DELETE", "INSERT", "ESCAPE", "COLLATE", "WITH",    "EXCEPT",   "INTERSECT", "TABLE",
        "VIEW",   "INDEX",  "CREATE", "DROP",   "ALTER",   "ADD",     "CONSTRAINT", "PRIMARY", "KEY",
        "UNIQUE", "CHECK",  "DEFAULT", "REFERENCES", "FOREIGN", "IF", "BEGIN",    "TRIGGER", "FOR",
        "EACH",   "ROW",    "AFTER",  "BEFORE", "INSTEAD", "OF",      "RETURN",   "LIMIT",   "OFFSET",
        "GLOB",   "RAISE",  "LEFT",   "RIGHT"};
    return k;
}

const QSet<QString>& Sugerencias() {
    static const QSet<QString> k = {"NOLOCK", "ROWLOCK", "UPDLOCK", "HOLDLOCK", "READPAST", "TABLOCK",
                                    "TABLOCKX", "PAGLOCK", "XLOCK", "NOWAIT", "READUNCOMMITTED",
                                    "READCOMMITTED", "REPEATABLEREAD", "SERIALIZABLE", "INDEX", "FASTFIRSTROW",
                                    "NOEXPAND", "FORCESEEK", "FORCESCAN", "SNAPSHOT", "READCOMMITTEDLOCK"};
    return k;
}

const QHash<QString, QString>& Funciones() {
    static const QHash<QString, QString> k = {
        {"LEN", "kv_len"},           {"ISNULL", "ifnull"},         {"GETDATE", "kv_getdate"},
        {"GETUTCDATE", "kv_getutcdate"}, {"SYSDATETIME", "kv_getdate"}, {"CURRENT_TIMESTAMP", "kv_getdate"},
        {"SUBSTRING", "kv_substring"}, {"CHARINDEX", "kv_charindex"}, {"LEFT", "kv_left"},
        {"RIGHT", "kv_right"},       {"UPPER", "kv_upper"},        {"LOWER", "kv_lower"},
        {"REPLACE", "kv_replace"},   {"DATALENGTH", "kv_datalength"}, {"SPACE", "kv_space"},
        {"REPLICATE", "kv_replicate"}, {"YEAR", "kv_year"},        {"MONTH", "kv_month"},
        {"DAY", "kv_day"},           {"OBJECT_ID", "kv_object_id"}, {"OBJECT_NAME", "kv_object_name"},
        {"DB_NAME", "kv_db_name"},
        {"NEWID", "kv_newid"},       {"SCOPE_IDENTITY", "last_insert_rowid"}, {"CEILING", "kv_ceiling"},
        {"FLOOR", "kv_floor"},       {"ISNUMERIC", "kv_isnumeric"}, {"LTRIM", "kv_ltrim"},
        {"RTRIM", "kv_rtrim"},       {"ISDATE", "kv_isdate"},      {"STR", "kv_str"},
        {"ASCII", "unicode"},        {"UNICODE", "unicode"},       {"CHAR", "char"}, {"NCHAR", "char"},
        {"SQUARE", "kv_square"},     {"POWER", "kv_power"},        {"SIGN", "sign"}};
    return k;
}

enum : unsigned char { kReservada = 1, kInicio = 2, kSugerencia = 4 };

unsigned char Clase(const Token& t) {
    if (t.tipo != Token::Palabra) return 0;
    if (!t.clasificada) {
        auto& m = const_cast<Token&>(t);
        const QString w = Mayus(t.texto);
        m.clase = static_cast<unsigned char>((Reservadas().contains(w) ? kReservada : 0) |
                                             (InicioSentencia().contains(w) ? kInicio : 0) |
                                             (Sugerencias().contains(w) ? kSugerencia : 0));
        m.clasificada = true;
    }
    return t.clase;
}

bool EsCierreOperando(const Token& t) {
    if (t.tipo == Token::Simbolo) return t.EsSimbolo(')');
    if (t.tipo == Token::Palabra) return t.Es("END") || t.Es("NULL") || !(Clase(t) & kReservada);
    return true;
}

class Traductor {
public:
    Traductor(const std::vector<Token>& t, const QString& texto, const QString& base)
        : t_(t), texto_(texto), base_(base) {}

    bool Lote(std::vector<Sentencia>& salida, ErrorTraduccion& error) {
        try {
            Sentencias(0, static_cast<int>(t_.size()), salida);
        } catch (const ErrorTraduccion& e) {
            error = e;
            return false;
        }
        return true;
    }

private:
    const std::vector<Token>& t_;
    const QString& texto_;
    const QString& base_;
    QStringList adjuntas_;

    [[noreturn]] void Sintaxis(int k) const {
        QString cerca;
        if (k >= static_cast<int>(t_.size())) cerca = t_.empty() ? QString() : t_.back().texto;
        else cerca = t_[static_cast<std::size_t>(k)].texto;
        throw ErrorTraduccion{102, QStringLiteral("Incorrect syntax near '%1'.").arg(cerca)};
    }
    [[noreturn]] void NoAdmitida(const QString& que) const {
        throw ErrorTraduccion{40000, QStringLiteral("The embedded engine does not support %1.").arg(que)};
    }

    const Token& T(int k) const { return t_[static_cast<std::size_t>(k)]; }
    template <std::size_t N>
    bool Es(int k, int b, const char (&w)[N]) const { return k < b && T(k).Es(w); }
    bool EsSim(int k, int b, char c) const { return k < b && T(k).EsSimbolo(c); }

    // The index after the unit starting at k: a parenthesised group, a CASE
    // ... END, a BEGIN ... END block, or one token.
    int Fin(int k, int b) const {
        const Token& x = T(k);
        if (x.EsSimbolo('(')) return x.pareja + 1;
        if (x.Es("CASE")) return FinCaso(k, b);
        return k + 1;
    }
    int FinCaso(int k, int b) const {
        int nivel = 0;
        for (int j = k; j < b;) {
            if (T(j).EsSimbolo('(')) { j = T(j).pareja + 1; continue; }
            if (T(j).Es("CASE")) ++nivel;
            else if (T(j).Es("END") && --nivel == 0) return j + 1;
            ++j;
        }
        Sintaxis(b);
    }
    bool EsBloque(int k, int b) const {
        return T(k).Es("BEGIN") && !(Es(k + 1, b, "TRAN") || Es(k + 1, b, "TRANSACTION") ||
                                     Es(k + 1, b, "DISTRIBUTED") || Es(k + 1, b, "TRY") || Es(k + 1, b, "CATCH"));
    }
    // Index of the END closing the block opened at k (BEGIN ... END).
    int FinBloque(int k, int b) const {
        int nivel = 0;
        for (int j = k; j < b;) {
            if (T(j).EsSimbolo('(')) { j = T(j).pareja + 1; continue; }
            if (T(j).Es("CASE")) { j = FinCaso(j, b); continue; }
            if (T(j).Es("BEGIN") && (j == k || EsBloque(j, b))) ++nivel;
            else if (T(j).Es("END") && --nivel == 0) return j;
            ++j;
        }
        Sintaxis(b);
    }
    bool EsInicio(int k) const { return (Clase(T(k)) & kInicio) != 0; }

    // The end (exclusive) of the statement starting at k.
    int FinSentencia(int k, int b) const {
        const Token& f = T(k);
        if (f.Es("IF")) {
            int j = k + 1;
            while (j < b && !EsInicio(j)) j = Fin(j, b);
            if (j >= b) Sintaxis(b);
            int fin = FinSentencia(j, b);
            if (Es(fin, b, "ELSE")) {
                if (fin + 1 >= b) Sintaxis(b);
                fin = FinSentencia(fin + 1, b);
            }
            return fin;
        }
        if (EsBloque(k, b)) return FinBloque(k, b) + 1;
        if (f.Es("CREATE")) {
            int j = k + 1;
            if (Es(j, b, "TEMP") || Es(j, b, "TEMPORARY")) ++j;
            if (Es(j, b, "TRIGGER")) {
                while (j < b && !T(j).Es("BEGIN")) j = Fin(j, b);
                if (j >= b) return b;  // a T-SQL trigger: the rest of the batch
                return FinBloque(j, b) + 1;
            }
            if (Es(j, b, "PROCEDURE") || Es(j, b, "PROC") || Es(j, b, "FUNCTION")) return b;
        }
        const QString primera = Mayus(f.texto);
        bool fuente = false, conSet = false, conTo = false;
        int j = k + 1;
        while (j < b) {
            const Token& x = T(j);
            if (x.EsSimbolo(';') || x.Es("ELSE") || x.Es("END")) return j;
            if (x.tipo == Token::Palabra && EsInicio(j)) {
                const Token& p = T(j - 1);
                const QString w = Mayus(x.texto);
                bool sigue = false;
                if (w == QLatin1String("SELECT") &&
                    (p.Es("UNION") || p.Es("ALL") || p.Es("EXCEPT") || p.Es("INTERSECT")))
                    sigue = true;
                else if ((w == QLatin1String("DELETE") || w == QLatin1String("UPDATE")) && p.Es("ON") &&
                         (primera == QLatin1String("CREATE") || primera == QLatin1String("ALTER")))
                    sigue = true;
                else if (w == QLatin1String("SET") && (p.Es("DELETE") || p.Es("UPDATE")) && j >= 2 && T(j - 2).Es("ON"))
                    sigue = true;
                else if (primera == QLatin1String("INSERT") && !fuente &&
                         (w == QLatin1String("SELECT") || w == QLatin1String("EXEC") || w == QLatin1String("EXECUTE")))
                    sigue = fuente = true;
                else if (primera == QLatin1String("UPDATE") && w == QLatin1String("SET") && !conSet)
                    sigue = conSet = true;
                else if (primera == QLatin1String("CREATE") && w == QLatin1String("SELECT") && p.Es("AS"))
                    sigue = true;
                else if (primera == QLatin1String("ALTER") &&
                         (w == QLatin1String("DROP") || w == QLatin1String("ALTER") || w == QLatin1String("SET")) &&
                         p.EsNombre() && j >= 2 && (T(j - 2).Es("TABLE") || T(j - 2).EsSimbolo('.')))
                    sigue = true;
                else if ((primera == QLatin1String("GRANT") || primera == QLatin1String("REVOKE") ||
                          primera == QLatin1String("DENY")) && !conTo)
                    sigue = true;
                if (!sigue) return j;
            }
            if (x.Es("VALUES") || (x.Es("DEFAULT") && Es(j + 1, b, "VALUES"))) fuente = true;
            if (x.Es("TO") || x.Es("FROM")) conTo = true;
            j = Fin(j, b);
        }
        return b;
    }

    void Sentencias(int a, int b, std::vector<Sentencia>& salida) {
        int k = a;
        while (k < b) {
            if (T(k).EsSimbolo(';')) { ++k; continue; }
            if (!EsInicio(k) && !T(k).EsSimbolo('(') && !T(k).Es("WITH")) Sintaxis(k);
            const int fin = FinSentencia(k, b);
            salida.push_back(Traduce(k, fin));
            k = fin;
        }
    }

    QString Original(int a, int b) const {
        if (a >= b) return {};
        const int ini = T(a).inicio;
        return texto_.mid(ini, T(b - 1).inicio + T(b - 1).largo - ini);
    }

    // ---- names ----

    // A possibly qualified name at k; returns the index after it.
    int Nombre(int k, int b, QString& nombre, QString* motor = nullptr) {
        QStringList partes;
        int j = k;
        if (j >= b || !T(j).EsNombre()) Sintaxis(j);
        partes << T(j).texto;
        ++j;
        while (j < b && T(j).EsSimbolo('.')) {
            if (j + 1 < b && T(j + 1).EsSimbolo('*')) break;
            ++j;
            if (j < b && T(j).EsSimbolo('.')) { partes << QString(); continue; }
            if (j >= b || !T(j).EsNombre()) Sintaxis(j);
            partes << T(j).texto;
            ++j;
        }
        nombre = partes.back();
        if (motor) *motor = NombreMotor(partes);
        return j;
    }

    QString NombreMotor(QStringList partes) {
        while (partes.size() > 3) partes.removeFirst();  // a server name
        if (partes.size() == 3) {
            const QString db = partes[0];
            if (db.isEmpty() || db.compare(base_, Qt::CaseInsensitive) == 0) return CitaNombre(partes[2]);
            if (!adjuntas_.contains(db, Qt::CaseInsensitive)) adjuntas_ << db;
            return CitaNombre(db) + QLatin1Char('.') + CitaNombre(partes[2]);
        }
        if (partes.size() == 2) {
            if (partes[0].compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0 || partes[0].isEmpty())
                return CitaNombre(partes[1]);
            if (partes[0].compare(QLatin1String("INFORMATION_SCHEMA"), Qt::CaseInsensitive) == 0)
                return CitaNombre(QStringLiteral("INFORMATION_SCHEMA_") + partes[1].toUpper());
            if (partes[0].compare(QLatin1String("sys"), Qt::CaseInsensitive) == 0)
                return CitaNombre(QStringLiteral("sys_") + partes[1].toLower());
            return CitaNombre(partes[0]) + QLatin1Char('.') + CitaNombre(partes[1]);
        }
        return CitaNombre(partes[0]);
    }

    // ---- expressions ----

    static bool EsLimite(const Token& x) {
        if (x.tipo == Token::Simbolo) {
            static const QSet<QString> s = {",", "=", "<>", "!=", "<", ">", "<=", ">=", "!<", "!>", ";", "=="};
            return s.contains(x.texto);
        }
        return (Clase(x) & kReservada) != 0;
    }

    bool EsFuncion(int k, int b) const { return T(k).tipo == Token::Palabra && EsSim(k + 1, b, '('); }

    // Translates tokens [a, b) as a sequence of clauses and expressions.
    QString Rango(int a, int b) {
        QString out;
        if (b > a + 1) out.reserve(T(b - 1).inicio + T(b - 1).largo - T(a).inicio + 16);
        int k = a;
        int posSelect = -1;
        QString limite;
        bool porcentaje = false;
        qsizetype posSegmento = -1;
        QString segmento;
        int iniSegmento = -1, finSegmento = -1;
        while (k < b) {
            const Token& x = T(k);
            const bool funcionLR = (x.Es("LEFT") || x.Es("RIGHT")) && EsSim(k + 1, b, '(');
            if (EsLimite(x) && !funcionLR) {
                if (x.Es("SELECT")) posSelect = out.size();
                if (x.Es("LIKE") && finSegmento == k && EsOperandoSimple(iniSegmento, finSegmento) && k + 1 < b &&
                    T(k + 1).tipo == Token::Cadena &&
                    (k + 2 == b || (EsLimite(T(k + 2)) && !T(k + 2).Es("ESCAPE") && !T(k + 2).Es("COLLATE")))) {
                    // A literal prefix also bounds the operand, so that an index on
                    // it serves the search; the range holds every match.
                    const QString prefijo = PrefijoLike(T(k + 1).texto);
                    if (!prefijo.isEmpty()) {
                        out.truncate(posSegmento);
                        Agrega(out, QStringLiteral("(%1 LIKE %2 AND %1 >= %3 AND %1 < %4)")
                                        .arg(segmento, CitaCadena(T(k + 1).texto), CitaCadena(prefijo),
                                             CitaCadena(prefijo + QChar(0xFFFF))));
                        finSegmento = -1;
                        k += 2;
                        continue;
                    }
                }
                if (x.EsSimbolo('=') && finSegmento == k && k + 1 < b && T(k + 1).tipo == Token::Cadena &&
                    (k + 2 == b || (EsLimite(T(k + 2)) && !T(k + 2).Es("COLLATE")))) {
                    // A trimmed column equal to a literal also has LTRIM of the
                    // column equal to it (trailing blanks do not count), which an
                    // index on LTRIM of the column serves.
                    int ini = 0, fin = 0;
                    bool izquierda = false;
                    if (ColumnaRecortada(iniSegmento, finSegmento, ini, fin, izquierda)) {
                        const QString literal = CitaCadena(T(k + 1).texto);
                        const QString indexada =
                            ConIntercalacion(QStringLiteral("kv_ltrim(%1)").arg(Rango(ini, fin)));
                        // with RTRIM alone, leading blanks count on both sides
                        const QString valor =
                            izquierda ? literal : QStringLiteral("kv_ltrim(%1)").arg(literal);
                        out.truncate(posSegmento);
                        Agrega(
                            out,
                            QStringLiteral("(%1 = %2 AND %3 = %4)").arg(segmento, literal, indexada, valor));
                        finSegmento = -1;
                        k += 2;
                        continue;
                    }
                }
                if (x.Es("RAISE") && EsSim(k + 1, b, '(')) {
                    QString r = QStringLiteral("RAISE(");
                    for (int j = k + 2; j < T(k + 1).pareja; ++j)
                        r += T(j).tipo == Token::Cadena ? CitaCadena(T(j).texto) : T(j).texto;
                    Agrega(out, r + QStringLiteral(")"));
                    k = T(k + 1).pareja + 1;
                    continue;
                }
                if (x.Es("TOP")) {
                    k = Top(k + 1, b, limite, porcentaje);
                    continue;
                }
                if (x.Es("WITH") && EsSim(k + 1, b, '(') && k + 2 < b && T(k + 2).tipo == Token::Palabra &&
                    (Clase(T(k + 2)) & kSugerencia)) {
                    k = T(k + 1).pareja + 1;
                    continue;
                }
                if (x.Es("COLLATE") && k + 1 < b) {
                    const QString c = Mayus(T(k + 1).texto);
                    Agrega(out, c.contains(QLatin1String("_CS")) ? QStringLiteral("COLLATE RTRIM")
                                                                  : QStringLiteral("COLLATE CI_AS"));
                    k += 2;
                    continue;
                }
                if (x.texto == QLatin1String("!<")) Agrega(out, QStringLiteral(">="));
                else if (x.texto == QLatin1String("!>")) Agrega(out, QStringLiteral("<="));
                else if (x.texto == QLatin1String("==")) Agrega(out, QStringLiteral("="));
                else Agrega(out, x.texto);
                ++k;
                continue;
            }
            int j = k;
            while (j < b && !(EsLimite(T(j)) && !((T(j).Es("LEFT") || T(j).Es("RIGHT")) && EsSim(j + 1, b, '('))))
                j = Fin(j, b) + (EsFuncion(j, b) ? T(j + 1).pareja - j : 0);
            posSegmento = out.size();
            segmento = Segmento(k, j);
            iniSegmento = k;
            finSegmento = j;
            Agrega(out, segmento);
            k = j;
        }
        if (!limite.isEmpty()) {
            if (!porcentaje) {
                out += QStringLiteral(" LIMIT ") + limite;
            } else {
                const QString sel = posSelect >= 0 ? out.mid(posSelect) : out;
                out += QStringLiteral(" LIMIT (SELECT CAST(c AS INTEGER) + (c > CAST(c AS INTEGER)) FROM "
                                      "(SELECT COUNT(*) * (%1) / 100.0 AS c FROM (%2)))")
                           .arg(limite, sel);
            }
        }
        return out;
    }

    // A column, or LTRIM/RTRIM of a column, not negated.
    bool EsOperandoSimple(int a, int b) const {
        if (a <= 0 || a >= b || T(a - 1).Es("NOT")) return false;
        if ((T(a).Es("LTRIM") || T(a).Es("RTRIM")) && EsSim(a + 1, b, '(') && T(a + 1).pareja == b - 1) {
            a += 2;
            --b;
        }
        if (a >= b) return false;
        for (int j = a; j < b; ++j) {
            const bool nombre = (j - a) % 2 == 0;
            if (nombre ? !T(j).EsNombre() || (Clase(T(j)) & kReservada) : !T(j).EsSimbolo('.')) return false;
        }
        return (b - a) % 2 == 1;
    }

    // LTRIM or RTRIM of a column, or one of them of the other (or of
    // itself), not negated; [ini, fin) is the column and `izquierda` tells
    // whether LTRIM is among them. LTRIM of a column alone is not taken: it
    // is already the indexed expression.
    bool ColumnaRecortada(int a, int b, int& ini, int& fin, bool& izquierda) const {
        if (a <= 0 || a >= b || T(a - 1).Es("NOT")) return false;
        int capas = 0;
        izquierda = false;
        while (capas < 2 && a + 1 < b && (T(a).Es("LTRIM") || T(a).Es("RTRIM")) && T(a + 1).EsSimbolo('(') &&
               T(a + 1).pareja == b - 1) {
            izquierda |= T(a).Es("LTRIM");
            ++capas;
            a += 2;
            --b;
        }
        if (capas == 0 || (capas == 1 && izquierda) || a >= b || (b - a) % 2 == 0) return false;
        for (int j = a; j < b; ++j) {
            const bool nombre = (j - a) % 2 == 0;
            if (nombre ? !T(j).EsNombre() || (Clase(T(j)) & kReservada) : !T(j).EsSimbolo('.')) return false;
        }
        ini = a;
        fin = b;
        return true;
    }

    // A text function's result keeps the case-insensitive comparison of
    // the text it came from, as the server's collation does.
    static QString ConIntercalacion(const QString& llamada) {
        return QStringLiteral("(") + llamada + QStringLiteral(" COLLATE CI_AS)");
    }

    // The characters every match of the pattern starts with.
    static QString PrefijoLike(const QString& patron) {
        QString r;
        for (qsizetype i = 0; i < patron.size(); ++i) {
            const QChar c = patron[i];
            if (c == QLatin1Char('%') || c == QLatin1Char('_')) break;
            if (c == QLatin1Char('[')) {
                if (i + 2 < patron.size() && patron[i + 2] == QLatin1Char(']') && patron[i + 1] != QLatin1Char('^')) {
                    r += patron[i + 1];
                    i += 2;
                    continue;
                }
                break;
            }
            r += c;
        }
        return r;
    }

    int Top(int k, int b, QString& limite, bool& porcentaje) {
        if (k >= b) Sintaxis(k);
        if (T(k).EsSimbolo('(')) {
            limite = QLatin1Char('(') + Rango(k + 1, T(k).pareja) + QLatin1Char(')');
            k = T(k).pareja + 1;
        } else if (T(k).tipo == Token::Numero || T(k).tipo == Token::Variable || T(k).tipo == Token::Parametro) {
            limite = T(k).texto;
            ++k;
        } else {
            Sintaxis(k);
        }
        porcentaje = Es(k, b, "PERCENT");
        if (porcentaje) ++k;
        if (Es(k, b, "WITH") && Es(k + 1, b, "TIES")) k += 2;
        return k;
    }

    static void Agrega(QString& out, const QString& s) {
        if (s.isEmpty()) return;
        if (!out.isEmpty() && !out.endsWith(QLatin1Char(' ')) && !out.endsWith(QLatin1Char('(')) &&
            !s.startsWith(QLatin1Char(')')) && !s.startsWith(QLatin1Char(',')) && !s.startsWith(QLatin1Char('.')) &&
            !out.endsWith(QLatin1Char('.')))
            out += QLatin1Char(' ');
        out += s;
    }

    // One expression between separators: "+" becomes kv_suma (text
    // concatenation or numeric addition, decided on the values).
    QString Segmento(int a, int b) {
        std::vector<int> ops;
        bool operando = false;
        for (int k = a; k < b;) {
            const Token& x = T(k);
            if (operando && x.EsNombre() && !EsFuncion(k, b) && !T(k - 1).EsSimbolo('.')) {
                // an alias without AS: the expression ends before it
                QString r = Segmento(a, k);
                Agrega(r, Operandos(k, b));
                return r;
            }
            if (x.tipo == Token::Simbolo && (x.texto == QLatin1String("+") || x.texto == QLatin1String("-")) &&
                operando)
                ops.push_back(k);
            int j = EsFuncion(k, b) ? T(k + 1).pareja + 1 : Fin(k, b);
            operando = EsCierreOperando(T(j - 1)) && !(x.tipo == Token::Simbolo && j == k + 1 && !x.EsSimbolo(')'));
            k = j;
        }
        bool conSuma = false;
        for (int o : ops) conSuma |= T(o).texto == QLatin1String("+");
        if (!conSuma) return Operandos(a, b);
        QString acc = Operandos(a, ops[0]);
        for (std::size_t i = 0; i < ops.size(); ++i) {
            const int ini = ops[i] + 1;
            const int fin = i + 1 < ops.size() ? ops[i + 1] : b;
            const QString termino = Operandos(ini, fin);
            if (T(ops[i]).texto == QLatin1String("+")) acc = QStringLiteral("kv_suma(%1, %2)").arg(acc, termino);
            else acc = acc + QStringLiteral(" - ") + termino;
        }
        return acc;
    }

    QString Operandos(int a, int b) {
        QString out;
        int k = a;
        while (k < b) {
            const Token& x = T(k);
            switch (x.tipo) {
                case Token::Cadena:
                    Agrega(out, CitaCadena(x.texto));
                    ++k;
                    break;
                case Token::Numero:
                case Token::Parametro:
                    Agrega(out, x.texto);
                    ++k;
                    break;
                case Token::Variable: {
                    const QString m = Mayus(x.texto);
                    static const QHash<QString, QString> globales = {
                        {"@@TRANCOUNT", "kv_trancount()"}, {"@@ROWCOUNT", "kv_rowcount()"},
                        {"@@IDENTITY", "last_insert_rowid()"}, {"@@ERROR", "kv_error()"},
                        {"@@VERSION", "'Quenvar embedded engine'"}, {"@@SPID", "1"},
                        {"@@SERVERNAME", "'(embebido)'"}, {"@@FETCH_STATUS", "-1"}};
                    auto it = globales.find(m);
                    if (it == globales.end())
                        throw ErrorTraduccion{137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(x.texto)};
                    Agrega(out, it.value());
                    ++k;
                    break;
                }
                case Token::Simbolo:
                    if (x.EsSimbolo('(')) {
                        // "(nolock)" after a table name
                        if (x.pareja == k + 2 && T(k + 1).tipo == Token::Palabra &&
                            (Clase(T(k + 1)) & kSugerencia) && !T(k + 1).Es("INDEX")) {
                            k = x.pareja + 1;
                            break;
                        }
                        Agrega(out, QStringLiteral("(") + Rango(k + 1, x.pareja) + QStringLiteral(")"));
                        k = x.pareja + 1;
                    } else {
                        Agrega(out, x.texto == QLatin1String("==") ? QStringLiteral("=") : x.texto);
                        ++k;
                    }
                    break;
                case Token::Corchete:
                case Token::Comillas:
                case Token::Palabra: {
                    if (x.Es("CASE")) {
                        const int fin = FinCaso(k, b);
                        Agrega(out, QStringLiteral("CASE ") + Rango(k + 1, fin - 1) + QStringLiteral(" END"));
                        k = fin;
                        break;
                    }
                    if (x.tipo == Token::Palabra && EsSim(k + 1, b, '(') && T(k + 1).pareja == k + 3 &&
                        T(k + 2).tipo == Token::Palabra && (Clase(T(k + 2)) & kSugerencia)) {
                        Agrega(out, CitaNombre(x.texto));  // "T (NOLOCK)"
                        k += 4;
                        break;
                    }
                    if (x.tipo == Token::Palabra && EsSim(k + 1, b, '(')) {
                        k = Funcion(k, b, out);
                        break;
                    }
                    if (x.tipo == Token::Palabra && x.Es("NULL")) {
                        Agrega(out, QStringLiteral("NULL"));
                        ++k;
                        break;
                    }
                    if (x.tipo == Token::Palabra && (x.Es("CURRENT_TIMESTAMP"))) {
                        Agrega(out, QStringLiteral("kv_getdate()"));
                        ++k;
                        break;
                    }
                    QString n, motor;
                    k = Nombre(k, b, n, &motor);
                    Agrega(out, motor);
                    break;
                }
            }
        }
        return out;
    }

    // A call: name ( args ).
    int Funcion(int k, int b, QString& out) {
        const QString m = Mayus(T(k).texto);
        const int abre = k + 1, cierra = T(abre).pareja;
        if (m == QLatin1String("CONVERT") || m == QLatin1String("TRY_CONVERT")) {
            int coma = abre + 1;
            while (coma < cierra && !T(coma).EsSimbolo(',')) coma = Fin(coma, cierra);
            if (coma >= cierra) Sintaxis(cierra);
            const QString tipo = TextoTipo(abre + 1, coma);
            Agrega(out, QStringLiteral("kv_convert(%1, %2)").arg(CitaCadena(tipo), Rango(coma + 1, cierra)));
            return cierra + 1;
        }
        if (m == QLatin1String("CAST") || m == QLatin1String("TRY_CAST")) {
            int as = -1;
            for (int j = abre + 1; j < cierra; j = Fin(j, cierra))
                if (T(j).Es("AS")) as = j;
            if (as < 0) Sintaxis(cierra);
            const QString tipo = TextoTipo(as + 1, cierra);
            Agrega(out, QStringLiteral("kv_convert(%1, %2)").arg(CitaCadena(tipo), Rango(abre + 1, as)));
            return cierra + 1;
        }
        if (m == QLatin1String("DATEADD") || m == QLatin1String("DATEDIFF") || m == QLatin1String("DATEPART") ||
            m == QLatin1String("DATENAME")) {
            if (abre + 2 >= cierra) Sintaxis(cierra);
            const QString parte = T(abre + 1).texto.toLower();
            const QString resto = abre + 3 < cierra ? Rango(abre + 3, cierra) : QString();
            Agrega(out, QStringLiteral("kv_%1(%2%3)")
                            .arg(m.toLower(), CitaCadena(parte), resto.isEmpty() ? QString() : QStringLiteral(", ") + resto));
            return cierra + 1;
        }
        auto it = Funciones().find(m);
        const QString nombre = it != Funciones().end() ? it.value() : T(k).texto;
        const QString llamada = nombre + QStringLiteral("(") + Rango(abre + 1, cierra) + QStringLiteral(")");
        static const QStringList kTexto = {QStringLiteral("LTRIM"), QStringLiteral("RTRIM"), QStringLiteral("UPPER"),
                                           QStringLiteral("LOWER"), QStringLiteral("SUBSTRING"), QStringLiteral("LEFT"),
                                           QStringLiteral("RIGHT"), QStringLiteral("REPLACE")};
        Agrega(out, kTexto.contains(m) ? ConIntercalacion(llamada) : llamada);
        return cierra + 1;
    }

    QString TextoTipo(int a, int b) const {
        QString s;
        for (int j = a; j < b; ++j) s += T(j).texto;
        return s.toLower();
    }

    // ---- statements ----

    Sentencia Traduce(int a, int b) {
        adjuntas_.clear();
        Sentencia s = TraduceSinAdjuntas(a, b);
        s.basesAdjuntas = adjuntas_;
        return s;
    }

    Sentencia TraduceSinAdjuntas(int a, int b) {
        Sentencia s;
        s.original = Original(a, b);
        const Token& f = T(a);
        s.verbo = Mayus(f.texto);
        if (f.Es("SELECT") || f.EsSimbolo('(') || f.Es("WITH")) return Select(a, b, s);
        if (f.Es("INSERT")) return Insert(a, b, s);
        if (f.Es("UPDATE")) {
            QString n, motor;
            if (a + 1 >= b) Sintaxis(b);
            Nombre(a + 1, b, n, &motor);
            s.tabla = n;
            s.sql = Rango(a, b);
            return s;
        }
        if (f.Es("DELETE")) {
            int k = a + 1;
            if (Es(k, b, "TOP")) NoAdmitida(QStringLiteral("DELETE TOP"));
            if (Es(k, b, "FROM")) ++k;
            QString n, motor;
            const int tras = Nombre(k, b, n, &motor);
            if (Es(tras, b, "FROM")) NoAdmitida(QStringLiteral("DELETE ... FROM ... JOIN"));
            s.tabla = n;
            s.sql = QStringLiteral("DELETE FROM ") + motor;
            Agrega(s.sql, Rango(tras, b));
            return s;
        }
        if (f.Es("TRUNCATE")) {
            if (!Es(a + 1, b, "TABLE")) Sintaxis(a + 1);
            QString n, motor;
            Nombre(a + 2, b, n, &motor);
            s.tabla = n;
            s.verbo = QStringLiteral("TRUNCATE");
            s.sql = QStringLiteral("DELETE FROM ") + motor;
            return s;
        }
        if (f.Es("BEGIN")) {
            if (EsBloque(a, b)) {
                const int fin = FinBloque(a, b);
                s.tipo = Sentencia::Bloque;
                Sentencias(a + 1, fin, s.cuerpo);
                return s;
            }
            int k = a + 1;
            if (Es(k, b, "DISTRIBUTED")) ++k;
            if (!(Es(k, b, "TRAN") || Es(k, b, "TRANSACTION"))) Sintaxis(k);
            s.tipo = Sentencia::IniciaTran;
            if (k + 1 < b && T(k + 1).EsNombre()) s.nombre = T(k + 1).texto;
            return s;
        }
        if (f.Es("COMMIT") || f.Es("ROLLBACK")) {
            s.tipo = f.Es("COMMIT") ? Sentencia::ConfirmaTran : Sentencia::DeshaceTran;
            int k = a + 1;
            if (Es(k, b, "TRAN") || Es(k, b, "TRANSACTION") || Es(k, b, "WORK")) ++k;
            if (k < b && T(k).EsNombre()) s.nombre = T(k++).texto;
            if (k < b) Sintaxis(k);
            return s;
        }
        if (f.Es("SAVE")) {
            if (!(Es(a + 1, b, "TRAN") || Es(a + 1, b, "TRANSACTION")) || a + 2 >= b) Sintaxis(a + 1);
            s.tipo = Sentencia::GuardaTran;
            s.nombre = T(a + 2).texto;
            return s;
        }
        if (f.Es("SET")) return Set(a, b, s);
        if (f.Es("ALTER")) return Alter(a, b, s);
        if (f.Es("CREATE")) return Create(a, b, s);
        if (f.Es("DROP")) return Drop(a, b, s);
        if (f.Es("IF")) return Si(a, b, s);
        if (f.Es("USE")) {
            if (a + 1 >= b) Sintaxis(b);
            s.tipo = Sentencia::Usa;
            s.nombre = T(a + 1).texto;
            return s;
        }
        if (f.Es("PRINT") || f.Es("GRANT") || f.Es("REVOKE") || f.Es("DENY") || f.Es("CHECKPOINT") ||
            f.Es("RETURN")) {
            s.tipo = Sentencia::Nada;
            return s;
        }
        if (f.Es("EXEC") || f.Es("EXECUTE")) {
            s.tipo = Sentencia::NoAdmitida;
            s.nombre = a + 1 < b ? T(a + 1).texto : QString();
            return s;
        }
        if (f.Es("DECLARE") || f.Es("WHILE") || f.Es("RAISERROR") || f.Es("MERGE") || f.Es("GOTO") ||
            f.Es("DBCC") || f.Es("WAITFOR") || f.Es("BREAK") || f.Es("CONTINUE"))
            NoAdmitida(f.texto.toUpper());
        Sintaxis(a);
    }

    Sentencia& Select(int a, int b, Sentencia& s) {
        s.verbo = QStringLiteral("SELECT");
        // SELECT ... INTO t FROM ...
        for (int k = a + 1; k < b; k = Fin(k, b)) {
            if (T(k).Es("FROM")) break;
            if (T(k).Es("INTO") && T(a).Es("SELECT")) {
                QString n, motor;
                const int tras = Nombre(k + 1, b, n, &motor);
                s.tipo = Sentencia::SelectInto;
                s.tabla = s.nombre = n;
                QString sel = Rango(a, k);
                Agrega(sel, Rango(tras, b));
                s.sql = QStringLiteral("CREATE TABLE ") + motor + QStringLiteral(" AS ") + sel;
                return s;
            }
        }
        s.sql = Rango(a, b);
        return s;
    }

    Sentencia& Insert(int a, int b, Sentencia& s) {
        s.verbo = QStringLiteral("INSERT");
        int k = a + 1;
        if (Es(k, b, "INTO")) ++k;
        QString n, motor;
        k = Nombre(k, b, n, &motor);
        s.tabla = n;
        // table hints
        if (Es(k, b, "WITH") && EsSim(k + 1, b, '(')) k = T(k + 1).pareja + 1;
        QString antes = QStringLiteral("INSERT INTO ") + motor;
        if (EsSim(k, b, '(') && !(k + 1 < b && (T(k + 1).Es("SELECT")))) {
            const int cierra = T(k).pareja;
            for (int j = k + 1; j < cierra; ++j)
                if (T(j).EsNombre()) s.insertColumnas << T(j).texto.toLower();
            s.sql = antes + QStringLiteral(" ") + QStringLiteral("(") + Rango(k + 1, cierra) + QStringLiteral(")");
            Agrega(s.sql, Rango(cierra + 1, b));
            return s;
        }
        if (Es(k, b, "EXEC") || Es(k, b, "EXECUTE")) NoAdmitida(QStringLiteral("INSERT ... EXEC"));
        s.insertSinColumnas = true;
        s.insertAntes = antes;
        s.insertDespues = Rango(k, b);
        s.sql = antes + QStringLiteral(" ") + s.insertDespues;
        return s;
    }

    Sentencia& Set(int a, int b, Sentencia& s) {
        if (a + 1 >= b) Sintaxis(b);
        const Token& o = T(a + 1);
        if (o.tipo == Token::Variable)
            throw ErrorTraduccion{137, QStringLiteral("Must declare the scalar variable \"%1\".").arg(o.texto)};
        auto encendido = [&](int k) {
            if (Es(k, b, "ON")) return true;
            if (Es(k, b, "OFF")) return false;
            Sintaxis(k);
        };
        if (o.Es("NOCOUNT")) {
            s.tipo = Sentencia::NoCount;
            s.activar = encendido(a + 2);
        } else if (o.Es("XACT_ABORT")) {
            s.tipo = Sentencia::XactAbort;
            s.activar = encendido(a + 2);
        } else if (o.Es("IDENTITY_INSERT")) {
            QString n;
            const int k = Nombre(a + 2, b, n);
            s.tipo = Sentencia::IdentityInsert;
            s.tabla = n;
            s.activar = encendido(k);
        } else {
            s.tipo = Sentencia::Nada;  // DATEFORMAT, ANSI_*, LANGUAGE, ... keep the engine's defaults
        }
        return s;
    }

    Sentencia& Alter(int a, int b, Sentencia& s) {
        if (!Es(a + 1, b, "TABLE")) NoAdmitida(QStringLiteral("ALTER ") + (a + 1 < b ? T(a + 1).texto : QString()));
        QString n, motor;
        int k = Nombre(a + 2, b, n, &motor);
        s.tabla = n;
        if (Es(k, b, "ENABLE") || Es(k, b, "DISABLE")) {
            s.tipo = Sentencia::Disparadores;
            s.activar = T(k).Es("ENABLE");
            if (!Es(k + 1, b, "TRIGGER") || k + 2 >= b) Sintaxis(k + 1);
            s.nombre = T(k + 2).Es("ALL") ? QStringLiteral("*") : T(k + 2).texto;
            if (k + 3 < b) Sintaxis(k + 3);
            return s;
        }
        if (Es(k, b, "ADD")) {
            ++k;
            if (Es(k, b, "CONSTRAINT") || Es(k, b, "PRIMARY") || Es(k, b, "UNIQUE") || Es(k, b, "FOREIGN"))
                NoAdmitida(QStringLiteral("ALTER TABLE ... ADD CONSTRAINT"));
            s.tipo = Sentencia::AgregaColumna;
            for (int j = k; j < b;) {
                int fin = j;
                while (fin < b && !T(fin).EsSimbolo(',')) fin = Fin(fin, b);
                Columna c = DefineColumna(j, fin, n);
                if (c.identidad || c.clave || c.unica) NoAdmitida(QStringLiteral("ALTER TABLE ... ADD with a key"));
                s.columnasNuevas.push_back({c.nombre, c.sql, c.noNula, c.conDefecto});
                j = fin + 1;
            }
            return s;
        }
        if (Es(k, b, "DROP")) {
            ++k;
            if (Es(k, b, "COLUMN")) ++k;
            if (k >= b) Sintaxis(b);
            s.verbo = QStringLiteral("ALTER");
            s.tipo = Sentencia::CreaObjeto;
            s.clase = QStringLiteral("COLUMN");
            s.sql = QStringLiteral("ALTER TABLE ") + motor + QStringLiteral(" DROP COLUMN ") + CitaNombre(T(k).texto);
            return s;
        }
        NoAdmitida(QStringLiteral("this ALTER TABLE"));
    }

    struct Tipo {
        QString nombre;   // lower case
        QString args;     // "(25)", "(18,2)", "" or "(max)"
    };
    struct Columna {
        QString nombre, sql;
        bool identidad = false, clave = false, unica = false, noNula = false, conDefecto = false;
        long long semilla = 1;
        QString nombreClave, nombreUnica;
    };

    Columna DefineColumna(int a, int b, const QString& tabla) {
        Columna c;
        if (a >= b || !T(a).EsNombre()) Sintaxis(a);
        c.nombre = T(a).texto;
        int k = a + 1;
        if (Es(k, b, "AS")) NoAdmitida(QStringLiteral("computed columns"));
        if (k >= b || T(k).tipo != Token::Palabra) Sintaxis(k);
        Tipo tipo{T(k).texto.toLower(), {}};
        ++k;
        if (Es(k, b, "PRECISION") || Es(k, b, "VARYING")) tipo.nombre += QLatin1Char(' ') + T(k++).texto.toLower();
        if (EsSim(k, b, '(')) {
            tipo.args = TextoTipo(k, T(k).pareja + 1);
            k = T(k).pareja + 1;
        }
        QStringList restricciones;
        QString nombreRestr;
        QString collate;
        while (k < b) {
            const Token& x = T(k);
            if (x.Es("CONSTRAINT")) {
                if (k + 1 >= b) Sintaxis(b);
                nombreRestr = T(k + 1).texto;
                k += 2;
                continue;
            }
            if (x.Es("IDENTITY")) {
                c.identidad = true;
                if (EsSim(k + 1, b, '(')) {
                    if (k + 2 < b) c.semilla = T(k + 2).texto.toLongLong();
                    k = T(k + 1).pareja + 1;
                } else {
                    ++k;
                }
                continue;
            }
            if (x.Es("NOT") && Es(k + 1, b, "NULL")) { c.noNula = true; k += 2; continue; }
            if (x.Es("NULL")) { ++k; continue; }
            if (x.Es("NOT") && Es(k + 1, b, "FOR") && Es(k + 2, b, "REPLICATION")) { k += 3; continue; }
            if (x.Es("ROWGUIDCOL") || x.Es("SPARSE") || x.Es("CLUSTERED") || x.Es("NONCLUSTERED") || x.Es("ASC") ||
                x.Es("DESC")) { ++k; continue; }
            if (x.Es("COLLATE")) {
                collate = k + 1 < b ? T(k + 1).texto.toUpper() : QString();
                k += 2;
                continue;
            }
            if (x.Es("DEFAULT")) {
                int fin = k + 1;
                if (fin >= b) Sintaxis(b);
                if (T(fin).tipo == Token::Simbolo && (T(fin).texto == QLatin1String("-") || T(fin).texto == QLatin1String("+"))) ++fin;
                fin = EsFuncion(fin, b) ? T(fin + 1).pareja + 1 : Fin(fin, b);
                QString d = Rango(k + 1, fin);
                if (!nombreRestr.isEmpty()) restricciones << QStringLiteral("CONSTRAINT ") + CitaNombre(nombreRestr);
                restricciones << QStringLiteral("DEFAULT (") + d + QStringLiteral(")");
                c.conDefecto = true;
                nombreRestr.clear();
                k = fin;
                continue;
            }
            if (x.Es("PRIMARY") && Es(k + 1, b, "KEY")) {
                c.clave = true;
                c.noNula = true;
                c.nombreClave = nombreRestr;
                nombreRestr.clear();
                k += 2;
                continue;
            }
            if (x.Es("UNIQUE")) {
                c.unica = true;
                c.nombreUnica = nombreRestr;
                nombreRestr.clear();
                ++k;
                continue;
            }
            if (x.Es("CHECK") && EsSim(k + 1, b, '(')) {
                const int cierra = T(k + 1).pareja;
                const QString nom = nombreRestr.isEmpty() ? QStringLiteral("CK_%1_%2").arg(tabla, c.nombre) : nombreRestr;
                restricciones << QStringLiteral("CONSTRAINT %1 CHECK (%2)").arg(CitaNombre(nom), Rango(k + 2, cierra));
                nombreRestr.clear();
                k = cierra + 1;
                continue;
            }
            if (x.Es("REFERENCES") || (x.Es("FOREIGN") && Es(k + 1, b, "KEY"))) {
                if (x.Es("FOREIGN")) k += 2;
                else ++k;
                QString rn, rmotor;
                k = Nombre(k, b, rn, &rmotor);
                QString r = QStringLiteral("REFERENCES ") + rmotor;
                int fin = k;
                while (fin < b && (T(fin).EsSimbolo('(') || T(fin).Es("ON") || T(fin).Es("DELETE") ||
                                   T(fin).Es("UPDATE") || T(fin).Es("CASCADE") || T(fin).Es("NO") ||
                                   T(fin).Es("ACTION") || T(fin).Es("SET") || T(fin).Es("NULL") || T(fin).Es("DEFAULT")))
                    fin = Fin(fin, b);
                Agrega(r, Rango(k, fin));
                restricciones << r;
                k = fin;
                nombreRestr.clear();
                continue;
            }
            Sintaxis(k);
        }
        c.sql = CitaNombre(c.nombre) + QLatin1Char(' ');
        const QString& tn = tipo.nombre;
        const bool texto = tn == QLatin1String("varchar") || tn == QLatin1String("char") || tn == QLatin1String("nvarchar") ||
                           tn == QLatin1String("nchar") || tn == QLatin1String("text") || tn == QLatin1String("ntext") ||
                           tn == QLatin1String("sysname") || tn == QLatin1String("uniqueidentifier") ||
                           tn == QLatin1String("character") || tn == QLatin1String("char varying");
        const bool fecha = tn == QLatin1String("datetime") || tn == QLatin1String("smalldatetime") ||
                           tn == QLatin1String("date") || tn == QLatin1String("datetime2") || tn == QLatin1String("time");
        QString decl;
        if (c.identidad) {
            decl = QStringLiteral("INTEGER");
        } else if (tipo.args == QLatin1String("(max)")) {
            decl = tn.startsWith(QLatin1Char('n')) ? QStringLiteral("ntext") : QStringLiteral("text");
            if (tn == QLatin1String("varbinary")) decl = QStringLiteral("image");
        } else if (tn == QLatin1String("sysname")) {
            decl = QStringLiteral("nvarchar(128)");
        } else {
            decl = tn + tipo.args;
        }
        c.sql += decl;
        if (texto || fecha) {
            QString col = fecha ? QStringLiteral("KV_FECHA") : QStringLiteral("CI_AS");
            if (!fecha && collate.contains(QLatin1String("_CS"))) col = QStringLiteral("RTRIM");
            c.sql += QStringLiteral(" COLLATE ") + col;
        }
        if (c.noNula) c.sql += QStringLiteral(" NOT NULL");
        for (const QString& r : restricciones) c.sql += QLatin1Char(' ') + r;
        // declared lengths of texts are enforced (SQL Server's 8152)
        if (texto && tipo.args.startsWith(QLatin1Char('(')) && tipo.args != QLatin1String("(max)")) {
            const int n = tipo.args.mid(1, tipo.args.size() - 2).toInt();
            if (n > 0)
                c.sql += QStringLiteral(" CONSTRAINT %1 CHECK (kv_cabe(%2, %3))")
                             .arg(CitaNombre(QStringLiteral("kv_largo_") + c.nombre), CitaNombre(c.nombre))
                             .arg(n);
        }
        return c;
    }

    QStringList ListaColumnas(int abre) const {
        QStringList r;
        for (int j = abre + 1; j < T(abre).pareja; ++j)
            if (T(j).EsNombre() && !T(j).Es("ASC") && !T(j).Es("DESC")) r << T(j).texto;
        return r;
    }
    QString ColumnasSql(const QStringList& cols) const {
        QStringList q;
        for (const QString& c : cols) q << CitaNombre(c);
        return q.join(QStringLiteral(", "));
    }
    static QStringList Minusculas(QStringList l) {
        for (QString& s : l) s = s.toLower();
        return l;
    }

    Sentencia& Create(int a, int b, Sentencia& s) {
        int k = a + 1;
        if (Es(k, b, "TABLE")) return CreaTabla(k + 1, b, s);
        bool unica = false;
        if (Es(k, b, "UNIQUE")) { unica = true; ++k; }
        if (Es(k, b, "CLUSTERED") || Es(k, b, "NONCLUSTERED")) ++k;
        if (Es(k, b, "INDEX")) {
            if (k + 1 >= b) Sintaxis(b);
            const QString indice = T(k + 1).texto;
            if (!Es(k + 2, b, "ON")) Sintaxis(k + 2);
            QString n, motor;
            int j = Nombre(k + 3, b, n, &motor);
            if (!EsSim(j, b, '(')) Sintaxis(j);
            const int cierra = T(j).pareja;
            s.tipo = Sentencia::CreaObjeto;
            s.clase = QStringLiteral("INDEX");
            s.verbo = QStringLiteral("CREATE");
            s.tabla = n;
            s.nombre = indice;
            s.sql = QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                        .arg(unica ? QStringLiteral("UNIQUE ") : QString(), CitaNombre(NombreIndiceMotor(n, indice)), motor,
                             Rango(j + 1, cierra));
            return s;  // INCLUDE (...), WITH (...), ON filegroup: nothing for the engine
        }
        if (unica) Sintaxis(k);
        if (Es(k, b, "VIEW")) {
            QString n, motor;
            int j = Nombre(k + 1, b, n, &motor);
            QString cols;
            if (EsSim(j, b, '(')) {
                cols = QStringLiteral(" (") + ColumnasSql(ListaColumnas(j)) + QStringLiteral(")");
                j = T(j).pareja + 1;
            }
            if (Es(j, b, "WITH")) j += 2;  // WITH SCHEMABINDING and the like
            if (!Es(j, b, "AS")) Sintaxis(j);
            s.tipo = Sentencia::CreaObjeto;
            s.clase = QStringLiteral("VIEW");
            s.verbo = QStringLiteral("CREATE");
            s.nombre = n;
            s.sql = QStringLiteral("CREATE VIEW ") + motor + cols + QStringLiteral(" AS ") + Rango(j + 1, b);
            return s;
        }
        if (Es(k, b, "TEMP") || Es(k, b, "TEMPORARY")) ++k;
        if (Es(k, b, "TRIGGER")) return CreaDisparador(k + 1, b, s);
        NoAdmitida(QStringLiteral("CREATE ") + (k < b ? T(k).texto.toUpper() : QString()));
    }

    Sentencia& CreaTabla(int k, int b, Sentencia& s) {
        QString n, motor;
        k = Nombre(k, b, n, &motor);
        if (n.startsWith(QLatin1Char('#'))) NoAdmitida(QStringLiteral("temporary tables"));
        if (!EsSim(k, b, '(')) Sintaxis(k);
        const int cierra = T(k).pareja;
        s.tipo = Sentencia::CreaTabla;
        s.verbo = QStringLiteral("CREATE");
        s.clase = QStringLiteral("TABLE");
        s.tabla = s.nombre = n;
        std::vector<Columna> columnas;
        QStringList tabla;  // table constraints in the engine's SQL
        QStringList clave;
        QString nombreClave;
        for (int j = k + 1; j < cierra;) {
            int fin = j;
            while (fin < cierra && !T(fin).EsSimbolo(',')) fin = Fin(fin, cierra);
            QString nombre;
            int i = j;
            if (Es(i, fin, "CONSTRAINT")) {
                if (i + 1 >= fin) Sintaxis(fin);
                nombre = T(i + 1).texto;
                i += 2;
            }
            auto columnasDe = [&](int desde) {
                int p = desde;
                while (p < fin && !T(p).EsSimbolo('(')) ++p;
                if (p >= fin) Sintaxis(fin);
                return ListaColumnas(p);
            };
            if (Es(i, fin, "PRIMARY")) {
                clave = columnasDe(i);
                nombreClave = nombre;
            } else if (Es(i, fin, "UNIQUE")) {
                const QStringList cols = columnasDe(i);
                const QString nom = nombre.isEmpty() ? QStringLiteral("UQ_%1_%2").arg(n, cols.join(QLatin1Char('_'))) : nombre;
                tabla << QStringLiteral("CONSTRAINT %1 UNIQUE (%2)").arg(CitaNombre(nom), ColumnasSql(cols));
                s.restricciones.push_back({nom, QStringLiteral("UQ"), Minusculas(cols)});
            } else if (Es(i, fin, "CHECK") && EsSim(i + 1, fin, '(')) {
                const QString nom = nombre.isEmpty() ? QStringLiteral("CK_%1").arg(n) : nombre;
                tabla << QStringLiteral("CONSTRAINT %1 CHECK (%2)").arg(CitaNombre(nom), Rango(i + 2, T(i + 1).pareja));
                s.restricciones.push_back({nom, QStringLiteral("CK"), {}});
            } else if (Es(i, fin, "FOREIGN")) {
                const QStringList cols = columnasDe(i);
                int p = i;
                while (p < fin && !T(p).Es("REFERENCES")) ++p;
                if (p >= fin) Sintaxis(fin);
                QString rn, rmotor;
                int q = Nombre(p + 1, fin, rn, &rmotor);
                QString r = QStringLiteral("FOREIGN KEY (%1) REFERENCES %2").arg(ColumnasSql(cols), rmotor);
                Agrega(r, Rango(q, fin));
                tabla << r;
            } else {
                Columna c = DefineColumna(j, fin, n);
                if (c.clave) {
                    clave = QStringList{c.nombre};
                    nombreClave = c.nombreClave;
                }
                if (c.unica) {
                    const QString nom = c.nombreUnica.isEmpty() ? QStringLiteral("UQ_%1_%2").arg(n, c.nombre) : c.nombreUnica;
                    tabla << QStringLiteral("CONSTRAINT %1 UNIQUE (%2)").arg(CitaNombre(nom), CitaNombre(c.nombre));
                    s.restricciones.push_back({nom, QStringLiteral("UQ"), {c.nombre.toLower()}});
                }
                if (c.identidad) {
                    if (!s.identidad.isEmpty()) Sintaxis(j);
                    s.identidad = c.nombre;
                    s.semilla = c.semilla;
                }
                columnas.push_back(c);
            }
            j = fin + 1;
        }
        if (columnas.empty()) Sintaxis(cierra);
        // The identity column is the engine's row id; a primary key on other
        // columns becomes a unique constraint on them (NOT NULL, as keys are).
        const bool claveEsIdentidad =
            !s.identidad.isEmpty() && clave.size() == 1 && clave[0].compare(s.identidad, Qt::CaseInsensitive) == 0;
        QStringList defs;
        for (Columna& c : columnas) {
            QString sql = c.sql;
            if (c.identidad) {
                sql = CitaNombre(c.nombre) + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
            } else if (clave.contains(c.nombre, Qt::CaseInsensitive) && !c.noNula) {
                sql += QStringLiteral(" NOT NULL");
            }
            defs << sql;
        }
        if (!clave.isEmpty()) {
            const QString nom = nombreClave.isEmpty() ? QStringLiteral("PK_%1").arg(n) : nombreClave;
            s.restricciones.push_back({nom, QStringLiteral("PK"), Minusculas(clave)});
            if (!claveEsIdentidad) {
                if (s.identidad.isEmpty())
                    defs << QStringLiteral("CONSTRAINT %1 PRIMARY KEY (%2)").arg(CitaNombre(nom), ColumnasSql(clave));
                else
                    defs << QStringLiteral("CONSTRAINT %1 UNIQUE (%2)").arg(CitaNombre(nom), ColumnasSql(clave));
            }
        }
        defs << tabla;
        s.sql = QStringLiteral("CREATE TABLE ") + motor + QStringLiteral(" (") + defs.join(QStringLiteral(", ")) +
                QStringLiteral(")");
        return s;  // ON [PRIMARY], TEXTIMAGE_ON, WITH (...): nothing for the engine
    }

    // Triggers come in the engine's own syntax; each one gets a guard that
    // ALTER TABLE ... DISABLE TRIGGER switches off.
    Sentencia& CreaDisparador(int k, int b, Sentencia& s) {
        if (Es(k, b, "IF") && Es(k + 1, b, "NOT") && Es(k + 2, b, "EXISTS")) k += 3;
        QString n, motor;
        int j = Nombre(k, b, n, &motor);
        s.tipo = Sentencia::CreaObjeto;
        s.clase = QStringLiteral("TRIGGER");
        s.verbo = QStringLiteral("CREATE");
        s.nombre = n;
        int on = -1, cuando = -1, inicio = -1;
        for (int p = j; p < b; p = Fin(p, b)) {
            if (T(p).Es("ON") && on < 0) on = p;
            else if (T(p).Es("WHEN") && cuando < 0 && on >= 0) cuando = p;
            else if (T(p).Es("BEGIN")) { inicio = p; break; }
            else if (T(p).Es("AS") && on >= 0) NoAdmitida(QStringLiteral("T-SQL triggers (CREATE TRIGGER ... AS)"));
        }
        if (on < 0 || inicio < 0) Sintaxis(on < 0 ? j : b);
        QString tn;
        Nombre(on + 1, b, tn);
        s.tabla = tn;
        const int finCuerpo = FinBloque(inicio, b);
        const QString guarda = QStringLiteral("NOT EXISTS (SELECT 1 FROM __kv_disparadores WHERE tabla = %1 AND "
                                              "disparador IN ('*', %2))")
                                   .arg(CitaCadena(tn), CitaCadena(n));
        QString sql = QStringLiteral("CREATE TRIGGER ") + motor;
        Agrega(sql, Rango(j, cuando >= 0 ? cuando : inicio));
        sql += QStringLiteral(" WHEN ") + guarda;
        if (cuando >= 0) sql += QStringLiteral(" AND (") + Rango(cuando + 1, inicio) + QStringLiteral(")");
        sql += QStringLiteral(" BEGIN ");
        std::vector<Sentencia> cuerpo;
        Sentencias(inicio + 1, finCuerpo, cuerpo);
        for (const Sentencia& c : cuerpo) {
            if (c.tipo != Sentencia::Sql) Sintaxis(inicio + 1);
            sql += c.sql + QStringLiteral("; ");
        }
        sql += QStringLiteral("END");
        s.sql = sql;
        if (finCuerpo + 1 < b) Sintaxis(finCuerpo + 1);
        return s;
    }

    Sentencia& Drop(int a, int b, Sentencia& s) {
        int k = a + 1;
        if (k >= b) Sintaxis(b);
        s.tipo = Sentencia::Borra;
        s.clase = T(k).texto.toUpper();
        if (s.clase == QLatin1String("PROC")) s.clase = QStringLiteral("PROCEDURE");
        ++k;
        if (Es(k, b, "IF") && Es(k + 1, b, "EXISTS")) { s.siExiste = true; k += 2; }
        if (s.clase == QLatin1String("INDEX")) {
            // DROP INDEX t.ix  or  DROP INDEX ix ON t
            QStringList partes;
            int j = k;
            while (j < b && T(j).EsNombre()) {
                partes << T(j).texto;
                ++j;
                if (EsSim(j, b, '.')) ++j;
                else break;
            }
            if (Es(j, b, "ON")) {
                QString tn;
                Nombre(j + 1, b, tn);
                s.tabla = tn;
                s.nombre = partes.value(0);
            } else if (partes.size() >= 2) {
                s.tabla = partes[partes.size() - 2];
                s.nombre = partes.back();
            } else {
                Sintaxis(j);
            }
            return s;
        }
        if (s.clase != QLatin1String("TABLE") && s.clase != QLatin1String("VIEW") && s.clase != QLatin1String("TRIGGER") &&
            s.clase != QLatin1String("PROCEDURE"))
            NoAdmitida(QStringLiteral("DROP ") + s.clase);
        QString n;
        const int j = Nombre(k, b, n);
        s.nombre = n;
        // DROP TABLE a, b: one statement per name
        if (EsSim(j, b, ',')) {
            s.tipo = Sentencia::Bloque;
            Sentencia una = s;
            una.tipo = Sentencia::Borra;
            una.cuerpo.clear();
            s.cuerpo.push_back(una);
            for (int p = j; p < b && EsSim(p, b, ',');) {
                QString otro;
                p = Nombre(p + 1, b, otro);
                Sentencia o = una;
                o.nombre = otro;
                s.cuerpo.push_back(o);
            }
        } else if (j < b) {
            Sintaxis(j);
        }
        return s;
    }

    Sentencia& Si(int a, int b, Sentencia& s) {
        int j = a + 1;
        while (j < b && !EsInicio(j)) j = Fin(j, b);
        if (j == a + 1 || j >= b) Sintaxis(j);
        s.tipo = Sentencia::Si;
        s.condicion = QStringLiteral("SELECT CASE WHEN ") + Rango(a + 1, j) + QStringLiteral(" THEN 1 ELSE 0 END");
        const int fin = FinSentencia(j, b);
        s.cuerpo.push_back(Traduce(j, fin));
        if (Es(fin, b, "ELSE")) s.sino.push_back(Traduce(fin + 1, FinSentencia(fin + 1, b)));
        return s;
    }
};

}  // namespace

QString CitaNombre(const QString& nombre) {
    if (!nombre.contains(QLatin1Char('"'))) return QLatin1Char('"') + nombre + QLatin1Char('"');
    QString r = nombre;
    r.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

QString CitaCadena(const QString& texto) {
    if (!texto.contains(QLatin1Char('\''))) return QLatin1Char('\'') + texto + QLatin1Char('\'');
    QString r = texto;
    r.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

QString NombreIndiceMotor(const QString& tabla, const QString& indice) { return tabla + QLatin1Char('.') + indice; }

bool TraduceLote(const QString& lote, const QString& base, std::vector<Sentencia>& salida, ErrorTraduccion& error) {
    salida.clear();
    std::vector<Token> tokens;
    ErrorLexico el;
    if (!Tokeniza(lote, tokens, el)) {
        if (el.nativo == 105)
            error = {105, QStringLiteral("Unclosed quotation mark after the character string '%1'.").arg(el.cerca)};
        else if (el.nativo == 113)
            error = {113, el.cerca};
        else
            error = {102, QStringLiteral("Incorrect syntax near '%1'.").arg(el.cerca)};
        return false;
    }
    Traductor t(tokens, lote, base);
    return t.Lote(salida, error);
}
