// A run under real faults on the embedded engine: another connection
// holding the database's lock, a second run, triggers left off, a process
// that dies inside a code, a code gone before its turn, files that cannot
// be written. Each code is done or untouched, and what is reported is what
// happened.

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "db/platform/InyeccionFallas.h"
#include "platform/Aplicacion.h"
#include "recoding/Deshacer.h"
#include "recoding/Planes.h"
#include "recoding/Resguardos.h"
#include "tests/recoding/PruebaCorrida.h"

namespace {

// Reads the undo list on disk after every code the run reports.
struct Testigos : RegistroCorrida {
    std::function<void()> cada;
    void Recodificado(const ResultadoCodigo& r) override {
        RegistroCorrida::Recodificado(r);
        if (cada) cada();
    }
};

class Resguardos : public PruebaCorrida {
protected:
    void SetUp() override {
        PruebaCorrida::SetUp();
        frm.Vista = &testigos;
        // Findings passed, no witness page, the log not shown, notices read.
        op.EstableceRespondedor([](const Aviso& a) -> std::optional<OperadorGuionado::Respuesta> {
            if (a.tipo == Aviso::Tipo::Eleccion) return RespuestaEleccion{0};
            if (a.tipo != Aviso::Tipo::Mensaje) return std::nullopt;
            const int juego = BotonesMensaje::Juego(a.botones);
            if (juego == vbAbortRetryIgnore) return vbIgnore;  // a failed code: go on
            return juego == vbYesNo ? vbNo : vbOK;
        });
    }
    void Lista(int n, const QString& prefijo = "RES-") {
        for (int i = 0; i < n; ++i) {
            const QString c = ConMovimientos(i);
            ASSERT_FALSE(c.isEmpty());
            viejos << c;
            antes << Referencias(c);
            Fila(c, "d" + QString::number(i), prefijo + QString::number(i));
        }
    }
    void Intactos() {
        for (int i = 0; i < viejos.size(); ++i) EXPECT_EQ(Referencias(viejos[i]), antes[i]) << viejos[i].toStdString();
    }
    // A second connection on the same database.
    std::unique_ptr<Conexion> Otra() {
        auto cn = std::make_unique<Conexion>();
        cn->Open(gDB().Cnn().ConnectionString(), gDB().gUsuario, gDB().gUserPassWord);
        return cn;
    }
    QStringList Mensajes() {
        QStringList m;
        for (const Aviso& a : op.Transcripcion())
            if (a.tipo == Aviso::Tipo::Mensaje) m << a.texto;
        return m;
    }

    Testigos testigos;
    QStringList viejos;
    QVector<QMap<QString, long>> antes;
};

}  // namespace

TEST_F(Resguardos, UnBloqueoDeOtroProgramaNoDejaCodigosAMedias) {
    Lista(3);
    auto otra = Otra();
    otra->Execute("BEGIN TRANSACTION");  // the engine takes the write lock here
    gDB().Cnn().SetCommandTimeout(1);
    frm.ProcesoPrincipal();

    // The transaction of each code could not open: nothing of it ran.
    EXPECT_EQ(testigos.Pasos(), (QStringList{viejos[0] + "|copia|ERROR", viejos[1] + "|copia|ERROR",
                                             viejos[2] + "|copia|ERROR"}));
    for (const ResultadoCodigo& r : testigos.codigos)
        EXPECT_TRUE(r.descripcion.contains("Lock request time out")) << r.descripcion.toStdString();
    otra->Execute("ROLLBACK TRANSACTION");
    Intactos();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Referencias("RES-" + QString::number(i))["V_MA_ARTICULOS"], 0);
    EXPECT_TRUE(frm.UltimaCorrida().archivoDeshacer.isEmpty());
    EXPECT_TRUE(DisparadoresActivos());
    // The log has no rollback without its transaction.
    EXPECT_FALSE(LeeArchivo(RutaLogRecodificacion()).contains("no corresponding BEGIN"));
}

