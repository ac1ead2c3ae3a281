// Catalogue helpers over the schema rowsets, and adding a column.
#include "db/DB_Dll.h"

#include "db/platform/Ado.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Guardia.h"
#include "platform/Texto.h"

using namespace Texto;

namespace {
Guardia::Dialogo DialogoSesion(DB_Dll& s, const QString& rutina) {
    return [&s, rutina](const Fallo& f) { return s.TratamientoErrores(f, {}, rutina); };
}
}  // namespace

bool DB_Dll::ExisteTablaDB(const QString& Tabla) {
    bool resultado = false;
    RecordsetPtr rs;
    Guardia g(DialogoSesion(*this, QStringLiteral("ExisteTablaDB")));
    g.Ejecuta({
        [&] { rs = Cnn().OpenSchema(ado::adSchemaTables); },
        [&] {
            const QString buscada = Trim(Tabla);
            for (; !rs->Eof(); rs->MoveNext())
                if (Iguales(Trim(rs->Value(QStringLiteral("TABLE_NAME")).toString()), buscada)) {
                    resultado = true;
                    return;
                }
        },
    });
    return resultado;
}

bool DB_Dll::ExisteCampoDB(const QString& Tabla, const QString& Campo) {
    if (Contiene(gDB().gProveedor, QStringLiteral("ORACLE"))) return true;
    bool resultado = false;
    RecordsetPtr rs;
    Guardia g(DialogoSesion(*this, QStringLiteral("ExisteCampoDB")));
    g.Ejecuta({
        [&] { rs = Cnn().OpenSchema(ado::adSchemaColumns, {gDBName, QString(), Tabla, QString()}); },
        [&] {
            const QString buscado = Trim(Campo);
            for (; !rs->Eof(); rs->MoveNext())
                if (Iguales(Trim(rs->Value(QStringLiteral("COLUMN_NAME")).toString()), buscado)) {
                    resultado = true;
                    return;
                }
        },
    });
    return resultado;
}

void DB_Dll::AddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos,
                      const std::optional<QString>& ValorDefault) {
    QString sql;
    Guardia g(DialogoSesion(*this, QStringLiteral("errAddField")));
    g.Ejecuta({
        [&] {
            sql = QStringLiteral("ALTER TABLE dbo.") + Tabla + QStringLiteral(" ADD ") + Campo + QStringLiteral(" ") + Tipo +
                  (PermiteNulos ? QStringLiteral(" Null ") : QStringLiteral(" Not Null "));
            if (ValorDefault)
                sql += QStringLiteral(" CONSTRAINT DF_") + Trim(Tabla) + QStringLiteral("_") + Trim(Campo) +
                       QStringLiteral(" DEFAULT (") + *ValorDefault + QStringLiteral(")");
        },
        [&] { EjecutaConsultaSQL(sql); },
    });
}

bool DB_Dll::VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar, const QString& Tipo, bool PermiteNulos,
                        const std::optional<QString>& ValorDefault) {
    if (ExisteTablaDB(Tabla) && !ExisteCampoDB(Tabla, Campo) && Agregar)
        AddField(Tabla, Campo, Tipo, PermiteNulos, ValorDefault);
    return true;
}
