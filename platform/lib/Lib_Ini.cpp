#include "platform/lib/Lib_Ini.h"

#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Texto.h"

namespace {
// Blanks and tabs, as the INI reading of the suite's platform trims.
QString Limpia(const QString& s) {
    qsizetype a = 0, b = s.size();
    auto blanco = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (a < b && blanco(s[a])) ++a;
    while (b > a && blanco(s[b - 1])) --b;
    return s.mid(a, b - a);
}
}  // namespace

QString Lib_Ini::LeeIni(const QString& archivo, const QString& seccion, const QString& clave,
                        const QString& defecto) const {
    const bool desnudo = !archivo.contains(QLatin1Char('/')) && !archivo.contains(QLatin1Char('\\'));
    const QString ruta = desnudo ? ArchivoTexto::BuscaSinMayusculas(CarpetaAplicacion(), archivo) : archivo;
    const std::optional<QString> contenido = ArchivoTexto::Lee(ruta);
    if (!contenido) return defecto;

    const QString buscada = Limpia(seccion);
    const QString llave = Limpia(clave);
    bool enSeccion = false, vista = false;
    for (const QString& bruta : ArchivoTexto::Lineas(*contenido)) {
        const QString linea = Limpia(bruta);
        if (linea.startsWith(QLatin1Char('['))) {
            const qsizetype fin = linea.indexOf(QLatin1Char(']'));
            const QString nombre = Limpia(linea.mid(1, fin < 0 ? -1 : fin - 1));
            if (enSeccion) vista = true;
            enSeccion = !vista && Texto::Iguales(nombre, buscada);
            continue;
        }
        if (!enSeccion || linea.startsWith(QLatin1Char(';'))) continue;
        const qsizetype igual = linea.indexOf(QLatin1Char('='));
        if (igual <= 0) continue;
        if (!Texto::Iguales(Limpia(linea.left(igual)), llave)) continue;
        // A value between matching quotes is given without them.
        const QString valor = Limpia(linea.mid(igual + 1));
        if (valor.size() >= 2 && (valor.front() == QLatin1Char('"') || valor.front() == QLatin1Char('\'')) &&
            valor.back() == valor.front())
            return valor.mid(1, valor.size() - 2);
        return valor;
    }
    return defecto;
}

Lib_Ini& LibIni() {
    static Lib_Ini i;
    return i;
}
