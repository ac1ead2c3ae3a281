// The connection platform's contract, written once and run against the
// embedded engine and against ODBC (SQLite's ODBC driver registered in a
// temporary odbcinst.ini).

#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "db/platform/embebido/BaseEmbebida.h"
#include "tests/support/Soporte.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class EntornoOdbc : public ::testing::Environment {
public:
    void SetUp() override {
        QFile ini(dir_.filePath(QStringLiteral("odbcinst.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[SQLite3]\nDriver=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so\n");
        ini.close();
        QFile(dir_.filePath(QStringLiteral("odbc.ini"))).open(QIODevice::WriteOnly);
        qputenv("ODBCSYSINI", dir_.path().toUtf8());
        qputenv("ODBCINSTINI", "odbcinst.ini");
        qputenv("ODBCINI", dir_.filePath(QStringLiteral("odbc.ini")).toUtf8());
    }

private:
    QTemporaryDir dir_;
};
const auto* const kEntorno = ::testing::AddGlobalTestEnvironment(new EntornoOdbc);

class Contrato : public PruebaConCarpeta, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        if (Embebido()) {
            ASSERT_TRUE(CreaBaseEmbebida(QStringLiteral("CONTRATO")));
            cadena = QStringLiteral("PROVIDER=SQLOLEDB;Server=(embebido);Database =CONTRATO;UId=CONTRATO;Pwd=CONTRATO;");
        } else {
            cadena = QStringLiteral("Provider=MSDASQL;Driver={SQLite3};Database=%1;").arg(Ruta(QStringLiteral("c.db")));
        }
        cn.Open(cadena);
        cn.Execute(QStringLiteral("CREATE TABLE T (ID int NOT NULL PRIMARY KEY, NOMBRE varchar(20) NULL, VALOR int NULL)"));
        for (int i = 1; i <= 3; ++i)
            cn.Execute(QStringLiteral("INSERT INTO T (ID, NOMBRE, VALOR) VALUES (%1, 'n%1', %2)").arg(i).arg(i * 10));
    }
    bool Embebido() const { return QLatin1String(GetParam()) == QLatin1String("embebido"); }
    int32_t NumeroDe(const std::function<void()>& f) {
        try {
            f();
        } catch (const Fallo& e) {
            return e.Numero();
        }
        return 0;
    }
    QString Uno(const QString& sql) {
        Recordset rs;
        rs.Open(sql, cn);
        return rs.Eof() ? QString() : rs.Fields(0).Value().toString();
    }

    QString cadena;
    Conexion cn;
};

}  // namespace

TEST_P(Contrato, EstadosDeLosObjetos) {
    EXPECT_EQ(cn.State(), ado::adStateOpen);
    EXPECT_EQ(NumeroDe([&] { cn.Open(cadena); }), ado::adErrObjectOpen);
    cn.Close();
    EXPECT_EQ(cn.State(), ado::adStateClosed);
    EXPECT_EQ(NumeroDe([&] { cn.Close(); }), ado::adErrObjectClosed);
    EXPECT_EQ(NumeroDe([&] { cn.Execute(QStringLiteral("SELECT 1")); }), ado::adErrInvalidConnection);
    Recordset rs;
    EXPECT_EQ(NumeroDe([&] { rs.Open(QStringLiteral("SELECT 1"), cn); }), ado::adErrInvalidConnection);
    EXPECT_EQ(rs.State(), ado::adStateClosed);
    EXPECT_EQ(NumeroDe([&] { rs.Close(); }), ado::adErrObjectClosed);
    EXPECT_EQ(NumeroDe([&] { rs.MoveNext(); }), ado::adErrObjectClosed);
    cn.Open();  // the string it was opened with
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), QStringLiteral("3"));
}

