// The code-pair sources: a delimited file, every article under a prefix,
// and the articles whose code holds a point. The file and the point control
// push each value through the cell editor and its validation, as typing does.

#include "db/DB_Dll.h"
#include "frame/Configuracion.h"
#include "platform/lib/Lib_Dialogo.h"
#include "platform/lib/Lib_Teclado.h"
#include "platform/lib/Lib_Util.h"
#include "platform/ArchivoTexto.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "recoding/ArchivoImportado.h"
#include "recoding/FrmEMRecodifica.h"
#include "recoding/TextoSql.h"

using Texto::Trim;

namespace {

const QString kAvisoOperador = QStringLiteral("Aviso al Operador");
const QString kRutina = QStringLiteral("CmdBuscar_Click");

// Sets a flag back when the handler is left, however it is left.
struct Restablece {
    bool& bandera;
    bool valor;
    ~Restablece() { bandera = valor; }
};

// A code as a message shows it: trimmed, and cut when very long.
QString Corto(const QString& codigo) {
    const QString t = Trim(codigo);
    return t.size() > 40 ? t.left(40) + QStringLiteral("…") : t;
}

bool Abierto(const RecordsetPtr& rs) {
    return rs && rs->State() != 0;
}

}  // namespace

// ---- file import ----------------------------------------------------------------------

void FrmEMRecodifica::CmdBuscar_Click() {
    Guardia g(LibUtil().DialogoDe(kRutina));
    int respuesta = vbNo;
    if (!g.Paso([&] {
            respuesta = ElOperador().Mensaje(QStringLiteral("¿Realmente desea cargar un archivo?"),
                                             vbYesNo + vbQuestion, kAvisoOperador);
        }))
        return;
    if (respuesta != vbYes) return;

    // An abandoned import must not leave later typing silent about unknown codes.
    Restablece fin{CargandoArchivo, false};
    // A stop asked for (the window closing) ends the import between lines.
    struct Olvida {
        FrmEMRecodifica& f;
        ~Olvida() { f.detener_ = false; f.cerrando_ = false; }
    } olvida{*this};
    Grilla& grilla = MSFlexGrid1;
    QString delimitador;
    QString archivo;
    QStringList lineas;
    bool cancelado = false;

    if (!g.Ejecuta({
            [&] { CargandoArchivo = true; },
            [&] { InicializaGrid2(); },
            [&] {
                delimitador = QStringLiteral(",");
                if (!Trim(TxtDelimitador).isEmpty()) delimitador = Trim(TxtDelimitador);
            },
            [&] { CambiaCelda(grilla, 1, grilla.Col); },
            [&] {
                Lib_Dialogo& d = Dialogo();
                d.AsignaOpcion(true);
                d.AsignaTitulo(QStringLiteral("Importación de Archivos"));
                // The dialog is shared with the witness' Save: not its web-page filter.
                d.AsignaFiltro(QStringLiteral("Archivos de texto (*.txt;*.csv)|*.txt;*.csv|Todos los archivos (*.*)|*.*|"));
                d.AsignaExtension(QString());
                d.MuestraAbrir();
                cancelado = d.FueCancelado();
                if (!cancelado) archivo = d.NombreArchivo();
            },
        }))
        return;
    if (cancelado) return;

    if (!g.Ejecuta({
            [&] {
                const std::optional<QString> texto = ArchivoImportado::Lee(archivo);
                if (!texto)
                    throw Fallo(NumeroFallo::ArchivoNoEncontrado,
                                QStringLiteral("No se puede leer el archivo %1").arg(archivo));
                lineas = ArchivoTexto::Lineas(*texto);
            },
            [&] {
                const QString primera = lineas.isEmpty() ? QString() : lineas.first();
                if (Texto::InStr(primera, delimitador) == 0) delimitador = QStringLiteral("\t");
            },
        }))
        return;

    // Lines not loaded as a pair ready to run, with why: told at the end.
    QStringList noCargadas;
    int numero = 0;
    for (const QString& linea : lineas) {
        if (detener_.load()) break;
        ++numero;
        int p = 0;
        QString viejo, nuevo;
        if (!g.Paso([&] { p = Texto::InStr(linea, delimitador); })) return;
        if (p == 0) {
            if (!Trim(linea).isEmpty())
                noCargadas << QStringLiteral("línea %1: no tiene el delimitador %2")
                                  .arg(numero)
                                  .arg(delimitador == QStringLiteral("\t") ? QStringLiteral("(tabulador)")
                                                                           : QLatin1Char('"') + delimitador + QLatin1Char('"'));
            continue;
        }
        const bool seguir = g.Ejecuta({
            [&] {
                viejo = Texto::Left(linea, p - 1);
                // The new code starts after the whole delimiter.
                nuevo = Texto::Mid(linea, p + static_cast<int>(delimitador.size()));
                grilla.SetTextMatrix(grilla.Row, Grilla::IdArticulo, viejo);
                grilla.SetTextMatrix(grilla.Row, Grilla::ArticuloNuevo, nuevo);
            },
            [&] {
                // A code with control characters stays in the grid unvalidated,
                // without a description: it is never recoded.
                if (Texto::TieneControles(viejo) || Texto::TieneControles(nuevo)) {
                    ErrorValidacion = true;
                    noCargadas << QStringLiteral("línea %1: código con caracteres de control").arg(numero);
                    return;
                }
                CambiaCelda(grilla, grilla.Row, Grilla::IdArticulo);
                MsflexGridEdt(grilla, txtedit, vbKeyReturn);
                textpropiedades(txtedit, Grilla::IdArticulo);
                txtedit.Text = viejo;
                ElOperador().ProcesaEventos();
                ErrorValidacion = false;
                CampoValida(txtedit);
                ElOperador().ProcesaEventos();
                if (ErrorValidacion)
                    noCargadas << QStringLiteral("línea %1: el artículo %2 no existe").arg(numero).arg(Corto(viejo));
            },
            [&] {
                if (ErrorValidacion) return;
                CambiaCelda(grilla, grilla.Row, Grilla::ArticuloNuevo);
                MsflexGridEdt(grilla, txtedit, vbKeyReturn);
                textpropiedades(txtedit, Grilla::ArticuloNuevo);
                txtedit.Text = nuevo;
                CampoValida(txtedit);
                // A refused new code is not recoded: its cell was written before validation.
                if (ErrorValidacion) {
                    grilla.SetTextMatrix(grilla.Row, Grilla::ArticuloNuevo, QString());
                    txtedit.Text.clear();
                    noCargadas << QStringLiteral("línea %1: el código nuevo %2 fue rechazado").arg(numero).arg(Corto(nuevo));
                }
            },
            [&] {
                AvanzaFila(grilla);
                CambiaCelda(grilla, grilla.Row, Grilla::IdArticulo);
            },
        });
        if (!seguir) return;
    }
    if (Vista) Vista->Actualiza();
    if (noCargadas.isEmpty() || detener_.load()) return;
    const int total = static_cast<int>(noCargadas.size());
    if (total > 30) {
        noCargadas = noCargadas.mid(0, 30);
        noCargadas << QStringLiteral("… y %1 más").arg(total - 30);
    }
    g.Paso([&] {
        ElOperador().Mensaje(QStringLiteral("%1 de %2 líneas del archivo no quedaron listas para recodificar:")
                                     .arg(total)
                                     .arg(numero) +
                                 ArchivoTexto::CRLF + noCargadas.join(ArchivoTexto::CRLF),
                             vbOKOnly + vbExclamation, kAvisoOperador);
    });
}

