// quenvar-sql [--carpeta DIR] "CONNECTION"
// Runs T-SQL batches read from standard input (separated by lines holding
// only GO) through the connection platform. Each result set is printed as a
// header line and one line per row, tab-separated, NULL for a null; each
// error entry as "ERROR <native code> <SQL state>: <description>"; tabs and
// line breaks inside a value or a message are printed as blanks.
// Exit status: 0 no batch left errors, 1 some did, 2 no connection.

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>

#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "platform/Aplicacion.h"
#include "platform/Fallo.h"
#include "platform/Texto.h"
#include "platform/sesion/LineaComandos.h"

namespace {

// A suite command line opens its database with the suite's login
// convention: the database name as user and password.
QString CadenaDe(const QString& conexion) {
    if (!Texto::Contiene(conexion, QStringLiteral("@dbname")) &&
        !Texto::Contiene(conexion, QStringLiteral("@server")))
        return conexion;
    const LineaComandos::Parametros p = LineaComandos::Lee(conexion);
    QString servidor = Texto::Trim(p.servidor);
    if (servidor.startsWith(QLatin1Char('#')))
        return QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=%1;User Id=%2;Password=%3;")
            .arg(p.dbName, p.usuario, p.password.value_or(QString()));
    servidor = LineaComandos::ExtraeServidor(servidor);
    return QStringLiteral("PROVIDER=SQLOLEDB;Server=%1;Database =%2;UId=%2;Pwd=%2;").arg(servidor, p.dbName);
}

QStringList Lotes(const QString& entrada) {
    static const QRegularExpression go(QStringLiteral("^[ \\t]*GO[ \\t]*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    QStringList lotes;
    QString actual;
    for (QString linea : entrada.split(QLatin1Char('\n'))) {
        if (linea.endsWith(QLatin1Char('\r'))) linea.chop(1);
        if (go.match(linea).hasMatch()) {
            lotes << actual;
            actual.clear();
        } else {
            actual += linea + QStringLiteral("\r\n");
        }
    }
    lotes << actual;
    lotes.erase(
        std::remove_if(lotes.begin(), lotes.end(), [](const QString& l) { return l.trimmed().isEmpty(); }),
        lotes.end());
    return lotes;
}

// One field or message on one line: tabs and line breaks become blanks.
QString EnUnaLinea(QString s) {
    for (QChar& c : s)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
    return s;
}

QString TextoDe(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return QStringLiteral("NULL");
    switch (v.typeId()) {
        case QMetaType::Bool:
            return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::Double:
        case QMetaType::Float:
            return QString::number(v.toDouble(), 'g', 15);
        case QMetaType::QDateTime: {
            const QDateTime d = v.toDateTime();
            return d.toString(d.time().msec() ? QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")
                                              : QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        }
        case QMetaType::QDate:
            return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        default:
            return v.toString();
    }
}

void Imprime(QTextStream& out, Recordset& rs) {
    if (rs.State() != ado::adStateOpen) return;
    QStringList campos;
    for (int i = 0; i < rs.FieldCount(); ++i) campos << rs.Fields(i).Name();
    out << campos.join(QLatin1Char('\t')) << "\n";
    while (!rs.Eof()) {
        QStringList valores;
        for (int i = 0; i < rs.FieldCount(); ++i) valores << TextoDe(rs.Fields(i).Value());
        out << valores.join(QLatin1Char('\t')) << "\n";
        rs.MoveNext();
    }
}

void ImprimeError(QTextStream& out, int32_t nativo, const QString& estado, const QString& descripcion) {
    out << "ERROR " << nativo << " " << estado << ": " << EnUnaLinea(descripcion) << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    const QString uso = QStringLiteral("quenvar-sql [--carpeta DIR] \"CONEXION\" < lotes.sql");
    if (const auto r = AtiendeAyuda(argc, argv, uso, {})) return *r;
    QCoreApplication app(argc, argv);
    EstableceNombrePrograma(QStringLiteral("quenvar-sql"));
    QTextStream out(stdout), err(stderr);
    const OpcionesLeidas leidas = LeeOpciones(argc, argv, {});
    if (!leidas.error.isEmpty() || leidas.posicionales.size() != 1) {
        err << (leidas.error.isEmpty() ? QStringLiteral("Falta la conexión") : leidas.error) << "\n"
            << AyudaOpciones(uso, {});
        return 2;
    }

    Conexion cn;
    try {
        cn.Open(CadenaDe(leidas.posicionales.first()));
    } catch (const Fallo& f) {
        err << "No se pudo conectar: " << f.Descripcion() << "\n";
        for (const ErrorProveedor& e : cn.Errors().Todas())
            if (e.Description != f.Descripcion())
                err << "  " << e.NativeError << " " << e.SQLState << ": " << e.Description << "\n";
        return 2;
    }

    QTextStream in(stdin);
    bool conErrores = false;
    for (const QString& lote : Lotes(in.readAll())) {
        RecordsetPtr rs;
        QString fallo;
        int32_t numero = 0;
        try {
            rs = cn.Execute(lote);
        } catch (const Fallo& f) {
            numero = f.Numero();
            fallo = f.Descripcion();
        }
        try {
            for (RecordsetPtr r = rs; r; r = r->NextRecordset()) Imprime(out, *r);
        } catch (const Fallo& f) {
            numero = f.Numero();
            fallo = f.Descripcion();
        }
        // The raised failure is one of the entries, unless the platform
        // raised it without asking the server (a closed connection).
        if (cn.Errors().Count() > 0) {
            conErrores = true;
            for (const ErrorProveedor& e : cn.Errors().Todas())
                ImprimeError(out, e.NativeError, e.SQLState, e.Description);
        } else if (!fallo.isEmpty()) {
            conErrores = true;
            ImprimeError(out, numero, QString(), fallo);
        }
        out.flush();
    }
    return conErrores ? 1 : 0;
}