TEST_P(Contrato, RecorridoYCampos) {
    RecordsetPtr rs = cn.Execute(QStringLiteral("SELECT ID, NOMBRE, VALOR FROM T ORDER BY ID"));
    ASSERT_EQ(rs->State(), ado::adStateOpen);
    EXPECT_EQ(rs->RecordCount(), 3);
    EXPECT_FALSE(rs->Bof());
    EXPECT_EQ(rs->FieldCount(), 3);
    EXPECT_EQ(rs->Fields(1).Name(), QStringLiteral("NOMBRE"));
    EXPECT_EQ(rs->Fields(QStringLiteral("nombre")).Value().toString(), QStringLiteral("n1"));
    EXPECT_TRUE(ado::adVarChar == rs->Fields(1).Type() || ado::adVarWChar == rs->Fields(1).Type());
    EXPECT_EQ(rs->Fields(1).DefinedSize(), 20);
    EXPECT_EQ(NumeroDe([&] { rs->Fields(QStringLiteral("NADA")); }), ado::adErrItemNotFound);
    int filas = 0;
    for (; !rs->Eof(); rs->MoveNext()) ++filas;
    EXPECT_EQ(filas, 3);
    EXPECT_EQ(NumeroDe([&] { rs->MoveNext(); }), ado::adErrNoCurrentRecord);
    EXPECT_EQ(NumeroDe([&] { rs->Fields(0).Value(); }), ado::adErrNoCurrentRecord);
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(0).Value().toInt(), 1);
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(0).Value().toInt(), 3);
    // Every row set of a request, in order.
    if (Embebido()) {
        RecordsetPtr dos = cn.Execute(QStringLiteral("SELECT 1 AS A\r\nUPDATE T SET VALOR = VALOR\r\nSELECT 2 AS B"));
        EXPECT_EQ(dos->Fields(0).Name(), QStringLiteral("A"));
        RecordsetPtr sig = dos->NextRecordset();
        ASSERT_TRUE(sig);
        EXPECT_EQ(sig->Fields(QStringLiteral("B")).Value().toInt(), 2);
        EXPECT_FALSE(sig->NextRecordset());
    }
    // A request without rows returns a closed record set; the count of the first statement.
    long n = -1;
    RecordsetPtr nada = cn.Execute(QStringLiteral("UPDATE T SET VALOR = 0 WHERE ID > 1"), &n);
    EXPECT_EQ(nada->State(), ado::adStateClosed);
    EXPECT_EQ(n, 2);
    Recordset vacio;
    vacio.Open(QStringLiteral("SELECT * FROM T WHERE ID = 99"), cn);
    EXPECT_TRUE(vacio.Bof());
    EXPECT_TRUE(vacio.Eof());
    EXPECT_EQ(vacio.Fields(QStringLiteral("VALOR")).Name(), QStringLiteral("VALOR"));
}

TEST_P(Contrato, EscriturasDesdeElRecordset) {
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM T WHERE ID = 2"), cn, ado::adOpenDynamic, ado::adLockOptimistic);
    rs.Fields(QStringLiteral("NOMBRE")).SetValue(QStringLiteral("O'Hara"));
    EXPECT_EQ(rs.EditMode(), ado::adEditInProgress);
    rs.Update();
    EXPECT_EQ(Uno(QStringLiteral("SELECT NOMBRE FROM T WHERE ID = 2")), QStringLiteral("O'Hara"));
    rs.AddNew();
    rs.Fields(QStringLiteral("ID")).SetValue(7);
    rs.Fields(QStringLiteral("NOMBRE")).SetValue(QStringLiteral("siete"));
    // Closing with an edit pending is refused; cancelling drops it.
    EXPECT_EQ(NumeroDe([&] { rs.Close(); }), ado::adErrIllegalOperation);
    rs.CancelUpdate();
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T WHERE ID = 7")), QStringLiteral("0"));
    rs.AddNew();
    rs.Fields(QStringLiteral("ID")).SetValue(7);
    rs.Fields(QStringLiteral("NOMBRE")).SetValue(QStringLiteral("siete"));
    rs.Update();
    EXPECT_EQ(Uno(QStringLiteral("SELECT NOMBRE FROM T WHERE ID = 7")), QStringLiteral("siete"));
    // A duplicate key: raised, in the collection, the edit kept.
    rs.AddNew();
    rs.Fields(QStringLiteral("ID")).SetValue(1);
    EXPECT_NE(NumeroDe([&] { rs.Update(); }), 0);
    EXPECT_GE(cn.Errors().Count(), 1);
    rs.CancelUpdate();
    rs.MoveFirst();
    rs.Delete();
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T WHERE ID = 2")), QStringLiteral("0"));
    rs.Close();
    Recordset lectura;
    lectura.Open(QStringLiteral("SELECT * FROM T"), cn);
    EXPECT_EQ(NumeroDe([&] { lectura.AddNew(); }), ado::adErrFeatureNotAvailable);
}

