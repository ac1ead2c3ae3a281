// The per-table preview against a real run of the same list on the same
// demo database: every code's rows followed one by one through the run.

#include <QCryptographicHash>
#include <functional>

#include "recoding/VistaPreviaTablas.h"
#include "tests/recoding/PruebaCorrida.h"

namespace {

// The code columns the plans touch, as Referencias names them.
const QStringList kColumnas = {"V_MA_ARTICULOS",
                               "AC_VENTASDIARIA",
                               "AC_VENTASMES",
                               "AC_COMPRASDIARIA",
                               "AC_COMPRASMES",
                               "V_MV_CPTEINSUMOS",
                               "C_MV_CPTEINSUMOS",
                               "V_MV_STOCK",
                               "V_MA_INSUMOS",
                               "V_MA_Precios",
                               "V_MA_Precios_Borrador",
                               "S_TA_EQUIV",
                               "V_MA_INSUMOS.IDARTICULOINSUMO"};

QString Nombre(const QString& tabla, const QString& columna) {
    return Texto::Iguales(columna, "IDARTICULO") ? tabla.toUpper() : (tabla + "." + columna).toUpper();
}

// What the run calls back after each code, in order.
struct Seguidor : RegistroCorrida {
    std::function<void(const ResultadoCodigo&)> despues;
    void Recodificado(const ResultadoCodigo& r) override {
        RegistroCorrida::Recodificado(r);
        if (despues) despues(r);
    }
};

}  // namespace

class VistaPrevia : public PruebaCorrida {
  protected:
    using Filas = QMap<QString, QSet<qint64>>;  // per column, the engine's row ids

    // The rows referring to a code, per column, identified by the engine's row id.
    Filas FilasDe(const QString& codigo) {
        Filas r;
        for (const QString& t : kColumnas) {
            const QString tabla = t.section('.', 0, 0),
                          campo = t.contains('.') ? t.section('.', 1) : "IDARTICULO";
            Recordset rs;
            rs.Open("SELECT rowid FROM " + tabla + " WHERE " + campo + " = " + Lit(codigo), gDB().Cnn());
            QSet<qint64>& s = r[t.toUpper()];
            for (; !rs.Eof(); rs.MoveNext()) s.insert(rs.Fields(0).Value().toLongLong());
        }
        return r;
    }
    // Every row of the tables the plans touch.
    QByteArray Huella() {
        QCryptographicHash h(QCryptographicHash::Sha1);
        for (const QString& t : kColumnas) {
            if (t.contains('.')) continue;
            Recordset rs;
            rs.Open("SELECT * FROM " + t, gDB().Cnn());
            long n = 0;
            for (; !rs.Eof(); rs.MoveNext(), ++n)
                for (int c = 0; c < rs.FieldCount(); ++c)
                    h.addData(rs.Fields(c).Value().toString().toUtf8() + '\1');
            h.addData((t + QString::number(n)).toUtf8());
        }
        return h.result();
    }
    QString DeTalles() {
        Recordset rs;
        rs.Open(
            "SELECT a.IdArticulo FROM V_MA_ARTICULOS a WHERE a.IdArticulo NOT LIKE ' %' AND a.IdArticulo NOT "
            "LIKE '%|%' AND EXISTS (SELECT 1 FROM V_MA_ARTICULOS v WHERE v.IdArticulo LIKE "
            "RTRIM(a.IdArticulo) "
            "+ '|%' AND v.TalleDefault <> '') ORDER BY a.IdArticulo",
            gDB().Cnn());
        return rs.Eof() ? QString() : Texto::Trim(rs.Fields(0).Value().toString());
    }
    void Equivalencia(const QString& codigo, const QString& eq) {
        gDB().Cnn().Execute("INSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) VALUES (" + Lit(codigo) +
                            ", " + Lit(eq) + ")");
        ASSERT_EQ(gDB().Cnn().Errors().Count(), 0);
    }
    void Borrador(const QString& codigo) {
        gDB().Cnn().Execute(
            "INSERT INTO V_MA_Precios_Borrador (IdLista, IDARTICULO, Precio) VALUES ('  99', " + Lit(codigo) +
            ", 10)");
        ASSERT_EQ(gDB().Cnn().Errors().Count(), 0);
    }

