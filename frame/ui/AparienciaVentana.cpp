#include "frame/ui/AparienciaVentana.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QWidget>

#include "frame/Apariencia.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

namespace {

// Every failure ignored, the next step run.
Guardia SinFallos() {
    Guardia g(nullptr);
    g.Antes([](const Fallo&) { return Guardia::Decision::Seguir; });
    return g;
}

constexpr int kTamanosIcono[] = {16, 24, 32, 48, 64, 128, 256};

}  // namespace

void AplicaSkin(QWidget& Ventana) {
    int estilo = 4;
    QString ruta;
    SinFallos().Ejecuta({
        [&] { estilo = EstiloSkin(); },
        [&] { ruta = RutaSkin(estilo); },
        [&] {
            if (ruta.isEmpty()) return;
            QFile f(ruta);
            if (f.open(QIODevice::ReadOnly)) Ventana.setStyleSheet(QString::fromUtf8(f.readAll()));
        },
    });
}

QIcon IconoPrograma() {
    QIcon icono;
    if (QImageReader::supportedImageFormats().contains("svg"))
        icono.addFile(QStringLiteral(":/ICONKORVANE/quenvar.svg"));
    for (int t : kTamanosIcono) {
        const QString png = QStringLiteral(":/ICONKORVANE/quenvar-%1.png").arg(t);
        if (QFile::exists(png)) icono.addFile(png, QSize(t, t));
    }
    return icono;
}

void AsignaIcono(QWidget& Ventana) {
    bool mdi = false;
    SinFallos().Ejecuta({
        [&] {
            QIcon icono = IconoPrograma();
            if (icono.availableSizes().isEmpty()) {
                const QString ico = QDir::current().filePath(QStringLiteral("korvane.ico"));
                if (QFileInfo::exists(ico)) icono = QIcon(ico);
            }
            if (!icono.availableSizes().isEmpty()) Ventana.setWindowIcon(icono);
        },
        [&] {
            mdi = Texto::Iguales(QString::fromLatin1(Ventana.metaObject()->className()), QStringLiteral("FRMMDI"));
        },
    });
    if (mdi) return;
    SinFallos().Ejecuta({
        [&] { LibEntorno().PreparaVentana(&Ventana); },
        [&] {
            for (const char* nombre : {"UtilKor1", "TBarRep1", "Util0011"})
                if (QObject* barra = Ventana.findChild<QObject*>(QString::fromLatin1(nombre)))
                    barra->setProperty("StyleBar", gFlatToolbars);
        },
        [&] { ElOperador().ProcesaEventos(); },
    });
}