TEST_P(Contrato, ParametrosYAtributos) {
    // Values travel bound, a quote included; the count of the statement.
    long n = -1;
    cn.EjecutaConParametros(QStringLiteral("UPDATE T SET NOMBRE = ? WHERE ID = ?"),
                            {QStringLiteral("it's"), 2}, &n);
    EXPECT_EQ(n, 1);
    RecordsetPtr rs = cn.EjecutaConParametros(QStringLiteral("SELECT ID, NOMBRE FROM T WHERE NOMBRE = ? OR ID > ? ORDER BY ID"),
                                              {QStringLiteral("it's"), 2});
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->Fields(1).Value().toString(), QStringLiteral("it's"));
    EXPECT_TRUE(rs->Fields(0).Attributes() & ado::adFldKeyColumn);
    EXPECT_FALSE(rs->Fields(0).Attributes() & ado::adFldIsNullable);
    EXPECT_FALSE(rs->Fields(1).Attributes() & ado::adFldKeyColumn);
    EXPECT_TRUE(rs->Fields(1).Attributes() & ado::adFldIsNullable);
    EXPECT_TRUE(rs->Fields(1).Attributes() & ado::adFldUpdatable);
    // A failing statement raises with its entries in the collection.
    EXPECT_NE(NumeroDe([&] { cn.EjecutaConParametros(QStringLiteral("INSERT INTO T (ID) VALUES (?)"), {1}); }), 0);
    EXPECT_GE(cn.Errors().Count(), 1);
}

TEST_P(Contrato, ColeccionDeErrores) {
    EXPECT_NE(NumeroDe([&] { cn.Execute(QStringLiteral("SELECT * FROM NO_EXISTE")); }), 0);
    ASSERT_GE(cn.Errors().Count(), 1);
    EXPECT_FALSE(cn.Errors().Item(0).Description.isEmpty());
    EXPECT_FALSE(cn.Errors().Item(0).SQLState.isEmpty());
    if (Embebido()) {
        EXPECT_EQ(cn.Errors().Item(0).NativeError, 208);
        EXPECT_EQ(cn.Errors().Item(0).Number, ado::DB_E_NOTABLE);
    }
    EXPECT_EQ(NumeroDe([&] { cn.Errors().Item(cn.Errors().Count()); }), ado::adErrItemNotFound);
    cn.Errors().Clear();
    EXPECT_EQ(cn.Errors().Count(), 0);
    cn.Execute(QStringLiteral("SELECT 1"));
    EXPECT_EQ(cn.Errors().Count(), 0);
}