// ---- prefix load ----------------------------------------------------------------------

void FrmEMRecodifica::CmdPrefijo_Click() {
    CargaPorPrefijo = true;
    Guardia g(LibUtil().DialogoDe(kRutina));
    int respuesta = vbNo;
    if (!g.Paso([&] {
            respuesta = ElOperador().Mensaje(
                QStringLiteral("¿Realmente desea cargar un todos los articulos con el prefijo indicado?"),
                vbYesNo + vbQuestion, kAvisoOperador);
        }))
        return;
    if (respuesta != vbYes) return;

    CmdPrefijoEnabled = false;
    Restablece fin{CmdPrefijoEnabled, true};
    Grilla& grilla = MSFlexGrid1;
    RecordsetPtr rs;
    QString a, p, r, sql;

    const bool abierto = g.Ejecuta({
        [&] {
            grilla.Clear();
            grilla.SetRows(2);
            CambiaCelda(grilla, 1, grilla.Col);
            InicializaGrid2();
        },
        [&] {
            a = Trim(TxtPrefijoAnt);
            p = Trim(TxtPrefijoNvo);
            r = Trim(TxtRubro);
        },
        [&] {
            using TextoSql::Comillas;
            sql = QStringLiteral("Select top 1000 * from v_ma_articulos where idarticulo like '") +
                  TextoSql::PatronLike(a);
            // Rubros are stored right-justified in a width of 4: a three-character
            // rubro reads as one blank in front of it.
            const QString rubro = r.isEmpty()
                                      ? QString()
                                      : QStringLiteral("%' and idrubro = '") +
                                            Comillas(LibUtil().AlineaTexto(r, 4)) + QStringLiteral("'");
            if (!chkCargarBlancos)
                sql += r.isEmpty() ? QStringLiteral("%' order by idarticulo")
                                   : rubro + QStringLiteral(" order by idarticulo");
            else
                sql += (r.isEmpty() ? QStringLiteral("%'") : rubro) +
                       QStringLiteral(" and idarticulo like '% %' order by idarticulo");
        },
        [&] { gDB().AbrirRecordset(sql, rs, nullptr, 0, 1); },
    });

    if (abierto && Abierto(rs)) {
        const Lib_Util& u = LibUtil();
        while (!rs->Eof()) {
            const bool seguir = g.Ejecuta({
                [&] {
                    const QString id = u.ValorCampo(rs->Value(QStringLiteral("IdArticulo"))).toString();
                    QString nuevo = p + Texto::Mid(Trim(id), static_cast<int>(a.size()) + 1);
                    if (chkBlancos) nuevo.remove(QLatin1Char(' '));
                    const int fila = grilla.Rows() - 1;
                    grilla.SetTextMatrix(fila, Grilla::IdArticulo, id);
                    grilla.SetTextMatrix(fila, Grilla::Descripcion,
                                         u.ValorCampo(rs->Value(QStringLiteral("Descripcion"))).toString());
                    grilla.SetTextMatrix(fila, Grilla::ArticuloNuevo, nuevo);
                },
                [&] {
                    grilla.SetRows(grilla.Rows() + 1);
                    ElOperador().ProcesaEventos();
                },
                [&] { rs->MoveNext(); },
            });
            if (!seguir) break;
        }
    }
    if (rs) gDB().CierraRecordset(rs);
    if (Vista) Vista->Actualiza();
}

