#include "lookup/Lib_ClsCons3.h"

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "frame/Configuracion.h"
#include "platform/lib/Lib_Util.h"
#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "lookup/MascaraConsulta.h"
#include "lookup/VentanaConsulta.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>

using namespace Texto;

namespace {

constexpr long kTopPorDefecto = 1000;
constexpr int kTwipsPorCaracter = 120;

// A field of the definitions file without the characters 0 and 255.
QString Limpia(const QString& campo) {
    return LibUtil().QuitaCaracteres(campo, QString(QChar(0)), QString(QChar(0xFF)));
}

QString SinComasExtremas(QString s) {
    if (s.startsWith(QLatin1Char(','))) s.remove(0, 1);
    if (s.endsWith(QLatin1Char(','))) s.chop(1);
    return s;
}

QString ArchivoExistente(const QString& ruta) {
    if (Trim(ruta).isEmpty()) return {};
    const QFileInfo f(ruta);
    const QString r = ArchivoTexto::BuscaSinMayusculas(f.absolutePath(), f.fileName());
    return QFileInfo(r).isFile() ? r : QString();
}

// The definitions-file path; false when the file has no record for `sql`.
bool DesdeMascaras(const QString& archivo, const QString& sql, QString& CampoBusqueda, const QString& Where,
                   long Top, SentenciaConsulta& r) {
    const int64_t total = ArchivoMascaras::Cantidad(archivo);
    for (int64_t n = 1; n <= total; ++n) {
        const MascaraConsulta m = ArchivoMascaras::Lee(archivo, n);
        if (!Iguales(Trim(Limpia(m.Tabla)), Trim(sql))) continue;

        QString tabla = Trim(Limpia(m.Tabla));
        QString columnas = SinComasExtremas(Trim(QString(m.Campos).replace(QLatin1Char('|'), QLatin1Char(','))));
        if (columnas.isEmpty()) columnas = QStringLiteral("*");
        if (CampoBusqueda.isEmpty()) {
            if (!columnas.contains(QLatin1Char(','))) {
                r.faltaConfigurar = true;
                return true;
            }
            CampoBusqueda = columnas.left(columnas.indexOf(QLatin1Char(',')));
        }
        QString filtro = Trim(Limpia(m.Filtro));
        if (Trim(filtro).isEmpty() && !Trim(Where).isEmpty()) filtro = Where;
        if (Iguales(tabla, QStringLiteral("VT_PROVEEDORES")) || Iguales(tabla, QStringLiteral("VT_CLIENTES"))) {
            if (Trim(filtro).isEmpty()) filtro = QStringLiteral("Dada_De_Baja = 0");
        } else if (Iguales(tabla, QStringLiteral("V_MA_ARTICULOS"))) {
            tabla = QStringLiteral("VT_MA_ARTICULOS");
            if (Trim(filtro).isEmpty()) filtro = QStringLiteral("SUSPENDIDO = 0");
        }
        const QString donde = Trim(filtro).isEmpty() ? QString() : QStringLiteral(" WHERE ");
        r.sentencia = QStringLiteral("SELECT TOP ") + QString::number(Top) + QStringLiteral(" ") + columnas +
                      QStringLiteral(" FROM ") + tabla;
        if (CampoBusqueda.isEmpty())
            r.sentencia += QStringLiteral(" with(nolock) ") + donde + filtro;
        else
            r.sentencia += QStringLiteral("  with(nolock) ") + donde + filtro + QStringLiteral(" ORDER BY ") +
                           CampoBusqueda;
        return true;
    }
    return false;
}

struct ColumnasFijas {
    const char* tabla;
    const char* columnas;
    const char* busqueda;
};

constexpr ColumnasFijas kColumnasFijas[] = {
    {"V_TA_Unidad", "Descripcion,IdUnidad,", "IdUnidad"},
    {"V_TA_DEPOSITO", "Descripcion,Unidad,IdDeposito,", "IdDeposito"},
    {"V_TA_STATUS", "Descripcion,Tipo,CodigoEstado,", "CodigoEstado"},
};

bool EnLista(const QString& nombre, std::initializer_list<const char*> lista) {
    return std::any_of(lista.begin(), lista.end(),
                       [&](const char* n) { return Iguales(nombre, QString::fromLatin1(n)); });
}

// The default path: fixed columns for three tables, else the table's own
// fields, last to first.
QString PorDefecto(const QString& sql, QString& CampoBusqueda, const QString& Where, const QString& SentenciaOpcional,
                   long Top, const CamposDeTabla& campos) {
    if (!SentenciaOpcional.isEmpty()) return SentenciaOpcional;
    QString columnas;
    bool fija = false;
    for (const ColumnasFijas& c : kColumnasFijas) {
        if (!Iguales(sql, QString::fromLatin1(c.tabla))) continue;
        columnas = QString::fromLatin1(c.columnas);
        CampoBusqueda = QString::fromLatin1(c.busqueda);
        fija = true;
    }
    if (!fija && campos) {
        const bool conId = EnLista(sql, {"v_mv_mutuales", "V_MV_TROPA_STOCK"});
        for (const QString& nombre : campos(sql)) {
            if (EnLista(nombre, {"ID", "FECHAHORA_MODIFICACION", "FECHAHORA_GRABACION"})) {
                if (!conId) continue;
                CampoBusqueda = nombre;
            } else if (EnLista(nombre, {"DESCRIPCION", "NOMBRE", "DETALLE"})) {
                CampoBusqueda = nombre;
            } else if (Trim(columnas).isEmpty()) {
                CampoBusqueda = nombre;
            }
            columnas = nombre + QStringLiteral(",") + columnas;
        }
    }
    if (Trim(columnas).isEmpty())
        columnas = QStringLiteral(" * ");
    else
        columnas.chop(1);
    const QString filtro = QStringLiteral(" ") + Where;
    QString s = QStringLiteral("SELECT TOP ") + QString::number(Top) + QStringLiteral(" ") + columnas +
                QStringLiteral(" FROM ") + sql + (Trim(filtro).isEmpty() ? QString() : QStringLiteral(" WHERE ")) +
                filtro;
    // Without a search column there is nothing to order by.
    if (!CampoBusqueda.isEmpty()) s += QStringLiteral(" ORDER BY ") + CampoBusqueda;
    return s;
}

void VaciaLista(QStringList* lista) {
    if (lista) lista->clear();
}

}  // namespace

