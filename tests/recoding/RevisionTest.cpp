// The whole-list check on a demo database: each kind of finding with its
// severity, rows and texts, the safe order and a cycle's proposal, the
// columns no plan covers, and both the safe order and the proposal run for
// real.

#include "recoding/RevisionLista.h"
#include "tests/recoding/PruebaCorrida.h"

namespace {

QVector<int> Filas(std::initializer_list<int> l) {
    return QVector<int>(l);
}

// "old>new@row" for each pair, for compact assertions.
QStringList ParesTexto(const QVector<ParLista>& pares) {
    QStringList r;
    for (const ParLista& p : pares) r << p.viejo + ">" + p.nuevo + "@" + QString::number(p.fila);
    return r;
}

// "Gravedad Tipo [rows]" for each finding, in order.
QStringList Resumen(const RevisionLista& r) {
    QStringList s;
    for (const Hallazgo& h : r.hallazgos) {
        QStringList f;
        for (int i : h.filas) f << QString::number(i);
        s << NombreGravedad(h.gravedad) + " " + NombreTipoHallazgo(h.tipo) + " [" + f.join(",") + "]";
    }
    return s;
}

}  // namespace

class Revision : public PruebaCorrida {
  protected:
    void SetUp() override {
        PruebaCorrida::SetUp();
        for (const char* c : {"RV-A", "RV-B", "RV-C", "RV-D", "RV-E"}) AgregaArticulo(c, QString("Art ") + c);
    }
    // The list's findings only (no coverage).
    RevisionLista Lista(const OpcionesPlan& o = {}) { return RevisaLista(ParesDeGrilla(frm.MSFlexGrid1), o); }
    static const Hallazgo* Busca(const RevisionLista& r, TipoHallazgo t) {
        for (const Hallazgo& h : r.hallazgos)
            if (h.tipo == t) return &h;
        return nullptr;
    }
    QString Descripcion(const QString& codigo) {
        return Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = " + Lit(codigo));
    }
};

// ---- names, counts and the grid ------------------------------------------------------

TEST_F(Revision, NombresYCuentas) {
    EXPECT_EQ(NombreGravedad(Gravedad::Rechazo), "Rechazo");
    EXPECT_EQ(NombreGravedad(Gravedad::Aviso), "Aviso");
    EXPECT_EQ(NombreGravedad(Gravedad::Nota), "Nota");
    EXPECT_EQ(NombreTipoHallazgo(TipoHallazgo::ViejoRepetido), "ViejoRepetido");
    EXPECT_EQ(NombreTipoHallazgo(TipoHallazgo::NuevoExistente), "NuevoExistente");
    EXPECT_EQ(NombreTipoHallazgo(TipoHallazgo::Cobertura), "Cobertura");
    RevisionLista r;
    EXPECT_FALSE(r.HayRechazos());
    EXPECT_FALSE(r.HayAvisos());
    r.hallazgos << Hallazgo{Gravedad::Aviso, TipoHallazgo::Largo, {}, {}, {}, {}}
                << Hallazgo{Gravedad::Nota, TipoHallazgo::Formato, {}, {}, {}, {}}
                << Hallazgo{Gravedad::Aviso, TipoHallazgo::Cadena, {}, {}, {}, {}};
    EXPECT_FALSE(r.HayRechazos());
    EXPECT_TRUE(r.HayAvisos());
    EXPECT_EQ(r.Cuenta(Gravedad::Aviso), 2);
    EXPECT_EQ(r.Cuenta(Gravedad::Nota), 1);
    EXPECT_EQ(r.Cuenta(Gravedad::Rechazo), 0);
    // An empty list: nothing to say.
    EXPECT_TRUE(RevisaLista(frm).hallazgos.isEmpty());
}

TEST_F(Revision, ParesDeGrillaYReordenaGrilla) {
    Fila("RV-A", "a", "  NX-1");  // typed with leading blanks
    Fila("RV-B", "", "NX-2");     // not validated: the run skips it
    Fila("", "", "");
    Fila(" rv-c ", "c", "NX-3");
    const QVector<ParLista> p = ParesDeGrilla(frm.MSFlexGrid1);
    EXPECT_EQ(ParesTexto(p), (QStringList{"RV-A>NX-1@1", "rv-c>NX-3@4"}));
    EXPECT_EQ(p[0].nuevoEscrito, "  NX-1");
    EXPECT_EQ(p[1].nuevoEscrito, QString());

    // Named rows first, the others after in their order, the empty row last.
    Grilla& g = frm.MSFlexGrid1;
    ASSERT_EQ(g.Rows(), 6);
    ReordenaGrilla(g, {4, 1});
    QStringList filas;
    for (int i = 1; i < g.Rows(); ++i)
        filas << g.TextMatrix(i, 0) + "|" + g.TextMatrix(i, 1) + "|" + g.TextMatrix(i, 2);
    EXPECT_EQ(filas, (QStringList{" rv-c |c|NX-3", "RV-A|a|  NX-1", "RV-B||NX-2", "||", "||"}));
    EXPECT_EQ(g.Rows(), 6);
}

