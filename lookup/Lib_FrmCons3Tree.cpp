#include "lookup/Lib_FrmCons3Tree.h"

#include "db/DB_Dll.h"
#include "db/platform/Recordset.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Guardia.h"
#include "platform/Texto.h"

using namespace Texto;

namespace {

const QString kSentenciaFamilias = QStringLiteral(
    "SELECT     TOP 100 PERCENT IdFamilia, Descripcion, "
    "(SELECT     TOP 1 idfamilia FROM @Admin_v_ta_familias a  "
    " Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia)))) "
    " ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b Where IdFamilia<>'' ORDER BY IdFamilia");

constexpr int kNivelesMarcados = 6;

}  // namespace

void Lib_FrmCons3Tree::MuestraModal() {
    oculta_ = false;
    if (!Carga()) return;
    if (Presentador) Presentador(*this);
    Cierra();
}

bool Lib_FrmCons3Tree::Carga() {
    Valores.clear();
    nodos_.clear();
    porClave_.clear();
    actual_ = -1;
    if (Contiene(sql, QStringLiteral("v_ta_familias"))) return ArmarTreeVFamilias();
    return ArmarTreeVAutomatico();
}

void Lib_FrmCons3Tree::Inicia() {
    nodos_.clear();
    porClave_.clear();
    actual_ = -1;
    Agrega(-1, QStringLiteral("A"), QStringLiteral("Consulta..."));
}

int Lib_FrmCons3Tree::Agrega(int padre, const QString& clave, const QString& texto) {
    Nodo n;
    n.Clave = clave;
    n.Texto = texto;
    n.Padre = padre;
    const int i = static_cast<int>(nodos_.size());
    nodos_.push_back(std::move(n));
    if (padre >= 0) nodos_[static_cast<std::size_t>(padre)].Hijos.push_back(i);
    porClave_.insert(clave.toUpper(), i);
    return i;
}

bool Lib_FrmCons3Tree::ArmarTreeVFamilias() {
    sql = kSentenciaFamilias;
    return Arma(sql, true);
}

bool Lib_FrmCons3Tree::ArmarTreeVAutomatico() { return Arma(sql, false); }

bool Lib_FrmCons3Tree::Arma(const QString& sentencia, bool familias) {
    Inicia();
    RecordsetPtr rs;
    const Lib_Util& u = LibUtil();
    Guardia g(TratamientoGlobalDe(familias ? QStringLiteral("ArmarTreeVFamilias") : QStringLiteral("ArmarTreeVAutomatico")));
    const bool ok = g.Ejecuta({
        [&] {
            QString s = sentencia;
            gDB().AbrirRecordset(s, rs, nullptr, 0, 1, -1, true);
        },
        [&] {
            if (!rs || rs->State() == 0) return;
            for (; !rs->Eof(); rs->MoveNext()) {
                const QString codigo = Trim(u.ValorCampo(rs->Fields(0).Value()).toString());
                const QString descripcion = rs->FieldCount() > 1 ? u.ValorCampo(rs->Fields(1).Value()).toString() : QString();
                const QString clave = QStringLiteral("A") + codigo;
                if (porClave_.contains(clave.toUpper())) continue;   // a repeated code keeps its first node
                int padre = 0;
                if (familias) {
                    const QVariant relativo = rs->FieldCount() > 2 ? rs->Fields(2).Value() : QVariant();
                    if (!relativo.isNull()) padre = porClave_.value(QStringLiteral("A").append(Trim(relativo.toString())).toUpper(), 0);
                } else {
                    // The longest key already added that is a prefix of this one.
                    const QString k = clave.toUpper();
                    for (qsizetype largo = k.size() - 1; largo >= 1; --largo) {
                        const auto it = porClave_.constFind(k.left(largo));
                        if (it != porClave_.constEnd()) {
                            padre = it.value();
                            break;
                        }
                    }
                }
                Agrega(padre, clave, codigo + QStringLiteral(" - ") + descripcion);
            }
        },
    });
    if (rs && rs->State() != 0) gDB().CierraRecordset(rs);
    return ok;
}

void Lib_FrmCons3Tree::SeleccionaNodo(int nodo) {
    actual_ = (nodo >= 0 && nodo < static_cast<int>(nodos_.size())) ? nodo : -1;
}

int Lib_FrmCons3Tree::BuscaClave(const QString& clave) const { return porClave_.value(clave.toUpper(), -1); }

QString Lib_FrmCons3Tree::Codigo(int nodo) const { return nodos_[static_cast<std::size_t>(nodo)].Clave.mid(1); }

