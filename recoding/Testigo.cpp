// The log channel, the witness file and the HTML witness.

#include "recoding/Testigo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

#include "frame/Apariencia.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "recoding/FrmEMRecodifica.h"

using Texto::Trim;

namespace {

struct Canal {
    CanalLog estado;
    std::unique_ptr<QFile> archivo;
    int16_t ultimoNumero = 0;
};

Canal& ElCanal() {
    static Canal c;
    return c;
}

Fallo NombreIncorrecto() {
    return Fallo(NumeroFallo::NombreArchivoIncorrecto, QStringLiteral("Nombre o número de archivo incorrecto"),
                 QStringLiteral("GenTmp"));
}

void Cierra(Canal& c) {
    if (c.archivo) {
        c.archivo->close();
        c.archivo.reset();
    }
    c.estado.numero = 0;
}

// Lines end in CR and then CR LF, except in a file named *.xls.
void Escribe(Canal& c, const QString& texto) {
    if (!c.archivo) throw NombreIncorrecto();
    const bool xls = c.estado.nombre.endsWith(QStringLiteral("xls"), Qt::CaseInsensitive);
    const QByteArray bytes = ArchivoTexto::Codifica(texto + (xls ? QString() : QStringLiteral("\r")) +
                                                    ArchivoTexto::CRLF);
    if (c.archivo->write(bytes) != bytes.size() || !c.archivo->flush())
        throw Fallo(NumeroFallo::DiscoLleno, QStringLiteral("Disco lleno"), QStringLiteral("GenTmp"));
}

void Abre(Canal& c, const QString& ruta, const QString& extension) {
    // The same file already open on the channel.
    if (c.archivo && Texto::Iguales(QFileInfo(c.estado.nombre).absoluteFilePath(),
                                    QFileInfo(ruta).absoluteFilePath()))
        throw Fallo(NumeroFallo::ArchivoYaAbierto, QStringLiteral("El archivo ya está abierto"),
                    QStringLiteral("GenTmp"));
    c.estado.nombre.clear();
    QString nombre = ruta;
    if (nombre.isEmpty()) {
        QString ext = extension;
        if (!ext.isEmpty() && !ext.startsWith(QLatin1Char('.'))) ext.prepend(QLatin1Char('.'));
        nombre = CarpetaTemporalGlobal() + QTime::currentTime().toString(QStringLiteral("hhmmss")) + ext;
    }
    auto f = std::make_unique<QFile>(nombre);
    if (!f->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QFileInfo info(nombre);
        if (Trim(info.fileName()).isEmpty() || info.isDir()) throw NombreIncorrecto();
        if (!info.absoluteDir().exists())
            throw Fallo(NumeroFallo::RutaNoEncontrada, QStringLiteral("No se encontró la ruta de acceso: ") + nombre,
                        QStringLiteral("GenTmp"));
        throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("Permiso denegado: ") + nombre,
                    QStringLiteral("GenTmp"));
    }
    Cierra(c);
    c.archivo = std::move(f);
    c.ultimoNumero = static_cast<int16_t>(c.ultimoNumero % 255 + 1);
    c.estado.numero = c.ultimoNumero;
    c.estado.nombre = nombre;
}

}  // namespace

namespace {

// No program here shows that kind of file: the operator is told where it is.
void NoSeAbrio(const QString& archivo) {
    ElOperador().Mensaje(QStringLiteral("No hay un programa para mostrar el archivo. Quedó guardado en:") +
                             ArchivoTexto::CRLF + QDir::toNativeSeparators(archivo),
                         vbOKOnly + vbInformation, QStringLiteral("Aviso al operador"));
}

}  // namespace

void GenTmp(int16_t modo, const QString& texto, const QString& extension, QString& ruta) {
    Canal& c = ElCanal();
    int reintentos = 0;
    Guardia g(TratamientoGlobalDe(QStringLiteral("GenTmp")));
    g.Antes([&](const Fallo& f) {
        if (f.Numero() == NumeroFallo::ArchivoYaAbierto) {
            Cierra(c);
            ++reintentos;
            return reintentos < 3 ? Guardia::Decision::Reintentar : Guardia::Decision::Salir;
        }
        if (f.Numero() == NumeroFallo::NombreArchivoIncorrecto) {
            Cierra(c);
            return Guardia::Decision::Salir;
        }
        return Guardia::Decision::Dialogo;
    });

    switch (modo) {
        case 1:
            g.Ejecuta({
                [&] { Abre(c, ruta, extension); },
                [&] {
                    if (!Trim(texto).isEmpty()) Escribe(c, texto);
                },
            });
            break;
        case 2:
            g.Paso([&] { Escribe(c, texto); });
            break;
        case 3:
            g.Ejecuta({
                [&] { Cierra(c); },
                [&] {
                    // A deleted file has nothing more to show.
                    if (!c.estado.nombre.isEmpty() && QFile::exists(c.estado.nombre))
                        if (!AbreDocumento(c.estado.nombre, true) && QFileInfo(c.estado.nombre).size() > 0)
                            NoSeAbrio(c.estado.nombre);  // an empty log is no news
                },
            });
            break;
        case 4:
            g.Ejecuta({
                [&] { Cierra(c); },
                [&] {
                    if (!c.estado.nombre.isEmpty() && QFile::exists(c.estado.nombre) &&
                        !QFile::remove(c.estado.nombre))
                        throw Fallo(NumeroFallo::PermisoDenegado,
                                    QStringLiteral("Permiso denegado: ") + c.estado.nombre,
                                    QStringLiteral("GenTmp"));
                },
            });
            break;
        case 5:
            g.Paso([&] { Cierra(c); });
            break;
        default:
            break;
    }
    ruta = c.estado.nombre;
}

