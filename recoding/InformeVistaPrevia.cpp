#include "recoding/InformeVistaPrevia.h"

#include <QDir>
#include <QFileInfo>

#include "platform/ArchivoTexto.h"
#include "platform/Operador.h"
#include "platform/Texto.h"

QStringList ColumnasRevision() {
    return {QStringLiteral("Gravedad"), QStringLiteral("Filas"), QStringLiteral("Pares"), QStringLiteral("Qué pasará")};
}

QVector<QStringList> FilasRevision(const RevisionLista& r) {
    QVector<QStringList> filas;
    for (const Hallazgo& h : r.hallazgos) {
        QStringList numeros;
        for (int f : h.filas) numeros << QString::number(f);
        filas << QStringList{NombreGravedad(h.gravedad), numeros.join(QStringLiteral(", ")), h.pares, h.efecto};
    }
    return filas;
}

InformeVistaPrevia::InformeVistaPrevia(VistaPreviaTablas vista, RevisionLista revision)
    : vista_(std::move(vista)), revision_(std::move(revision)) {
    for (int i = 0; i < vista_.codigos.size(); ++i) {
        const int n = static_cast<int>(vista_.codigos[i].conteos.size());
        if (n == 0) filas_.push_back({i, -1});
        for (int k = 0; k < n; ++k) filas_.push_back({i, k});
    }
    totales_ = vista_.Totales();
}

QStringList InformeVistaPrevia::Columnas() {
    return {QStringLiteral("Fila"),  QStringLiteral("Código actual"), QStringLiteral("Código nuevo"),
            QStringLiteral("Plan"),  QStringLiteral("Tabla"),         QStringLiteral("Columna"),
            QStringLiteral("Efecto"), QStringLiteral("Filas")};
}

QStringList InformeVistaPrevia::ColumnasTotales() {
    return {QStringLiteral("Tabla"), QStringLiteral("Columna"), QStringLiteral("Efecto"), QStringLiteral("Filas")};
}

QVariant InformeVistaPrevia::Valor(int fila, int columna) const {
    if (fila < 0 || fila >= filas_.size()) return {};
    const PreviaCodigo& c = vista_.codigos[filas_[fila].codigo];
    const ConteoTabla* t = filas_[fila].conteo < 0 ? nullptr : &c.conteos[filas_[fila].conteo];
    switch (columna) {
        case 0: return c.fila;
        case 1: return Texto::RTrim(c.viejo);
        case 2: return Texto::Trim(c.nuevo);
        case 3: return NombreTipoPlan(c.tipo);
        case 4: return t ? t->tabla : QString();
        case 5: return t ? t->columna : QString();
        case 6: return t ? NombreEfecto(t->efecto) : QString();
        case 7: return t ? QVariant(t->filas) : QVariant(qint64(0));
        default: return {};
    }
}

QString InformeVistaPrevia::Resumen() const {
    qint64 total = 0;
    for (const ConteoTabla& t : totales_) total += t.filas;
    return QStringLiteral("%1 códigos, %2 filas afectadas; %3 rechazos, %4 avisos, %5 notas")
        .arg(vista_.codigos.size())
        .arg(total)
        .arg(revision_.Cuenta(Gravedad::Rechazo))
        .arg(revision_.Cuenta(Gravedad::Aviso))
        .arg(revision_.Cuenta(Gravedad::Nota));
}

bool InformeVistaPrevia::Exporta() const {
    PedidoArchivo p;
    p.guardar = true;
    p.titulo = QStringLiteral("Exportar la vista previa");
    p.filtro = QStringLiteral("Texto separado por punto y coma (*.csv)|*.csv|");
    p.extension = QStringLiteral(".csv");
    p.nombre = QStringLiteral("VistaPrevia.csv");
    p.opcion = true;
    const RespuestaArchivo r = ElOperador().Archivo(p);
    if (r.cancelado || r.nombre.isEmpty()) return false;
    if (ArchivoTexto::EscribeSinPerdida(r.nombre, vista_.Csv())) return true;
    ElOperador().Mensaje(QStringLiteral("No se pudo escribir el archivo ") + QDir::toNativeSeparators(r.nombre),
                         vbOKOnly + vbExclamation, QStringLiteral("Aviso al Operador"));
    return false;
}