SentenciaConsulta ArmaSentenciaConsulta(const QString& sql, QString& CampoBusqueda, QString& Where,
                                        const QString& SentenciaOpcional, long Top, bool usarMascaras,
                                        const QString& rutaMascaras, const CamposDeTabla& campos) {
    if (Trim(Where).size() > 1 && !Trim(Where).startsWith(QLatin1Char('(')))
        Where = QStringLiteral(" (") + Where + QStringLiteral(") ");

    SentenciaConsulta r;
    if (!Contiene(sql, QStringLiteral("SELECT"))) {
        // A definitions file that went missing falls back to the default path.
        const QString archivo = usarMascaras ? ArchivoExistente(rutaMascaras) : QString();
        if (!archivo.isEmpty() && DesdeMascaras(archivo, sql, CampoBusqueda, Where, Top, r)) return r;
        r.sentencia = PorDefecto(sql, CampoBusqueda, Where, SentenciaOpcional, Top, campos);
        return r;
    }
    r.sentencia = LibUtil().ReemplazaTexto(sql, QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("VT_MA_ARTICULOS"));
    if (!Trim(Where).isEmpty()) {
        if (!Contiene(Where, QStringLiteral("WHERE"))) Where = QStringLiteral(" WHERE ") + Where;
        r.sentencia += Where;
    }
    return r;
}

long TopConsultas() {
    const double v = Val(Cfg(QStringLiteral("TopConsArt"), nullptr, QStringLiteral("DATOS")));
    const long n = static_cast<long>(v);
    return n > 0 ? n : kTopPorDefecto;
}

