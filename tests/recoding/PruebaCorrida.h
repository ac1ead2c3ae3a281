#pragma once
// A demo database with the main session opened, a main window model, and
// helpers to fill its grid and run it.

#include <QDir>
#include <QFile>

#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "platform/lib/Lib_Util.h"
#include "platform/ArchivoTexto.h"
#include "platform/Texto.h"
#include "recoding/Corrida.h"
#include "recoding/FrmEMRecodifica.h"
#include "recoding/Testigo.h"
#include "tests/db/sesion/SesionDemo.h"

inline const QString kPreguntaTestigo = QStringLiteral(
    "Proceso FINALIZADO. Es recomendable imprimir un testigo de la recodificación realizada, ¿Desea Imprimirlo?");
inline const QString kPreguntaErrores =
    QStringLiteral("Atencion, Se produjeron errores durante la recodificacion, desea ver el archivo generado?");

// What the run reports per code, as "old|plan|OK" or "old|plan|ERROR".
struct RegistroCorrida : VistaRecodifica {
    std::vector<ResultadoCodigo> codigos;
    void Recodificado(const ResultadoCodigo& r) override { codigos.push_back(r); }
    QStringList Pasos() const {
        QStringList s;
        for (const ResultadoCodigo& r : codigos)
            s << Texto::RTrim(r.viejo) + "|" + NombreTipoPlan(r.tipo) + "|" + (r.error ? "ERROR" : "OK");
        return s;
    }
};

class PruebaCorrida : public SesionDemo {
protected:
    void SetUp() override {
        SesionDemo::SetUp();
        ReiniciaCanalLog();
        frm.Vista = &registro;
        frm.InicializaGrid2();
    }
    void TearDown() override {
        ReiniciaCanalLog();
        SesionDemo::TearDown();
    }

    static QString Lit(const QString& c) { return "'" + QString(c).replace("'", "''") + "'"; }
    long Cuenta(const QString& tabla, const QString& codigo, const QString& campo = "IDARTICULO") {
        return Valor("SELECT COUNT(*) FROM " + tabla + " WHERE " + campo + " = " + Lit(codigo)).toLong();
    }
    // Every reference to a code, per table.
    QMap<QString, long> Referencias(const QString& codigo) {
        QMap<QString, long> r;
        for (const char* t : {"V_MA_ARTICULOS", "AC_VENTASDIARIA", "AC_VENTASMES", "AC_COMPRASDIARIA",
                              "AC_COMPRASMES", "V_MV_CPTEINSUMOS", "C_MV_CPTEINSUMOS", "V_MV_STOCK", "V_MA_INSUMOS",
                              "V_MA_Precios", "V_MA_Precios_Borrador", "S_TA_EQUIV"})
            r[t] = Cuenta(t, codigo);
        r["V_MA_INSUMOS.IDARTICULOINSUMO"] = Cuenta("V_MA_INSUMOS", codigo, "IDARTICULOINSUMO");
        return r;
    }
    // Articles with stock movements and prices, codes without blanks or sizes.
    QString ConMovimientos(int cual) {
        Recordset rs;
        rs.Open(
            "SELECT a.IdArticulo FROM V_MA_ARTICULOS a WHERE a.IdArticulo NOT LIKE '% %' AND a.IdArticulo "
            "NOT LIKE '%|%' AND EXISTS (SELECT 1 FROM V_MV_STOCK s WHERE s.IDARTICULO = a.IdArticulo) AND "
            "EXISTS (SELECT 1 FROM V_MA_Precios p WHERE p.IDARTICULO = a.IdArticulo) ORDER BY a.IdArticulo",
            gDB().Cnn());
        for (int i = 0; i < cual && !rs.Eof(); ++i) rs.MoveNext();
        return rs.Eof() ? QString() : Texto::Trim(rs.Fields(0).Value().toString());
    }
    void AgregaArticulo(const QString& codigo, const QString& descripcion, const QString& talle = {}) {
        gDB().Cnn().Execute("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, IDRUBRO, TalleDefault) VALUES (" +
                            Lit(codigo) + ", " + Lit(descripcion) + ", '   1', " + Lit(talle) + ")");
        ASSERT_EQ(gDB().Cnn().Errors().Count(), 0);
    }
    // A data row as validation leaves it (the last row stays empty).
    void Fila(const QString& viejo, const QString& descripcion, const QString& nuevo) {
        Grilla& g = frm.MSFlexGrid1;
        const int i = g.Rows() - 1;
        g.SetTextMatrix(i, 0, viejo);
        g.SetTextMatrix(i, 1, descripcion);
        g.SetTextMatrix(i, 2, nuevo);
        g.SetRows(g.Rows() + 1);
    }
    // Runs with No to the witness and, when asked, to the error question.
    void Corre(bool conErrores = false) {
        op.Responde(vbNo);
        if (conErrores) op.Responde(vbNo);
        frm.ProcesoPrincipal();
    }
    // An update that the stock trigger rejects while it is on.
    bool DisparadoresActivos() {
        auto rechaza = [](const QString& sql) {
            Conexion& cn = gDB().Cnn();
            try {
                cn.Execute(sql);
            } catch (const Fallo&) {
                return true;
            }
            return cn.Errors().Count() > 0;
        };
        return rechaza("UPDATE V_MV_STOCK SET IDARTICULO = IDARTICULO WHERE ID = (SELECT MIN(ID) FROM V_MV_STOCK)") &&
               rechaza("UPDATE V_MA_ARTICULOS SET IdArticulo = IdArticulo WHERE IdArticulo = (SELECT MIN(IDARTICULO) "
                       "FROM V_MV_STOCK)");
    }
    QStringList Documentos() const {
        QStringList d;
        for (const Aviso& a : op.Transcripcion())
            if (a.tipo == Aviso::Tipo::Documento) d << a.texto;
        return d;
    }
    QString LeeArchivo(const QString& ruta) { return ArchivoTexto::Lee(ruta).value_or(QString()); }

    FrmEMRecodifica frm;
    RegistroCorrida registro;
};