// ---- the list's findings ---------------------------------------------------------------

TEST_F(Revision, ViejoRepetido) {
    Fila("RV-A", "a", "NX-1");
    Fila("rv-a ", "a", "nx-1");  // the same pair, as the run compares
    RevisionLista r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Aviso ViejoRepetido [1,2]"});
    EXPECT_EQ(r.hallazgos[0].pares, "RV-A → NX-1; rv-a → nx-1");
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "El código RV-A figura 2 veces con el mismo código nuevo NX-1: la corrida lo recodifica la primera "
        "vez y las siguientes no hacen nada. Deje un solo par.");

    Fila("RV-A", "a", "NX-2");  // another new code: the list contradicts itself
    r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Rechazo ViejoRepetido [1,2,3]"});
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "El código RV-A figura 3 veces con distintos códigos nuevos (NX-1 y NX-2): la corrida lo pasa a NX-1 "
        "y los demás pares terminan «bien» sin hacer nada, porque RV-A ya no existe. Deje un solo par para "
        "RV-A.");
    EXPECT_TRUE(r.ordenSeguro.isEmpty());
}

TEST_F(Revision, CadenaEnOrdenDeListaYEnOrdenSeguro) {
    // RV-A and RV-B exist, NX-C does not.
    Fila("RV-A", "a", "RV-B");
    Fila("RV-D", "d", "NX-D");  // unrelated: keeps its place
    Fila("RV-B", "b", "NX-C");
    RevisionLista r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Aviso Cadena [1,3]"});  // the merge into RV-B is the chain's
    EXPECT_EQ(r.hallazgos[0].pares, "RV-A → RV-B; RV-B → NX-C");
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "Cadena: en el orden de la lista (RV-A → RV-B; RV-B → NX-C), RV-A termina como NX-C, RV-B termina "
        "como NX-C (RV-A y RV-B quedan fusionados en NX-C). En orden seguro (RV-B → NX-C; RV-A → RV-B), "
        "RV-A termina como RV-B, RV-B termina como NX-C. Una fusión no se puede deshacer: use el orden "
        "seguro si cada par debe valer por sí mismo.");
    EXPECT_EQ(r.ordenSeguro, Filas({2, 3, 1}));
    // Statistics only: the statistics are carried along the same way.
    OpcionesPlan estadisticas;
    estadisticas.ChkEstadisticas = true;
    const RevisionLista e = Lista(estadisticas);
    EXPECT_EQ(Resumen(e), QStringList{"Aviso Cadena [1,3]"});
    EXPECT_EQ(
        e.hallazgos[0].efecto,
        "Cadena: en el orden de la lista (RV-A → RV-B; RV-B → NX-C), las estadísticas de RV-A terminan en "
        "NX-C, "
        "las estadísticas de RV-B terminan en NX-C (las estadísticas de RV-A y RV-B quedan sumadas en NX-C). "
        "En "
        "orden seguro "
        "(RV-B → NX-C; RV-A → RV-B), las estadísticas de RV-A terminan en RV-B, las estadísticas de RV-B "
        "terminan en NX-C. Use el orden seguro si cada par debe valer por sí mismo.");
    EXPECT_EQ(e.ordenSeguro, r.ordenSeguro);

    // Put in the safe order: a note, the code RV-B reused.
    ReordenaGrilla(frm.MSFlexGrid1, r.ordenSeguro);
    r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Nota Cadena [2,3]"});
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "Cadena en orden seguro (RV-B → NX-C; RV-A → RV-B): RV-B termina como NX-C, RV-A termina como RV-B. "
        "El código RV-B pasa a otro artículo.");
    EXPECT_TRUE(r.ordenSeguro.isEmpty());

    // Longer chains: the order puts each link after the one that frees its code.
    frm.InicializaGrid2();
    Fila("RV-A", "a", "RV-B");
    Fila("RV-B", "b", "RV-C");
    Fila("RV-C", "c", "NX-C");
    r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Aviso Cadena [1,2,3]"});
    EXPECT_EQ(r.ordenSeguro, Filas({3, 2, 1}));

    // Through a code that is no article: the second pair carries on what the
    // first put there, so the first goes first.
    frm.InicializaGrid2();
    Fila("NX-T", "t", "NX-F");
    Fila("RV-A", "a", "NX-T");
    r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Aviso Cadena [1,2]"});
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "Cadena: en el orden de la lista (NX-T → NX-F; RV-A → NX-T), RV-A termina como NX-T. En orden seguro "
        "(RV-A → NX-T; NX-T → NX-F), RV-A termina como NX-F. Use el orden seguro si cada par debe valer por "
        "sí "
        "mismo.");
    EXPECT_EQ(r.ordenSeguro, Filas({2, 1}));
    ReordenaGrilla(frm.MSFlexGrid1, r.ordenSeguro);
    r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Nota Cadena [1,2]"});
    EXPECT_EQ(r.hallazgos[0].efecto,
              "Cadena en orden seguro (RV-A → NX-T; NX-T → NX-F): RV-A termina como NX-F. El código NX-T es "
              "solo de "
              "paso.");
}