    // A list of copies, a merge into an article with its own prices and
    // equivalences, an in-place case change, chains in both orders, an
    // article with size variants and a code with a quote.
    void ArmaLista() {
        const QString a = ConMovimientos(0), b = ConMovimientos(1), c = ConMovimientos(2),
                      d = ConMovimientos(3), e = ConMovimientos(4), f = ConMovimientos(5),
                      g = ConMovimientos(6), h = ConMovimientos(7);
        ASSERT_FALSE(h.isEmpty());
        Equivalencia(b, "EQ-B");
        Equivalencia(c, "EQ-C1");
        Equivalencia(c, "EQ-C2");
        Borrador(b);
        Borrador(c);
        AgregaArticulo("A'01", "Con comilla");
        AgregaArticulo("MAYUS-1", "Cambia de letra");
        Equivalencia("MAYUS-1", "EQ-M");
        Borrador("MAYUS-1");
        Equivalencia("A'01", "EQ-Q");
        QString t = DeTalles();
        if (t.isEmpty()) {
            AgregaArticulo("Q_1", "Con talles");
            AgregaArticulo("Q_1|S", "Talle S", "S");
            AgregaArticulo("Q_1|M", "Talle M", "M");
            t = "Q_1";
        }
        Fila(a, "a", "NUEVO-A");  // copy
        Fila(b, "b", c);          // merge
        Fila(d, "d", "NUEVO-D");
        Fila("MAYUS-1", "m", "Mayus-1");  // in place
        Fila(e, "e", "CADENA-X");         // B→C, then A→B: a copy at run time
        Fila(f, "f", e);
        Fila(g, "g", "CADENA-Y");  // A→B, then B→C: C gains A's rows
        Fila("cadena-y", "y", h);
        Fila(t, "t", "NUEVO-T");  // the variants first, then the article
        Fila("A'01", "q", "B'01");
    }

