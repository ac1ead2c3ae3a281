#include "lookup/ModConsultas.h"

#include "frame/Configuracion.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "platform/sesion/Sesion.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/MascaraConsulta.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

using namespace Texto;

namespace {

struct ConsultaDefault {
    const char* Nombre;
    const char* Tabla;   // written as it is, blanks included
    const char* Campos;
};

constexpr ConsultaDefault kConsultasDefault[] = {
    {"ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
    {"CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
    {"PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
    {"CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
    {"VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|"},
    {"TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|"},
    {"MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|"},
    {"CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|"},
    {"TAREAS", "V_TA_Tareas  ", "|Descripcion|IdTarea| "},
    {"UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|"},
    {"DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|"},
};

}  // namespace

bool CreaConsultasDefault() {
    const QString ruta = ElMotorConsultas().gRutaMascaraConsultas;
    Guardia g(TratamientoGlobalDe(QStringLiteral("CreaConsultasDefault")));
    for (const ConsultaDefault& c : kConsultasDefault) {
        MascaraConsulta m;
        m.Nombre = Texto::Trim(QString::fromLatin1(c.Nombre));
        m.Tabla = QString::fromLatin1(c.Tabla);
        m.Campos = Texto::Trim(QString::fromLatin1(c.Campos));
        if (!g.Paso([&] { ArchivoMascaras::Agrega(ruta, m); })) return false;
    }
    return true;
}

// ---- column lists --------------------------------------------------------------------

namespace {

const QString kArticulos = QStringLiteral("V_MA_ARTICULOS");
const QString kStock = QStringLiteral("STK_MA_ARTICULOS");

QString Limpia(const QString& campo) {
    return LibUtil().QuitaCaracteres(campo, QString(QChar(0)), QString(QChar(0xFF)));
}

// The engine's definitions file when it exists, else empty.
QString ArchivoDefiniciones() {
    const QString ruta = ElMotorConsultas().gRutaMascaraConsultas;
    if (Trim(ruta).isEmpty()) return {};
    const QFileInfo f(ruta);
    const QString r = ArchivoTexto::BuscaSinMayusculas(f.absolutePath(), f.fileName());
    return QFileInfo(r).isFile() ? r : QString();
}

// The first record whose table is `tabla`.
std::optional<MascaraConsulta> BuscaDefinicion(const QString& archivo, const QString& tabla) {
    const int64_t total = ArchivoMascaras::Cantidad(archivo);
    for (int64_t n = 1; n <= total; ++n) {
        MascaraConsulta m = ArchivoMascaras::Lee(archivo, n);
        if (Iguales(Trim(Limpia(m.Tabla)), Trim(tabla))) return m;
    }
    return std::nullopt;
}

QString SinComasExtremas(QString s) {
    if (s.startsWith(QLatin1Char(','))) s.remove(0, 1);
    if (s.endsWith(QLatin1Char(','))) s.chop(1);
    return s;
}

QString Archivo(const QString& nombre) {
    return ArchivoTexto::BuscaSinMayusculas(LibUtil().AgregaBarra(CarpetaAplicacion()), nombre);
}

}  // namespace

void LeeCamposConsulta(const QString& Tabla, QString& Campos, QString& Primera, const QString& /*Reservado*/) {
    const Lib_Util& u = LibUtil();
    Primera.clear();
    Campos.clear();
    const QString archivo = ArchivoDefiniciones();
    if (!archivo.isEmpty()) {
        const int64_t total = ArchivoMascaras::Cantidad(archivo);
        bool deStock = false;
        std::optional<MascaraConsulta> tomado;
        for (int64_t n = 1; n <= total && !tomado; ++n) {
            const MascaraConsulta m = ArchivoMascaras::Lee(archivo, n);
            const QString t = Trim(Limpia(m.Tabla));
            if (Iguales(t, Trim(Tabla))) {
                tomado = m;
            } else if (Iguales(Trim(Tabla), kStock) && Iguales(t, kArticulos)) {
                tomado = m;
                deStock = true;
            }
        }
        if (tomado) {
            QString c = tomado->Campos;
            if (Iguales(Trim(Tabla), kStock) || Iguales(Trim(Tabla), kArticulos)) {
                c = u.QuitaRelleno(c);
                if (c.endsWith(QLatin1Char('|'))) c.chop(1);
                c = u.Reemplaza(c, QStringLiteral("|"), QStringLiteral(",") + Tabla + QStringLiteral("."));
            } else {
                c.replace(QLatin1Char('|'), QLatin1Char(','));
            }
            c = SinComasExtremas(Trim(c));
            // A single column is the search column too.
            const int coma = c.indexOf(QLatin1Char(','));
            Primera = coma < 0 ? c : c.left(coma);
            if (deStock)
                c += gConfiguracion.MostrarStockenConsultas ? QStringLiteral(",Deposito,Stock,PuntoPedido")
                                                            : QStringLiteral(",Deposito");
            Campos = c;
        }
    }
    if (Trim(Campos).isEmpty()) Campos = QStringLiteral("*");
}

// ---- cattle lots and column widths -----------------------------------------------------

void AgregaConsultasTropa(const QString& Tabla) {
    struct Tropa {
        const char* tabla;
        const char* nombre;
        const char* campos;
        const char* anchos;
    };
    static constexpr Tropa kTropas[] = {
        {"v_mv_tropa", "TROPA", "|FechaDte|Dte|IdTropa|Patente|Chofer|NroGuia|CuitVendedor|",
         "1529.188|1575.081|1139.384|1304.258|3058.377|2908.234|1933.724|"},
        {"V_MV_TROPA_STOCK", "TROPA_STOCK", "|idTropa|categoria|secuencia|lado|kg|comprador|fecha|idPlanilla|id|",
         "1354.115|1079.327|1004.539|659.4944|1603.976|1575.081|1679.898|419.8328|419.8328|"},
    };
    for (const Tropa& t : kTropas) {
        if (!Iguales(Tabla, QString::fromLatin1(t.tabla))) continue;
        MascaraConsulta m;
        m.Nombre = QString::fromLatin1(t.nombre);
        m.Tabla = Tabla;
        m.Campos = QString::fromLatin1(t.campos);
        ArchivoMascaras::Agrega(Archivo(QStringLiteral("CONSULTAS.KVX")), m);
        GrabaAnchosConsulta(Tabla, QString::fromLatin1(t.anchos));
    }
}

namespace {

// The table of a widths line: its first field, between double quotes.
QString TablaDeLinea(const QString& linea) {
    const QString l = Trim(linea);
    if (!l.startsWith(QLatin1Char('"'))) return l.section(QLatin1Char(','), 0, 0);
    const int fin = l.indexOf(QLatin1Char('"'), 1);
    return fin < 0 ? l.mid(1) : l.mid(1, fin - 1);
}

QStringList LineasAnchos(const QString& archivo) {
    if (!QFileInfo(archivo).isFile()) return {};
    const std::optional<QString> texto = ArchivoTexto::Lee(archivo);
    if (!texto) throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("Permiso denegado: ") + archivo);
    return ArchivoTexto::Lineas(*texto);
}

}  // namespace

void GrabaAnchosConsulta(const QString& Tabla, const QString& Anchos) {
    const QString kvx = Archivo(QStringLiteral("CONSULTASLEN.KVX"));
    const QString aux = Archivo(QStringLiteral("CONSULTASLEN.AUX"));
    QString texto;
    for (const QString& l : LineasAnchos(kvx))
        if (!l.isEmpty() && !Iguales(Trim(TablaDeLinea(l)), Trim(Tabla))) texto += l + ArchivoTexto::CRLF;
    texto += QStringLiteral("\"") + Tabla + QStringLiteral("\",\"") + Anchos + QStringLiteral("\"") +
             ArchivoTexto::CRLF;
    if (QFileInfo::exists(aux)) QFile::remove(aux);
    if (!ArchivoTexto::Escribe(aux, texto))
        throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("Permiso denegado: ") + aux);
    if (QFileInfo::exists(kvx) && !QFile::remove(kvx))
        throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("Permiso denegado: ") + kvx);
    const QString destino = QFileInfo(aux).absoluteDir().filePath(QStringLiteral("CONSULTASLEN.KVX"));
    if (!QFile::rename(aux, destino))
        throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("Permiso denegado: ") + destino);
}