TEST_F(Revision, IntercambioYCicloConCodigoTemporal) {
    AgregaArticulo("ZZTMP1", "Ocupado");  // the first temporary code is taken
    Fila("RV-A", "a", "RV-B");
    Fila("RV-B", "b", "RV-A");
    RevisionLista r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Rechazo Ciclo [1,2]"});
    const Hallazgo& h = r.hallazgos[0];
    EXPECT_EQ(h.pares, "RV-A → RV-B; RV-B → RV-A");
    EXPECT_EQ(h.efecto,
              "Intercambio: la corrida fusionaría los artículos para siempre. Use un código temporal libre: "
              "RV-A → ZZTMP2; RV-B → RV-A; después, en otra lista, ZZTMP2 → RV-B.");
    EXPECT_EQ(ParesTexto(h.propuesta), (QStringList{"RV-A>ZZTMP2@1", "RV-B>RV-A@2", "ZZTMP2>RV-B@1"}));
    EXPECT_TRUE(r.ordenSeguro.isEmpty());

    // Three codes, listed from the middle; a chain into the cycle does not
    // get an order either.
    frm.InicializaGrid2();
    Fila("RV-B", "b", "RV-C");
    Fila("RV-C", "c", "RV-A");
    Fila("RV-A", "a", "RV-B");
    Fila("RV-D", "d", "RV-E");
    Fila("RV-E", "e", "NX-E");
    r = Lista();
    EXPECT_EQ(Resumen(r), (QStringList{"Rechazo Ciclo [1,2,3]", "Aviso Cadena [4,5]"}));
    EXPECT_EQ(r.hallazgos[0].efecto,
              "Ciclo: la corrida fusionaría los artículos RV-B, RV-C y RV-A en uno solo para siempre. Use un "
              "código "
              "temporal libre: RV-B → ZZTMP2; RV-A → RV-B; RV-C → RV-A; después, en otra lista, ZZTMP2 → RV-C.");
    EXPECT_EQ(ParesTexto(r.hallazgos[0].propuesta),
              (QStringList{"RV-B>ZZTMP2@1", "RV-A>RV-B@3", "RV-C>RV-A@2", "ZZTMP2>RV-C@1"}));
    EXPECT_TRUE(r.ordenSeguro.isEmpty());

    // Two cycles: two temporary codes, none of them an article or in the list.
    frm.InicializaGrid2();
    Fila("RV-A", "a", "RV-B");
    Fila("RV-B", "b", "RV-A");
    Fila("RV-E", "e", "ZZTMP3");
    Fila("RV-C", "c", "RV-D");
    Fila("RV-D", "d", "RV-C");
    r = Lista();
    ASSERT_EQ(Resumen(r), (QStringList{"Rechazo Ciclo [1,2]", "Rechazo Ciclo [4,5]"}));
    EXPECT_EQ(r.hallazgos[0].propuesta.first().nuevo, "ZZTMP2");
    EXPECT_EQ(r.hallazgos[1].propuesta.first().nuevo, "ZZTMP4");

    // A cycle through a code that is no article is a chain: run from there,
    // it is the proposal's own way.
    frm.InicializaGrid2();
    Fila("RV-A", "a", "NX-T");
    Fila("RV-B", "b", "RV-A");
    Fila("NX-T", "t", "RV-B");
    r = Lista();
    EXPECT_EQ(Resumen(r), QStringList{"Nota Cadena [1,2,3]"});
    EXPECT_EQ(r.hallazgos[0].efecto,
              "Cadena en orden seguro (RV-A → NX-T; RV-B → RV-A; NX-T → RV-B): RV-A termina como RV-B, RV-B "
              "termina "
              "como RV-A. Los códigos RV-A y RV-B pasan a otros artículos. El código NX-T es solo de paso.");
}

