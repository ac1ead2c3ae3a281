#include "db/platform/CadenaConexion.h"

#include "platform/Texto.h"

namespace CadenaConexion {

QMap<QString, QString> Items(const QString& cadena) {
    QMap<QString, QString> r;
    const QStringList partes = cadena.split(QLatin1Char(';'));
    for (const QString& parte : partes) {
        const int igual = static_cast<int>(parte.indexOf(QLatin1Char('=')));
        if (igual < 0) continue;
        const QString clave = Texto::Trim(parte.left(igual)).toUpper();
        if (clave.isEmpty() || r.contains(clave)) continue;  // the first occurrence holds
        r.insert(clave, Texto::Trim(parte.mid(igual + 1)));
    }
    return r;
}

ParametrosConexion Lee(const QString& cadena) {
    const auto it = Items(cadena);
    auto primero = [&](std::initializer_list<const char*> claves) {
        for (const char* c : claves)
            if (auto v = it.find(QString::fromLatin1(c)); v != it.end()) return *v;
        return QString();
    };
    ParametrosConexion p;
    p.cadenaOriginal = cadena;
    p.proveedor = primero({"PROVIDER"});
    p.origenDatos = primero({"DATA SOURCE"});
    p.servidor = primero({"SERVER", "DATA SOURCE", "ADDRESS", "ADDR"});
    p.baseDatos = primero({"DATABASE", "INITIAL CATALOG"});
    p.usuario = primero({"UID", "USER ID", "USER"});
    p.clave = primero({"PWD", "PASSWORD"});
    return p;
}

}  // namespace CadenaConexion