    // Runs the list, following every code: the rows that reached the new
    // code, those copied and those deleted against the preview's counts.
    void ComparaConLaCorrida() {
        const QByteArray huella = Huella();
        const VistaPreviaTablas previa = CalculaVistaPrevia(frm);
        EXPECT_EQ(Huella(), huella) << "the preview wrote";
        ASSERT_FALSE(previa.codigos.isEmpty());
        if (qEnvironmentVariableIsSet("VER_CSV")) std::printf("%s", qPrintable(previa.Csv()));

        Seguidor seguidor;
        frm.Vista = &seguidor;
        int k = 0;
        Filas viejo = FilasDe(previa.codigos[0].viejo), nuevo = FilasDe(previa.codigos[0].nuevo);
        seguidor.despues = [&](const ResultadoCodigo& r) {
            ASSERT_LT(k, previa.codigos.size());
            const PreviaCodigo& p = previa.codigos[k];
            const QString que = Texto::RTrim(p.viejo) + " → " + Texto::RTrim(p.nuevo);
            EXPECT_EQ(Texto::RTrim(r.viejo), Texto::RTrim(p.viejo));
            EXPECT_EQ(NombreTipoPlan(r.tipo), NombreTipoPlan(p.tipo)) << que.toStdString();
            EXPECT_FALSE(r.error) << r.descripcion.toStdString();
            QMap<QString, qint64> mueve, copia, borra;
            for (const ConteoTabla& c : p.conteos) {
                const QString n = Nombre(c.tabla, c.columna);
                EXPECT_TRUE(viejo.contains(n)) << n.toStdString();
                EXPECT_GT(c.filas, 0);
                (c.efecto == EfectoFilas::Borra   ? borra
                 : c.efecto == EfectoFilas::Copia ? copia
                                                  : mueve)[n] += c.filas;
                // Rows change code onto an existing article in a merge only.
                if (c.efecto == EfectoFilas::Mueve) {
                    EXPECT_NE(p.tipo, TipoPlan::Fusion) << que.toStdString();
                }
                if (c.efecto == EfectoFilas::Fusiona) {
                    EXPECT_EQ(p.tipo, TipoPlan::Fusion) << que.toStdString();
                }
            }
            const Filas viejoDespues = FilasDe(p.viejo), nuevoDespues = FilasDe(p.nuevo);
            const bool enSitio = p.tipo == TipoPlan::EnSitio;
            for (const QString& t : viejo.keys()) {
                const QSet<qint64> antes = viejo[t] + nuevo[t], despues = viejoDespues[t] + nuevoDespues[t];
                const QSet<qint64> llegadas = enSitio ? viejo[t] : nuevoDespues[t] - nuevo[t];
                EXPECT_EQ(mueve.value(t), (llegadas & viejo[t]).size())
                    << que.toStdString() << " " << t.toStdString();
                EXPECT_EQ(copia.value(t), (llegadas - viejo[t]).size())
                    << que.toStdString() << " " << t.toStdString();
                EXPECT_EQ(borra.value(t), (antes - despues).size())
                    << que.toStdString() << " " << t.toStdString();
                // What the old code keeps: neither moved nor deleted.
                if (!enSitio) {
                    EXPECT_EQ(viejoDespues[t], viejo[t] - llegadas - (antes - despues))
                        << que.toStdString() << " " << t.toStdString();
                }
            }
            if (++k < previa.codigos.size()) {
                viejo = FilasDe(previa.codigos[k].viejo);
                nuevo = FilasDe(previa.codigos[k].nuevo);
            }
        };
        Corre();
        EXPECT_EQ(k, previa.codigos.size());
        QStringList esperados;
        for (const PreviaCodigo& p : previa.codigos)
            esperados << Texto::RTrim(p.viejo) + "|" + NombreTipoPlan(p.tipo) + "|OK";
        pasos = seguidor.Pasos();
        EXPECT_EQ(pasos, esperados);
        frm.Vista = &registro;
    }
    QStringList pasos;  // the run's, as RegistroCorrida gives them
};

TEST_F(VistaPrevia, CuentaLoQueLaCorridaMueve) {
    ArmaLista();
    ComparaConLaCorrida();
}

// The prefix load: the rubro-only update moves nothing; the in-place
// update of rubro and code moves the master row.
TEST_F(VistaPrevia, CuentaLoQueLaCorridaMueveConPrefijo) {
    frm.CargaPorPrefijo = true;
    frm.TxtPrefijoNvo = "77";
    ArmaLista();
    ComparaConLaCorrida();
}

// Only the master: a merge leaves the movements under the old code and
// deletes both codes' equivalences.
TEST_F(VistaPrevia, CuentaLoQueLaCorridaMueveSoloMaestro) {
    frm.ChkSoloMaestro = true;
    ArmaLista();
    ComparaConLaCorrida();
}

// Statistics only: every code keeps its master row and movements.
TEST_F(VistaPrevia, CuentaLoQueLaCorridaMueveEstadisticas) {
    frm.ChkEstadisticas = true;
    ArmaLista();
    ComparaConLaCorrida();
}