QString LeeAnchosConsulta(const QString& Tabla) {
    for (const QString& l : LineasAnchos(Archivo(QStringLiteral("CONSULTASLEN.KVX")))) {
        if (!Iguales(Trim(TablaDeLinea(l)), Trim(Tabla))) continue;
        const QString resto = Trim(l).mid(Trim(l).indexOf(QStringLiteral("\",")) + 2);
        return QString(resto).remove(QLatin1Char('"'));
    }
    return {};
}

// ---- the per-table lookup -----------------------------------------------------------------

namespace {

const QString kAviso = QStringLiteral("Aviso al Operador");

// " AND f" / " WHERE f" when f is not blank, else f as it is.
QString W(const QString& f) { return Trim(f).isEmpty() ? f : QStringLiteral(" AND ") + f; }
QString WH(const QString& f) { return Trim(f).isEmpty() ? f : QStringLiteral(" WHERE ") + f; }

// A typed text for a place between single quotes.
QString Literal(const QString& t) { return QString(t).replace(QLatin1Char('\''), QStringLiteral("''")); }

// The state of one SubConsultaLike call.
struct ConsultaLike {
    QString& Tabla;
    QString& Texto;
    QString& Resultado;
    bool PorCodigo;
    QString Filtro;
    QString* Dato1;
    QString* Dato2;
    QString* Dato3;

