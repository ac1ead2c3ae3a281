#include "platform/Texto.h"

#include "platform/Fallo.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace Texto {

namespace {
constexpr QChar kBlanco = QLatin1Char(' ');
Qt::CaseSensitivity cs(bool sinMayusculas) { return sinMayusculas ? Qt::CaseInsensitive : Qt::CaseSensitive; }
}  // namespace

QString LTrim(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == kBlanco) ++i;
    return s.mid(i);
}

QString RTrim(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s[n - 1] == kBlanco) --n;
    return s.left(n);
}

QString Trim(const QString& s) { return LTrim(RTrim(s)); }

QString Mid(const QString& s, int inicio, int largo) {
    if (inicio < 1 || largo < -1)
        throw Fallo(NumeroFallo::ArgumentoInvalido, QStringLiteral("Llamada a procedimiento o argumento no válidos"));
    if (inicio > s.size()) return {};
    return largo < 0 ? s.mid(inicio - 1) : s.mid(inicio - 1, largo);
}

QString Left(const QString& s, int largo) {
    if (largo < 0)
        throw Fallo(NumeroFallo::ArgumentoInvalido, QStringLiteral("Llamada a procedimiento o argumento no válidos"));
    return s.left(largo);
}

QString Right(const QString& s, int largo) {
    if (largo < 0)
        throw Fallo(NumeroFallo::ArgumentoInvalido, QStringLiteral("Llamada a procedimiento o argumento no válidos"));
    return s.right(largo);
}

QString Space(int n) { return n > 0 ? QString(n, kBlanco) : QString(); }

int InStr(int inicio, const QString& s, const QString& buscado, bool sinMayusculas) {
    if (inicio < 1)
        throw Fallo(NumeroFallo::ArgumentoInvalido, QStringLiteral("Llamada a procedimiento o argumento no válidos"));
    if (inicio > s.size()) return 0;
    if (buscado.isEmpty()) return inicio;
    qsizetype p = s.indexOf(buscado, inicio - 1, cs(sinMayusculas));
    return p < 0 ? 0 : static_cast<int>(p + 1);
}

int InStrRev(const QString& s, const QString& buscado, bool sinMayusculas) {
    if (buscado.isEmpty()) return static_cast<int>(s.size());
    qsizetype p = s.lastIndexOf(buscado, -1, cs(sinMayusculas));
    return p < 0 ? 0 : static_cast<int>(p + 1);
}

QString UCase(const QString& s) { return s.toUpper(); }
QString LCase(const QString& s) { return s.toLower(); }

bool Iguales(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
bool Contiene(const QString& s, const QString& buscado) { return s.contains(buscado, Qt::CaseInsensitive); }
bool EmpiezaCon(const QString& s, const QString& prefijo) { return s.startsWith(prefijo, Qt::CaseInsensitive); }

bool TieneControles(const QString& s) {
    for (const QChar c : s)
        if (c.unicode() < 32) return true;
    return false;
}

QString Reemplaza(const QString& s, const QString& buscado, const QString& reemplazo) {
    if (buscado.isEmpty()) return s;
    QString r = s;
    return r.replace(buscado, reemplazo, Qt::CaseInsensitive);
}

QString QuitaCaracteres(const QString& s, const QString& caracteres) {
    QString r;
    r.reserve(s.size());
    for (QChar c : s)
        if (!caracteres.contains(c)) r.append(c);
    return r;
}

double Val(const QString& s) {
    // Blanks are skipped anywhere in the number, as the suite's reading does.
    QString t;
    t.reserve(s.size());
    qsizetype i = 0;
    auto salta = [&] {
        while (i < s.size() && (s[i] == kBlanco || s[i] == QLatin1Char('\t'))) ++i;
    };
    salta();
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+'))) t.append(s[i++]);
    bool digitos = false, punto = false;
    for (; i < s.size(); ++i) {
        QChar c = s[i];
        if (c == kBlanco || c == QLatin1Char('\t')) continue;
        if (c.isDigit() && c.unicode() < 128) {
            t.append(c);
            digitos = true;
        } else if (c == QLatin1Char('.') && !punto) {
            t.append(c);
            punto = true;
        } else {
            break;
        }
    }
    if (!digitos) return 0.0;
    // Optional exponent: E or D followed by digits.
    if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E') || s[i] == QLatin1Char('d') ||
                         s[i] == QLatin1Char('D'))) {
        qsizetype j = i + 1;
        QString e = QStringLiteral("e");
        if (j < s.size() && (s[j] == QLatin1Char('-') || s[j] == QLatin1Char('+'))) e.append(s[j++]);
        qsizetype k = j;
        while (k < s.size() && s[k].isDigit() && s[k].unicode() < 128) e.append(s[k++]);
        if (k > j) t.append(e);
    }
    bool ok = false;
    double v = t.toDouble(&ok);
    return ok ? v : 0.0;
}

QString NumeroATexto(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) return QString::number(static_cast<long long>(v));
    QString t = QString::number(v, 'g', 15);
    return t;
}

QString FormatoFecha(const QDateTime& momento, const QString& patron) {
    const QDate d = momento.date();
    const QTime t = momento.time();
    QString r;
    bool trasHora = false;  // "mm" after an hour token means minutes
    qsizetype i = 0;
    auto corre = [&](QChar c) {
        qsizetype n = 0;
        while (i + n < patron.size() && patron[i + n].toLower() == c) ++n;
        return n;
    };
    auto dos = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    while (i < patron.size()) {
        QChar c = patron[i].toLower();
        if (c == QLatin1Char('d')) {
            qsizetype n = corre(c);
            r += n >= 2 ? dos(d.day()) : QString::number(d.day());
            i += n;
        } else if (c == QLatin1Char('m')) {
            qsizetype n = corre(c);
            if (trasHora) {
                r += n >= 2 ? dos(t.minute()) : QString::number(t.minute());
                trasHora = false;
            } else {
                r += n >= 2 ? dos(d.month()) : QString::number(d.month());
            }
            i += n;
        } else if (c == QLatin1Char('y')) {
            qsizetype n = corre(c);
            r += n >= 3 ? QString::number(d.year()) : dos(d.year() % 100);
            i += n;
        } else if (c == QLatin1Char('h')) {
            qsizetype n = corre(c);
            r += n >= 2 ? dos(t.hour()) : QString::number(t.hour());
            trasHora = true;
            i += n;
        } else if (c == QLatin1Char('n')) {
            qsizetype n = corre(c);
            r += n >= 2 ? dos(t.minute()) : QString::number(t.minute());
            trasHora = false;
            i += n;
        } else if (c == QLatin1Char('s')) {
            qsizetype n = corre(c);
            r += n >= 2 ? dos(t.second()) : QString::number(t.second());
            i += n;
        } else {
            r += patron[i++];
        }
    }
    return r;
}

QDateTime LeeFecha(const QString& s) {
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{1,2})[/\-.](\d{1,2})[/\-.](\d{2}|\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    const auto m = re.match(s);
    if (!m.hasMatch()) return {};
    int dia = m.captured(1).toInt(), mes = m.captured(2).toInt(), anio = m.captured(3).toInt();
    if (m.captured(3).size() == 2) anio += anio < 30 ? 2000 : 1900;
    QDate d(anio, mes, dia);
    if (!d.isValid()) return {};
    QTime t(0, 0);
    if (m.capturedLength(4)) {
        t = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.capturedLength(6) ? m.captured(6).toInt() : 0);
        if (!t.isValid()) return {};
    }
    return QDateTime(d, t);
}

}  // namespace Texto