// B→C before A→B: B is gone when A→B runs, so it is a copy, and C
// receives B's rows while the new B receives A's.
TEST_F(VistaPrevia, CadenaEnElOrdenSeguro) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1), c = ConMovimientos(2);
    const auto refA = Referencias(a), refB = Referencias(b);
    Fila(b, "b", c);
    Fila(a, "a", b);
    const VistaPreviaTablas previa = CalculaVistaPrevia(frm);
    ASSERT_EQ(previa.codigos.size(), 2);
    EXPECT_EQ(previa.codigos[0].tipo, TipoPlan::Fusion);
    EXPECT_EQ(previa.codigos[1].tipo, TipoPlan::Copia);
    auto filas = [](const PreviaCodigo& p, const QString& tabla, EfectoFilas e) {
        for (const ConteoTabla& c : p.conteos)
            if (Texto::Iguales(c.tabla, tabla) && c.columna == "IDARTICULO" && c.efecto == e) return c.filas;
        return qint64(0);
    };
    EXPECT_EQ(filas(previa.codigos[0], "V_MV_STOCK", EfectoFilas::Fusiona), refB["V_MV_STOCK"]);
    EXPECT_EQ(filas(previa.codigos[1], "V_MV_STOCK", EfectoFilas::Mueve), refA["V_MV_STOCK"]);
    EXPECT_EQ(filas(previa.codigos[1], "V_MA_ARTICULOS", EfectoFilas::Copia), 1);
    // The new B's prices are B's old ones, gone with the merge: none to delete.
    EXPECT_EQ(filas(previa.codigos[1], "V_MA_Precios", EfectoFilas::Borra), 0);
    Corre();
    EXPECT_EQ(registro.Pasos(), (QStringList{b + "|fusion|OK", a + "|copia|OK"}));
}

// An old code sent twice: the second copy finds nothing to copy, so its
// new code is not created and a later pair onto it is a copy too.
// Chains in list order: a row moved along several pairs counts once in
// the totals (the rows whose code the run changes), while the per-code
// lines keep every move.
TEST_F(VistaPrevia, TotalesCuentanFilasNoMovidas) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1), c = ConMovimientos(2), d = ConMovimientos(3);
    ASSERT_FALSE(d.isEmpty());
    Fila(a, "a", b);                  // merge
    Fila(b, "b", "CADENA-Z");         // copy: a's rows too
    Fila("CADENA-Z", "z", c);         // merge: a's and b's rows again
    Fila(d, "d", "LARGA-1");          // copy
    Fila("LARGA-1", "l", "LARGA-2");  // copy: d's rows again
    // Tables the list only moves rows in (no deletions), per column.
    const QStringList columnas = {"AC_VENTASDIARIA", "AC_VENTASMES",     "AC_COMPRASDIARIA",
                                  "AC_COMPRASMES",   "V_MV_CPTEINSUMOS", "C_MV_CPTEINSUMOS",
                                  "V_MV_STOCK",      "V_MA_INSUMOS",     "V_MA_INSUMOS.IDARTICULOINSUMO"};
    auto codigos = [&](const QString& t) {
        QHash<qint64, QString> r;
        Recordset rs;
        rs.Open("SELECT rowid, " + (t.contains('.') ? t.section('.', 1) : QString("IDARTICULO")) + " FROM " +
                    t.section('.', 0, 0),
                gDB().Cnn());
        for (; !rs.Eof(); rs.MoveNext())
            r.insert(rs.Fields(0).Value().toLongLong(), Texto::Trim(rs.Fields(1).Value().toString()));
        return r;
    };
    QMap<QString, QHash<qint64, QString>> antes;
    for (const QString& t : columnas) antes[t] = codigos(t);

    const VistaPreviaTablas previa = CalculaVistaPrevia(frm);
    QMap<QString, qint64> movidas, total;
    for (const PreviaCodigo& p : previa.codigos)
        for (const ConteoTabla& c : p.conteos)
            if (c.efecto == EfectoFilas::Mueve || c.efecto == EfectoFilas::Fusiona)
                movidas[Nombre(c.tabla, c.columna)] += c.filas;
    for (const ConteoTabla& c : previa.Totales()) {
        EXPECT_GT(c.filas, 0);
        EXPECT_EQ(c.yaMovidas, 0);
        if (c.efecto == EfectoFilas::Mueve || c.efecto == EfectoFilas::Fusiona)
            total[Nombre(c.tabla, c.columna)] += c.filas;
    }
    Corre();
    EXPECT_EQ(registro.Pasos(), (QStringList{a + "|fusion|OK", b + "|copia|OK", "CADENA-Z|fusion|OK",
                                             d + "|copia|OK", "LARGA-1|copia|OK"}));
    bool alguna = false;
    for (const QString& t : columnas) {
        const QHash<qint64, QString> despues = codigos(t);
        qint64 cambiadas = 0;
        for (auto it = antes[t].cbegin(); it != antes[t].cend(); ++it)
            if (despues.value(it.key()) != it.value()) ++cambiadas;
        EXPECT_EQ(total.value(t.toUpper()), cambiadas) << t.toStdString();
        if (cambiadas > 0) {
            EXPECT_GT(movidas.value(t.toUpper()), cambiadas) << t.toStdString();
        }
        alguna = alguna || cambiadas > 0;
    }
    EXPECT_TRUE(alguna);
}

