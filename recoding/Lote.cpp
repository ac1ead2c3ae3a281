// The batch recoding tool: the session opened as start-up opens it, the
// list loaded from one source through the window model, the confirmations
// answered from the options.

#include "recoding/Lote.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "db/DB_Dll.h"
#include "db/platform/Conexion.h"
#include "app/Arranque.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "platform/OperadorGuionado.h"
#include "platform/Texto.h"
#include "platform/sesion/LineaComandos.h"
#include "platform/sesion/Sesion.h"
#include "recoding/ArchivoImportado.h"
#include "recoding/Deshacer.h"
#include "recoding/FrmEMRecodifica.h"
#include "recoding/Resguardos.h"
#include "recoding/Planes.h"
#include "recoding/RevisionLista.h"
#include "recoding/Testigo.h"
#include "recoding/VistaPreviaTablas.h"

using Texto::Trim;

namespace {

const std::vector<Opcion> kOpciones = {
    {QStringLiteral("archivo"), 1, QStringLiteral("ARCHIVO     cargar los pares de un archivo de texto")},
    {QStringLiteral("delimitador"), 1, QStringLiteral("D           delimitador del archivo (\",\" por defecto)")},
    {QStringLiteral("prefijo"), 2, QStringLiteral("ANT NVO     cargar los artículos del prefijo ANT con el prefijo NVO")},
    {QStringLiteral("rubro"), 1, QStringLiteral("R           filtrar el prefijo por rubro")},
    {QStringLiteral("solo-con-blancos"), 0, QStringLiteral("           cargar sólo los códigos con un blanco")},
    {QStringLiteral("quitar-blancos"), 0, QStringLiteral("           quitar los blancos de los códigos nuevos")},
    {QStringLiteral("controlar-puntos"), 0, QStringLiteral("           alinear los códigos con un punto")},
    {QStringLiteral("estadisticas"), 0, QStringLiteral("           recodificar sólo las estadísticas")},
    {QStringLiteral("solo-maestro"), 0, QStringLiteral("           fusionar sólo el maestro")},
    {QStringLiteral("permite-existentes"), 0, QStringLiteral("           aceptar códigos nuevos existentes")},
    {QStringLiteral("html"), 1, QStringLiteral("ARCHIVO     guardar el testigo HTML")},
    {QStringLiteral("vista-previa"), 0, QStringLiteral("           mostrar los lotes sin enviarlos")},
    {QStringLiteral("resumen"), 0, QStringLiteral("           con --vista-previa: las filas de cada tabla en lugar de los lotes")},
    {QStringLiteral("orden-seguro"), 0, QStringLiteral("           reordenar las cadenas (B→C antes que A→B)")},
    {QStringLiteral("forzar"), 0, QStringLiteral("           recodificar aunque la revisión de la lista dé avisos")},
    {QStringLiteral("json"), 0, QStringLiteral("           un documento JSON en la salida estándar")},
    {QStringLiteral("deshacer"), 1, QStringLiteral("ARCHIVO     correr una lista para deshacer, en su orden, sin fusionar")},
};

// The pair file the list is loaded from: an undo list or --archivo.
QString ArchivoDePares(const OpcionesLeidas& o) {
    return o.Tiene(QStringLiteral("deshacer")) ? o.Valor(QStringLiteral("deshacer")) : o.Valor(QStringLiteral("archivo"));
}

const QString kUso = QStringLiteral("quenvar-lote [--carpeta DIR] [opciones] \"LINEA DE COMANDOS\"");

// Answers every prompt from the options and shows it on standard error.
class Politica {
public:
    Politica(QTextStream& err, const OpcionesLeidas& o) : err_(err), o_(o) {}
    bool enCorrida = false;