// ---- point control ----------------------------------------------------------------------

void FrmEMRecodifica::CmdControlar_Click() {
    Guardia g(LibUtil().DialogoDe(kRutina));
    int respuesta = vbNo;
    if (!g.Paso([&] {
            respuesta = ElOperador().Mensaje(
                QStringLiteral(
                    "-Recuerde tener configurado el separador decimal. punto y separador de miles, coma. "
                    "En la solapa numero y moneda, de la configuracion regional... -Desea continuar...?"),
                vbYesNo + vbQuestion, kAvisoOperador);
        }))
        return;
    if (respuesta != vbYes) return;

    Grilla& grilla = MSFlexGrid1;
    RecordsetPtr rs;
    int contados = 0;
    const bool abierto = g.Ejecuta({
        [&] { InicializaGrid2(); },
        [&] { CambiaCelda(grilla, 1, grilla.Col); },
        [&] {
            gDB().AbrirRecordset(QStringLiteral("SELECT * From V_MA_ARTICULOS WHERE idarticulo LIKE '%.%'"),
                                 rs, 0, 1);
        },
    });

    bool completo = abierto;
    if (abierto && Abierto(rs)) {
        const Lib_Util& u = LibUtil();
        while (!rs->Eof()) {
            QString id, codigo;
            const bool seguir = g.Ejecuta({
                [&] { id = u.ValorCampo(rs->Value(QStringLiteral("IdArticulo"))).toString(); },
                [&] {
                    if (!id.startsWith(QLatin1Char(' '))) return;
                    ++contados;
                    codigo = Trim(id);
                    CambiaCelda(grilla, grilla.Row, Grilla::IdArticulo);
                    MsflexGridEdt(grilla, txtedit, vbKeyReturn);
                    textpropiedades(txtedit, Grilla::IdArticulo);
                    txtedit.Text = codigo;
                    CampoValida(txtedit);
                    ElOperador().ProcesaEventos();
                },
                [&] {
                    if (codigo.isEmpty()) return;
                    CambiaCelda(grilla, grilla.Row, Grilla::ArticuloNuevo);
                    MsflexGridEdt(grilla, txtedit, vbKeyReturn);
                    textpropiedades(txtedit, Grilla::ArticuloNuevo);
                    txtedit.Text = codigo;
                    EditKeyCode(grilla, txtedit, vbKeyReturn, 0);
                    CampoValida(txtedit);
                },
                [&] { rs->MoveNext(); },
            });
            if (!seguir) {
                completo = false;
                break;
            }
        }
    }
    if (rs) gDB().CierraRecordset(rs);
    if (!completo) return;

    g.Paso([&] {
        if (contados > 0) {
            ElOperador().Mensaje(
                QStringLiteral("Al utilizar puntuación en codigos de articulos, el sistema deberá "
                               "confirara como obligatorio el uso del punto como separador decimal"),
                vbInformation, kAvisoOperador);
            GrabaDfg(QStringLiteral("SimboloDecimal"), QStringLiteral("."), QString(), false,
                     QStringLiteral("DATOS"));
        } else {
            ElOperador().Mensaje(QStringLiteral("No hay datos para procesar!"), vbInformation,
                                 QStringLiteral("Aviso al Operador!"));
        }
    });
    if (Vista) Vista->Actualiza();
}
