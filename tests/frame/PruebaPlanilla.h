#pragma once
// A fixture with a small demo database (articles with stock movements) in
// its own application folder, a connection of the test's own to read back
// what the editor wrote, and the editor's model.

#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "frame/planilla/ModeloPlanilla.h"
#include "tests/support/Soporte.h"

class PruebaPlanilla : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        OpcionesDemo o;
        o.base = QStringLiteral("PLANILLA");
        o.articulos = 300;
        o.movimientosPorArticulo = 2;
        GeneradorDemo::Genera(o);
        cadena = GeneradorDemo::CadenaConexion(o.base);
        cn.Open(cadena);
    }
    void TearDown() override {
        LiberaSesiones();
        PruebaConCarpeta::TearDown();
    }

    // `n` articles without stock, "Z00000" onwards, described "ARTICULO i".
    void AgregaArticulos(int n) {
        QString lote;
        for (int desde = 0; desde < n; desde += 1000) {
            QStringList filas;
            for (int i = desde; i < std::min(n, desde + 1000); ++i)
                filas << QStringLiteral("('Z%1', 'ARTICULO %2')").arg(i, 5, 10, QLatin1Char('0')).arg(i);
            lote += QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ") +
                    filas.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        }
        cn.Execute(lote);
        ASSERT_EQ(cn.Errors().Count(), 0);
    }
    // The first column of a query, every row.
    QStringList Lista(const QString& sql, const QVariantList& params = {}) {
        RecordsetPtr rs = cn.EjecutaConParametros(sql, params);
        QStringList r;
        for (; !rs->Eof(); rs->MoveNext()) r << rs->Fields(0).Value().toString();
        return r;
    }
    QString Uno(const QString& sql, const QVariantList& params = {}) {
        const QStringList r = Lista(sql, params);
        return r.isEmpty() ? QStringLiteral("<ninguna>") : r.first();
    }
    QString Descripcion(const QString& codigo) {
        return Uno(QStringLiteral("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = ?"), {codigo});
    }
    QString ConStock() { return Uno(QStringLiteral("SELECT TOP 1 IDARTICULO FROM V_MV_STOCK ORDER BY ID")); }
    QStringList Codigos() { return Lista(QStringLiteral("SELECT IdArticulo FROM V_MA_ARTICULOS ORDER BY IdArticulo")); }

    int Columna(const QString& nombre) const {
        for (int i = 0; i < static_cast<int>(m.Columnas().size()); ++i)
            if (m.Columnas()[static_cast<std::size_t>(i)].Nombre == nombre) return i;
        ADD_FAILURE() << "sin columna " << nombre.toStdString();
        return -1;
    }
    void Abre() { ASSERT_TRUE(m.Abre(QStringLiteral("V_MA_ARTICULOS"), cadena, QStringLiteral("Maestro de Articulos"))); }

    QString cadena;
    Conexion cn;
    ModeloPlanilla m;
};