    bool conImagen = false;
    long N = 0;
    QString f, T0;

    void Aviso(const QString& texto) { ElOperador().Mensaje(texto, vbCritical, kAviso); }

    // Runs the engine over `sentencia`; the trimmed choice, or nothing when
    // the caller does not take it.
    QString Busca(const QString& campoDevuelto, const QString& sentencia, bool conColeccion) {
        Lib_ClsCons3& m = ElMotorConsultas();
        m.CampoDevuelto = campoDevuelto;
        QString cb, w;
        m.ConsultaSearch(sentencia, conColeccion ? &m.CmpsDevueltos : nullptr, QString(), cb, w, QString(), false,
                         QString());
        return Trim(m.ValorDevuelto.toString());
    }

    // The common part: the filter of the table's definition, the cattle-lot
    // definitions added once when missing.
    void Prepara() {
        conImagen = Iguales(Trim(Cfg(QStringLiteral("ConsultaArticuloConImagen"))), QStringLiteral("SI"));
        const QString entrada = Tabla;
        for (bool primera = true;; primera = false) {
            Tabla = entrada;
            N = TopConsultas();
            f = Filtro;
            T0 = Tabla;
            if (Iguales(Tabla, kStock)) Tabla = kArticulos;
            const QString tc = gConfiguracion.TituloClientes, tp = gConfiguracion.TituloProveedores;
            if ((!Trim(tc).isEmpty() && Iguales(Texto, tc)) || (!Trim(tp).isEmpty() && Iguales(Texto, tp)))
                Texto.clear();
            const QString archivo = ArchivoDefiniciones();
            if (archivo.isEmpty()) return;
            if (const std::optional<MascaraConsulta> m = BuscaDefinicion(archivo, Tabla)) {
                const QString t = Trim(Limpia(m->Filtro));
                if (f.isEmpty())
                    f = t;
                else if (!t.isEmpty())
                    f = t + QStringLiteral(" and ") + f;
                return;
            }
            if (!primera) return;
            AgregaConsultasTropa(Tabla);
        }
    }

