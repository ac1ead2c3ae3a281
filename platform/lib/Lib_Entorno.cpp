#include "platform/lib/Lib_Entorno.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>

#include "platform/Operador.h"
#include "platform/Texto.h"

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

QString Lib_Entorno::NombrePC() const {
    return QSysInfo::machineHostName();
}

QString Lib_Entorno::UsuarioPC() const {
#ifdef Q_OS_UNIX
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    for (const char* v : {"USER", "LOGNAME", "USERNAME"}) {
        const QString u = qEnvironmentVariable(v);
        if (!u.isEmpty()) return u;
    }
    return {};
}

QString Lib_Entorno::CarpetaTemporal() const {
    const QString t = qEnvironmentVariable("TMPDIR");
    return t.isEmpty() ? QDir::tempPath() : t;
}

namespace {
QString SinComillas(QString t) {
    t = Texto::Trim(t);
    if (t.size() >= 2 && t.startsWith(QLatin1Char('"')) && t.endsWith(QLatin1Char('"')))
        t = t.mid(1, t.size() - 2);
    return t;
}
}  // namespace

bool Lib_Entorno::AbreArchivo(long long, const QString&, const QString& archivo, const QString& parametros,
                              const QString& carpeta, int mostrar) const {
    QString nombre = SinComillas(archivo);
    if (nombre.isEmpty()) return false;
    const QString dir = SinComillas(carpeta);
    if (!dir.isEmpty() && QFileInfo(nombre).isRelative() && QFileInfo::exists(QDir(dir).filePath(nombre)))
        nombre = QDir(dir).filePath(nombre);
    if (!Texto::Trim(parametros).isEmpty())
        return ElOperador().EjecutaPrograma(nombre, QProcess::splitCommand(parametros), false, mostrar) == 0;
    return ElOperador().AbreDocumento(nombre, mostrar);
}

Lib_Entorno& LibEntorno() {
    static Lib_Entorno e;
    return e;
}