TEST_F(VistaPrevia, ViejoRepetidoNoCreaElNuevo) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1);
    Fila(a, "a", "REPE-X");
    Fila(a, "a", "REPE-Y");
    Fila(b, "b", "REPE-Y");
    ComparaConLaCorrida();
    EXPECT_EQ(pasos, (QStringList{a + "|copia|OK", a + "|copia|OK", b + "|copia|OK"}));
}

TEST_F(VistaPrevia, ElAvanceLaDetiene) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1), c = ConMovimientos(2);
    Fila(a, "a", "AV-A");
    Fila(b, "b", "AV-B");
    Fila(c, "c", "AV-C");
    QList<int> vistas;
    const VistaPreviaTablas v = CalculaVistaPrevia(frm, [&](int fila, int ultima) {
        EXPECT_EQ(ultima, 4);
        vistas << fila;
        return fila < 2;
    });
    EXPECT_TRUE(v.interrumpida);
    EXPECT_EQ(vistas, (QList<int>{1, 2}));
    ASSERT_EQ(v.codigos.size(), 1);
    EXPECT_EQ(Texto::RTrim(v.codigos[0].viejo), a);
    EXPECT_FALSE(CalculaVistaPrevia(frm).interrumpida);
}

TEST_F(VistaPrevia, CsvYTotales) {
    VistaPreviaTablas v;
    PreviaCodigo p;
    p.fila = 3;
    p.viejo = QString("A;1\"x").leftJustified(25);
    p.nuevo = "B\r\nC";
    p.tipo = TipoPlan::Fusion;
    p.conteos = {{"V_MA_Precios", "IDARTICULO", EfectoFilas::Borra, 2},
                 {"S_TA_EQUIV", "IDARTICULO", EfectoFilas::Fusiona, 1}};
    v.codigos << p;
    PreviaCodigo vacio;
    vacio.fila = 4;
    vacio.viejo = "  7.5";
    vacio.nuevo = "7.5";
    vacio.tipo = TipoPlan::EnSitio;
    v.codigos << vacio;
    p.fila = 5;
    p.conteos = {{"V_MA_PRECIOS", "IDARTICULO", EfectoFilas::Borra, 3}};
    v.codigos << p;
    EXPECT_EQ(v.Csv(),
              "fila;viejo;nuevo;plan;tabla;columna;efecto;filas\r\n"
              "3;\"A;1\"\"x\";\"B\r\nC\";fusion;V_MA_Precios;IDARTICULO;borra;2\r\n"
              "3;\"A;1\"\"x\";\"B\r\nC\";fusion;S_TA_EQUIV;IDARTICULO;fusiona;1\r\n"
              "4;  7.5;7.5;en sitio;;;;0\r\n"
              "5;\"A;1\"\"x\";\"B\r\nC\";fusion;V_MA_PRECIOS;IDARTICULO;borra;3\r\n");
    const QVector<ConteoTabla> t = v.Totales();
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t[0].tabla, "V_MA_Precios");  // one table, as first named
    EXPECT_EQ(t[0].filas, 5);
    EXPECT_EQ(t[1].efecto, EfectoFilas::Fusiona);
    EXPECT_EQ(t[1].filas, 1);
}
