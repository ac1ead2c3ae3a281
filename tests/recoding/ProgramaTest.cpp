// The desktop program as a process on the offscreen platform: it logs in
// from its command line, and SIGTERM or SIGINT close it as its close button
// does (the exit time stamped, exit status 0).

#include <QProcess>
#include <QThread>

#include <csignal>

#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "tests/support/Soporte.h"

namespace {

class Programa : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        OpcionesDemo o;
        o.articulos = 40;
        o.movimientosPorArticulo = 1;
        linea = GeneradorDemo::Genera(o).lineaComandos;
    }
    QString Valor(const QString& sql) {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion(QStringLiteral("DEMO")));
        Recordset rs;
        rs.Open(sql, cn);
        return rs.Eof() || rs.Fields(0).Value().isNull() ? QString() : rs.Fields(0).Value().toString();
    }
    // Starts the program and waits until its access row is written.
    bool Inicia(QProcess& p, const QStringList& argumentos) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(CarpetaBinarios() + "/quenvar", QStringList{"--carpeta", Carpeta()} + argumentos);
        if (!p.waitForStarted(10000)) return false;
        for (int i = 0; i < 300; ++i) {
            if (Valor("SELECT COUNT(*) FROM Control_Acceso WHERE EGRESO IS NULL") == "1") return true;
            if (p.state() == QProcess::NotRunning) return false;
            QThread::msleep(50);
        }
        return false;
    }

    QString linea;
};

TEST_F(Programa, UnaSenalCierraComoElBotonDeCierre) {
    for (int senal : {SIGTERM, SIGINT}) {
        QProcess p;
        // The command line as a shortcut passes it: several arguments.
        QStringList partes;
        for (const QString& item : linea.split(';', Qt::SkipEmptyParts)) partes << item + ";";
        ASSERT_TRUE(Inicia(p, partes)) << p.readAllStandardError().toStdString();
        const QString id = Valor("SELECT MAX(ID) FROM Control_Acceso WHERE EGRESO IS NULL");
        ::kill(static_cast<pid_t>(p.processId()), senal);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0) << senal;
        EXPECT_FALSE(Valor("SELECT EGRESO FROM Control_Acceso WHERE ID = " + id).isEmpty()) << senal;
    }
}

}  // namespace