TEST_F(Revision, VariosEnUnoYNuevoExistente) {
    Fila("RV-A", "a", "NX-1");
    Fila("RV-B", "b", "nx-1");  // same new code, case aside
    Fila("RV-C", "c", "RV-E");  // an article already
    RevisionLista r = Lista();
    EXPECT_EQ(Resumen(r), (QStringList{"Aviso VariosEnUno [1,2]", "Aviso NuevoExistente [3]"}));
    EXPECT_EQ(r.hallazgos[0].efecto,
              "RV-A y RV-B pasan al mismo código NX-1: quedan fusionados en un solo artículo. No se puede "
              "deshacer.");
    EXPECT_EQ(r.hallazgos[1].pares, "RV-C → RV-E");
    EXPECT_EQ(r.hallazgos[1].efecto,
              "RV-E ya es un artículo: RV-C se fusiona en él (sus estadísticas y movimientos pasan a RV-E y "
              "RV-C se "
              "borra). No se puede deshacer.");
    EXPECT_TRUE(r.ordenSeguro.isEmpty());

    // Onto an existing article; only the master moves.
    frm.InicializaGrid2();
    Fila("RV-A", "a", "RV-E");
    Fila("RV-B", "b", "RV-E");
    Fila("RV-C", "c", "RV-D");
    OpcionesPlan soloMaestro;
    soloMaestro.ChkSoloMaestro = true;
    r = Lista(soloMaestro);
    EXPECT_EQ(Resumen(r), (QStringList{"Aviso VariosEnUno [1,2]", "Aviso NuevoExistente [3]"}));
    EXPECT_EQ(r.hallazgos[0].efecto,
              "RV-A y RV-B pasan al mismo código RV-E: quedan fusionados en un solo artículo, junto con el "
              "artículo "
              "RV-E que ya existe. No se puede deshacer.");
    EXPECT_EQ(
        r.hallazgos[1].efecto,
        "RV-D ya es un artículo: RV-C se fusiona en él y se borra; con «solo maestro» sus estadísticas y "
        "movimientos no se mueven y quedan con el código RV-C, que deja de existir. No se puede deshacer.");

    // Statistics only: the articles stay; adding statistics up is a note.
    OpcionesPlan estadisticas;
    estadisticas.ChkEstadisticas = true;
    r = Lista(estadisticas);
    EXPECT_EQ(Resumen(r), QStringList{"Nota VariosEnUno [1,2]"});
    EXPECT_EQ(r.hallazgos[0].efecto,
              "Las estadísticas de RV-A y RV-B se suman en RV-E; los artículos no se tocan.");

    // A code freed earlier in the list is no merge.
    frm.InicializaGrid2();
    Fila("RV-B", "b", "NX-B");
    Fila("RV-A", "a", "RV-B");
    EXPECT_EQ(Resumen(Lista()), QStringList{"Nota Cadena [1,2]"});
}

// "Same code" as the run decides it (case folded one letter at a time, as
// the server compares): ß1 and SS1 are two articles, so the run merges
// them; ß2 and ẞ2 are one article in two cases, rewritten in place.
TEST_F(Revision, MismoCodigoComoLoDecideLaCorrida) {
    AgregaArticulo("ß1", "Eszett");
    AgregaArticulo("SS1", "Dos eses");
    AgregaArticulo("ß2", "Eszett 2");
    Fila("ß1", "s", "SS1");
    Fila("ß2", "t", "ẞ2");
    const RevisionLista r = Lista();
    EXPECT_EQ(Resumen(r), (QStringList{"Aviso NuevoExistente [1]", "Nota Formato [2]"}));
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "SS1 ya es un artículo: ß1 se fusiona en él (sus estadísticas y movimientos pasan a SS1 y ß1 se "
        "borra). No se puede deshacer.");
    EXPECT_EQ(r.hallazgos[1].efecto,
              "Solo cambian mayúsculas y minúsculas: el plan en sitio reescribe ß2 como ẞ2.");
    Corre();
    EXPECT_EQ(registro.Pasos(), (QStringList{"ß1|fusion|OK", "ß2|en sitio|OK"}));
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "ß1"), 0);
    EXPECT_EQ(Descripcion("SS1"), "Dos eses");
    EXPECT_EQ(Valor("SELECT IdArticulo FROM V_MA_ARTICULOS WHERE Descripcion = 'Eszett 2'").trimmed(), "ẞ2");
}

