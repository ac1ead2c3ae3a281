#include "recoding/VerVistas.h"

#include <QFile>
#include <memory>

#include "db/DB_Dll.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/ArchivoTexto.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "recoding/ArchivoImportado.h"

using Texto::Trim;

namespace {
QString Hora(const QDateTime& momento) { return Texto::FormatoFecha(momento, QStringLiteral("hh:nn:ss")); }
}  // namespace

namespace VerVistasDetalle {

QStringList Lotes(const QString& texto) {
    QStringList lotes{QString()};
    for (const QString& linea : ArchivoTexto::Lineas(texto)) {
        if (Texto::Iguales(Trim(linea), QStringLiteral("GO")))
            lotes.append(QString());
        else
            lotes.last() += linea + ArchivoTexto::CRLF;
        ElOperador().ProcesaEventos();
    }
    return lotes;
}

QString ReemplazaMacros(const QString& lote, const QDateTime& ahora) {
    const QDate hoy = ahora.date();
    QString r = Texto::Reemplaza(lote, QStringLiteral("<DATE>"), TextoFechaCorta(ahora));
    r = Texto::Reemplaza(r, QStringLiteral("<NOW>"), TextoFechaCorta(ahora) + QStringLiteral(" ") + Hora(ahora));
    r = Texto::Reemplaza(r, QStringLiteral("<DATE+YEAR>"), TextoFechaCorta(QDateTime(hoy.addYears(1), QTime())));
    r = Texto::Reemplaza(r, QStringLiteral("<DATE-YEAR>"), TextoFechaCorta(QDateTime(hoy.addYears(-1), QTime())));
    return r;
}

QString NombreLog(const QDateTime& ahora) {
    QString carpeta = Trim(qEnvironmentVariable("TEMP"));
    if (carpeta.isEmpty()) carpeta = LibEntorno().CarpetaTemporal();
    const QTime t = ahora.time();
    return LibUtil().AgregaBarra(carpeta) + QStringLiteral("Script") + QString::number(t.hour()) +
           QString::number(t.minute()) + QString::number(t.second()) + QStringLiteral(".TXT");
}

}  // namespace VerVistasDetalle

namespace {

// Native errors that only say an object is missing or already there.
bool SinRegistro(int32_t nativo) {
    switch (nativo) {
        case 208:
        case 1779:
        case 1781:
        case 1913:
        case 2714:
        case 2729:
            return true;
        default:
            return false;
    }
}

// Lines appended to the open log, in the suite's code page.
void Escribe(QFile& log, const QString& texto) {
    const QByteArray bytes = ArchivoTexto::Codifica(texto);
    if (log.write(bytes) != bytes.size())
        throw Fallo(NumeroFallo::DiscoLleno,
                    QStringLiteral("No se puede escribir en %1").arg(log.fileName()));
}

}  // namespace

void VerVistas(const QString& Archivo, FrmEMRecodifica* /*frm*/) {
    using namespace VerVistasDetalle;
    if (Archivo.isEmpty()) return;

    Guardia g(LibUtil().DialogoDe(QStringLiteral("Ejecutar")));
    const QDateTime inicio = QDateTime::currentDateTime();
    auto log = std::make_unique<QFile>();
    QStringList lotes;
    if (!g.Ejecuta({
            [&] {
                log->setFileName(NombreLog(inicio));
                if (!log->open(QIODevice::WriteOnly | QIODevice::Append))
                    throw Fallo(NumeroFallo::RutaNoEncontrada,
                                QStringLiteral("No se puede abrir %1").arg(log->fileName()));
            },
            [&] {
                const std::optional<QString> texto = ArchivoImportado::Lee(Archivo);
                if (!texto)
                    throw Fallo(NumeroFallo::ArchivoNoEncontrado,
                                QStringLiteral("No se puede leer el archivo %1").arg(Archivo));
                lotes = Lotes(*texto);
            },
        })) {
        log->close();
        return;
    }

    Conexion& cn = gDB().Cnn();
    bool vistos = false;
    const QString asteriscos = QString(112, QLatin1Char('*')) + ArchivoTexto::CRLF;
    // Failures raised by the sends are not the operator's: the Errors
    // collection alone is judged.
    auto envia = [&cn](const QString& texto) {
        try {
            cn.Execute(texto, nullptr, -1);
        } catch (const Fallo&) {
        }
    };

    envia(QStringLiteral("SET NOCOUNT ON"));
    for (int ciclo = 1; ciclo <= kCiclosMaximos; ++ciclo) {
        bool faltaObjeto = false;
        for (QString& lote : lotes) {
            lote = ReemplazaMacros(lote, QDateTime::currentDateTime());
            ElOperador().ProcesaEventos();
            if (ciclo > 1 && Texto::Contiene(lote, QStringLiteral("drop "))) continue;
            // A blank batch does nothing on the server; some drivers refuse an empty request.
            if (Trim(QString(lote).remove(ArchivoTexto::CRLF)).isEmpty()) continue;
            envia(lote);
            if (cn.Errors().Count() > 0) {
                const ErrorProveedor& e = cn.Errors().Item(0);
                if (!SinRegistro(e.NativeError) && log->isOpen()) {
                    const QDateTime ahora = QDateTime::currentDateTime();
                    try {
                        Escribe(*log, asteriscos);
                        Escribe(*log, TextoFechaCorta(ahora) + QStringLiteral(" - ") + Hora(ahora) +
                                          QStringLiteral("  Error ") + QString::number(e.NativeError) +
                                          QStringLiteral(" ") + e.Description + ArchivoTexto::CRLF);
                        Escribe(*log, asteriscos);
                        Escribe(*log, lote + ArchivoTexto::CRLF);
                        Escribe(*log, asteriscos);
                    } catch (const Fallo&) {
                    }
                    vistos = true;
                }
                if (!faltaObjeto && e.NativeError == 208) faltaObjeto = true;
            }
            cn.Errors().Clear();
            ElOperador().ProcesaEventos();
        }
        if (!faltaObjeto) break;
    }
    log->close();

    if (vistos)
        ElOperador().Mensaje(QStringLiteral("Se detectaron errores, consulte el archivo ") + log->fileName(),
                             vbOKOnly, QString());
}
