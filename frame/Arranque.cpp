#include "frame/Arranque.h"

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "frame/Configuracion.h"
#include "frame/lib/Lib_Util.h"
#include "frame/platform/Fallo.h"
#include "frame/platform/Texto.h"
#include "frame/sesion/Sesion.h"

using namespace Texto;

bool ValidaUsuario(const QString& Usuario, const QString& Clave) {
    DB_Dll& db = gDB();
    if (Iguales(Usuario, db.gDBName)) {
        gUsuarioActual = Usuario;
        return true;
    }
    const QString sistemas = Iguales(NombrePrograma(), QStringLiteral("TALMOR")) ? QStringLiteral("'TALMOR'")
                                                                                  : QStringLiteral("'tq400xr','ORBA'");
    QString q = QStringLiteral("SELECT * FROM TA_USUARIOS WHERE NOMBRE = '") +
                QString(Trim(Usuario)).replace(QLatin1Char('\''), QStringLiteral("''")) +
                QStringLiteral("' AND SISTEMA IN (") + sistemas + QStringLiteral(")");
    RecordsetPtr rs;
    db.AbrirRecordset(q, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly);
    bool ok = false;
    if (rs && rs->State() != ado::adStateClosed && !rs->Bof()) {
        gUsuarioActual = Usuario;
        const QString guardada = LibUtil().Desencripta(LibUtil().ValorCampo(rs->Value(QStringLiteral("Password"))).toString());
        ok = Iguales(guardada, Clave);
    }
    if (rs) db.CierraRecordset(rs);
    return ok;
}

void LeeTimeOut() {
    auto ignora = [](auto&& paso) {
        try {
            paso();
        } catch (...) {
            (void)FalloActual();
        }
    };
    DB_Dll& kv = gDBEstadisticas();
    const QString base = QStringLiteral("KV_ESTADISTICAS");
    gTimeOut = 90;
    ignora([&] {
        if (kv.Cnn().State() != ado::adStateClosed) kv.Cnn().Close();
    });
    ignora([&] {
        kv.gProveedor = kv.pSQLOLEDB();
        kv.gServidor = gDB().gServidor;
        kv.gDBName = kv.gUsuario = kv.gUserPassWord = base;
        kv.OpenServerADODB(false, 3, QString(), true, false);
    });
    ignora([&] {
        if (!kv.gOpenFlag || kv.Cnn().State() == ado::adStateClosed) return;
        kv.Cnn().SetDefaultDatabase(base);
        const double valor = LibUtil().ValorNumerico(CfgKV(QStringLiteral("TimeOut")));
        // A value beyond 16 bits fails the conversion: the default stays.
        if (!(valor >= -32768.0 && valor < 32768.0)) return;
        gTimeOut = static_cast<int16_t>(valor);
        if (gTimeOut == 0)
            GrabaCfgKV(QStringLiteral("TimeOut"), QStringLiteral("90"), QString(), false, QStringLiteral("BaseDeDatos"));
    });
    if (gTimeOut == 0) gTimeOut = 90;
}
