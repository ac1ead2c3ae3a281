// Value literals, type predicates, object names and single-record helpers.
#include "db/DB_Dll.h"

#include "db/platform/Ado.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"

#include <QDateTime>

using namespace Texto;

namespace {

QString Comillas(const QString& v) { return QString(v).replace(QLatin1Char('\''), QStringLiteral("''")); }

QString ComoTexto(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Bool: return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::Double:
        case QMetaType::Float: return NumeroATexto(v.toDouble());
        // Forms the server reads the same under every login language.
        case QMetaType::QDateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
        case QMetaType::QDate: return v.toDate().toString(QStringLiteral("yyyyMMdd"));
        default: return v.toString();
    }
}

// The number text of a searched value: its leading number, written back.
QString TextoNumero(const QString& valor) { return Trim(NumeroATexto(Val(valor))); }

int TipoDe(const QVariant& tipo) {
    if (tipo.typeId() == QMetaType::QString && tipo.toString() == QLatin1String("'")) return 8;
    bool ok = false;
    const int t = tipo.toInt(&ok);
    return ok ? t : 0;
}

}  // namespace

// ---- value literal --------------------------------------------------------------

QString DB_Dll::SQLValue(const QVariant& Valor, const QString& Tipo) const {
    QString abre, cierra;
    QVariant v = Valor;
    if (Tipo == QLatin1String("@")) {
        if (v.isNull() || !v.isValid()) v = 0;
        v = LibUtil().Reemplaza(NumeroATexto(LibUtil().ValorNumerico(ComoTexto(v))), QStringLiteral(","),
                                QStringLiteral("."));
    } else if (Tipo == QLatin1String("'")) {
        abre = cierra = QStringLiteral("'");
    }
    if (v.isNull() || !v.isValid()) return QStringLiteral("NULL");
    // A quote inside a text literal is doubled: it stays data.
    const QString texto = abre.isEmpty() ? ComoTexto(v) : Comillas(ComoTexto(v));
    return abre + texto + cierra;
}

// ---- type predicates --------------------------------------------------------------

bool DB_Dll::adodate(int t) const { return t == 7 || t == 64 || t == 133 || t == 134 || t == 135 || t == 137; }

bool DB_Dll::ADOText(int t) const {
    return t == 8 || t == 129 || t == 130 || t == 200 || t == 201 || t == 202 || t == 203;
}

bool DB_Dll::ADONumeric(int t) const {
    switch (t) {
        case 2: case 3: case 4: case 5: case 14: case 16: case 17: case 18: case 19: case 20: case 21: case 131:
            return true;
        default: return false;
    }
}

QString DB_Dll::ADOComilla(int t) const { return adodate(t) || ADOText(t) ? QStringLiteral("'") : QString(); }

// ---- object names ------------------------------------------------------------------

QString DB_Dll::stSTF(QString& rsName, bool rnPart) const {
    const qsizetype puntos = rsName.count(QLatin1Char('.'));
    if (puntos == 0) return rsName;
    if (puntos == 1) {
        const int p = InStr(rsName, QStringLiteral("."));
        return rnPart ? Mid(rsName, p + 1) : Left(rsName, p - 1);
    }
    return StripOwner(rsName);
}

QString DB_Dll::AddBrackets(const QString& n) const {
    return n.contains(QLatin1Char(' ')) && !n.startsWith(QLatin1Char('[')) ? QStringLiteral("[") + n + QStringLiteral("]")
                                                                             : n;
}

QString DB_Dll::StripConnect(const QString& n) const {
    const int p = InStr(n, QStringLiteral("->"));
    return p > 0 ? Left(n, p - 2) : n;
}

QString DB_Dll::StripBrackets(const QString& n) const {
    if (!n.startsWith(QLatin1Char('['))) return n;
    if (n.size() < 2) throw Fallo(NumeroFallo::ArgumentoInvalido, QStringLiteral("Llamada a procedimiento o argumento no válidos"));
    return Mid(n, 2, static_cast<int>(n.size()) - 2);
}

QString DB_Dll::StripOwner(QString& n) const {
    if (const int p = InStr(n, QStringLiteral(".")); p > 0) n = Mid(n, p + 1);
    return n;
}

QString DB_Dll::StripFileName(const QString& ruta) const {
    const qsizetype p = std::max(ruta.lastIndexOf(QLatin1Char('\\')), ruta.lastIndexOf(QLatin1Char('/')));
    return p < 0 ? QString() : ruta.left(p);
}

// ---- lost connection in the single-record helpers ---------------------------------------

bool DB_Dll::RecuperaRegistro(int& contador, bool preguntaSiempre) {
    if (!PrimerNativoEs(11)) return false;
    ReintentaConectar();
    if (gOpenFlag) return ++contador < 3;
    for (;;) {
        ReintentaConectar();
        if (gOpenFlag) {
            if (!preguntaSiempre) return true;
            return ++contador < 3;
        }
        if (preguntaSiempre) {
            PreguntaConexionPerdida();
        } else if (++contador >= 3) {
            PreguntaConexionPerdida();
        }
    }
}