    void Articulos() {
        QString t = Trim(Texto);
        if (t.isEmpty() && gConfiguracion.EXIGECLAVECONSULTALIKEARTICULOS) {
            ElOperador().Mensaje(QStringLiteral("Atención, por la gran cantidad de Artículos existentes al consultar "
                                                "se debe ingresar al menos parte de la clave..."),
                                 vbQuestion, kAviso);
            return;
        }
        QString J;
        if (Contiene(f, QStringLiteral("idlista")))
            J = QStringLiteral(" LEFT OUTER JOIN V_MA_Precios ON ") + T0 +
                QStringLiteral(".IdArticulo = V_MA_Precios.IdArticulo ");
        if (!t.isEmpty() && PorCodigo) f = QStringLiteral("SUSPENDIDO = 0");
        QString C, P;
        LeeCamposConsulta(T0, C, P);
        if (conImagen)
            C += Contiene(C, kStock) ? QStringLiteral(",STK_MA_ARTICULOS.RutaImagen ") : QStringLiteral(",RutaImagen ");
        if (Contiene(f, QStringLiteral("idlista"))) {
            const Lib_Util& u = LibUtil();
            C = u.Reemplaza(C, QStringLiteral("STK_MA_ARTICULOS.PRECIO"), QStringLiteral("V_MA_PRECIOS.PRECIO"));
            C = Trim(u.Reemplaza(C, QStringLiteral("V_MA_ARTICULOS.PRECIO"), QStringLiteral("V_MA_PRECIOS.PRECIO")));
        }
        if (PorCodigo && !t.isEmpty()) P = QStringLiteral("IdArticulo");
        const QString top = QStringLiteral("SELECT top ") + QString::number(N) + QStringLiteral(" ") + C +
                            QStringLiteral(" FROM ") + T0;
        QString s;
        if (!t.isEmpty()) {
            if (Iguales(Trim(Cfg(QStringLiteral("UsaConsultaLIKE"))), QStringLiteral("SI"))) {
                if (!PorCodigo) {
                    Texto.replace(QLatin1Char(' '), QLatin1Char('%'));
                    t = Trim(Texto);
                }
                s = top + QStringLiteral(" with(nolock)  ") + J + QStringLiteral(" WHERE ") + P +
                    QStringLiteral(" LIKE '%") + Literal(t) + QStringLiteral("%' ") + W(f);
            } else {
                s = top + QStringLiteral("  with(nolock) ") + J + QStringLiteral(" WHERE ") + P +
                    QStringLiteral(" LIKE '") + Literal(t) + QStringLiteral("%' ") + W(f);
            }
        } else {
            s = top + QStringLiteral("  with(nolock) ") + J + (Trim(f).isEmpty() ? QString() : QStringLiteral(" where ")) +
                f;
        }
        Resultado = Busca(QStringLiteral("IDARTICULO"), s, true);
    }

    void Destinatarios() {
        const QString t = Trim(Texto);
        const QString s =
            t.isEmpty()
                ? QStringLiteral("SELECT  Nombre, Domicilio, Cliente + Codigo + Sucursal AS Id From ma_destinatarios ") +
                      WH(f)
                : QStringLiteral("SELECT  Nombre, Domicilio, Cliente + Codigo + Sucursal AS Id From ma_destinatarios "
                                 "WHERE Nombre LIKE '%") +
                      Literal(t) + QStringLiteral("%'  ") + W(f);
        Busca(QStringLiteral("ID"), s, true);
        const QString id = ElMotorConsultas().ValorDevuelto.toString();
        Resultado = Trim(id);
        if (Resultado.isEmpty()) return;
        if (Dato3) *Dato3 = Trim(Mid(id, 1, 4));
        Resultado = Trim(Mid(id, 5, 16));
        if (Dato1) *Dato1 = Trim(Mid(id, 21, 6));
        if (Dato2) Dato2->clear();
    }

    void Tropa(const QString& C) {
        const QString t = Trim(Texto);
        Lib_ClsCons3& m = ElMotorConsultas();
        m.CmpsDevueltos << QStringLiteral("DTE") << QStringLiteral("id");
        const QString P = QStringLiteral("DTe");
        const QString top = QStringLiteral("SELECT top ") + QString::number(N) + QStringLiteral(" ") + C;
        const QString s = t.isEmpty() ? top + QStringLiteral(",id FROM ") + Tabla + QStringLiteral("  with(nolock) ") + WH(f)
                                      : top + QStringLiteral(", id FROM ") + Tabla +
                                            QStringLiteral("  with(nolock) WHERE ") + P + QStringLiteral(" LIKE '%") +
                                            Literal(t) + QStringLiteral("%'") + W(f);
        Resultado = Busca(QStringLiteral("DTE"), s, true);
        if (m.Valores.size() >= 2 && Dato1) *Dato1 = m.Valores.at(1).toString();
    }

