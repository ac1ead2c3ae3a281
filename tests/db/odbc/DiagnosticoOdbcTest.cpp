// Entries from diagnostic records and the verdict on a whole request. The
// records are those FreeTDS and the driver manager give (SQLite's driver
// takes one statement per request and never reports a link failure).

#include <gtest/gtest.h>

#include "db/platform/Ado.h"
#include "db/platform/odbc/DiagnosticoOdbc.h"

namespace {

ErrorProveedor Registro(const char* estado, int32_t nativo, const char* mensaje) {
    return DiagnosticoOdbc::Entrada(QString::fromLatin1(estado), nativo, QString::fromUtf8(mensaje));
}

ResultadoSentencia Cuenta(long n) {
    ResultadoSentencia r;
    r.afectadas = n;
    return r;
}

}  // namespace

TEST(DiagnosticoOdbc, EntradasDeRegistros) {
    const ErrorProveedor enlace =
        Registro("08S01", 20009,
                 "[FreeTDS][SQL Server]Unable to connect: Adaptive Server is unavailable or does not exist");
    EXPECT_EQ(enlace.NativeError, 11);
    EXPECT_EQ(enlace.Number, ado::E_FAIL_PROVEEDOR);
    EXPECT_EQ(enlace.Source, "[FreeTDS][SQL Server]");
    EXPECT_EQ(enlace.Description, "Unable to connect: Adaptive Server is unavailable or does not exist");
    for (const char* s : {"08001", "08003", "08007", "HYT01", "08s01"})
        EXPECT_EQ(Registro(s, 0, "x").NativeError, 11) << s;

    const ErrorProveedor tabla =
        Registro("42S02", 208, "[FreeTDS][SQL Server]Invalid object name 'NOEXISTE'.");
    EXPECT_EQ(tabla.NativeError, 208);
    EXPECT_EQ(tabla.Number, ado::DB_E_NOTABLE);
    EXPECT_EQ(tabla.Description, "Invalid object name 'NOEXISTE'.");
    EXPECT_EQ(Registro("23000", 2627, "[FreeTDS][SQL Server]Violation of PRIMARY KEY constraint").Number,
              ado::DB_E_INTEGRITYVIOLATION);
    EXPECT_EQ(Registro("28000", 18456, "[FreeTDS][SQL Server]Login failed for user 'sa'.").Number,
              ado::DB_SEC_E_AUTH_FAILED);
    EXPECT_EQ(Registro("HYT00", 0, "[FreeTDS][SQL Server]Query timeout expired").Number, ado::DB_E_TIMEOUT);
    EXPECT_TRUE(DiagnosticoOdbc::EsInformativo("01000", 5701));
    EXPECT_FALSE(DiagnosticoOdbc::EsInformativo("01000", 50000));
}

TEST(DiagnosticoOdbc, VeredictoDelLote) {
    // A statement ran, the next one failed: the batch goes on, errors are entries only.
    LoteOdbc medio;
    medio.Agrega(Cuenta(1), true);
    medio.Errores().push_back(
        Registro("23000", 2627, "[FreeTDS][SQL Server]Violation of PRIMARY KEY constraint"));
    medio.Errores().push_back(
        Registro("01000", 3621, "[FreeTDS][SQL Server]The statement has been terminated."));
    medio.Pesa();
    medio.Agrega(Cuenta(3), true);
    ResultadoLote r = medio.Termina();
    EXPECT_FALSE(r.fallaCompleta);
    EXPECT_EQ(r.numeroFallo, 0);
    EXPECT_EQ(r.errores.size(), 2u);
    EXPECT_EQ(r.resultados.size(), 2u);

    // The first statement failed (a warning or a count-less result before it does not count).
    LoteOdbc inicio;
    inicio.Errores().push_back(Registro("01000", 0, "[FreeTDS][SQL Server]aviso"));
    inicio.Agrega(Cuenta(-1), false);
    inicio.Errores().push_back(Registro("42S02", 208, "[FreeTDS][SQL Server]Invalid object name 'X'."));
    inicio.Pesa();
    inicio.Agrega(Cuenta(1), true);
    r = inicio.Termina();
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_EQ(r.numeroFallo, ado::DB_E_NOTABLE);
    EXPECT_FALSE(r.conexionPerdida);

    // A link failure late in the batch fails it as a whole.
    LoteOdbc perdida;
    perdida.Agrega(Cuenta(5), true);
    perdida.Errores().push_back(Registro("08S01", 0, "[FreeTDS][SQL Server]Write to the server failed"));
    EXPECT_TRUE(perdida.Perdida());
    r = perdida.Termina();
    EXPECT_TRUE(r.fallaCompleta);
    EXPECT_TRUE(r.conexionPerdida);
    EXPECT_EQ(r.numeroFallo, ado::E_FAIL_PROVEEDOR);
}