TEST_F(Revision, LargoYFormato) {
    const QString largo(26, 'L');
    Fila("RV-A", "a", largo);
    Fila("RV-B", "b", "  NX-B");  // typed with blanks
    Fila("RV-C", "c", "rv-c");    // case only: rewritten in place
    AgregaArticulo("   7.5", "Guardado con blancos");
    Fila("RV-D", "d", "7.5");   // merges into the stored "   7.5"
    Fila("RV-E", "e", "rv-a");  // RV-A stays (its pair fails): merged, written in another case
    RevisionLista r = Lista();
    EXPECT_EQ(Resumen(r),
              (QStringList{"Aviso Largo [1]", "Aviso NuevoExistente [4]", "Aviso NuevoExistente [5]",
                           "Nota Formato [2]", "Nota Formato [3]", "Nota Formato [4]", "Nota Formato [5]"}));
    EXPECT_EQ(r.hallazgos[2].efecto,
              "RV-A ya es un artículo: RV-E se fusiona en él (sus estadísticas y movimientos pasan a RV-A y "
              "RV-E se "
              "borra). No se puede deshacer.");
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "El código nuevo " + largo +
            " tiene 26 caracteres y la columna de códigos admite 25: ese par fallará en la corrida y se "
            "deshará.");
    EXPECT_EQ(r.hallazgos[3].efecto,
              "El código nuevo se escribió con blancos al principio («  NX-B»): la corrida lo graba sin "
              "ellos, como "
              "NX-B.");
    EXPECT_EQ(r.hallazgos[4].efecto,
              "Solo cambian mayúsculas y minúsculas: el plan en sitio reescribe RV-C como rv-c.");
    EXPECT_EQ(r.hallazgos[5].efecto,
              "El artículo 7.5 está guardado con blancos al principio («   7.5»): la corrida usa esa forma.");
    EXPECT_EQ(r.hallazgos[6].efecto, "El artículo existe como RV-A: las filas movidas quedan escritas rv-a.");

    // Statistics only: the case-only pair moves statistics, nothing is rewritten.
    OpcionesPlan estadisticas;
    estadisticas.ChkEstadisticas = true;
    EXPECT_EQ(Resumen(Lista(estadisticas)),
              (QStringList{"Aviso Largo [1]", "Nota Formato [2]", "Nota Formato [4]", "Nota Formato [5]"}));
}

TEST_F(Revision, HallazgosPorGravedadYEnOrdenDeLista) {
    Fila("RV-C", "c", "RV-D");   // 1: merge
    Fila("RV-A", "a", "RV-B");   // 2: swap
    Fila("RV-E", "e", " NX-E");  // 3: format
    Fila("RV-B", "b", "RV-A");   // 4: swap
    Fila("RV-C", "c", "NX-C");   // 5: repeated with another new code
    const RevisionLista r = Lista();
    EXPECT_EQ(Resumen(r), (QStringList{"Rechazo ViejoRepetido [1,5]", "Rechazo Ciclo [2,4]",
                                       "Aviso NuevoExistente [1]", "Nota Formato [3]"}));
    EXPECT_TRUE(r.HayRechazos());
    EXPECT_EQ(r.Cuenta(Gravedad::Rechazo), 2);
}

TEST_F(Revision, LosTallesDeUnCodigoVanTodosAlMismoNuevo) {
    AgregaArticulo("RV-T", "Con talles");
    AgregaArticulo("RV-T|S", "Talle S", "S");
    AgregaArticulo("RV-T|M", "Talle M", "M");
    Fila("RV-T", "t", "NX-T");
    Fila("RV-A", "a", "rv-a");  // in place: no variants sent
    RevisionLista r = RevisaLista(frm);
    EXPECT_EQ(Resumen(r), (QStringList{"Aviso VariosEnUno [1]", "Nota Formato [2]", "Nota Cobertura []"}));
    EXPECT_EQ(r.hallazgos[0].pares, "RV-T → NX-T");
    EXPECT_EQ(r.hallazgos[0].efecto,
              "RV-T tiene talles (RV-T|M y RV-T|S): la corrida los pasa todos a NX-T junto con RV-T y quedan "
              "fusionados en un solo artículo. No se puede deshacer.");
    // What the run does indeed.
    Corre();
    EXPECT_EQ(registro.Pasos(),
              (QStringList{"RV-T|M|copia|OK", "RV-T|S|fusion|OK", "RV-T|fusion|OK", "RV-A|en sitio|OK"}));

    frm.ChkEstadisticas = true;
    frm.InicializaGrid2();
    AgregaArticulo("RV-U", "Con talles");
    AgregaArticulo("RV-U|S", "Talle S", "S");
    Fila("RV-U", "u", "RV-E");
    r = RevisaLista(frm);
    EXPECT_EQ(Resumen(r), (QStringList{"Nota VariosEnUno [1]", "Nota Cobertura []"}));
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "Las estadísticas de los talles de RV-U (RV-U|S) y las suyas se suman en RV-E; los artículos no se "
        "tocan.");
}

