#include "db/Traduccion.h"

#include "platform/lib/Lib_Util.h"
#include "platform/Fallo.h"
#include "platform/Texto.h"

#include <QStringList>

using namespace Texto;

namespace Traduccion {

namespace {

// Replaces `objeto` by `sinonimo` where it stands between one of the pairs
// of neighbours, which stay in place.
QString AplicaSinonimo(QString t, const QString& objeto, const QString& sinonimo, bool conLlave) {
    static const char* const kPares[][2] = {{" ", " "}, {"(", " "}, {" ", "."}, {"(", "."}, {",", "."}};
    for (const auto& par : kPares) {
        const QString a = QString::fromLatin1(par[0]), d = QString::fromLatin1(par[1]);
        t = Reemplaza(t, a + objeto + d, a + sinonimo + d);
    }
    if (conLlave) t = Reemplaza(t, QStringLiteral("{") + objeto + QStringLiteral("."), QStringLiteral("{") + sinonimo + QStringLiteral("."));
    return t;
}

[[noreturn]] void ArgumentoInvalido() {
    throw Fallo(NumeroFallo::ArgumentoInvalido, QStringLiteral("Llamada a procedimiento o argumento no válidos"));
}

QString LenALength(const QString& t) {
    return UCase(t) == QLatin1String("LEN") ? QStringLiteral("LENGTH") : t;
}

QString LimiteDeFilas(const QString& t) {
    const int p = InStr(t, QStringLiteral("top"));
    const QString head = Left(t, p - 1);
    const QString rest = Trim(Mid(t, p + 3));
    const int blanco = InStr(rest, QStringLiteral(" "));
    if (blanco == 0) ArgumentoInvalido();
    const QString n = Left(rest, blanco - 1);
    QString body = Mid(rest, blanco + 1);
    QString tail1, tail2;
    if (int g = InStr(t, QStringLiteral(" GROUP BY ")); g > 0)
        tail1 = Mid(t, g);
    else if (int o = InStr(t, QStringLiteral("ORDER BY ")); o > 0)
        tail2 = Mid(t, o);
    const QString limite = Contiene(t, QStringLiteral(" WHERE ")) ? QStringLiteral(" AND ROWNUM <= ") + n
                                                                  : QStringLiteral(" WHERE ROWNUM <= ") + n;
    if (!Trim(tail1).isEmpty()) body = Reemplaza(body, Trim(tail1), QStringLiteral(" "));
    if (!Trim(tail2).isEmpty()) body = Reemplaza(body, Trim(tail2), QStringLiteral(" "));
    return head + QStringLiteral(" ") + body + QStringLiteral(" ") + limite + QStringLiteral(" ") + tail1 +
           QStringLiteral(" ") + tail2;
}

QString FechasATodate(const QString& t) {
    QStringList literales;
    int desde = 1;
    for (;;) {
        const int abre = InStr(desde, t, QStringLiteral("'"));
        if (abre == 0) break;
        const int cierra = abre < t.size() ? InStr(abre + 1, t, QStringLiteral("'")) : 0;
        if (cierra == 0) ArgumentoInvalido();
        literales << Mid(t, abre + 1, cierra - abre - 1);
        desde = cierra + 1;
        if (desde > t.size()) break;
    }
    QString r = t;
    for (const QString& lit : literales) {
        const QDateTime f = LeeFecha(lit);
        if (!f.isValid()) continue;
        r.replace(QStringLiteral("'") + lit + QStringLiteral("'"),
                  QStringLiteral("TO_DATE('") + FormatoFecha(f, QStringLiteral("dd/mm/yyyy")) +
                      QStringLiteral("','DD/MM/YYYY')"));
    }
    while (Contiene(r, QStringLiteral("TO_DATE(TO_DATE("))) {
        r = Reemplaza(r, QStringLiteral("TO_DATE(TO_DATE("), QStringLiteral("TO_DATE("));
        r = Reemplaza(r, QStringLiteral("'DD/MM/YYYY'),'DD/MM/YYYY')"), QStringLiteral("'DD/MM/YYYY')"));
    }
    return r;
}

QString EstiloFecha(QString t) {
    int desde = 1;
    while (desde <= t.size()) {
        const int p = InStr(desde, t, QStringLiteral("103"));
        if (p == 0) break;
        const int abre = InStrRev(Left(t, p), QStringLiteral("("));
        if (abre >= 8 && Iguales(Mid(t, abre - 7, 8), QStringLiteral("TO_CHAR(")))
            t = Left(t, p - 1) + QStringLiteral("'DD/MM/YYYY'") + Mid(t, p + 3);
        desde = p + 3;
    }
    return t;
}

}  // namespace

bool EsProgramaDeStock(const QString& ejecutable) {
    return Iguales(ejecutable, QStringLiteral("KVSTOCKDEP")) || Iguales(ejecutable, QStringLiteral("KVSTOCKVAL"));
}

bool EsProgramaDeTransferencias(const QString& ejecutable) {
    return Iguales(ejecutable, QStringLiteral("KVTRANSFER")) || Iguales(ejecutable, QStringLiteral("KVTRANSDEP"));
}

QString SS_TSinonimos(const QString& sql, bool esAdmin, bool confidencialidad, const QString& ejecutable) {
    const QString marca = QStringLiteral("@Admin_");
    if (esAdmin) return Reemplaza(sql, marca, QString());
    QString t = sql;
    if (!(Contiene(t, QStringLiteral("MV_ASIENTOS")) && !confidencialidad)) {
        t = AplicaSinonimo(t, QStringLiteral("MA_CUENTAS"), QStringLiteral("SS_MA_CUENTAS"), true);
        if (Contiene(t, QStringLiteral("@admin_"))) {
            t = Reemplaza(t, QStringLiteral("@Admin_MA_CUENTAS"), QStringLiteral("MA_CUENTAS"));
            t = Reemplaza(t, QStringLiteral("SS_MA_CUENTAS"), QStringLiteral("MA_CUENTAS"));
        }
        if (!EsProgramaDeStock(ejecutable))
            t = AplicaSinonimo(t, QStringLiteral("V_TA_DEPOSITO"), QStringLiteral("SS_V_TA_DEPOSITO"), false);
        t = AplicaSinonimo(t, QStringLiteral("MV_ASIENTOS"), QStringLiteral("SS_MV_ASIENTOS"), false);
        if (!EsProgramaDeTransferencias(ejecutable))
            t = AplicaSinonimo(t, QStringLiteral("V_TA_FAMILIAS"), QStringLiteral("SS_V_TA_FAMILIAS"), false);
        t = AplicaSinonimo(t, QStringLiteral("V_TA_CAJAS"), QStringLiteral("SS_V_TA_CAJAS"), false);
        t = AplicaSinonimo(t, QStringLiteral("AC_CUENTASDIARIO"), QStringLiteral("SS_AC_CUENTASDIARIO"), false);
        t = AplicaSinonimo(t, QStringLiteral("AC_CUENTASDIARIO_CCOSTO"), QStringLiteral("SS_AC_CUENTAS_DIARIO_CCOSTO"),
                           false);
    }
    return Reemplaza(t, marca, QString());
}

QString ORACLE_Dicc(const QString& valor, const QString& connString) {
    if (!Contiene(connString, QStringLiteral("ORACLE"))) return valor;
    if (LibUtil().CuentaPalabras(valor) <= 1) return LenALength(valor);
    QString t = valor;
    if (Contiene(t, QStringLiteral("top "))) t = LimiteDeFilas(t);
    t = Reemplaza(t, QStringLiteral(" LEN("), QStringLiteral(" LENGTH("));
    for (int n = 1; n <= 4; ++n)
        t = Reemplaza(t, QStringLiteral(" LEN") + Space(n) + QStringLiteral("("), QStringLiteral(" LENGTH("));
    t.replace(QLatin1Char('['), QLatin1Char('"'));
    t.replace(QLatin1Char(']'), QLatin1Char('"'));
    t = FechasATodate(t);
    t = Reemplaza(t, QStringLiteral("Charindex"), QStringLiteral("InStr"));
    t = Reemplaza(t, QStringLiteral("CONVERT(NVARCHAR,"), QStringLiteral("TO_CHAR("));
    t = Reemplaza(t, QStringLiteral("CONVERT(INT,"), QStringLiteral("TO_NUMBER("));
    if (int w = InStr(t, QStringLiteral("WHERE ")); w > 0) {
        QString parte = Mid(t, w);
        parte = Reemplaza(parte, QStringLiteral("= ''"), QStringLiteral(" IS NULL "));
        parte = Reemplaza(parte, QStringLiteral("=''"), QStringLiteral(" IS NULL "));
        t = Left(t, w - 1) + parte;
    }
    t = EstiloFecha(t);
    t = Reemplaza(t, QStringLiteral("SUBSTRING("), QStringLiteral("SUBSTR("));
    t = Reemplaza(t, QStringLiteral("ISNULL("), QStringLiteral("NVL("));
    return t;
}

QString TopOracle(const QString& sentencia, const QString& connStringPrincipal) {
    if (!Contiene(connStringPrincipal, QStringLiteral("oracle"))) return sentencia;
    if (LibUtil().CuentaPalabras(sentencia) <= 1) return LenALength(sentencia);
    if (!Contiene(sentencia, QStringLiteral("top "))) return sentencia;
    const int p = InStr(sentencia, QStringLiteral("top"));
    const QString head = Left(sentencia, p - 1);
    const QString rest = Mid(sentencia, p + 3);
    const int asterisco = InStr(rest, QStringLiteral("*"));
    if (asterisco == 0) ArgumentoInvalido();
    const QString n = Left(rest, asterisco - 1);
    const QString despues = Mid(rest, asterisco + 1);
    return head + QStringLiteral(" * ") + despues + QStringLiteral(" WHERE ROWNUM <= ") + n;
}

}  // namespace Traduccion
