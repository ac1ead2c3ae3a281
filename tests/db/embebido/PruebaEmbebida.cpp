#include "tests/db/embebido/PruebaEmbebida.h"

#include "db/platform/InyeccionFallas.h"
#include "db/platform/embebido/BaseEmbebida.h"

void PruebaEmbebida::SetUp() {
    PruebaConCarpeta::SetUp();
    InyeccionFallas::Limpia();
    ASSERT_TRUE(CreaBaseEmbebida(QStringLiteral("DEMO")));
    ParametrosConexion p;
    p.baseDatos = QStringLiteral("DEMO");
    QString motivo;
    c = CreaControladorEmbebido(p, motivo);
    ASSERT_TRUE(c);
    std::vector<ErrorProveedor> e;
    c->Abre(p, e);
}

void PruebaEmbebida::TearDown() {
    if (c) c->Cierra();
    c.reset();
    InyeccionFallas::Limpia();
    PruebaConCarpeta::TearDown();
}

ResultadoLote PruebaEmbebida::Lote(const QString& texto) { return c->Ejecuta(texto, 30); }

ResultadoLote PruebaEmbebida::Bien(const QString& texto) {
    ResultadoLote r = Lote(texto);
    for (const auto& e : r.errores)
        ADD_FAILURE() << texto.toStdString() << "\n -> " << e.NativeError << " " << e.Description.toStdString();
    return r;
}

QStringList PruebaEmbebida::Filas(const QString& consulta) {
    ResultadoLote r = Bien(consulta);
    QStringList filas;
    for (const auto& rs : r.resultados) {
        if (!rs.conFilas) continue;
        for (const Fila& f : rs.filas) {
            QStringList campos;
            for (const QVariant& v : f) campos << (v.isNull() ? QStringLiteral("NULL") : v.toString());
            filas << campos.join(QLatin1Char('|'));
        }
        break;
    }
    return filas;
}

QString PruebaEmbebida::Uno(const QString& consulta) {
    const QStringList f = Filas(consulta);
    return f.isEmpty() ? QStringLiteral("<sin filas>") : f.front().section(QLatin1Char('|'), 0, 0);
}

std::vector<int> PruebaEmbebida::Nativos(const ResultadoLote& r) {
    std::vector<int> n;
    for (const auto& e : r.errores) n.push_back(e.NativeError);
    return n;
}