void GenTmp(int16_t modo, const QString& texto) {
    QString ruta = ElCanal().estado.nombre;
    if (modo == 1) ruta.clear();
    GenTmp(modo, texto, QString(), ruta);
}

const CanalLog& EstadoCanalLog() {
    return ElCanal().estado;
}

void ReiniciaCanalLog() {
    Canal& c = ElCanal();
    Cierra(c);
    c.estado = {};
}

QString Espacios(int16_t n) {
    QString r;
    for (int k = 0; k < n; ++k) r += QStringLiteral("&nbsp;");
    return r;
}

QString RutaTestigo() {
    return LibUtil().AgregaBarra(CarpetaAplicacion()) + QStringLiteral("Recodificado.txt");
}

namespace {

// Every cell of the data rows visited as the grid's current cell moves.
template <class F>
void RecorreCeldas(FrmEMRecodifica& frm, F alFinDeFila) {
    Grilla& g = frm.MSFlexGrid1;
    for (int i = 1; i < g.Rows(); ++i) {
        QStringList celdas;
        for (int j = 0; j < g.Cols(); ++j) {
            frm.MueveCelda(i, j);
            celdas << Trim(g.Text());
        }
        alFinDeFila(celdas);
    }
}

QString Html(const QString& t) {
    return t.toHtmlEscaped();
}

}  // namespace

void AgregaTestigo(FrmEMRecodifica& frm) {
    QString bloque;
    RecorreCeldas(frm, [&](const QStringList& celdas) { bloque += celdas.join(QLatin1Char(',')) + ArchivoTexto::CRLF; });
    if (!ArchivoTexto::Agrega(RutaTestigo(), bloque))
        throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("No se puede escribir el archivo ") + RutaTestigo(),
                    QStringLiteral("AgregaTestigo"));
}

void GeneraTestigoHtml(FrmEMRecodifica& frm, const QString& archivo) {
    const QString q = QStringLiteral("\"");
    const QString p = Espacios(6);
    Grilla& g = frm.MSFlexGrid1;
    QStringList l;
    l << QStringLiteral("<html>") << QString() << QStringLiteral("</head>") << QString();
    l << QStringLiteral("<body background=") + q + Html(CarpetaAplicacion() + QDir::separator() + QStringLiteral("stone.jpg")) + q +
             QStringLiteral(" text=") + q + QStringLiteral("navy") + q + QStringLiteral(">");
    l << QStringLiteral("<br>");
    l << QStringLiteral("<H1 ALIGN = CENTER>") + Html(frm.Caption) + QStringLiteral("</H1>");
    l << QStringLiteral("<HR>") << QStringLiteral("<br>") << QStringLiteral("<br>");
    l << QStringLiteral("<TABLE Border=2 ALIGN = CENTER>") << QStringLiteral("<TR>");
    for (int j = 0; j < g.Cols(); ++j)
        l << QStringLiteral("<TH bgcolor = ") + q + QStringLiteral("yellow") + q + QStringLiteral(">") + p +
                 Html(Trim(g.TextMatrix(0, j))) + p;
    RecorreCeldas(frm, [&](const QStringList& celdas) {
        QString fila = QStringLiteral("<TR> ");
        for (const QString& c : celdas)
            fila += QStringLiteral("<TD>") + (c.isEmpty() ? QStringLiteral("&nbsp") : Html(c));
        l << fila;
    });
    l << QStringLiteral("</TABLE>") << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    if (!ArchivoTexto::Escribe(archivo, l.join(ArchivoTexto::CRLF) + ArchivoTexto::CRLF))
        throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("No se puede escribir el archivo ") + archivo,
                    QStringLiteral("GeneraTestigoHtml"));
}

void AbrePagina(const QString& archivo, bool mostrar) {
    if (!AbreConPrograma(archivo, mostrar ? 0 : 6)) NoSeAbrio(archivo);
}
