#include "frame/Apariencia.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "db/DB_Dll.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Ini.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Aplicacion.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

using Texto::InStr;
using Texto::Mid;
using Texto::UCase;

int EstiloSkin() {
    const QString seccion = UCase(LibEntorno().UsuarioPC()) + QLatin1Char('_') + UCase(gDB().gDBName) +
                            QStringLiteral("Styles");
    const double v = Texto::Val(
        LibIni().LeeIni(QStringLiteral("tq400xr.ini"), seccion, QStringLiteral("Styles"), QStringLiteral("4")));
    const int estilo = static_cast<int>(v);
    return estilo == v ? estilo : 0;
}

QString ArchivoSkin(int estilo) {
    switch (estilo) {
        case 1: return QStringLiteral("Styles/Vista.cjstyles");
        case 2: return QStringLiteral("Styles/WinXP.Luna.cjstyles");
        case 3: return QStringLiteral("Styles/WinXP.Royale.cjstyles");
        case 4: return QStringLiteral("Styles/iTunes/Normalitunes.ini");
        default: return QStringLiteral("Styles/Office2007.cjstyles");
    }
}

QString RutaSkin(int estilo) {
    // The folder's own copy first, then the one shipped with the program.
    const QStringList carpetas{CarpetaAplicacion(), CarpetaCompartida()};
    for (const QString& c : carpetas) {
        const QString ruta = QDir(c).filePath(ArchivoSkin(estilo));
        if (QFileInfo(ruta).isFile()) return ruta;
    }
    return {};
}

void MenuExes(const QString& Programa, QString& Parametro, int32_t& Resultado) {
    Resultado = 0;
    QString linea;
    Guardia g(TratamientoGlobalDe(QStringLiteral("MenuExes")));
    g.Ejecuta({
        [&] {
            if (const int blanco = InStr(Parametro, QStringLiteral(" ")); blanco > 0)
                Parametro = Mid(Parametro, blanco + 1);
        },
        [&] {
            linea = QStringLiteral(" ; @server=") + gDB().gServidor + QStringLiteral("; @dbname=") + gDB().gDBName +
                    QStringLiteral("; @usuario=") + gUsuarioActual + QStringLiteral("; @Password=") +
                    gClaveUsuario + QStringLiteral("; @ParametroAdicional=") + Parametro +
                    QStringLiteral("; orba@ ; @UsuarioLogeado = ") + gUsuarioActual + QStringLiteral("; @Caja=") +
                    gCaja + QLatin1Char(';');
        },
        [&] {
            const QString carpeta = LibUtil().AgregaBarra(CarpetaAplicacion());
            QString programa;
            // A path, in the suite's form or the platform's.
            if (Programa.contains(QLatin1Char('\\')) || Programa.contains(QLatin1Char('/')))
                programa = Mid(Programa, 7);
            else if (InStr(Programa, QStringLiteral("SHELL")) > 0)
                programa = carpeta + Mid(Programa, 7);
            else
                programa = carpeta + Programa;
            if (ElOperador().EjecutaPrograma(programa, {linea}, false, vbNormalFocus) != 0)
                throw Fallo(NumeroFallo::ArchivoNoEncontrado, QStringLiteral("No se encontró el archivo: ") + programa,
                            NombrePrograma());
            Resultado = 1;
        },
        [&] {
            if (Resultado == 0)
                ElOperador().Mensaje(QStringLiteral("Opcion no Implementada!\rComuniquese con su proveedor de sistemas"),
                                     vbCritical, QStringLiteral("Atención"));
        },
    });
}

bool AbreConPrograma(const QString& documento, int mostrar) {
    QString d = documento;
    if (d.contains(QLatin1Char(' ')) && !d.contains(QLatin1Char('"')))
        d = QLatin1Char('"') + d + QLatin1Char('"');
    return LibEntorno().AbreArchivo(0, QString(), d, QString(), QString(), mostrar);
}

bool AbreDocumento(const QString& documento, bool mostrar) {
    return AbreConPrograma(documento, mostrar ? 6 : 0);
}

bool ExisteArchivo(const QString& archivo) {
    QString nombre = archivo;
    nombre.remove(QLatin1Char('"'));
    if (nombre.isEmpty()) return false;
    QFile f(nombre);
    const bool ok = f.open(QIODevice::ReadOnly);
    f.close();
    return ok;
}
