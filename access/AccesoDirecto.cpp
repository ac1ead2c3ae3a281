#include "access/AccesoDirecto.h"

#include "platform/Aplicacion.h"
#include "platform/Fallo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <string>

#ifdef Q_OS_WIN
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>
#endif

namespace AccesoDirecto {

namespace {

// A value of a Desktop Entry key: backslash and control characters escaped.
QString ValorClave(const QString& v) {
    QString r;
    for (QChar c : v) {
        switch (c.unicode()) {
            case '\\': r += QStringLiteral("\\\\"); break;
            case '\n': r += QStringLiteral("\\n"); break;
            case '\r': r += QStringLiteral("\\r"); break;
            case '\t': r += QStringLiteral("\\t"); break;
            default: r += c;
        }
    }
    return r;
}

[[noreturn]] void NoSeEscribe(const QString& archivo, const QString& motivo) {
    throw Fallo(NumeroFallo::PermisoDenegado,
                QStringLiteral("No se puede escribir el archivo ") + QDir::toNativeSeparators(archivo) +
                    (motivo.isEmpty() ? QString() : QStringLiteral(" (") + motivo + QStringLiteral(")")));
}

}  // namespace

QString ArgumentoExec(const QString& argumento) {
    QString citado = QStringLiteral("\"");
    for (QChar c : argumento) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            citado += QLatin1Char('\\');
        citado += c;
    }
    citado += QLatin1Char('"');
    citado.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return ValorClave(citado);
}

QString ContenidoLanzador(const QString& nombre, const QString& programa, const QStringList& argumentos,
                          const QString& icono) {
    QString exec = ArgumentoExec(programa);
    for (const QString& a : argumentos) exec += QLatin1Char(' ') + ArgumentoExec(a);
    return QStringLiteral("[Desktop Entry]\n") + QStringLiteral("Type=Application\n") + QStringLiteral("Name=") +
           ValorClave(nombre) + QLatin1Char('\n') + QStringLiteral("Exec=") + exec + QLatin1Char('\n') + QStringLiteral("Icon=") +
           ValorClave(icono) + QLatin1Char('\n') + QStringLiteral("Terminal=false\n");
}

#ifndef Q_OS_WIN

QString CarpetaEscritorio() {
    const QString xdg = QStandardPaths::findExecutable(QStringLiteral("xdg-user-dir"));
    if (!xdg.isEmpty()) {
        QProcess p;
        p.start(xdg, {QStringLiteral("DESKTOP")});
        if (p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
            QString r = QString::fromLocal8Bit(p.readAllStandardOutput());
            while (r.endsWith(QLatin1Char('\n')) || r.endsWith(QLatin1Char('\r'))) r.chop(1);
            if (!r.isEmpty()) return r;
        }
    }
    return QDir::home().filePath(QStringLiteral("Desktop"));
}

QString Extension() { return QStringLiteral(".desktop"); }

QString IconoDe(const QString& programa) {
    // Installed, the icon is the desktop theme's; otherwise the file beside the program.
    const QString carpeta = QFileInfo(programa).absolutePath();
    return ProgramaInstalado(carpeta) ? QStringLiteral("quenvar") : carpeta + QStringLiteral("/quenvar.svg");
}

void Crea(const QString& archivo, const QString& nombre, const QString& programa, const QStringList& argumentos,
          const QString& icono) {
    const QString carpeta = QFileInfo(archivo).absolutePath();
    if (!QDir().mkpath(carpeta)) NoSeEscribe(archivo, QString());
    QFile f(archivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) NoSeEscribe(archivo, f.errorString());
    const QByteArray bytes = ContenidoLanzador(nombre, programa, argumentos, icono).toUtf8();
    if (f.write(bytes) != bytes.size() || !f.flush()) NoSeEscribe(archivo, f.errorString());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser | QFileDevice::ExeGroup |
                     QFileDevice::ExeOther);
}

#else

QString CarpetaEscritorio() {
    PWSTR ruta = nullptr;
    QString r;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &ruta))) r = QString::fromWCharArray(ruta);
    CoTaskMemFree(ruta);
    return r;
}

QString Extension() { return QStringLiteral(".lnk"); }

QString IconoDe(const QString& programa) { return programa; }

void Crea(const QString& archivo, const QString&, const QString& programa, const QStringList& lista,
          const QString& icono) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring destino = QDir::toNativeSeparators(programa).toStdWString();
    QString linea;
    for (const QString& a : lista)
        linea += (linea.isEmpty() ? QString() : QStringLiteral(" ")) +
                 (a.contains(QLatin1Char(' ')) ? QLatin1Char('"') + a + QLatin1Char('"') : a);
    const std::wstring argumentos = linea.toStdWString();
    const std::wstring iconoW = QDir::toNativeSeparators(icono).toStdWString();
    const std::wstring lnk = QDir::toNativeSeparators(archivo).toStdWString();
    IShellLinkW* enlace = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&enlace));
    if (SUCCEEDED(hr)) {
        enlace->SetPath(destino.c_str());
        enlace->SetArguments(argumentos.c_str());
        enlace->SetIconLocation(iconoW.c_str(), 0);
        IPersistFile* persistente = nullptr;
        hr = enlace->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persistente));
        if (SUCCEEDED(hr)) {
            hr = persistente->Save(lnk.c_str(), TRUE);
            persistente->Release();
        }
        enlace->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    if (FAILED(hr)) NoSeEscribe(archivo, QStringLiteral("HRESULT 0x%1").arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0')));
}

#endif

}  // namespace AccesoDirecto