TEST_F(Resguardos, UnaSolaCorridaPorBase) {
    Lista(2);
    auto otra = Otra();
    QString actual;
    ASSERT_TRUE(otra->TomaBloqueo("Quenvar.Recodificacion", "equipo OTRO, usuario PEPE, desde ayer", actual));
    frm.UtilKor1_Click("GRABAR");

    const FrmEMRecodifica::ResumenCorrida& r = frm.UltimaCorrida();
    EXPECT_TRUE(r.noIniciada.contains("Otra recodificación está en curso")) << r.noIniciada.toStdString();
    EXPECT_TRUE(r.noIniciada.contains("equipo OTRO, usuario PEPE, desde ayer"));
    EXPECT_TRUE(Mensajes().contains(r.noIniciada));
    EXPECT_TRUE(testigos.codigos.empty());
    Intactos();
    // The list stays for later.
    EXPECT_EQ(frm.MSFlexGrid1.TextMatrix(1, 0), viejos[0]);

    // Its holder gone (a killed run closes its connection), the run goes.
    otra.reset();
    frm.UtilKor1_Click("GRABAR");
    EXPECT_TRUE(frm.UltimaCorrida().noIniciada.isEmpty());
    EXPECT_EQ(frm.UltimaCorrida().Correctos(), 2);
    // And it frees the lock when it ends.
    auto tercera = Otra();
    EXPECT_TRUE(tercera->TomaBloqueo("Quenvar.Recodificacion", "x", actual));
}

TEST_F(Resguardos, LosDisparadoresSeApaganDentroDeLaTransaccionDelCodigo) {
    const QString c = ConMovimientos(0);
    const auto antesC = Referencias(c);
    OpcionesPlan op;
    Plan plan = ArmaPlan(LibUtil().AlineaTexto(c, 25), LibUtil().AlineaTexto("MUERE-1", 25), op, false,
                         ColumnasDeCopia());
    // A process killed after its batch, before the commit: its connection ends.
    gDB().Cnn().Execute(plan.Lote());
    EXPECT_EQ(Valor("SELECT @@TRANCOUNT"), "1");
    gDB().Cnn().Close();
    Abre();
    EXPECT_TRUE(DisparadoresActivos());
    EXPECT_EQ(Referencias(c), antesC);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM sys.triggers WHERE is_disabled = 1"), "0");
}

TEST_F(Resguardos, LaCorridaReactivaLosDisparadoresQueEncuentraApagados) {
    // Left off by an older program, outside any transaction.
    gDB().Cnn().Execute(" ALTER TABLE V_MV_STOCK DISABLE TRIGGER ALL ");
    ASSERT_FALSE(DisparadoresActivos());
    Lista(1);
    frm.ProcesoPrincipal();
    EXPECT_TRUE(DisparadoresActivos());
    EXPECT_EQ(frm.UltimaCorrida().disparadoresReactivados, QStringList{"V_MV_STOCK"});
    const QStringList m = Mensajes();
    ASSERT_FALSE(m.isEmpty());
    EXPECT_TRUE(m.first().startsWith("Los disparadores de V_MV_STOCK estaban desactivados")) << m.first().toStdString();
}