void Lib_FrmCons3Tree::Busqueda(const QString& texto) {
    for (int i = 0; i < static_cast<int>(nodos_.size()); ++i) {
        const QString& t = nodos_[static_cast<std::size_t>(i)].Texto;
        const int guion = t.indexOf(QLatin1Char('-'));
        const QString codigo = Trim(guion < 0 ? t : t.left(guion));
        const QString descripcion = Trim(guion < 0 ? QString() : t.mid(guion + 1));
        if (EmpiezaCon(codigo, texto) || EmpiezaCon(descripcion, texto)) {
            actual_ = i;
            return;
        }
    }
}

bool Lib_FrmCons3Tree::RefinaEnServidor(const QString& texto) {
    QString base = sql, cola;
    if (Contiene(sql, QStringLiteral("order"))) {
        const int p = InStr(sql, QStringLiteral("order by"));
        if (p > 0) {
            cola = Mid(sql, p);
            base = Left(sql, p - 1);
        }
    }
    sql = base + (Contiene(sql, QStringLiteral("where")) ? QStringLiteral(" and ") : QStringLiteral(" where ")) +
          QStringLiteral("Descripcion like '%") + QString(texto).replace(QLatin1Char('\''), QStringLiteral("''")) +
          QStringLiteral("%' ") + cola;
    return Carga();
}

void Lib_FrmCons3Tree::MarcaNodo(int nodo, bool marcada) {
    if (nodo < 0 || nodo >= static_cast<int>(nodos_.size())) return;
    nodos_[static_cast<std::size_t>(nodo)].Marcada = marcada;
    std::vector<int> nivel{nodo};
    for (int n = 0; n < kNivelesMarcados && !nivel.empty(); ++n) {
        std::vector<int> siguiente;
        for (int p : nivel)
            for (int h : nodos_[static_cast<std::size_t>(p)].Hijos) {
                nodos_[static_cast<std::size_t>(h)].Marcada = nodos_[static_cast<std::size_t>(p)].Marcada;
                siguiente.push_back(h);
            }
        nivel = std::move(siguiente);
    }
}

void Lib_FrmCons3Tree::CmdAceptar() {
    DB_Dll& db = gDB();
    const Lib_Util& u = LibUtil();
    // The found record's value of the returned column; nothing when absent.
    auto busca = [&](const QString& tabla, const QString& codigo, const QString& campo, QVariant& valor) {
        RecordsetPtr rs;
        if (!db.ExisteEnTabla(tabla, codigo, campo, &rs)) {
            if (rs && rs->State() != 0) db.CierraRecordset(rs);
            return false;
        }
        valor = u.ValorCampo(rs->Value(CampoDevuelto));
        db.CierraRecordset(rs);
        return true;
    };
    Guardia g(TratamientoGlobalDe(QStringLiteral("CmdAceptar_Click")));
    g.Paso([&] {
        const QString campo = Trim(CampoDevuelto);
        if (CheckBoxes) {
            for (int i = 1; i < static_cast<int>(nodos_.size()); ++i) {   // the root carries no code
                if (!nodos_[static_cast<std::size_t>(i)].Marcada) continue;
                const QString codigo = Trim(Codigo(i));
                if (Iguales(campo, QStringLiteral("IDFAMILIA")) || Iguales(campo, QStringLiteral("CODIGO"))) {
                    Valores << codigo;
                } else if (Iguales(campo, QStringLiteral("IDPOSICION"))) {
                    QVariant v;
                    if (busca(QStringLiteral("MA_POSICIONES"), codigo, QStringLiteral("IDPOSICION"), v)) Valores << v;
                }
            }
            return;
        }
        if (actual_ < 0) return;
        const QString codigo = Codigo(actual_);
        QVariant v;
        bool hallado = false;
        if (Iguales(campo, QStringLiteral("IDFAMILIA"))) {
            hallado = busca(QStringLiteral("@admin_V_TA_FAMILIAS"), codigo, QStringLiteral("IDFAMILIA"), v);
        } else if (Iguales(campo, QStringLiteral("IDPOSICION"))) {
            hallado = busca(QStringLiteral("MA_POSICIONES"), codigo, QStringLiteral("IDPOSICION"), v);
        } else if (Iguales(campo, QStringLiteral("CODIGO"))) {
            hallado = busca(QStringLiteral("TA_CCOSTO"), codigo, QStringLiteral("CODIGO"), v) ||
                      busca(QStringLiteral("MA_CUENTAS"), codigo, QStringLiteral("CODIGO"), v);
        }
        ValorDevuelto = hallado ? v : QVariant(QString());
    });
    oculta_ = true;
}

void Lib_FrmCons3Tree::CmdCancelar() {
    DescartaEleccion();
    oculta_ = true;
}

void Lib_FrmCons3Tree::CmdNueva() {
    if (Contiene(sql, QStringLiteral("v_ta_familias"))) ArmarTreeVFamilias();
    else ArmarTreeVAutomatico();
}

void Lib_FrmCons3Tree::Cierra() {
    nodos_.clear();
    porClave_.clear();
    actual_ = -1;
}
