#include "platform/sesion/LineaComandos.h"

#include "platform/Texto.h"

namespace LineaComandos {

std::optional<QString> Valor(const QString& linea, const QString& clave) {
    const int p = Texto::InStr(linea, clave);
    if (p == 0) return std::nullopt;
    const int desde = p + static_cast<int>(clave.size());
    const int fin = Texto::InStr(desde <= linea.size() ? desde : static_cast<int>(linea.size()) + 1, linea,
                                 QStringLiteral(";"));
    QString valor;
    if (fin == 0 || desde > linea.size()) {
        if (!Texto::Iguales(clave, QStringLiteral("@ParametroAdicional"))) return std::nullopt;
        valor = desde <= linea.size() ? Texto::Mid(linea, desde, 19) : QString();
    } else {
        valor = Texto::Mid(linea, desde, fin - desde);
    }
    return Texto::Trim(Texto::QuitaCaracteres(valor, QStringLiteral("=")));
}

Parametros Lee(const QString& linea) {
    Parametros r;
    auto toma = [&](const char* clave, QString& destino) {
        if (auto v = Valor(linea, QString::fromLatin1(clave))) destino = *v;
    };
    toma("@ParametroAdicional", r.parametroAdicional);
    toma("@Menu", r.menu);
    toma("@Server", r.servidor);
    toma("@DbName", r.dbName);
    toma("@Usuario", r.usuario);
    toma("@UsuarioLogeado", r.usuarioLogeado);
    if (Texto::Trim(r.usuarioLogeado).isEmpty()) r.usuarioLogeado = Texto::Trim(r.usuario);
    r.password = Valor(linea, QStringLiteral("@Password"));
    toma("@Caja", r.caja);
    return r;
}

QString ExtraeServidor(const QString& especificacion) {
    QString s = especificacion;
    if (int p = Texto::InStr(s, QStringLiteral("/")); p > 0) s = Texto::Mid(s, p + 1);
    if (int p = Texto::InStr(s, QStringLiteral(":")); p > 0) s = Texto::Left(s, p - 1);
    return s;
}

}  // namespace LineaComandos
