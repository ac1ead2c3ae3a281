// quenvar-json FILE [FILE...]: runs each JSON script through one evaluator
// (variables carry from file to file) and writes the output to standard
// output. Exit status: 0 done, 1 a script with reading faults (the faults
// go to standard error), 2 bad command line or unreadable file, 3 a
// failure while running.

#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "json/JSON.h"
#include "json/cJSONScript.h"
#include "tools/quenvar-json/OperadorDeConsola.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace {

void Escribe(FILE* f, const QString& t) {
    const QByteArray b = t.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<std::size_t>(b.size()), f);
    std::fflush(f);
}

// Scripts are read as UTF-8 (a leading byte-order mark dropped); a file
// that is not valid UTF-8 is taken as Windows-1252, the encoding of the
// suite's other text files.
QString DecodificaGuion(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString t = utf8.decode(bytes);
    if (utf8.hasError()) return ArchivoTexto::Decodifica(bytes);
    if (t.startsWith(QChar(0xFEFF))) t.remove(0, 1);
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<Opcion> opciones{{QStringLiteral("ayuda"), 0, QStringLiteral("  esta ayuda")}};
    const QString uso = QStringLiteral("quenvar-json ARCHIVO [ARCHIVO...]");
    if (const auto r = AtiendeAyuda(argc, argv, uso, opciones)) return *r;
    QCoreApplication app(argc, argv);
    EstableceNombrePrograma(QStringLiteral("quenvar-json"));
    const OpcionesLeidas o = LeeOpciones(argc, argv, opciones);
    if (o.Tiene(QStringLiteral("ayuda"))) {
        Escribe(stdout, AyudaOpciones(uso, opciones));
        return 0;
    }
    if (!o.error.isEmpty() || o.posicionales.isEmpty()) {
        Escribe(stderr, (o.error.isEmpty() ? QString() : o.error + QLatin1Char('\n')) + AyudaOpciones(uso, opciones));
        return 2;
    }

    OperadorDeConsola consola;
    EstableceOperador(&consola);
    cJSONScript evaluador;
    for (const QString& ruta : o.posicionales) {
        QFile f(ruta);
        if (!f.open(QIODevice::ReadOnly)) {
            Escribe(stderr, QStringLiteral("No se puede leer %1\n").arg(ruta));
            return 2;
        }
        const QString guion = DecodificaGuion(f.readAll());
        try {
            const QString salida = evaluador.Eval(guion);
            if (!JSON::ReadErrors().isEmpty()) return 1;  // already shown as "Parser Error"
            Escribe(stdout, salida);
        } catch (...) {
            const Fallo e = FalloActual();
            Escribe(stderr, QStringLiteral("%1: error %2: %3\n").arg(ruta).arg(e.Numero()).arg(e.Descripcion()));
            return 3;
        }
    }
    return 0;
}