    std::optional<OperadorGuionado::Respuesta> operator()(const Aviso& a) {
        switch (a.tipo) {
            case Aviso::Tipo::Mensaje: {
                err_ << (a.titulo.isEmpty() ? QString() : Trim(a.titulo) + QStringLiteral(": "))
                     << a.texto << "\n";
                err_.flush();
                const int juego = BotonesMensaje::Juego(a.botones);
                if (juego == vbAbortRetryIgnore) return enCorrida ? vbIgnore : vbAbort;
                if (juego == vbYesNo || juego == vbYesNoCancel) return Si(a.texto) ? vbYes : vbNo;
                if (juego == vbOKCancel) return vbOK;
                if (juego == vbRetryCancel) return vbCancel;
                return vbOK;
            }
            case Aviso::Tipo::Entrada:
                return std::optional<QString>();
            case Aviso::Tipo::Archivo: {
                RespuestaArchivo r;
                const QString nombre = a.pedido.guardar ? o_.Valor(QStringLiteral("html")) : ArchivoDePares(o_);
                r.cancelado = nombre.isEmpty();
                if (!r.cancelado) r.nombre = QFileInfo(nombre).absoluteFilePath();
                return r;
            }
            default:
                return std::nullopt;
        }
    }

private:
    bool Si(const QString& texto) const {
        if (Texto::Contiene(texto, QStringLiteral("Realmente desea cargar")) ||
            Texto::Contiene(texto, QStringLiteral("Desea continuar")))
            return true;
        if (Texto::Contiene(texto, QStringLiteral("testigo"))) return o_.Tiene(QStringLiteral("html"));
        if (Texto::Contiene(texto, QStringLiteral("ya existe")))
            return o_.Tiene(QStringLiteral("permite-existentes")) || o_.Tiene(QStringLiteral("deshacer"));
        return false;
    }

    QTextStream& err_;
    const OpcionesLeidas& o_;
};

// Results and progress of the run.
class VistaLote : public VistaRecodifica {
public:
    VistaLote(QTextStream& out, QTextStream& err, bool json)
        : out_(out), err_(err), barra_(isatty(fileno(stderr))), json_(json) {}

    void Progreso(int fila, int total) override {
        if (!barra_ || total <= 0) return;
        const int ancho = 30;
        const int lleno = fila * ancho / total;
        err_ << "\r[" << QString(lleno, QLatin1Char('#')) << QString(ancho - lleno, QLatin1Char(' ')) << "] "
             << fila << "/" << total;
        err_.flush();
        pendiente_ = true;
    }
    void Recodificado(const ResultadoCodigo& r) override {
        Termina();
        if (json_) {
            if (!r.omitido) ++(r.error ? errores : correctos);
            return;
        }
        if (r.omitido) {
            out_ << "OMITIDO " << Texto::RTrim(r.viejo) << ": " << r.descripcion << "\n";
        } else if (r.error) {
            ++errores;
            out_ << "ERROR " << Texto::RTrim(r.viejo) << ": " << r.descripcion << "\n";
        } else {
            ++correctos;
            out_ << "OK " << Texto::RTrim(r.viejo) << " -> " << Trim(r.nuevo) << " (" << NombreTipoPlan(r.tipo)
                 << ")\n";
        }
        out_.flush();
    }
    void Termina() {
        if (pendiente_) err_ << "\r" << QString(50, QLatin1Char(' ')) << "\r";
        err_.flush();
        pendiente_ = false;
    }