TEST_F(Resguardos, LaListaParaDeshacerEnDiscoCubreLoConfirmado) {
    Lista(4);
    QStringList vistas;
    QString diario;
    testigos.cada = [&] {
        // The journal is found by its folder: the run has not said its name yet. What a
        // start would write from it, were the process killed now, covers every commit.
        const QStringList f = QDir(CarpetaAplicacion()).entryList({"Deshacer-*"}, QDir::Files);
        ASSERT_EQ(f.size(), 1);
        ASSERT_TRUE(f[0].endsWith(".txt.diario")) << f[0].toStdString();
        diario = QDir(CarpetaAplicacion()).filePath(f[0]);
        ListaDeshacer l;
        ASSERT_TRUE(DiarioDeshacer::LeeDiario(diario, l));
        vistas << l.lineas.join(' ');
        // Held by the run: a start meanwhile leaves it alone.
        EXPECT_TRUE(CompletaListasInterrumpidas(CarpetaAplicacion()).isEmpty());
    };
    frm.ProcesoPrincipal();
    const QString r0 = "RES-0," + viejos[0], r1 = "RES-1," + viejos[1], r2 = "RES-2," + viejos[2],
                  r3 = "RES-3," + viejos[3];
    EXPECT_EQ(vistas, (QStringList{r0, r1 + " " + r0, r2 + " " + r1 + " " + r0, r3 + " " + r2 + " " + r1 + " " + r0}));
    EXPECT_EQ(ArchivoTexto::Lineas(LeeArchivo(frm.UltimaCorrida().archivoDeshacer)), (QStringList{r3, r2, r1, r0}));
    EXPECT_EQ(frm.UltimaCorrida().archivoDeshacer + ".diario", diario);
    EXPECT_FALSE(QFileInfo::exists(diario));
    EXPECT_FALSE(QFileInfo::exists(frm.UltimaCorrida().archivoDeshacer + ".tmp"));
}

TEST_F(Resguardos, AlAbrirLaVentanaSeCompletaLaListaDeUnaCorridaMatada) {
    Lista(2);
    // A run whose process dies after its codes: its journal is left behind.
    QString diario;
    testigos.cada = [&] {
        const QStringList f = QDir(CarpetaAplicacion()).entryList({"Deshacer-*.diario"}, QDir::Files);
        ASSERT_EQ(f.size(), 1);
        diario = QDir(CarpetaAplicacion()).filePath(f[0]);
        QFile::remove(diario + ".copia");
        ASSERT_TRUE(QFile::copy(diario, diario + ".copia"));
    };
    frm.ProcesoPrincipal();
    QFile::remove(frm.UltimaCorrida().archivoDeshacer);
    ASSERT_TRUE(QFile::rename(diario + ".copia", diario));

    frm.CompletaDeshacerInterrumpidos();
    const QString lista = diario.chopped(QString(".diario").size());
    const QStringList m = Mensajes();
    ASSERT_FALSE(m.isEmpty());
    EXPECT_TRUE(m.last().contains("quedó completa en:\r\n" + lista)) << m.last().toStdString();
    EXPECT_EQ(ArchivoTexto::Lineas(LeeArchivo(lista)), (QStringList{"RES-1," + viejos[1], "RES-0," + viejos[0]}));
    EXPECT_FALSE(QFileInfo::exists(diario));
    // Nothing left: the next opening says nothing.
    frm.CompletaDeshacerInterrumpidos();
    EXPECT_EQ(Mensajes().size(), m.size());
}