// A size variant listed after its article's pair: the run sends it with the
// article, so its own row finds it gone and does nothing.
TEST_F(Revision, TalleListadoDespuesDeSuArticulo) {
    AgregaArticulo("RV-T", "Con talles");
    AgregaArticulo("RV-T|S", "Talle S", "S");
    AgregaArticulo("RV-T|M", "Talle M", "M");
    Fila("RV-T", "t", "NX-T");
    Fila("RV-A", "a", "NX-A");
    Fila("rv-t|s", "s", "NX-S");
    RevisionLista r = RevisaLista(frm);
    EXPECT_EQ(Resumen(r),
              (QStringList{"Aviso VariosEnUno [1]", "Aviso VariosEnUno [3]", "Nota Cobertura []"}));
    EXPECT_EQ(r.hallazgos[1].pares, "rv-t|s → NX-S");
    EXPECT_EQ(
        r.hallazgos[1].efecto,
        "rv-t|s es un talle de RV-T y la fila 1 ya lo recodifica a NX-T junto con su artículo: cuando "
        "llegue la fila 3, rv-t|s ya no existirá y el par rv-t|s → NX-S no hará nada. Para que el talle "
        "vaya a NX-S, ponga ese par antes que el de RV-T.");
    // What the run does indeed.
    Corre();
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "RV-T|S"), 0);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "NX-S"), 0);
    EXPECT_EQ(Cuenta("V_MA_ARTICULOS", "NX-T"), 1);

    // The variant's pair first, or after a pair whose new code does not fit
    // (its batches fail and the variants stay): nothing to say about it.
    frm.InicializaGrid2();
    AgregaArticulo("RV-U", "Con talles");
    AgregaArticulo("RV-U|S", "Talle S", "S");
    AgregaArticulo("RV-B|S", "Talle S", "S");
    Fila("RV-U|S", "s", "NX-US");
    Fila("RV-U", "u", "NX-U");
    Fila("RV-B", "b", QString(26, 'L'));
    Fila("RV-B|S", "s", "NX-BS");
    EXPECT_EQ(Resumen(RevisaLista(frm)),
              (QStringList{"Aviso VariosEnUno [2]", "Aviso Largo [3]", "Nota Cobertura []"}));

    // Statistics only: the variant stays, its statistics have gone with row 1.
    frm.ChkEstadisticas = true;
    frm.InicializaGrid2();
    Fila("RV-U", "u", "NX-U");
    Fila("RV-U|S", "s", "NX-US");
    r = RevisaLista(frm);
    EXPECT_EQ(Resumen(r),
              (QStringList{"Aviso VariosEnUno [2]", "Nota VariosEnUno [1]", "Nota Cobertura []"}));
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "RV-U|S es un talle de RV-U y la fila 1 ya pasa sus estadísticas a NX-U junto con las de su "
        "artículo: cuando llegue la fila 2, no le quedarán estadísticas que mover y el par RV-U|S → NX-US "
        "no hará nada. Para que el talle vaya a NX-US, ponga ese par antes que el de RV-U.");
}

// ---- coverage --------------------------------------------------------------------------

TEST_F(Revision, ColumnasDeLosPlanes) {
    EXPECT_EQ(
        ColumnasDeLosPlanes(),
        (QStringList{"AC_COMPRASDIARIA.IDARTICULO", "AC_COMPRASMES.IDARTICULO", "AC_VENTASDIARIA.IDARTICULO",
                     "AC_VENTASMES.IDARTICULO", "C_MV_CPTEINSUMOS.IDARTICULO", "S_TA_EQUIV.IDARTICULO",
                     "V_MA_ARTICULOS.IDARTICULO", "V_MA_INSUMOS.IDARTICULO", "V_MA_INSUMOS.IDARTICULOINSUMO",
                     "V_MA_PRECIOS.IDARTICULO", "V_MA_PRECIOS_BORRADOR.IDARTICULO",
                     "V_MV_CPTEINSUMOS.IDARTICULO", "V_MV_STOCK.IDARTICULO"}));
}

