#include "recoding/Resguardos.h"

#include <QDateTime>

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Fallo.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"

namespace {

const QString kRecurso = QStringLiteral("Quenvar.Recodificacion");

}  // namespace

BloqueoCorrida::~BloqueoCorrida() {
    Suelta();
}

QString BloqueoCorrida::Titular() {
    return QStringLiteral("equipo ") + LibEntorno().NombrePC() + QStringLiteral(", usuario ") +
           Texto::Trim(gUsuarioActual) + QStringLiteral(", desde ") +
           QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

bool BloqueoCorrida::Toma() {
    if (tomado_) return true;
    motivo_.clear();
    Conexion& cn = gDB().Cnn();
    QString actual;
    tomado_ = cn.TomaBloqueo(kRecurso, Titular(), actual);
    if (tomado_) return true;
    const QString base = Texto::Trim(gDB().gDBName);
    if (cn.Errors().Count() > 0)
        motivo_ = QStringLiteral("No se pudo reservar la base de datos ") + base +
                  QStringLiteral(" para la recodificación: ") + cn.Errors().Item(0).Description;
    else
        motivo_ = QStringLiteral("Otra recodificación está en curso en la base de datos ") + base +
                  (actual.isEmpty() ? QString() : QStringLiteral(" (") + actual + QStringLiteral(")")) +
                  QStringLiteral(". Espere a que termine para recodificar.");
    return false;
}

void BloqueoCorrida::Suelta() {
    if (!tomado_) return;
    tomado_ = false;
    try {
        gDB().Cnn().SueltaBloqueo(kRecurso);
    } catch (const Fallo&) {
        // A closed connection has freed it already.
    }
}

const QStringList& TablasConDisparadores() {
    static const QStringList t = {QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("V_MV_STOCK")};
    return t;
}

QStringList ReactivaDisparadores() {
    QStringList tablas;
    Conexion& cn = gDB().Cnn();
    try {
        RecordsetPtr rs = cn.Execute(QStringLiteral(
            "SELECT OBJECT_NAME(parent_id) AS tabla, name FROM sys.triggers WHERE is_disabled = 1"));
        while (rs && rs->State() != ado::adStateClosed && !rs->Eof()) {
            const QString t = Texto::Trim(LibUtil().ValorCampo(rs->Value(QStringLiteral("tabla"))).toString());
            for (const QString& propia : TablasConDisparadores())
                if (Texto::Iguales(t, propia) && !tablas.contains(propia)) tablas << propia;
            rs->MoveNext();
        }
        if (rs && rs->State() != ado::adStateClosed) rs->Close();
    } catch (const Fallo&) {
        return {};  // a server without the catalogue view
    }
    QStringList activadas;
    for (const QString& t : TablasConDisparadores()) {
        if (!tablas.contains(t)) continue;
        try {
            cn.Execute(QStringLiteral(" ALTER TABLE ") + t + QStringLiteral(" ENABLE TRIGGER ALL "));
            if (cn.Errors().Count() == 0) activadas << t;
        } catch (const Fallo&) {
        }
    }
    if (!activadas.isEmpty())
        ElOperador().Mensaje(QStringLiteral("Los disparadores de ") + activadas.join(QStringLiteral(" y ")) +
                                 QStringLiteral(" estaban desactivados (una recodificación anterior no terminó): "
                                                "se activaron nuevamente."),
                             vbOKOnly + vbInformation, QStringLiteral("Aviso al operador"));
    return activadas;
}