    int correctos = 0;
    int errores = 0;

private:
    QTextStream& out_;
    QTextStream& err_;
    bool barra_;
    bool json_;
    bool pendiente_ = false;
};

// The signal that asked the run to stop (0: none); the run is told at once.
volatile std::sig_atomic_t gSenal = 0;
FrmEMRecodifica* gCorrida = nullptr;

// A second signal ends the process at once: the code in progress is rolled
// back by the server (its transaction never commits).
extern "C" void AlRecibirSenal(int senal) {
    if (gSenal != 0) std::_Exit(128 + senal);
    gSenal = senal;
    if (gCorrida) gCorrida->PideDetener();
}

// SIGINT, SIGTERM and SIGHUP (a closed terminal) stop the run between codes
// while the tool lives; a closed standard output (SIGPIPE) does not stop it.
class SenalesLote {
public:
    explicit SenalesLote(FrmEMRecodifica& frm) {
        gSenal = 0;
        gCorrida = &frm;
        for (int s : {SIGINT, SIGTERM, SIGHUP}) previas_.push_back({s, std::signal(s, AlRecibirSenal)});
        previas_.push_back({SIGPIPE, std::signal(SIGPIPE, SIG_IGN)});
    }
    ~SenalesLote() {
        for (const auto& [s, previa] : previas_) std::signal(s, previa);
        gCorrida = nullptr;
    }
    int Recibida() const { return gSenal; }

private:
    using Manejador = void (*)(int);
    std::vector<std::pair<int, Manejador>> previas_;
};

// One code of the list as the document gives it.
QJsonObject JsonPar(int fila, const QString& viejo, const QString& nuevo, TipoPlan tipo, const QString& resultado) {
    return {{QStringLiteral("fila"), fila},
            {QStringLiteral("viejo"), Texto::RTrim(viejo)},
            {QStringLiteral("nuevo"), Texto::Trim(nuevo)},
            {QStringLiteral("plan"), NombreTipoPlan(tipo)},
            {QStringLiteral("resultado"), resultado}};
}

QJsonObject JsonConteo(const ConteoTabla& c) {
    return {{QStringLiteral("tabla"), c.tabla},
            {QStringLiteral("columna"), c.columna},
            {QStringLiteral("efecto"), NombreEfecto(c.efecto)},
            {QStringLiteral("filas"), c.filas}};
}

QJsonArray JsonConteos(const QVector<ConteoTabla>& conteos) {
    QJsonArray a;
    for (const ConteoTabla& c : conteos) a.append(JsonConteo(c));
    return a;
}

QJsonObject JsonRevision(const RevisionLista& r, bool reordenada) {
    QJsonArray hallazgos;
    for (const Hallazgo& h : r.hallazgos) {
        QJsonArray filas, propuesta;
        for (int f : h.filas) filas.append(f);
        for (const ParLista& p : h.propuesta)
            propuesta.append(QJsonObject{{QStringLiteral("viejo"), p.viejo}, {QStringLiteral("nuevo"), p.nuevo}});
        QJsonObject o{{QStringLiteral("gravedad"), NombreGravedad(h.gravedad)},
                      {QStringLiteral("tipo"), NombreTipoHallazgo(h.tipo)},
                      {QStringLiteral("filas"), filas},
                      {QStringLiteral("pares"), h.pares},
                      {QStringLiteral("efecto"), h.efecto}};
        if (!propuesta.isEmpty()) o.insert(QStringLiteral("propuesta"), propuesta);
        hallazgos.append(o);
    }
    QJsonArray orden;
    for (int f : r.ordenSeguro) orden.append(f);
    return {{QStringLiteral("rechazos"), r.Cuenta(Gravedad::Rechazo)},
            {QStringLiteral("avisos"), r.Cuenta(Gravedad::Aviso)},
            {QStringLiteral("notas"), r.Cuenta(Gravedad::Nota)},
            {QStringLiteral("hallazgos"), hallazgos},
            {QStringLiteral("ordenSeguro"), orden},
            {QStringLiteral("reordenada"), reordenada}};
}

void ImprimeConteo(const ConteoTabla& t, QTextStream& out) {
    out << "   " << t.tabla << "." << t.columna << " " << NombreEfecto(t.efecto) << " " << t.filas << "\n";
}

void ImprimeRevision(const RevisionLista& r, QTextStream& out) {
    for (const Hallazgo& h : r.hallazgos) {
        QStringList filas;
        for (int f : h.filas) filas << QString::number(f);
        out << NombreGravedad(h.gravedad).toUpper() << " " << NombreTipoHallazgo(h.tipo);
        if (!filas.isEmpty()) out << " (filas " << filas.join(QLatin1Char(',')) << ")";
        out << ": " << h.pares << ": " << h.efecto << "\n";
    }
}

// Whether the findings stop the run: refusals always; warnings about the
// list as written unless forced. Printed but not stopping: merges into
// existing codes that --permite-existentes accepted, size variants folding
// into their article's new code, and columns no plan touches (the run
// cannot change those either way).
QString Impide(const RevisionLista& r, const OpcionesLeidas& o) {
    if (r.HayRechazos()) return QStringLiteral("La revisión de la lista rechaza la corrida: corrija la lista.");
    if (o.Tiene(QStringLiteral("forzar"))) return {};
    for (const Hallazgo& h : r.hallazgos) {
        if (h.gravedad != Gravedad::Aviso || h.tipo == TipoHallazgo::Cobertura) continue;
        if (h.tipo == TipoHallazgo::NuevoExistente && o.Tiene(QStringLiteral("permite-existentes"))) continue;
        if (h.tipo == TipoHallazgo::VariosEnUno && h.filas.size() == 1) continue;
        return QStringLiteral("La revisión de la lista da avisos: use --forzar para recodificar igual") +
               (r.ordenSeguro.isEmpty() ? QString() : QStringLiteral(" o --orden-seguro para reordenar las cadenas")) +
               QStringLiteral(".");
    }
    return {};
}

// argv for the shared option reader.
struct Argumentos {
    explicit Argumentos(const QStringList& a) {
        datos.push_back(QByteArray("quenvar-lote"));
        for (const QString& s : a) datos.push_back(s.toLocal8Bit());
        for (QByteArray& d : datos) punteros.push_back(d.data());
        punteros.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(punteros.size()) - 1; }
    char** argv() { return punteros.data(); }
    std::vector<QByteArray> datos;
    std::vector<char*> punteros;
};

// Opens the main session from the suite's command line and checks the user.
bool AbreSesion(const QString& linea, QTextStream& err) {
    const LineaComandos::Parametros p = LineaComandos::Lee(linea);
    if (Trim(p.dbName).isEmpty()) {
        err << "La línea de comandos no indica la base de datos (@dbname=...;)\n";
        return false;
    }
    DB_Dll& db = gDB();
    db.gServidor = LineaComandos::ExtraeServidor(Trim(p.servidor));
    db.gDBName = db.gUsuario = db.gUserPassWord = Trim(p.dbName);
    db.OpenServerADODB(false, 3, QString(), true, false);
    if (!db.gOpenFlag) {
        const Errores& e = db.Cnn().Errors();
        err << "No se pudo conectar con la base de datos " << db.gDBName;
        if (e.Count() > 0) err << ": " << e.Item(0).Description;
        err << "\n";
        return false;
    }
    const QString usuario = Trim(p.usuario);
    if (!ValidaUsuario(usuario, p.password.value_or(QString()))) {
        err << "Usuario o clave incorrectos\n";
        return false;
    }
    gUsuarioActual = usuario;
    return true;
}

// A code as printed: control characters as \xNN.
QString Legible(const QString& codigo) {
    QString r;
    for (const QChar c : Texto::RTrim(codigo))
        r += c.unicode() < 32 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return r;
}

// Rows the run will not send, with the reason.
int Omitidas(const FrmEMRecodifica& frm, QTextStream& out, QJsonArray* json) {
    const Grilla& g = frm.MSFlexGrid1;
    int omitidas = 0;
    for (int i = 1; i < g.Rows(); ++i) {
        const QString viejo = Trim(g.TextMatrix(i, Grilla::IdArticulo));
        const QString nuevo = Trim(g.TextMatrix(i, Grilla::ArticuloNuevo));
        const QString descripcion = Trim(g.TextMatrix(i, Grilla::Descripcion));
        if (viejo.isEmpty() && nuevo.isEmpty()) continue;
        QString motivo;
        if (Texto::TieneControles(viejo) || Texto::TieneControles(nuevo))
            motivo = QStringLiteral("código con caracteres de control");
        else if (viejo.isEmpty())
            motivo = QStringLiteral("sin código actual");
        else if (descripcion.isEmpty())
            motivo = gDB().ExisteEnTabla(QStringLiteral("V_MA_ARTICULOS"), viejo, QStringLiteral("IDARTICULO"),
                                         nullptr, 8, QString(), true)
                         ? QStringLiteral("sin descripción")
                         : QStringLiteral("código inexistente");
        else if (nuevo.isEmpty())
            motivo = QStringLiteral("código nuevo rechazado");
        if (motivo.isEmpty()) continue;
        ++omitidas;
        if (json)
            json->append(QJsonObject{{QStringLiteral("fila"), i},
                                     {QStringLiteral("codigo"), Legible(g.TextMatrix(i, Grilla::IdArticulo))},
                                     {QStringLiteral("motivo"), motivo}});
        else
            out << "OMITIDO " << Legible(g.TextMatrix(i, Grilla::IdArticulo)) << ": " << motivo << "\n";
    }
    return omitidas;
}

// Exit status 2; with --json, a document that says why.
int SinEmpezar(const OpcionesLeidas& o, QTextStream& out, const QString& motivo) {
    if (o.Tiene(QStringLiteral("json"))) {
        out << QJsonDocument(QJsonObject{{QStringLiteral("error"), motivo}, {QStringLiteral("salida"), 2}})
                   .toJson(QJsonDocument::Indented);
        out.flush();
    }
    return 2;
}

}  // namespace

