#include "db/platform/embebido/LexicoTsql.h"


namespace {

bool EsInicioNombre(QChar c) { return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#'); }
bool EsParteNombre(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') || c == QLatin1Char('$') ||
           c == QLatin1Char('@');
}

}  // namespace

bool Tokeniza(const QString& s, std::vector<Token>& tokens, ErrorLexico& error) {
    tokens.clear();
    tokens.reserve(static_cast<std::size_t>(s.size() / 4 + 8));
    std::vector<int> abiertos;
    const int n = static_cast<int>(s.size());
    const QChar* d = s.constData();
    int i = 0;
    while (i < n) {
        const QChar c = d[i];
        if (c.isSpace()) { ++i; continue; }
        if (c == QLatin1Char('-') && i + 1 < n && d[i + 1] == QLatin1Char('-')) {
            while (i < n && d[i] != QLatin1Char('\n') && d[i] != QLatin1Char('\r')) ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && d[i + 1] == QLatin1Char('*')) {
            int nivel = 1;  // T-SQL block comments nest
            int j = i + 2;
            while (j < n && nivel > 0) {
                if (d[j] == QLatin1Char('/') && j + 1 < n && d[j + 1] == QLatin1Char('*')) { ++nivel; j += 2; }
                else if (d[j] == QLatin1Char('*') && j + 1 < n && d[j + 1] == QLatin1Char('/')) { --nivel; j += 2; }
                else ++j;
            }
            if (nivel > 0) {
                error = {113, QStringLiteral("Missing end comment mark '*/'.")};
                return false;
            }
            i = j;
            continue;
        }
        Token t;
        t.inicio = i;
        const bool prefijoN = (c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n && d[i + 1] == QLatin1Char('\'');
        if (c == QLatin1Char('\'') || prefijoN) {
            int j = i + (prefijoN ? 2 : 1);
            QString v;
            bool cerrada = false;
            while (j < n) {
                if (d[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && d[j + 1] == QLatin1Char('\'')) { v += QLatin1Char('\''); j += 2; continue; }
                    cerrada = true;
                    ++j;
                    break;
                }
                v += d[j++];
            }
            if (!cerrada) {
                error = {105, s.mid(i + (prefijoN ? 2 : 1))};
                return false;
            }
            t.tipo = Token::Cadena;
            t.texto = v;
            t.unicode = prefijoN;
            t.largo = j - i;
            i = j;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar cierre = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            int j = i + 1;
            QString v;
            bool cerrada = false;
            while (j < n) {
                if (d[j] == cierre) {
                    if (j + 1 < n && d[j + 1] == cierre) { v += cierre; j += 2; continue; }
                    cerrada = true;
                    ++j;
                    break;
                }
                v += d[j++];
            }
            if (!cerrada) {
                if (c == QLatin1Char('[')) error = {105, s.mid(i + 1)};  // SQL Server reports it the same way
                else error = {105, s.mid(i + 1)};
                return false;
            }
            t.tipo = c == QLatin1Char('[') ? Token::Corchete : Token::Comillas;
            t.texto = v;
            t.largo = j - i;
            i = j;
        } else if (EsInicioNombre(c)) {
            int j = i + 1;
            while (j < n && EsParteNombre(d[j])) ++j;
            t.tipo = Token::Palabra;
            t.texto = s.mid(i, j - i);
            t.largo = j - i;
            i = j;
        } else if (c == QLatin1Char('@')) {
            int j = i + 1;
            while (j < n && EsParteNombre(d[j])) ++j;
            t.tipo = Token::Variable;
            t.texto = s.mid(i, j - i);
            t.largo = j - i;
            i = j;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && d[i + 1].isDigit())) {
            int j = i;
            if (c == QLatin1Char('0') && i + 1 < n && (d[i + 1] == QLatin1Char('x') || d[i + 1] == QLatin1Char('X'))) {
                j += 2;
                while (j < n && (d[j].isDigit() || QStringLiteral("abcdefABCDEF").contains(d[j]))) ++j;
            } else {
                while (j < n && d[j].isDigit()) ++j;
                if (j < n && d[j] == QLatin1Char('.')) {
                    ++j;
                    while (j < n && d[j].isDigit()) ++j;
                }
                if (j < n && (d[j] == QLatin1Char('e') || d[j] == QLatin1Char('E'))) {
                    int k = j + 1;
                    if (k < n && (d[k] == QLatin1Char('+') || d[k] == QLatin1Char('-'))) ++k;
                    if (k < n && d[k].isDigit()) {
                        j = k;
                        while (j < n && d[j].isDigit()) ++j;
                    }
                }
            }
            t.tipo = Token::Numero;
            t.texto = s.mid(i, j - i);
            t.largo = j - i;
            i = j;
        } else {
            static const char* dobles[] = {"<>", "!=", "<=", ">=", "!<", "!>", "||", "==", "+=", "-=", "*=", "/="};
            t.tipo = Token::Simbolo;
            t.largo = 1;
            if (i + 1 < n) {
                for (const char* dd : dobles) {
                    if (d[i] == QLatin1Char(dd[0]) && d[i + 1] == QLatin1Char(dd[1])) { t.largo = 2; break; }
                }
            }
            t.texto = s.mid(i, t.largo);
            if (c == QLatin1Char('?')) t.tipo = Token::Parametro;
            i += t.largo;
        }
        if (t.EsSimbolo('(')) {
            abiertos.push_back(static_cast<int>(tokens.size()));
        } else if (t.EsSimbolo(')')) {
            if (abiertos.empty()) {
                error = {102, QStringLiteral(")")};
                return false;
            }
            t.pareja = abiertos.back();
            tokens[static_cast<std::size_t>(abiertos.back())].pareja = static_cast<int>(tokens.size());
            abiertos.pop_back();
        }
        tokens.push_back(std::move(t));
    }
    if (!abiertos.empty()) {
        error = {102, tokens.back().texto};
        return false;
    }
    return true;
}