TEST(DiarioDeshacer, UnDiarioAbandonadoSeCompletaAlArrancar) {
    QTemporaryDir dir;
    auto Lee = [](const QString& r) { return ArchivoTexto::Lee(r).value_or(QString()); };
    const QString ruta = QDir(dir.path()).filePath("Deshacer-20261210-120000.txt");
    const QString copia = QDir(dir.path()).filePath("Deshacer-20261210-130000.txt");
    auto codigo = [](const QString& o, const QString& n, TipoPlan t = TipoPlan::Copia) {
        ResultadoCodigo r;
        r.viejo = o;
        r.nuevo = n;
        r.tipo = t;
        return r;
    };
    QString error;
    ListaDeshacer esperada;
    {
        DiarioDeshacer d;
        ASSERT_TRUE(d.Crea(ruta, error)) << error.toStdString();
        // Codes a percent-encoding, a tab or a letter outside Windows-1252 would upset.
        for (const ResultadoCodigo& r : {codigo("A", "A1"), codigo("B%20", "B\tx"), codigo("Ω-1", "Ω-2"),
                                         codigo("M", "X", TipoPlan::Fusion), codigo("N", "x", TipoPlan::Fusion),
                                         codigo("A1", "A2"), codigo("C", "C1")})
            ASSERT_TRUE(d.Agrega(r, error)) << error.toStdString();
        ASSERT_TRUE(d.QuitaUltimo(error));  // C's commit failed
        esperada = d.Lista();
        // The process dies here: its journal is all that is left.
        ASSERT_TRUE(QFile::copy(DiarioDeshacer::RutaDiario(ruta), DiarioDeshacer::RutaDiario(copia)));
        // A record cut short by the death is left out.
        QFile f(DiarioDeshacer::RutaDiario(copia));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("+\t2\tD\tD");
        f.close();
        EXPECT_EQ(d.Termina(), ruta);
    }
    EXPECT_EQ(esperada.lineas, (QStringList{"A2,A1", "Ω-2,Ω-1", "B\tx,B%20", "A1,A"}));
    EXPECT_EQ(esperada.noReversibles.size(), 2);  // the two merges into one code
    EXPECT_FALSE(QFileInfo::exists(DiarioDeshacer::RutaDiario(ruta)));
    // The list from the journal is the list the run wrote; the journal goes.
    EXPECT_EQ(CompletaListasInterrumpidas(dir.path()), QStringList{copia});
    EXPECT_EQ(Lee(copia), Lee(ruta));
    // Written as UTF-8 with its mark: Windows-1252 has no "Ω".
    const QByteArray bytes = ArchivoTexto::LeeBytes(copia).value_or(QByteArray());
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(ArchivoTexto::Lineas(QString::fromUtf8(bytes.mid(3))), esperada.lineas);
    EXPECT_FALSE(QFileInfo::exists(DiarioDeshacer::RutaDiario(copia)));
    EXPECT_TRUE(CompletaListasInterrumpidas(dir.path()).isEmpty());

    // A journal whose list was written already (a death between the two) is only removed;
    // one with no committed code leaves no list.
    ASSERT_TRUE(QFile::copy(ruta, DiarioDeshacer::RutaDiario(copia)));
    const QString vacia = QDir(dir.path()).filePath("Deshacer-20261210-140000.txt");
    {
        DiarioDeshacer d;
        ASSERT_TRUE(d.Crea(vacia, error));
        ASSERT_TRUE(QFile::copy(DiarioDeshacer::RutaDiario(vacia), DiarioDeshacer::RutaDiario(vacia) + ".copia"));
    }
    ASSERT_TRUE(QFile::rename(DiarioDeshacer::RutaDiario(vacia) + ".copia", DiarioDeshacer::RutaDiario(vacia)));
    EXPECT_TRUE(CompletaListasInterrumpidas(dir.path()).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{QFileInfo(ruta).fileName(), QFileInfo(copia).fileName()}));
    // Names are not reused while a journal holds them.
    DiarioDeshacer d;
    const QDateTime momento = QDateTime::fromString("20261210-150000", "yyyyMMdd-HHmmss");
    const QString carpeta = CarpetaAplicacion();
    EstableceCarpetaAplicacion(dir.path());
    const QString primera = RutaDeshacer(momento);
    EXPECT_TRUE(d.Crea(primera, error));
    EXPECT_NE(RutaDeshacer(momento), primera);
    EstableceCarpetaAplicacion(carpeta);
}