namespace {

// Why a run that processed no row did nothing.
QString NadaProcesado(const OpcionesLeidas& o, const FrmEMRecodifica& frm) {
    const QString archivo = ArchivoDePares(o);
    if (!archivo.isEmpty()) {
        QString delimitador = Trim(frm.TxtDelimitador);
        if (delimitador.isEmpty()) delimitador = QStringLiteral(",");
        const std::optional<QString> texto = ArchivoImportado::Lee(archivo);
        const QStringList lineas = texto ? ArchivoTexto::Lineas(*texto) : QStringList();
        bool alguna = false;
        for (const QString& l : lineas)
            alguna = alguna || l.contains(delimitador) || l.contains(QLatin1Char('\t'));
        if (lineas.isEmpty()) return QStringLiteral("El archivo no tiene líneas: no se recodificó nada.");
        if (!alguna)
            return QStringLiteral("Ninguna línea del archivo contiene el delimitador \"") + delimitador +
                   QStringLiteral("\" (indique otro con --delimitador): no se recodificó nada.");
    }
    return QStringLiteral("Ninguna fila de la lista se pudo recodificar: no se recodificó nada.");
}

}  // namespace

namespace {

// What is wrong with the command line; empty when it can run.
QString ErrorDeOpciones(const OpcionesLeidas& o) {
    const bool deshacer = o.Tiene(QStringLiteral("deshacer"));
    const int fuentes = (o.Tiene(QStringLiteral("archivo")) ? 1 : 0) + (o.Tiene(QStringLiteral("prefijo")) ? 1 : 0) +
                        (o.Tiene(QStringLiteral("controlar-puntos")) ? 1 : 0) + (deshacer ? 1 : 0);
    QString error = o.error;
    if (error.isEmpty() && o.posicionales.size() != 1)
        error = o.posicionales.isEmpty() ? QStringLiteral("Falta la línea de comandos")
                                         : QStringLiteral("Sobran argumentos: ") + o.posicionales.mid(1).join(' ');
    if (error.isEmpty() && fuentes != 1)
        error = QStringLiteral("Indique una sola fuente: --archivo, --prefijo, --controlar-puntos o --deshacer");
    for (const QString& opcion : {QStringLiteral("archivo"), QStringLiteral("deshacer")}) {
        if (!error.isEmpty() || !o.Tiene(opcion)) continue;
        const QFileInfo info(o.Valor(opcion));
        if (!info.isFile() || !info.isReadable())
            error = QStringLiteral("No se puede leer el archivo ") + o.Valor(opcion) +
                    (info.isDir() ? QStringLiteral(": es una carpeta") : QString());
    }
    return error;
}

// The undo lists of runs killed before writing them, completed at start-up.
void CompletaListas(QTextStream& err) {
    QStringList fallos;
    for (const QString& lista : CompletaListasInterrumpidas(CarpetaAplicacion(), &fallos))
        err << "Lista para deshacer de una corrida interrumpida, completada: " << lista << "\n";
    for (const QString& f : fallos)
        err << "No se pudo completar la lista para deshacer de una corrida interrumpida: " << f << "\n";
}

// The window's fields from the options, then the list from its source.
void CargaLista(FrmEMRecodifica& frm, const OpcionesLeidas& o) {
    const bool deshacer = o.Tiene(QStringLiteral("deshacer"));
    frm.InicializaGrid2();
    frm.ChkEstadisticas = o.Tiene(QStringLiteral("estadisticas"));
    frm.ChkSoloMaestro = o.Tiene(QStringLiteral("solo-maestro"));
    frm.ChkPermiteExistente = o.Tiene(QStringLiteral("permite-existentes"));
    frm.NoFusionar = deshacer;
    frm.chkCargarBlancos = o.Tiene(QStringLiteral("solo-con-blancos"));
    frm.chkBlancos = o.Tiene(QStringLiteral("quitar-blancos"));
    frm.TxtDelimitador = o.Valor(QStringLiteral("delimitador"));
    frm.TxtRubro = o.Valor(QStringLiteral("rubro"));
    frm.TxtPrefijoAnt = o.Valor(QStringLiteral("prefijo"), 0);
    frm.TxtPrefijoNvo = o.Valor(QStringLiteral("prefijo"), 1);
    if (o.Tiene(QStringLiteral("archivo")) || deshacer)
        frm.CmdBuscar_Click();
    else if (o.Tiene(QStringLiteral("prefijo")))
        frm.CmdPrefijo_Click();
    else
        frm.CmdControlar_Click();
}

// The JSON document (with --json) and the exit status it reports, once.
struct Informe {
    QTextStream& out;
    bool json;
    QJsonObject doc;
    int Termina(int salida) {
        if (json) {
            doc.insert(QStringLiteral("salida"), salida);
            out << QJsonDocument(doc).toJson(QJsonDocument::Indented);
        }
        out.flush();
        return salida;
    }
};

// The whole-list check, after reordering the chains when asked (an undo list
// runs in its written order); what stops the run, empty when nothing does.
QString RevisaYOrdena(FrmEMRecodifica& frm, const OpcionesLeidas& o, Informe& inf) {
    const bool deshacer = o.Tiene(QStringLiteral("deshacer"));
    RevisionLista revision = RevisaLista(frm);
    bool reordenada = false;
    if (o.Tiene(QStringLiteral("orden-seguro")) && !deshacer && !revision.ordenSeguro.isEmpty()) {
        ReordenaGrilla(frm.MSFlexGrid1, revision.ordenSeguro);
        revision = RevisaLista(frm);
        reordenada = true;
    }
    inf.doc.insert(QStringLiteral("revision"), JsonRevision(revision, reordenada));
    if (!inf.json) {
        if (reordenada) inf.out << "Lista reordenada: las cadenas van en orden seguro\n";
        ImprimeRevision(revision, inf.out);
    }
    return deshacer && !revision.HayRechazos() ? QString() : Impide(revision, o);
}

// The dry run's plans (or, with --resumen, the rows each table would move);
// the number of codes.
int MuestraVistaPrevia(FrmEMRecodifica& frm, const OpcionesLeidas& o, Informe& inf) {
    QTextStream& out = inf.out;
    const bool json = inf.json;
    int codigos = 0;
    QJsonArray pares;
    if (o.Tiene(QStringLiteral("resumen"))) {
        const VistaPreviaTablas vp = CalculaVistaPrevia(frm);
        for (const PreviaCodigo& c : vp.codigos) {
            ++codigos;
            if (json) {
                QJsonObject p = JsonPar(c.fila, c.viejo, c.nuevo, c.tipo, QStringLiteral("previsto"));
                p.insert(QStringLiteral("tablas"), JsonConteos(c.conteos));
                pares.append(p);
                continue;
            }
            out << "-- " << Texto::RTrim(c.viejo) << " -> " << Trim(c.nuevo) << " (" << NombreTipoPlan(c.tipo)
                << ")\n";
            for (const ConteoTabla& t : c.conteos) ImprimeConteo(t, out);
        }
        const QVector<ConteoTabla> totales = vp.Totales();
        inf.doc.insert(QStringLiteral("totales"), JsonConteos(totales));
        if (!json) {
            out << "Totales:\n";
            for (const ConteoTabla& t : totales) ImprimeConteo(t, out);
        }
    } else {
        frm.VistaPrevia([&](int fila, const QString& viejo, const QString& nuevo, const Plan& plan) {
            ++codigos;
            if (json) {
                pares.append(JsonPar(fila, viejo, nuevo, plan.Tipo, QStringLiteral("previsto")));
                return;
            }
            out << "-- " << Texto::RTrim(viejo) << " -> " << Trim(nuevo) << " (" << NombreTipoPlan(plan.Tipo)
                << ")" << plan.Lote() << "\n";
        });
    }
    inf.doc.insert(QStringLiteral("pares"), pares);
    return codigos;
}

// What the run did: each pair (with --json), the summary, and the exit status.
int InformaCorrida(const FrmEMRecodifica& frm, const OpcionesLeidas& o, Informe& inf, QTextStream& err,
                   int omitidas, int senal) {
    QTextStream& out = inf.out;
    const FrmEMRecodifica::ResumenCorrida& r = frm.UltimaCorrida();
    const int procesados = r.Correctos() + r.Errores();
    if (inf.json) {
        QJsonArray pares;
        for (const ResultadoCodigo& c : r.codigos) {
            QJsonObject p = JsonPar(c.fila, c.viejo, c.nuevo, c.tipo,
                                    c.omitido ? QStringLiteral("omitido")
                                    : c.error ? QStringLiteral("error")
                                              : QStringLiteral("ok"));
            if (c.error) p.insert(QStringLiteral("error"), c.descripcion);
            if (c.omitido) p.insert(QStringLiteral("motivo"), c.descripcion);
            pares.append(p);
        }
        for (int k = 0; k < r.pendientes.size(); ++k) {
            const QStringList& f = r.pendientes[k];
            pares.append(QJsonObject{{QStringLiteral("fila"), r.filasPendientes.value(k)},
                                     {QStringLiteral("viejo"), Texto::RTrim(f.value(Grilla::IdArticulo))},
                                     {QStringLiteral("nuevo"), Trim(f.value(Grilla::ArticuloNuevo))},
                                     {QStringLiteral("resultado"), QStringLiteral("pendiente")}});
        }
        inf.doc.insert(QStringLiteral("pares"), pares);
    }
    const QString nada = procesados == 0 && senal == 0 && !r.detenida ? NadaProcesado(o, frm) : QString();
    QJsonObject resumen{{QStringLiteral("procesados"), procesados},
                        {QStringLiteral("correctos"), r.Correctos()},
                        {QStringLiteral("conError"), r.Errores()},
                        {QStringLiteral("omitidos"), omitidas + r.Omitidos()},
                        {QStringLiteral("detenida"), r.detenida || senal != 0},
                        {QStringLiteral("pendientes"), static_cast<int>(r.pendientes.size())},
                        {QStringLiteral("pendientesArchivo"), r.archivoPendientes},
                        {QStringLiteral("deshacer"), r.archivoDeshacer},
                        {QStringLiteral("noReversibles"), QJsonArray::fromStringList(r.noReversibles)},
                        {QStringLiteral("fallosArchivos"), QJsonArray::fromStringList(r.fallosArchivos)}};
    if (senal) resumen.insert(QStringLiteral("senal"), senal);
    if (!r.motivoDetencion.isEmpty()) resumen.insert(QStringLiteral("motivoDetencion"), r.motivoDetencion);
    if (!r.disparadoresReactivados.isEmpty())
        resumen.insert(QStringLiteral("disparadoresReactivados"), QJsonArray::fromStringList(r.disparadoresReactivados));
    if (r.Errores() > 0) resumen.insert(QStringLiteral("logErrores"), EstadoCanalLog().nombre);
    inf.doc.insert(QStringLiteral("resumen"), resumen);
    if (!nada.isEmpty()) {
        inf.doc.insert(QStringLiteral("error"), nada);
        err << nada << "\n";
    }

    if (!inf.json) {
        QString t;
        QTextStream l(&t);
        l << "Procesados: " << procesados << ", correctos: " << r.Correctos() << ", con error: " << r.Errores()
          << ", omitidos: " << omitidas + r.Omitidos() << "\n";
        if (r.detenida || senal)
            l << "Detenida" << (senal ? QStringLiteral(" por la señal ") + QString::number(senal) : QString())
              << (r.motivoDetencion.isEmpty() ? QString() : QStringLiteral(" (") + r.motivoDetencion + QStringLiteral(")"))
              << ": " << r.pendientes.size() << " filas sin procesar\n";
        if (!r.archivoPendientes.isEmpty()) l << "Pendientes: " << r.archivoPendientes << "\n";
        if (!r.archivoDeshacer.isEmpty()) l << "Deshacer: " << r.archivoDeshacer << "\n";
        for (const QString& n : r.noReversibles) l << "NO REVERSIBLE " << n << "\n";
        for (const QString& f : r.fallosArchivos) l << "NO ESCRITO " << f << "\n";
        if (r.Errores() > 0) l << "Log de errores: " << EstadoCanalLog().nombre << "\n";
        l.flush();
        out << t;
        out.flush();
        // A closed standard output (a pipe whose reader left): the summary
        // still reaches the operator.
        if (out.status() != QTextStream::Ok) err << t;
        err.flush();
    }
    if (senal) return inf.Termina(128 + senal);
    const bool falla =
        r.Errores() > 0 || !r.fallosArchivos.isEmpty() || !r.motivoDetencion.isEmpty() || !nada.isEmpty();
    return inf.Termina(falla ? 1 : 0);
}

}  // namespace