namespace {
Guardia GuardiaDeRegistro(DB_Dll& s, int& contador, bool preguntaSiempre) {
    Guardia g([](const Fallo& f) {
        return ElOperador().Mensaje(f.Descripcion(), vbAbortRetryIgnore + vbCritical, QStringLiteral("Aviso al Operador"));
    });
    g.Antes([&s, &contador, preguntaSiempre](const Fallo&) {
        return s.RecuperaRegistro(contador, preguntaSiempre) ? Guardia::Decision::Reintentar
                                                             : Guardia::Decision::Dialogo;
    });
    return g;
}
}  // namespace

// ---- existence tests ---------------------------------------------------------------

bool DB_Dll::ExisteEn(bool esExisteEnTabla, const QString& Tabla, const QString& ValorBuscado, const QString& Campo,
                      RecordsetPtr* LRCS, const QVariant& Tipodato, const QString& Condicion, bool SoloLectura) {
    bool resultado = false;
    QString texto;
    int contador = 0;
    Guardia g = GuardiaDeRegistro(*this, contador, true);
    DB_Dll& sesion = esExisteEnTabla ? *this : gDB();
    g.Ejecuta({
        [&] {
            const int tipo = TipoDe(Tipodato);
            const QString top = esExisteEnTabla ? QStringLiteral("SELECT TOP 1 * FROM ") : QStringLiteral("SELECT * FROM ");
            const QString hint = esExisteEnTabla ? QStringLiteral(" with(nolock)  WHERE ") : QStringLiteral(" with(nolock)   WHERE ");
            if (!Condicion.isEmpty()) {
                const QString j = Contiene(Condicion, QStringLiteral(" WHERE ")) ? QStringLiteral(" ") : QStringLiteral(" WHERE ");
                texto = top + Tabla + (esExisteEnTabla ? QStringLiteral(" with(nolock) ") : QStringLiteral(" with(nolock)  ")) +
                        j + Condicion;
            } else if (tipo == 8) {
                texto = esExisteEnTabla
                            ? QStringLiteral("SELECT TOP 1  * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE LTRIM(RTRIM(") +
                                  Campo + QStringLiteral(")) ='") + Comillas(Trim(ValorBuscado)) + QStringLiteral("'")
                            : top + Tabla + hint + Campo + QStringLiteral(" ='") + Comillas(ValorBuscado) + QStringLiteral("'");
            } else if (tipo == 7) {
                texto = top + Tabla + hint + Campo + QStringLiteral(" = ") + Trim(ValorBuscado) + QStringLiteral(" ");
            } else if (tipo == 3 || tipo == 4 || tipo == 5) {
                texto = top + Tabla + hint + Campo + QStringLiteral(" = ") + TextoNumero(ValorBuscado);
            } else {
                texto = top + Tabla + hint + Campo + QStringLiteral(" = ") + ValorBuscado;
            }
        },
        [&] {
            if (esExisteEnTabla) texto = SS_TSinonimos(texto);
        },
        [&] {
            if (LRCS) {
                if (!*LRCS) *LRCS = std::make_shared<Recordset>();
                Recordset& rs = **LRCS;
                const int cursor = SoloLectura ? ado::adOpenForwardOnly : rs.CursorType();
                const int bloqueo = SoloLectura ? ado::adLockReadOnly : rs.LockType();
                if (rs.State() != ado::adStateClosed) rs.Close();
                rs.Open(texto, sesion.Cnn(), cursor, bloqueo, -1);
                resultado = !rs.Bof();
            } else {
                const QString fuente = esExisteEnTabla ? ORACLE_Dicc(texto) : texto;
                Recordset rs;
                rs.Open(fuente, sesion.Cnn(), ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
                resultado = !rs.Bof();
                rs.Close();
            }
        },
    });
    return resultado;
}

bool DB_Dll::ExisteEnTablaST(const QString& Tabla, const QString& ValorBuscado, const QString& Campo, RecordsetPtr* LRCS,
                             const QVariant& Tipodato, const QString& Condicion, bool SoloLectura) {
    return ExisteEn(false, Tabla, ValorBuscado, Campo, LRCS, Tipodato, Condicion, SoloLectura);
}

bool DB_Dll::ExisteEnTabla(const QString& Tabla, const QString& ValorBuscado, const QString& Campo, RecordsetPtr* LRCS,
                           const QVariant& Tipodato, const QString& Condicion, bool SoloLectura) {
    return ExisteEn(true, Tabla, ValorBuscado, Campo, LRCS, Tipodato, Condicion, SoloLectura);
}

// ---- one-value lookup ------------------------------------------------------------------

QVariant DB_Dll::DatosTabla(const QString& Tabla, const QString& ValorBuscado, const QString& CampoDevuelto,
                            const QString& Campo, QVariant* Tipodato, const QString& Condicion, bool UsaTrim,
                            bool IgnoraError) {
    QVariant local = 8;
    QVariant& tipoVar = Tipodato ? *Tipodato : local;
    QVariant resultado = QString();
    QString texto;
    RecordsetPtr rs;
    bool sinSesion = false;
    int contador = 0;
    Guardia g = GuardiaDeRegistro(*this, contador, false);
    if (IgnoraError) g.Antes([](const Fallo&) { return Guardia::Decision::Salir; });
    const bool completo = g.Ejecuta({
        [&] {
            if (tipoVar.typeId() == QMetaType::QString && tipoVar.toString() == QLatin1String("'")) tipoVar = 8;
        },
        [&] {
            const QString head = QStringLiteral("SELECT TOP 1 * FROM ") + Tabla + QStringLiteral(" with(nolock)  WHERE ");
            const QString tail = (Trim(Condicion).isEmpty() ? QString() : QStringLiteral(" AND ")) + Condicion;
            const int tipo = TipoDe(tipoVar);
            if (tipo == 8 && UsaTrim)
                texto = head + QStringLiteral("LTRIM(RTRIM(") + Campo + QStringLiteral(")) ='") +
                        Comillas(Trim(ValorBuscado)) + QStringLiteral("' ") + tail;
            else if (tipo == 8)
                texto = head + Campo + QStringLiteral(" ='") + Comillas(ValorBuscado) + QStringLiteral("' ") + tail;
            else if (tipo == 7)
                texto = head + Campo + QStringLiteral(" = #") + Trim(ValorBuscado) + QStringLiteral("# ") + tail;
            else if (tipo == 3 || tipo == 4 || tipo == 5)
                texto = head + Campo + QStringLiteral(" = ") + TextoNumero(ValorBuscado) + tail;
            else
                texto = head + Campo + QStringLiteral(" = ") + ValorBuscado + tail;
        },
        [&] { AbrirRecordset(texto, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true); },
        [&] { sinSesion = !gOpenFlag; },
        [&] {
            if (sinSesion) return;
            if (rs && rs->State() != ado::adStateClosed && !rs->Bof() && !rs->Eof())
                resultado = LibUtil().ValorCampo(rs->Fields(CampoDevuelto).Value()).toString();
            else
                resultado = QString();
        },
        [&] {
            if (rs) CierraRecordset(rs);
        },
    });
    if (sinSesion) return QVariant();
    if (!completo && IgnoraError) return QString();
    return resultado;
}

// ---- aggregates -------------------------------------------------------------------------

QVariant DB_Dll::BuscaMaximo(const QString& QueTabla, const QString& QueCampo, const QVariant& Tipo, QString* Condicion) {
    QString local;
    // An empty condition is no condition (a bare WHERE would not compile).
    bool dada = Condicion != nullptr && !Trim(*Condicion).isEmpty();
    QString& condicion = Condicion ? *Condicion : local;
    bool extendida = false;
    for (;;) {
        QString q = QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
        if (dada) q += QStringLiteral(" WHERE ") + Trim(condicion);
        Recordset rs;
        rs.Open(q, Cnn(), ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
        if (rs.Bof() && rs.Eof()) return {};
        const QString mayor = LibUtil().ValorCampo(rs.Fields(QStringLiteral("MAYOR")).Value()).toString();
        if (!extendida && Iguales(QueTabla, QStringLiteral("V_MA_ARTICULOS")) && Trim(mayor).startsWith(QLatin1Char('0'))) {
            condicion = Trim(condicion).isEmpty()
                            ? QStringLiteral(" substring(ltrim(idarticulo),1,1)<>'0'")
                            : condicion + QStringLiteral(" and substring(ltrim(idarticulo),1,1)<>'0'");
            dada = true;
            extendida = true;
            rs.Close();
            continue;
        }
        const QVariant valor = LibUtil().ValorCampo(rs.Fields(QStringLiteral("MAYOR")).Value());
        rs.Close();
        if (Tipo.isValid() && Tipo.toInt() == 7) return valor;
        return Val(valor.toString());
    }
}

QVariant DB_Dll::BuscaMinimo(const QString& QueTabla, const QString& QueCampo, const QVariant&, const QString& Condicion) {
    QString q = QStringLiteral("SELECT MIN(") + QueCampo + QStringLiteral(") AS MENOR FROM ") + QueTabla +
                QStringLiteral("  with(nolock) ");
    if (!Condicion.isEmpty()) q += QStringLiteral(" WHERE ") + Trim(Condicion);
    Recordset rs;
    rs.Open(q, Cnn(), ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
    if (rs.Bof() && rs.Eof()) return {};
    const double v = Val(LibUtil().ValorCampo(rs.Fields(QStringLiteral("MENOR")).Value()).toString());
    rs.Close();
    return v;
}

QVariant DB_Dll::BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, const QVariant&,
                                   const QString& Condicion) {
    QString q = QStringLiteral("SELECT MAX(") + QueCampo + QStringLiteral(") AS MAYOR FROM ") + QueTabla;
    if (!Trim(Condicion).isEmpty()) q += QStringLiteral(" WHERE ") + Condicion;
    Recordset rs;
    rs.Open(q, Cnn(), ado::adOpenForwardOnly, ado::adLockReadOnly, -1);
    if (rs.Bof() && rs.Eof()) return {};
    const double v = Val(LibUtil().ValorCampo(rs.Fields(QStringLiteral("MAYOR")).Value()).toString());
    rs.Close();
    return v;
}
