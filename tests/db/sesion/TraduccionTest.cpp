#include "db/Traduccion.h"

#include "platform/Fallo.h"
#include "tests/support/Soporte.h"

using namespace Traduccion;

namespace {
const QString kOracle = QStringLiteral("Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User Id=U;Password=P;");
const QString kSql = QStringLiteral("PROVIDER=SQLOLEDB;Server=S;Database =D;UId=U;Pwd=P;");
QString Sin(const QString& s, bool admin = false, bool conf = false, const QString& exe = QStringLiteral("quenvar")) {
    return SS_TSinonimos(s, admin, conf, exe);
}
}  // namespace

TEST(Sinonimos, ContextosDelNombre) {
    EXPECT_EQ(Sin(QStringLiteral("SELECT * FROM MA_CUENTAS WHERE X = 1")),
              QStringLiteral("SELECT * FROM SS_MA_CUENTAS WHERE X = 1"));
    EXPECT_EQ(Sin(QStringLiteral("SELECT * FROM MA_CUENTAS")), QStringLiteral("SELECT * FROM MA_CUENTAS"));
    EXPECT_EQ(Sin(QStringLiteral("SELECT * FROM DBO.MA_CUENTAS")), QStringLiteral("SELECT * FROM DBO.MA_CUENTAS"));
    EXPECT_EQ(Sin(QStringLiteral("SELECT ma_cuentas.x,MA_CUENTAS.y FROM (ma_cuentas )")),
              QStringLiteral("SELECT SS_MA_CUENTAS.x,SS_MA_CUENTAS.y FROM (SS_MA_CUENTAS )"));
    EXPECT_EQ(Sin(QStringLiteral("SELECT X.MA_CUENTAS.y FROM T")), QStringLiteral("SELECT X.MA_CUENTAS.y FROM T"));
    EXPECT_EQ(Sin(QStringLiteral("{MA_CUENTAS.x} {V_TA_CAJAS.x}")), QStringLiteral("{SS_MA_CUENTAS.x} {V_TA_CAJAS.x}"));
    EXPECT_EQ(Sin(QStringLiteral("x from AC_CUENTASDIARIO_CCOSTO a, AC_CUENTASDIARIO b")),
              QStringLiteral("x from SS_AC_CUENTAS_DIARIO_CCOSTO a, SS_AC_CUENTASDIARIO b"));
}

TEST(Sinonimos, MarcaAdministradorYConfidencialidad) {
    EXPECT_EQ(Sin(QStringLiteral("UPDATE @Admin_MA_CUENTAS SET X = 1")), QStringLiteral("UPDATE MA_CUENTAS SET X = 1"));
    // A marker anywhere keeps every MA_CUENTAS on the real table.
    EXPECT_EQ(Sin(QStringLiteral("UPDATE @admin_T SET X = 1 FROM MA_CUENTAS WHERE")),
              QStringLiteral("UPDATE T SET X = 1 FROM MA_CUENTAS WHERE"));
    EXPECT_EQ(Sin(QStringLiteral("SELECT * FROM MA_CUENTAS WHERE @Admin_X"), true),
              QStringLiteral("SELECT * FROM MA_CUENTAS WHERE X"));
    const QString q = QStringLiteral("SELECT * FROM MV_ASIENTOS A, MA_CUENTAS C WHERE 1=1");
    EXPECT_EQ(Sin(q, false, false), q);
    EXPECT_EQ(Sin(q, false, true), QStringLiteral("SELECT * FROM SS_MV_ASIENTOS A, SS_MA_CUENTAS C WHERE 1=1"));
}