TEST_F(Revision, CoberturaDeColumnasSinPlan) {
    Conexion& cn = gDB().Cnn();
    cn.Execute("CREATE TABLE X_MIS_ETIQUETAS (Id int, IdArticuloEtiqueta varchar(25))");
    cn.Execute(
        "INSERT INTO X_MIS_ETIQUETAS VALUES (1, 'RV-A'), (2, 'RV-A'), (3, 'RV-B'), (4, 'OTRO'), (5, 'RV-C')");
    cn.Execute(
        "CREATE TABLE X_NUMEROS (CodigoArticulo int, IdArticuloRef varchar(25))");  // an int code: not read
    cn.Execute("INSERT INTO X_NUMEROS VALUES (1, '   7.5')");
    cn.Execute("CREATE VIEW X_VISTA AS SELECT IdArticuloEtiqueta AS IdArticuloVista FROM X_MIS_ETIQUETAS");
    ASSERT_EQ(cn.Errors().Count(), 0);
    AgregaArticulo("   7.5", "Guardado con blancos");
    // The demo's own shortage reports name articles that no plan moves.
    const QString faltante = Texto::Trim(Valor("SELECT MIN(IdArticulo) FROM V_MV_FALTANTES"));
    ASSERT_FALSE(faltante.isEmpty());

    // Directly: the old codes as the run sends them ("7.5" is "   7.5"),
    // counted once each, in several queries for a long list.
    QStringList viejos{"RV-A", "rv-a ", "7.5", faltante};
    for (int i = 0; i < 450; ++i) viejos << QString("NO-%1").arg(i);
    viejos << "RV-A";
    QStringList vistas;
    for (const ColumnaSinCubrir& c : RevisaCobertura(viejos))
        vistas << c.tabla + "." + c.columna + "=" + QString::number(c.filas);
    EXPECT_EQ(vistas, (QStringList{"V_MV_FALTANTES.IdArticulo=1", "X_MIS_ETIQUETAS.IdArticuloEtiqueta=2",
                                   "X_NUMEROS.IdArticuloRef=1"}));

    // From the window: one finding per column, after the list's own of the
    // same severity.
    Fila("RV-A", "a", "NX-A");
    Fila("RV-C", "c", "rv-c");  // in place: its references still match
    Fila(faltante, "f", "NX-F");
    RevisionLista r = RevisaLista(frm);
    QStringList cobertura;
    for (const Hallazgo& h : r.hallazgos)
        if (h.tipo == TipoHallazgo::Cobertura) cobertura << NombreGravedad(h.gravedad) + " " + h.pares;
    EXPECT_EQ(cobertura,
              (QStringList{"Aviso V_MV_FALTANTES.IdArticulo", "Aviso X_MIS_ETIQUETAS.IdArticuloEtiqueta",
                           "Nota X_NUMEROS.IdArticuloRef"}));
    EXPECT_EQ(Resumen(r), (QStringList{"Aviso Cobertura []", "Aviso Cobertura []", "Nota Formato [2]",
                                       "Nota Cobertura []"}));
    EXPECT_TRUE(r.hallazgos[0].filas.isEmpty());
    EXPECT_EQ(
        r.hallazgos[0].efecto,
        "La columna IdArticulo de V_MV_FALTANTES guarda códigos de artículo y ningún plan la actualiza: 1 "
        "fila tiene códigos viejos de la lista y quedará con el código viejo.");
    EXPECT_EQ(r.hallazgos[1].efecto,
              "La columna IdArticuloEtiqueta de X_MIS_ETIQUETAS guarda códigos de artículo y ningún plan la "
              "actualiza: 2 filas tienen códigos viejos de la lista y quedarán con el código viejo.");
    EXPECT_EQ(r.hallazgos[3].efecto,
              "La columna IdArticuloRef de X_NUMEROS guarda códigos de artículo y ningún plan la actualiza: "
              "ninguna "
              "fila tiene códigos viejos de la lista.");

    // Statistics only: the old articles stay, their references still hold.
    frm.ChkEstadisticas = true;
    r = RevisaLista(frm);
    EXPECT_EQ(Resumen(r), (QStringList{"Nota Cobertura []", "Nota Cobertura []", "Nota Cobertura []"}));
    EXPECT_EQ(
        r.hallazgos[1].efecto,
        "La columna IdArticuloEtiqueta de X_MIS_ETIQUETAS guarda códigos de artículo y ningún plan la "
        "actualiza: 2 filas tienen códigos viejos de la lista y siguen apuntando al artículo viejo, que se "
        "conserva.");
}

// ---- the safe order and the proposal, run for real ---------------------------------------

TEST_F(Revision, ElOrdenSeguroEnLaCorridaDejaCadaArticuloDondeDiceSuPar) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1), c = ConMovimientos(2);
    const auto antesA = Referencias(a), antesB = Referencias(b), antesC = Referencias(c);
    const QString descA = Descripcion(a), descB = Descripcion(b), descC = Descripcion(c);
    Fila(a, "a", b);       // A takes B's code...
    Fila(c, "c", "NX-C");  // unrelated
    Fila(b, "b", "NX-B");  // ...once B has moved on
    RevisionLista r = RevisaLista(frm);
    ASSERT_FALSE(r.HayRechazos());
    ASSERT_EQ(r.ordenSeguro, Filas({2, 3, 1}));
    ReordenaGrilla(frm.MSFlexGrid1, r.ordenSeguro);
    Corre();

    EXPECT_EQ(registro.Pasos(), (QStringList{c + "|copia|OK", b + "|copia|OK", a + "|copia|OK"}));
    EXPECT_EQ(Descripcion(b), descA);
    EXPECT_EQ(Descripcion("NX-B"), descB);
    EXPECT_EQ(Descripcion("NX-C"), descC);
    EXPECT_EQ(Descripcion(a), QString());
    EXPECT_EQ(Referencias(b), antesA);
    EXPECT_EQ(Referencias("NX-B"), antesB);
    EXPECT_EQ(Referencias("NX-C"), antesC);
    for (long n : Referencias(a)) EXPECT_EQ(n, 0);
}

