#pragma once
// A fixture with a small demo database opened as the session, in its own
// application folder, plus a few articles of known codes and texts.

#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "platform/Aplicacion.h"
#include "tests/support/Soporte.h"

class PruebaVentanasConsulta : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        EstableceCarpetaAplicacion(Carpeta());
        OpcionesDemo o;
        o.base = QStringLiteral("CONSULTAS");
        o.articulos = 200;
        o.movimientosPorArticulo = 1;
        GeneradorDemo::Genera(o);
        DB_Dll& db = gDB();
        db.gServidor = GeneradorDemo::kServidor;
        db.gDBName = db.gUsuario = db.gUserPassWord = o.base;
        db.OpenServerADODB(false, 3, QString(), false, false);
        ASSERT_TRUE(db.gOpenFlag);
    }
    void TearDown() override {
        LiberaSesiones();
        PruebaConCarpeta::TearDown();
    }
    void Ejecuta(const QString& s) {
        gDB().Cnn().Execute(s);
        ASSERT_EQ(gDB().Cnn().Errors().Count(), 0) << s.toStdString();
    }
    QStringList Lista(const QString& s) {
        RecordsetPtr rs;
        gDB().AbrirRecordset(s, rs);
        QStringList r;
        for (; !rs->Eof(); rs->MoveNext()) r << rs->Fields(0).Value().toString();
        gDB().CierraRecordset(rs);
        return r;
    }
};