TEST_F(Resguardos, UnCodigoQueYaNoExisteSeOmiteSinDecirOk) {
    // The same article twice: the second time it is gone from the master.
    const QString c = ConMovimientos(0);
    Fila(c, "d", "OTRA-1");
    Fila(c, "d", "OTRA-2");
    frm.ProcesoPrincipal();
    const FrmEMRecodifica::ResumenCorrida& r = frm.UltimaCorrida();
    ASSERT_EQ(r.codigos.size(), 2);
    EXPECT_FALSE(r.codigos[0].omitido);
    EXPECT_TRUE(r.codigos[1].omitido);
    EXPECT_TRUE(r.codigos[1].descripcion.startsWith("ya no existe")) << r.codigos[1].descripcion.toStdString();
    EXPECT_EQ(r.Correctos(), 1);
    EXPECT_EQ(r.Omitidos(), 1);
    EXPECT_EQ(Referencias("OTRA-2")["V_MA_ARTICULOS"], 0);
    EXPECT_EQ(ArchivoTexto::Lineas(LeeArchivo(r.archivoDeshacer)), QStringList{"OTRA-1," + c});
}

TEST_F(Resguardos, SinCarpetaParaSusArchivosLaCorridaNoEmpieza) {
    Lista(2);
    // The application folder is now a file: nothing can be created in it.
    const QString archivo = QDir(CarpetaAplicacion()).filePath("no-es-carpeta");
    ASSERT_TRUE(ArchivoTexto::Escribe(archivo, "x"));
    const QString carpeta = CarpetaAplicacion();
    EstableceCarpetaAplicacion(archivo);
    frm.UtilKor1_Click("GRABAR");
    EstableceCarpetaAplicacion(carpeta);

    const QString motivo = frm.UltimaCorrida().noIniciada;
    EXPECT_TRUE(motivo.startsWith("No se puede crear la lista para deshacer la corrida")) << motivo.toStdString();
    EXPECT_TRUE(Mensajes().contains(motivo));
    EXPECT_TRUE(testigos.codigos.empty());
    Intactos();
    EXPECT_EQ(frm.MSFlexGrid1.TextMatrix(2, 0), viejos[1]);
}

TEST_F(Resguardos, UnaConfirmacionFallidaEsUnErrorYDetieneLaCorrida) {
    Lista(5);
    testigos.cada = [&] {
        // The disk fills as the third code commits.
        if (testigos.codigos.size() == 2)
            InyeccionFallas::FallaEjecuciones(
                1, {1105, "Could not allocate space for object 'dbo.V_MV_STOCK' in database 'PRUEBA' because the "
                          "'PRIMARY' filegroup is full.", "42000", "COMMIT TRANSACTION"});
    };
    frm.ProcesoPrincipal();

    const FrmEMRecodifica::ResumenCorrida& r = frm.UltimaCorrida();
    EXPECT_EQ(testigos.Pasos(), (QStringList{viejos[0] + "|copia|OK", viejos[1] + "|copia|OK",
                                             viejos[2] + "|copia|ERROR"}));
    EXPECT_TRUE(r.codigos[2].descripcion.contains("filegroup is full"));
    EXPECT_TRUE(r.detenida);
    EXPECT_TRUE(r.motivoDetencion.contains("confirmación")) << r.motivoDetencion.toStdString();
    // Done, untouched, and the rest pending in the grid and in their file.
    EXPECT_EQ(Referencias("RES-1")["V_MV_STOCK"], antes[1]["V_MV_STOCK"]);
    for (int i = 2; i < 5; ++i) EXPECT_EQ(Referencias(viejos[i]), antes[i]) << i;
    EXPECT_EQ(r.pendientes.size(), 2);
    EXPECT_EQ(r.filasPendientes, (QVector<int>{4, 5}));
    EXPECT_EQ(ArchivoTexto::Lineas(LeeArchivo(r.archivoPendientes)),
              (QStringList{viejos[3] + ",RES-3", viejos[4] + ",RES-4"}));
    EXPECT_EQ(ArchivoTexto::Lineas(LeeArchivo(r.archivoDeshacer)),
              (QStringList{"RES-1," + viejos[1], "RES-0," + viejos[0]}));
    EXPECT_TRUE(DisparadoresActivos());
    EXPECT_TRUE(Mensajes().join("|").contains("La recodificación se detuvo"));
}