TEST_F(Revision, LaPropuestaDeUnIntercambioCambiaLosArticulosConTodoSuStock) {
    const QString a = ConMovimientos(0), b = ConMovimientos(1);
    const auto antesA = Referencias(a), antesB = Referencias(b);
    ASSERT_GT(antesA["V_MV_STOCK"], 0);
    ASSERT_GT(antesB["V_MV_STOCK"], 0);
    const QString descA = Descripcion(a), descB = Descripcion(b);
    auto stock = [&](const QString& codigo) {
        return Valor("SELECT SUM(Cantidad) FROM V_MV_STOCK WHERE IDARTICULO = " + Lit(codigo));
    };
    const QString stockA = stock(a), stockB = stock(b);
    Fila(a, "a", b);
    Fila(b, "b", a);
    const RevisionLista r = RevisaLista(frm);
    EXPECT_EQ(Referencias(a), antesA);  // the check only reads
    EXPECT_EQ(Referencias(b), antesB);
    const Hallazgo* ciclo = Busca(r, TipoHallazgo::Ciclo);
    ASSERT_NE(ciclo, nullptr);
    ASSERT_EQ(ciclo->gravedad, Gravedad::Rechazo);
    ASSERT_EQ(ParesTexto(ciclo->propuesta),
              (QStringList{a + ">ZZTMP1@1", b + ">" + a + "@2", "ZZTMP1>" + b + "@1"}));

    // The proposal in the grid, checked again and run.
    frm.InicializaGrid2();
    for (const ParLista& p : ciclo->propuesta) Fila(p.viejo, "d", p.nuevo);
    EXPECT_FALSE(RevisaLista(frm).HayRechazos());
    Corre();
    EXPECT_EQ(registro.Pasos(), (QStringList{a + "|copia|OK", b + "|copia|OK", "ZZTMP1|copia|OK"}));
    EXPECT_EQ(Descripcion(a), descB);
    EXPECT_EQ(Descripcion(b), descA);
    EXPECT_EQ(Referencias(a), antesB);
    EXPECT_EQ(Referencias(b), antesA);
    EXPECT_EQ(stock(a), stockB);
    EXPECT_EQ(stock(b), stockA);
    for (long n : Referencias("ZZTMP1")) EXPECT_EQ(n, 0);
}

TEST_F(Revision, AntesDeGrabarElOperadorReordenaOVuelve) {
    // A chain in the list's order: "reorder and go on" runs it in the safe order.
    Fila("RV-A", "a", "RV-B");
    Fila("RV-B", "b", "NX-C");
    op.RespondeEleccion(1).Responde(vbNo);
    frm.UtilKor1_Click("GRABAR");
    const Aviso& pregunta = op.Transcripcion().front();
    ASSERT_EQ(pregunta.tipo, Aviso::Tipo::Eleccion);
    EXPECT_EQ(pregunta.eleccion.habilitados, QVector<bool>({true, true, true}));
    EXPECT_EQ(pregunta.eleccion.cancelar, 2);
    EXPECT_EQ(registro.Pasos(), (QStringList{"RV-B|copia|OK", "RV-A|copia|OK"}));
    EXPECT_EQ(Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = 'NX-C'"), "Art RV-B");
    EXPECT_EQ(Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = 'RV-B'"), "Art RV-A");

    // A swap: only "back to the list"; nothing is sent and the list stays.
    op.Limpia();
    registro.codigos.clear();
    frm.InicializaGrid2();
    Fila("RV-C", "c", "RV-D");
    Fila("RV-D", "d", "RV-C");
    op.RespondeEleccion(2);
    frm.UtilKor1_Click("GRABAR");
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].eleccion.habilitados, QVector<bool>({false, false, true}));
    EXPECT_TRUE(op.Transcripcion()[0].eleccion.texto.contains("corrija los rechazos"));
    EXPECT_TRUE(registro.codigos.empty());
    EXPECT_EQ(frm.MSFlexGrid1.TextMatrix(2, 0), "RV-D");
    // Going on past a refusal is not possible: the disabled button is no answer.
    op.RespondeEleccion(0);
    frm.UtilKor1_Click("GRABAR");
    EXPECT_TRUE(registro.codigos.empty());
    EXPECT_EQ(Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = 'RV-C'"), "Art RV-C");
}