QStringList CamposDeTablaSesion(const QString& tabla) {
    QStringList r;
    DB_Dll& db = gDB();
    RecordsetPtr rs;
    QString s = QStringLiteral("select top 1 * from ") + tabla;
    db.AbrirRecordset(s, rs, nullptr, ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
    if (!rs || rs->State() == ado::adStateClosed) return r;
    for (int i = 0; i < rs->FieldCount(); ++i) r << rs->Fields(i).Name();
    db.CierraRecordset(rs);
    return r;
}

// ---- the engine ----------------------------------------------------------------------

Lib_ClsCons3::Lib_ClsCons3() {
    StkNivel1 = StkNivel2 = StkNivel3 = StkNivel4 = 0;
    if (!gDB().gOpenFlag) return;
    auto lee = [](const char* clave) { return Trim(Cfg(QString::fromLatin1(clave), nullptr, QStringLiteral("DATOS"))); };
    auto nivel = [&](const char* clave) {
        const QString v = lee(clave);
        return v.isEmpty() ? QVariant(0) : QVariant(v);
    };
    StkNivel1 = nivel("Stk_Nivel1");
    StkNivel2 = nivel("Stk_Nivel2");
    StkNivel3 = nivel("Stk_Nivel3");
    StkNivel4 = nivel("Stk_Nivel4");
    MuestraStock = lee("MostrarStockenConsultas");
    usaConsultaLike_ = Iguales(lee("UsaConsultaLike"), QStringLiteral("SI"));
}

Lib_ClsCons3::~Lib_ClsCons3() = default;

void Lib_ClsCons3::ConsultaSearch(QString sql, QStringList* CmpsDevueltos, const QString& Clave,
                                  QString& CampoBusqueda, QString& Where, const QString& SentenciaOpcional,
                                  bool TreeView, const QString& ValoresDefault) {
    // Step 8 runs however the lookup ends.
    struct AlFinal {
        Lib_ClsCons3& m;
        QStringList* cmps;
        ~AlFinal() {
            m.CampoDevuelto.clear();
            VaciaLista(cmps);
        }
    } alFinal{*this, CmpsDevueltos};

    const SentenciaConsulta s = ArmaSentenciaConsulta(sql, CampoBusqueda, Where, SentenciaOpcional, TopConsultas(),
                                                      gUsarMascarasConsultas, gRutaMascaraConsultas,
                                                      CamposDeTablaSesion);
    if (s.faltaConfigurar) {
        ElOperador().Mensaje(QStringLiteral("Debe configurar la consulta para esta tabla"), vbInformation,
                             QStringLiteral("Aviso al operador"));
        return;
    }

    std::unique_ptr<VentanaConsulta> v =
        CreaVentanaConsulta(TreeView ? TipoVentanaConsulta::Arbol : TipoVentanaConsulta::Lista);
    if (!v) throw Fallo(NumeroFallo::ObjetoNoEstablecido, QStringLiteral("Variable de objeto no establecida"));

    if (TreeView) {
        v->sql = s.sentencia;
        v->CampoDevuelto = CampoDevuelto;
        v->CheckBoxes = Checks;
        Valores.clear();
        v->MuestraModal();
        ValorDevuelto = v->ValorDevuelto;
        Valores = v->Valores;
        Checks = false;
        return;
    }
    v->StkNivel1 = StkNivel1;
    v->StkNivel2 = StkNivel2;
    v->StkNivel3 = StkNivel3;
    v->StkNivel4 = StkNivel4;
    v->MuestraStock = MuestraStock;
    v->CfgUsaConsultaLIKE = usaConsultaLike_;
    v->OrdenarPorLwv = !Contiene(s.sentencia, QStringLiteral("ORDER BY"));
    v->FiltroInicial = Clave;
    v->CampoBusqueda = CampoBusqueda;
    if (gConnString.isEmpty()) gConnString = gDB().gConnString;
    v->gConnString = gConnString;
    v->sql = s.sentencia;
    v->CampoDevuelto = CampoDevuelto;
    v->CheckBoxes = Checks;
    v->UsaCantidades = UsaCantidades;
    v->ValoresDefault = ValoresDefault;
    Valores.clear();
    Cantidades.clear();
    v->Valores.clear();
    v->Cantidades.clear();
    v->CmpsDevueltos = CmpsDevueltos ? *CmpsDevueltos : QStringList();
    v->MuestraModal();
    Checks = false;
    Valores = v->Valores;   // quantities stay in the window's rows: Cantidades stays empty
    ValorDevuelto = v->ValorDevuelto;
    v->CampoDevuelto.clear();
}

namespace {

// The list window prepared as a picker: no query, one column headed `titulo`.
std::unique_ptr<VentanaConsulta> VentanaSelector(const QString& titulo, bool marcas) {
    std::unique_ptr<VentanaConsulta> v = CreaVentanaConsulta(TipoVentanaConsulta::Lista);
    if (!v) throw Fallo(NumeroFallo::ObjetoNoEstablecido, QStringLiteral("Variable de objeto no establecida"));
    v->Caption = titulo;
    v->CmdNuevaVisible = false;
    v->OrdenarPorLwv = true;
    v->sql.clear();
    v->gConnString.clear();
    v->CampoDevuelto = titulo;
    v->CheckBoxes = marcas;
    return v;
}

// 120 twips per character of the longest text; the window keeps it on screen.
int AnchoSelector(const QString& titulo, const QStringList& textos) {
    qsizetype largo = titulo.size();
    for (const QString& t : textos) largo = std::max(largo, t.size());
    return static_cast<int>(largo) * kTwipsPorCaracter;
}

}  // namespace

QString Lib_ClsCons3::MenuOpciones(const QString& Titulo, const QStringList& Opc) {
    std::unique_ptr<VentanaConsulta> v = VentanaSelector(Titulo, false);
    // Rows only for a list of two options or more, as the suite's pickers do.
    if (Opc.size() > 1)
        for (const QString& o : Opc) v->Opciones.push_back({o, false});
    v->AnchoTwips = AnchoSelector(Titulo, Opc);
    v->MuestraModal();
    return v->ValorDevuelto.toString();
}

QString Lib_ClsCons3::CheckOpciones(const QString& Titulo, QStringList* /*CmpsDevueltos*/, const QStringList& Opc) {
    std::unique_ptr<VentanaConsulta> v = VentanaSelector(Titulo, true);
    if (Opc.size() > 1)
        for (const QString& o : Opc) v->Opciones.push_back({o.mid(1), o.startsWith(QLatin1Char('1'))});
    v->AnchoTwips = AnchoSelector(Titulo, Opc);
    v->MuestraModal();
    Valores = v->Valores;
    return {};
}

QString Lib_ClsCons3::ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo,
                                           const QString& /*Separador*/) {
    const QString archivo = ArchivoExistente(QueArchivo);
    if (archivo.isEmpty()) {
        ElOperador().Mensaje(QStringLiteral("No existe el archivo ") + QueArchivo +
                                 QStringLiteral(" que desea consultar consulta "),
                             vbOKOnly);
        return {};
    }
    const std::optional<QString> texto = ArchivoTexto::Lee(archivo);
    if (!texto) throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("Permiso denegado: ") + archivo);
    const QStringList lineas = ArchivoTexto::Lineas(*texto);
    std::unique_ptr<VentanaConsulta> v = VentanaSelector(Titulo, false);
    for (const QString& l : lineas) v->Opciones.push_back({l, false});
    v->AnchoTwips = AnchoSelector(Titulo, lineas);
    v->MuestraModal();
    return v->ValorDevuelto.toString();
}

namespace {
std::unique_ptr<Lib_ClsCons3>& Motor() {
    static std::unique_ptr<Lib_ClsCons3> motor;
    return motor;
}
}  // namespace

Lib_ClsCons3& ElMotorConsultas() {
    if (!Motor()) Motor() = std::make_unique<Lib_ClsCons3>();
    return *Motor();
}

Lib_ClsCons3& RecreaMotorConsultas() {
    Motor() = std::make_unique<Lib_ClsCons3>();
    return *Motor();
}
