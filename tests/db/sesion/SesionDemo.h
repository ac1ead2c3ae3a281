#pragma once
// A fixture with a small demo database in its own application folder and
// the main session opened on it as start-up opens it.

#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/InyeccionFallas.h"
#include "platform/Aplicacion.h"
#include "platform/sesion/Sesion.h"
#include "tests/support/Soporte.h"

// Raised by the test's process ending, so a test can see it.
struct ProcesoTerminado {
    int codigo;
};

class SesionDemo : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        EstableceTerminacion([](int c) { throw ProcesoTerminado{c}; });
        OpcionesDemo o;
        o.base = QStringLiteral("PRUEBA");
        o.articulos = 120;
        o.movimientosPorArticulo = 2;
        resumen = GeneradorDemo::Genera(o);
        gUsuarioActual = resumen.usuario;
        gConfiguracion = {};
        Abre();
        InyeccionFallas::Limpia();
    }
    void TearDown() override {
        InyeccionFallas::Limpia();
        LiberaSesiones();
        EstableceTerminacion({});
        PruebaConCarpeta::TearDown();
    }
    // Opens the main session on the demo as start-up does.
    void Abre(bool validaAdmin = true) {
        DB_Dll& db = gDB();
        db.gServidor = QStringLiteral("(embebido)");
        db.gDBName = db.gUsuario = db.gUserPassWord = QStringLiteral("PRUEBA");
        db.OpenServerADODB(false, 3, QString(), validaAdmin, true);
        ASSERT_TRUE(db.gOpenFlag);
    }
    // The single value of a query, as text.
    QString Valor(const QString& sql) {
        Recordset rs;
        rs.Open(sql, gDB().Cnn());
        return rs.Eof() ? QString() : rs.Fields(0).Value().toString();
    }

    ResumenDemo resumen;
};