int EjecutaLote(const QStringList& argumentos, QTextStream& out, QTextStream& err) {
    if (const std::optional<QString> ayuda = TextoDeAyuda(argumentos, kUso, kOpciones)) {
        out << *ayuda;
        return 0;
    }
    Argumentos a(argumentos);
    const OpcionesLeidas o = LeeOpciones(a.argc(), a.argv(), kOpciones);
    if (const QString error = ErrorDeOpciones(o); !error.isEmpty()) {
        err << error << "\n" << AyudaOpciones(kUso, kOpciones);
        return SinEmpezar(o, out, error);
    }
    CompletaListas(err);

    OperadorGuionado operador;
    Politica politica(err, o);
    operador.EstableceRespondedor([&](const Aviso& av) { return politica(av); });
    struct Restaura {
        Operador* previo = &ElOperador();
        ~Restaura() { EstableceOperador(previo); }
    } restaura;
    EstableceOperador(&operador);

    try {
        if (!AbreSesion(o.posicionales.first(), err))
            return SinEmpezar(o, out, QStringLiteral("No se pudo abrir la sesión"));

        const bool json = o.Tiene(QStringLiteral("json"));
        FrmEMRecodifica frm;
        SenalesLote senales(frm);
        VistaLote vista(out, err, json);
        frm.Vista = &vista;

        const bool previa = o.Tiene(QStringLiteral("vista-previa"));
        Conexion& cn = gDB().Cnn();
        // The run repairs the triggers itself; the dry run before its transaction.
        if (previa) ReactivaDisparadores();
        // The dry run undoes whatever the loading writes (the point control's setting).
        if (previa) cn.BeginTrans();
        CargaLista(frm, o);

        Informe inf{out, json,
                    QJsonObject{{QStringLiteral("modo"), previa ? QStringLiteral("vista-previa") : QStringLiteral("corrida")}}};
        QJsonArray omitidosJson;
        const int omitidas = Omitidas(frm, out, json ? &omitidosJson : nullptr);
        inf.doc.insert(QStringLiteral("omitidos"), omitidosJson);
        const QString impide = RevisaYOrdena(frm, o, inf);

        if (previa) {
            const int codigos = MuestraVistaPrevia(frm, o, inf);
            cn.RollbackTrans();
            inf.doc.insert(QStringLiteral("resumen"), QJsonObject{{QStringLiteral("codigos"), codigos},
                                                                  {QStringLiteral("omitidos"), omitidas}});
            if (!json) out << "Vista previa: " << codigos << " códigos, " << omitidas << " omitidos\n";
            if (senales.Recibida()) return inf.Termina(128 + senales.Recibida());
        }
        // As the run would, the dry run stops at the check.
        if (!impide.isEmpty()) {
            err << impide << "\n";
            inf.doc.insert(QStringLiteral("error"), impide);
            return inf.Termina(2);
        }
        if (previa) return inf.Termina(0);

        politica.enCorrida = true;
        frm.ProcesoPrincipal();
        politica.enCorrida = false;
        vista.Termina();
        if (!frm.UltimaCorrida().noIniciada.isEmpty()) {
            inf.doc.insert(QStringLiteral("error"), frm.UltimaCorrida().noIniciada);
            return inf.Termina(2);
        }
        return InformaCorrida(frm, o, inf, err, omitidas, senales.Recibida());
    } catch (const Fallo& f) {
        err << "Error " << f.Numero() << ": " << f.Descripcion() << "\n";
        return SinEmpezar(o, out, QStringLiteral("Error ") + QString::number(f.Numero()) + QStringLiteral(": ") +
                                      f.Descripcion());
    }
}