TEST(Sinonimos, ProgramasExceptuados) {
    const QString q = QStringLiteral("SELECT * FROM V_TA_DEPOSITO D, V_TA_CAJAS C, V_TA_FAMILIAS F WHERE 1=1");
    EXPECT_EQ(Sin(q, false, false, QStringLiteral("kvstockdep")),
              QStringLiteral("SELECT * FROM V_TA_DEPOSITO D, SS_V_TA_CAJAS C, SS_V_TA_FAMILIAS F WHERE 1=1"));
    EXPECT_EQ(Sin(q, false, false, QStringLiteral("KVTRANSFER")),
              QStringLiteral("SELECT * FROM SS_V_TA_DEPOSITO D, SS_V_TA_CAJAS C, V_TA_FAMILIAS F WHERE 1=1"));
}

TEST(Oracle, SoloEnSesionOracle) {
    const QString q = QStringLiteral("SELECT TOP 10 * FROM T WHERE ISNULL(A,0) = 1");
    EXPECT_EQ(ORACLE_Dicc(q, kSql), q);
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("len"), kOracle), QStringLiteral("LENGTH"));
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("X"), kOracle), QStringLiteral("X"));
}

TEST(Oracle, Reescrituras) {
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("SELECT TOP 10 * FROM T WHERE A = 1 ORDER BY B"), kOracle),
              QStringLiteral("SELECT  * FROM T WHERE A = 1    AND ROWNUM <= 10  ORDER BY B"));
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("SELECT * FROM T WHERE F = '25/12/2024'"), kOracle),
              QStringLiteral("SELECT * FROM T WHERE F = TO_DATE('25/12/2024','DD/MM/YYYY')"));
    // The same date twice collapses back to one TO_DATE each.
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("SELECT * FROM T WHERE F = '1/2/2024' OR G = '1/2/2024'"), kOracle),
              QStringLiteral("SELECT * FROM T WHERE F = TO_DATE('01/02/2024','DD/MM/YYYY') OR G = "
                             "TO_DATE('01/02/2024','DD/MM/YYYY')"));
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("SELECT ISNULL(A,0) FROM T"), kOracle), QStringLiteral("SELECT NVL(A,0) FROM T"));
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("SELECT CONVERT(NVARCHAR,F,103) FROM T"), kOracle),
              QStringLiteral("SELECT TO_CHAR(F,'DD/MM/YYYY') FROM T"));
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("SELECT X FROM T WHERE NOMBRE = ''"), kOracle),
              QStringLiteral("SELECT X FROM T WHERE NOMBRE  IS NULL "));
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("SELECT LEN  (A), [B C], charindex('a',B), SUBSTRING(A,1,2) FROM T"), kOracle),
              QStringLiteral("SELECT LENGTH(A), \"B C\", InStr('a',B), SUBSTR(A,1,2) FROM T"));
    EXPECT_EQ(ORACLE_Dicc(QStringLiteral("SELECT CONVERT(INT,A) FROM T WHERE B='' GROUP BY C"), kOracle),
              QStringLiteral("SELECT TO_NUMBER(A) FROM T WHERE B IS NULL  GROUP BY C"));
}

TEST(Oracle, FallosDeArgumento) {
    try {
        ORACLE_Dicc(QStringLiteral("SELECT * FROM T WHERE A = 'x"), kOracle);
        FAIL();
    } catch (const Fallo& f) {
        EXPECT_EQ(f.Numero(), 5);
    }
    EXPECT_THROW(ORACLE_Dicc(QStringLiteral("SELECT x FROM T WHERE top 10"), kOracle), Fallo);
    EXPECT_THROW(TopOracle(QStringLiteral("SELECT TOP 1 a FROM T"), kOracle), Fallo);
}

TEST(Oracle, TopOracle) {
    EXPECT_EQ(TopOracle(QStringLiteral("Select TOP 1 * from Control_Acceso  with(nolock) "), kOracle),
              QStringLiteral("Select  *  from Control_Acceso  with(nolock)  WHERE ROWNUM <=  1 "));
    EXPECT_EQ(TopOracle(QStringLiteral("Select TOP 1 * from X"), kSql), QStringLiteral("Select TOP 1 * from X"));
    EXPECT_EQ(TopOracle(QStringLiteral("Select * from X"), kOracle), QStringLiteral("Select * from X"));
}
