// quenvar-lote: the recoding run without windows (see recoding/Lote.h).

#include <QCoreApplication>
#include <QTextStream>

#include "platform/Fallo.h"
#include "recoding/Lote.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    EstableceNombrePrograma(QStringLiteral("quenvar-lote"));
    QTextStream out(stdout), err(stderr);
    const int r = EjecutaLote(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return r;
}
