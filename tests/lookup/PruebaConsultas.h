#pragma once
// A fixture for the lookup engine: the suite's schema on a fresh embedded
// database opened as the main session, the default definitions file in the
// test's folder, a new engine, and scripted lookup windows.

#include "db/DB_Dll.h"
#include "db/esquema/EsquemaSuite.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "platform/Aplicacion.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/ModConsultas.h"
#include "tests/lookup/VentanaGuionada.h"
#include "tests/support/Soporte.h"

#include <QFile>

#include <vector>

class PruebaConsultas : public PruebaConCarpeta {
  protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        EstableceTerminacion([](int c) { FAIL() << "el proceso terminaría con " << c; });
        GeneradorDemo::CreaBaseVacia(QStringLiteral("PRUEBA"));
        {
            Conexion cn;
            cn.Open(GeneradorDemo::CadenaConexion(QStringLiteral("PRUEBA")));
            EsquemaSuite::CreaEsquemaPrincipal(cn);
        }
        DB_Dll& db = gDB();
        db.gServidor = QStringLiteral("(embebido)");
        db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("PRUEBA");
        db.OpenServerADODB(false, 3, QString(), false, false);
        ASSERT_TRUE(db.gOpenFlag);
        VentanaGuionada::Instala();
        Motor();
    }
    void TearDown() override {
        EstableceVentanasConsulta({});
        LiberaSesiones();
        RecreaMotorConsultas();  // closed session: no settings read
        EstableceTerminacion({});
        PruebaConCarpeta::TearDown();
    }

    // A new engine over the current settings, with the default definitions.
    Lib_ClsCons3& Motor(bool mascaras = true) {
        Lib_ClsCons3& m = RecreaMotorConsultas();
        m.gRutaMascaraConsultas = Ruta("consultas.kvx");
        m.gUsarMascarasConsultas = mascaras;
        if (!QFile::exists(Ruta("consultas.kvx"))) {
            EXPECT_TRUE(CreaConsultasDefault());
        }
        return m;
    }
    void Ejecuta(const QString& s) {
        gDB().Cnn().Execute(s);
    }
    void Config(const QString& clave, const QString& valor) {
        Ejecuta(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = '%1'").arg(clave));
        Ejecuta(QStringLiteral("INSERT INTO TA_CONFIGURACION (CLAVE, GRUPO, VALOR) VALUES ('%1', 'DATOS', '%2')")
                    .arg(clave, valor));
    }
    std::vector<VentanaGuionada>& Mostradas() { return VentanaGuionada::guion().mostradas; }
    VentanaGuionada::Guion& Guion() { return VentanaGuionada::guion(); }
    // Rows a statement gives on the session (its errors fail the test through the operator).
    int Filas(const QString& sentencia) {
        RecordsetPtr rs;
        QString s = sentencia;
        gDB().AbrirRecordset(s, rs, nullptr, ado::adOpenStatic, ado::adLockReadOnly);
        if (!rs || rs->State() == ado::adStateClosed) return -1;
        int n = 0;
        for (; !rs->Eof(); rs->MoveNext()) ++n;
        gDB().CierraRecordset(rs);
        return n;
    }
};