TEST_P(Contrato, EsquemasYTransacciones) {
    RecordsetPtr tablas = cn.OpenSchema(ado::adSchemaTables);
    bool hallada = false;
    for (; !tablas->Eof(); tablas->MoveNext())
        hallada = hallada || tablas->Value(QStringLiteral("TABLE_NAME")).toString() == QLatin1String("T");
    EXPECT_TRUE(hallada);
    RecordsetPtr cols = cn.OpenSchema(ado::adSchemaColumns, {QString(), QString(), QStringLiteral("T"), QString()});
    QStringList nombres;
    for (; !cols->Eof(); cols->MoveNext()) nombres << cols->Value(QStringLiteral("COLUMN_NAME")).toString();
    EXPECT_EQ(nombres, (QStringList{QStringLiteral("ID"), QStringLiteral("NOMBRE"), QStringLiteral("VALOR")}));
    cols->MoveFirst();
    EXPECT_EQ(cols->Value(QStringLiteral("DATA_TYPE")).toInt(), ado::adInteger);
    RecordsetPtr claves = cn.OpenSchema(ado::adSchemaPrimaryKeys, {QVariant(), QVariant(), QStringLiteral("t")});
    ASSERT_EQ(claves->RecordCount(), 1);
    EXPECT_EQ(claves->Value(QStringLiteral("COLUMN_NAME")).toString(), QStringLiteral("ID"));
    EXPECT_EQ(claves->Value(QStringLiteral("ORDINAL")).toInt(), 1);

    EXPECT_EQ(cn.BeginTrans(), 1);
    cn.Execute(QStringLiteral("DELETE FROM T"));
    cn.RollbackTrans();
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), QStringLiteral("3"));
    cn.BeginTrans();
    cn.Execute(QStringLiteral("DELETE FROM T WHERE ID = 1"));
    cn.CommitTrans();
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), QStringLiteral("2"));
    EXPECT_NE(NumeroDe([&] { cn.CommitTrans(); }), 0);
}

// A statement prepared once and run row after row, inside a transaction: a
// failing row raises and leaves its entries, the others stay; a run after
// the connection closed is refused.
TEST_P(Contrato, SentenciaPreparadaPorFilas) {
    std::unique_ptr<SentenciaPreparada> p =
        cn.Prepara(QStringLiteral("INSERT INTO T (ID, NOMBRE, VALOR) VALUES (?, ?, ?)"));
    cn.BeginTrans();
    long n = -1;
    p->Ejecuta({4, QStringLiteral("O'Hara"), QVariant()}, &n);
    EXPECT_EQ(n, 1);
    p->Ejecuta({5, QStringLiteral("n5"), 50});
    EXPECT_NE(NumeroDe([&] { p->Ejecuta({5, QStringLiteral("otra"), 0}); }), 0);
    EXPECT_GT(cn.Errors().Count(), 0);
    p->Ejecuta({6, QString(), 60});
    EXPECT_EQ(cn.Errors().Count(), 0);
    cn.CommitTrans();
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T")), QStringLiteral("6"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT NOMBRE FROM T WHERE ID = 4 AND VALOR IS NULL")), QStringLiteral("O'Hara"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM T WHERE ID = 6 AND NOMBRE = ''")), QStringLiteral("1"));
    cn.Close();
    EXPECT_EQ(NumeroDe([&] { p->Ejecuta({7, QStringLiteral("n7"), 70}); }), ado::adErrInvalidConnection);
    EXPECT_EQ(NumeroDe([&] { cn.Prepara(QStringLiteral("SELECT 1")); }), ado::adErrInvalidConnection);
}

INSTANTIATE_TEST_SUITE_P(Controladores, Contrato, ::testing::Values("embebido", "odbc"));

TEST(Conexiones, ProveedoresYBasesQueNoEstan) {
    QTemporaryDir dir;
    Conexion cn;
    int32_t numero = 0;
    try {
        cn.Open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source =/no/existe.mdb;"));
    } catch (const Fallo& f) {
        numero = f.Numero();
    }
    EXPECT_EQ(numero, ado::adErrProviderNotFound);
    EXPECT_EQ(cn.State(), ado::adStateClosed);
    qputenv("QUENVAR_DATOS", dir.path().toUtf8());
    try {
        cn.Open(QStringLiteral("PROVIDER=SQLOLEDB;Server=(embebido);Database =NOEXISTE;UId=x;Pwd=x;"));
        numero = 0;
    } catch (const Fallo& f) {
        numero = f.Numero();
    }
    qunsetenv("QUENVAR_DATOS");
    EXPECT_EQ(numero, ado::E_FAIL_PROVEEDOR);
    ASSERT_EQ(cn.Errors().Count(), 1);
    EXPECT_EQ(cn.Errors().Item(0).NativeError, 4060);
}
