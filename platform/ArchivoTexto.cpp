#include "platform/ArchivoTexto.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace ArchivoTexto {

namespace {
// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned ones.
constexpr char16_t kAlto[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

QByteArray Codifica(const QString& texto) {
    QByteArray r;
    r.reserve(texto.size());
    for (QChar c : texto) {
        char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            r.append(static_cast<char>(u));
            continue;
        }
        char b = '?';
        for (int i = 0; i < 32; ++i)
            if (kAlto[i] == u && u != 0) {
                b = static_cast<char>(0x80 + i);
                break;
            }
        r.append(b);
    }
    return r;
}

QString Decodifica(const QByteArray& bytes) {
    QString r;
    r.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0)
            r.append(QChar(kAlto[b - 0x80] ? kAlto[b - 0x80] : char16_t(b)));
        else
            r.append(QChar(char16_t(b)));
    }
    return r;
}

bool Agrega(const QString& ruta, const QString& texto) {
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const QByteArray b = Codifica(texto);
    bool ok = f.write(b) == b.size();
    ok = f.flush() && ok;
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

namespace {

bool EscribeBytes(const QString& ruta, const QByteArray& b, QString* error = nullptr) {
    QSaveFile f(ruta);
    // Unbuffered: a buffered write reaches the file only when committing,
    // past QSaveFile's error check, so a full disk left an empty file
    // reported as written.
    bool ok = f.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (ok && f.write(b) != b.size()) {
        ok = false;
        f.cancelWriting();
    }
    ok = ok && f.commit();
    if (!ok && error) *error = f.errorString();
    return ok;
}

}  // namespace

bool Escribe(const QString& ruta, const QString& texto) { return EscribeBytes(ruta, Codifica(texto)); }

bool EscribeSinPerdida(const QString& ruta, const QString& texto, QString* error) {
    QByteArray b = Codifica(texto);
    if (Decodifica(b) != texto) b = QByteArray("\xEF\xBB\xBF") + texto.toUtf8();
    return EscribeBytes(ruta, b, error);
}

std::optional<QByteArray> LeeBytes(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QByteArray b = f.readAll();
    if (f.error() != QFileDevice::NoError) return std::nullopt;
    return b;
}

std::optional<QString> Lee(const QString& ruta) {
    const std::optional<QByteArray> b = LeeBytes(ruta);
    if (!b) return std::nullopt;
    return Decodifica(*b);
}

QStringList Lineas(const QString& texto) {
    QStringList r;
    qsizetype inicio = 0, i = 0;
    const qsizetype n = texto.size();
    while (i < n) {
        QChar c = texto[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            r.append(texto.mid(inicio, i - inicio));
            if (c == QLatin1Char('\r') && i + 1 < n && texto[i + 1] == QLatin1Char('\n')) ++i;
            inicio = ++i;
        } else {
            ++i;
        }
    }
    if (inicio < n) r.append(texto.mid(inicio));
    return r;
}

QString BuscaSinMayusculas(const QString& carpeta, const QString& nombre) {
    QDir d(carpeta);
    if (d.exists(nombre)) return d.filePath(nombre);
    const QStringList todos = d.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& e : todos)
        if (e.compare(nombre, Qt::CaseInsensitive) == 0) return d.filePath(e);
    return d.filePath(nombre);
}

}  // namespace ArchivoTexto