    // Every other branch: a LIKE over the definition's first column.
    void PorTabla() {
        const QString t = Trim(Texto);
        const QString L = Literal(t);
        auto lee = [](const QString& tabla, QString& C, QString& P) { LeeCamposConsulta(tabla, C, P); };
        auto top = [&](const QString& C) {
            return QStringLiteral("SELECT top ") + QString::number(N) + QStringLiteral(" ") + C;
        };
        QString C, P;
        if (Iguales(Tabla, QStringLiteral("VT_CLIENTES")) || Iguales(Tabla, QStringLiteral("VT_CLIENTESvs"))) {
            f = Trim(f).isEmpty() ? QStringLiteral("Dada_De_Baja = 0") : f + QStringLiteral(" and Dada_De_Baja = 0");
            lee(QStringLiteral("VT_CLIENTES"), C, P);
            if (C == QLatin1String("*")) {
                Aviso(QStringLiteral("No hay seleccionados campos personalizados para la consulta de Clientes"));
                Busca(QStringLiteral("CODIGO"), top(C) + QStringLiteral(" FROM VT_CLIENTES  with(nolock) "), false);
                return;
            }
            const QString s = t.isEmpty() ? top(C) + QStringLiteral(" FROM ") + Tabla + QStringLiteral(" with(nolock)  ") + WH(f)
                                          : top(C) + QStringLiteral(" FROM ") + Tabla +
                                                QStringLiteral(" with(nolock)  WHERE (") + P + QStringLiteral(" LIKE '%") +
                                                L + QStringLiteral("%' OR NUMERO_DOCUMENTO LIKE '%") + L +
                                                QStringLiteral("%') ") + W(f);
            Resultado = Busca(QStringLiteral("CODIGO"), s, false);
        } else if (Iguales(Tabla, QStringLiteral("VT_PROVEEDORES"))) {
            if (Trim(f).isEmpty()) f = QStringLiteral("Dada_De_Baja = 0");
            lee(QStringLiteral("VT_PROVEEDORES"), C, P);
            if (C == QLatin1String("*")) {
                Aviso(QStringLiteral("No hay seleccionados campos personalizados para la consulta de Proveedores"));
                return;
            }
            const QString s = t.isEmpty() ? top(C) + QStringLiteral(" FROM VT_PROVEEDORES  with(nolock) ") + WH(f)
                                          : top(C) + QStringLiteral(" FROM VT_PROVEEDORES  with(nolock) WHERE ") + P +
                                                QStringLiteral(" LIKE '%") + L + QStringLiteral("%'") + W(f);
            Resultado = Busca(QStringLiteral("CODIGO"), s, false);
        } else if (Iguales(Tabla, QStringLiteral("MA_CONTACTOS")) || Iguales(Tabla, QStringLiteral("V_MA_EMAIL"))) {
            const bool email = Iguales(Tabla, QStringLiteral("V_MA_EMAIL"));
            const QString nombre = email ? QStringLiteral("V_MA_EMAIL") : QStringLiteral("MA_CONTACTOS");
            lee(nombre, C, P);
            if (email) {
                if (C == QLatin1String("*")) C = QStringLiteral("Evento");
                if (P.isEmpty()) P = QStringLiteral("Evento");
            } else if (C == QLatin1String("*")) {
                Aviso(SinCampos());
                return;
            }
            const QString s = t.isEmpty() ? top(C) + QStringLiteral(" FROM ") + nombre + QStringLiteral("  with(nolock) ") + WH(f)
                                          : top(C) + QStringLiteral(" FROM ") + nombre +
                                                QStringLiteral("  with(nolock) WHERE ") + P + QStringLiteral(" LIKE '%") +
                                                L + QStringLiteral("%'") + W(f);
            Resultado = Busca(email ? QStringLiteral("EVENTO") : QStringLiteral("idContacto"), s, false);
        } else if (Iguales(Tabla, QStringLiteral("MA_CUENTAS")) || Iguales(Tabla, QStringLiteral("VT_MAPINFO_CALLES")) ||
                   Iguales(Tabla, QStringLiteral("MAPINFO_LOCALIDADES"))) {
            lee(Tabla, C, P);
            QString devuelto = QStringLiteral("CODIGO");
            if (Iguales(Tabla, QStringLiteral("VT_MAPINFO_CALLES"))) {
                devuelto = QStringLiteral("STREET");
                if (P.isEmpty()) P = QStringLiteral(" STREET ");
                if (C.isEmpty() || C == QLatin1String("*")) C = QStringLiteral(" STREET ");
            } else if (Iguales(Tabla, QStringLiteral("MAPINFO_LOCALIDADES"))) {
                devuelto = QStringLiteral("LOCALIDAD");
                if (P.isEmpty()) P = QStringLiteral(" LOCALIDAD ");
                if (C.isEmpty() || C == QLatin1String("*")) C = QStringLiteral(" LOCALIDAD,PARTIDO,Cod_postal");
            } else if (C == QLatin1String("*")) {
                Aviso(SinCampos());
                return;
            }
            const QString s = t.isEmpty() ? top(C) + QStringLiteral(" FROM ") + Tabla + QStringLiteral("  with(nolock) ") + WH(f)
                                          : top(C) + QStringLiteral(" FROM ") + Tabla +
                                                QStringLiteral("  with(nolock)   WHERE ") + P + QStringLiteral(" LIKE '%") +
                                                L + QStringLiteral("%'") + W(f);
            Resultado = Busca(devuelto, s, false);
        } else if (Iguales(Tabla, QStringLiteral("V_MV_TROPA"))) {
            lee(QStringLiteral("V_MV_TROPA"), C, P);
            if (C == QLatin1String("*")) {
                Aviso(SinCampos());
                return;
            }
            Tropa(C);
        } else {
            lee(Tabla, C, P);
            if (C == QLatin1String("*")) {
                Aviso(SinCampos());
                return;
            }
            const QString devuelto = Iguales(Tabla, QStringLiteral("V_TA_TECNICOS")) ? QStringLiteral("IDTECNICO") : P;
            const QString s = t.isEmpty() ? top(C) + QStringLiteral(" FROM ") + Tabla + QStringLiteral(" with(nolock)  ") + WH(f)
                                          : top(C) + QStringLiteral(" FROM ") + Tabla +
                                                QStringLiteral(" with(nolock)    WHERE ") + P + QStringLiteral(" LIKE '%") +
                                                L + QStringLiteral("%'") + W(f);
            Resultado = Busca(devuelto, s, false);
        }
    }

    QString SinCampos() const {
        return QStringLiteral("No hay seleccionados campos personalizados para la consulta de ") + Trim(Tabla);
    }
};

}  // namespace

void SubConsultaLike(QString& Tabla, QString& Texto, QString& Resultado, long /*Opcion*/, bool PorCodigo,
                     const QString& Filtro, QString* Dato1, QString* Dato2, QString* Dato3) {
    const QString entrada = Tabla;
    ConsultaLike c{Tabla, Texto, Resultado, PorCodigo, Filtro, Dato1, Dato2, Dato3, false, 0, QString(), QString()};
    Guardia g(TratamientoGlobalDe(QStringLiteral("SubConsultaLike")));
    g.Ejecuta({
        [&] { c.Prepara(); },
        [&] {
            if (Iguales(Tabla, kArticulos))
                c.Articulos();
            else if (Iguales(Tabla, QStringLiteral("MA_DESTINATARIOS")))
                c.Destinatarios();
            else
                c.PorTabla();
        },
    });
    Tabla = entrada;
}
