#include "db/platform/embebido/BaseEmbebida.h"

#include "db/platform/embebido/CatalogoEmbebido.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

namespace {
bool NombreValido(const QString& n) {
    return !n.trimmed().isEmpty() && !n.contains(QLatin1Char('/')) && !n.contains(QLatin1Char('\\')) &&
           n != QLatin1String(".") && n != QLatin1String("..") && !n.contains(QChar(0));
}
}  // namespace

QString RutaBaseEmbebida(const QString& nombre) {
    // Database names ignore letter case: the file of another spelling is the
    // database, the exact spelling first.
    return ArchivoTexto::BuscaSinMayusculas(CarpetaDatos(), nombre.trimmed() + QStringLiteral(".db"));
}

bool ExisteBaseEmbebida(const QString& nombre) {
    return NombreValido(nombre) && QFileInfo(RutaBaseEmbebida(nombre)).isFile();
}

bool CreaBaseEmbebida(const QString& nombre, QString* motivo) {
    auto falla = [&](const QString& m) {
        if (motivo) *motivo = m;
        return false;
    };
    if (!NombreValido(nombre)) return falla(QStringLiteral("Nombre de base no válido: %1").arg(nombre));
    const QString ruta = RutaBaseEmbebida(nombre);
    if (QFileInfo::exists(ruta)) return falla(QStringLiteral("La base ya existe: %1").arg(ruta));
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    sqlite3* db = nullptr;
    const QByteArray r = ruta.toUtf8();
    int rc = sqlite3_open_v2(r.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL;", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, kCatalogoEmbebido, nullptr, nullptr, nullptr);
    const QString error = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("sin memoria");
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        QFile::remove(ruta);
        return falla(QStringLiteral("No se pudo crear la base %1: %2").arg(ruta, error));
    }
    return true;
}
