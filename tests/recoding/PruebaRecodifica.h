#pragma once
// A fixture with the suite's schema on a fresh embedded database, a few
// articles of its own, the main session opened on it and a main window
// model without a view.

#include <QFile>

#include "db/DB_Dll.h"
#include "db/esquema/EsquemaSuite.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "platform/Aplicacion.h"
#include "platform/sesion/Sesion.h"
#include "recoding/FrmEMRecodifica.h"
#include "tests/support/Soporte.h"

struct ArticuloPrueba {
    const char* codigo;
    const char* descripcion;
    const char* rubro;
    const char* barra;  // nullptr: NULL
};

class PruebaRecodifica : public PruebaConCarpeta {
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
        for (const ArticuloPrueba& a : Articulos()) Agrega(a);
        frm.InicializaGrid2();
    }
    void TearDown() override {
        LiberaSesiones();
        EstableceTerminacion({});
        PruebaConCarpeta::TearDown();
    }

    static std::vector<ArticuloPrueba> Articulos() {
        return {
            {"1001", "Tornillo", "   1", nullptr},
            {"1002", "Tuerca", "   1", "7790001"},
            {"1003", "Arandela", "  12", ""},
            {"1_01", "Guion bajo", "   1", nullptr},
            {"10 05", "Clavo con blanco", "   1", nullptr},
            {"1105", "Clavo", " 123", nullptr},
            {"A'01", "Con comilla", "   1", nullptr},
            {" 12.5", "Punto con blanco", "   2", nullptr},
            {"12.6", "Punto sin blanco", "   2", nullptr},
            {"X.1", "Existente con punto", "   2", nullptr},
            {"2001", "Existente", "   2", nullptr},
        };
    }
    void Agrega(const ArticuloPrueba& a) {
        auto lit = [](const char* t) {
            return t ? QStringLiteral("'") + QString::fromUtf8(t).replace("'", "''") + QStringLiteral("'")
                     : QStringLiteral("NULL");
        };
        gDB().Cnn().Execute(
            QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, IDRUBRO, CodigoBarra) "
                           "VALUES (%1, %2, %3, %4)")
                .arg(lit(a.codigo), lit(a.descripcion), lit(a.rubro), lit(a.barra)));
    }
    // The grid's data rows as "old|description|new".
    QStringList Filas() const {
        QStringList r;
        const Grilla& g = frm.MSFlexGrid1;
        for (int i = 1; i < g.Rows(); ++i)
            r << g.TextMatrix(i, 0) + "|" + g.TextMatrix(i, 1) + "|" + g.TextMatrix(i, 2);
        return r;
    }
    QString Escribe(const QString& nombre, const QByteArray& bytes) {
        QFile f(Ruta(nombre));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Ruta(nombre);
    }

    Grilla& g() { return frm.MSFlexGrid1; }

    FrmEMRecodifica frm;
};
