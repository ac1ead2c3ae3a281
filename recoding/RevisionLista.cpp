// The whole-list check before a run. It reads the list as the run would
// send it (grid order, one transaction per code) and only reads the
// database.
//
// Severities: a list the run would turn into something else for good (the
// same old code onto two new codes, a swap or cycle) is a Rechazo; a merge
// the operator may well want but cannot undo (a chain in list order,
// several codes onto one, a new code that is an article already) and a pair
// bound to fail (too long) are Avisos; what only changes a code's form or
// reuses a freed code is a Nota.
//
// Statistics-only runs (ChkEstadisticas) never delete or merge an article,
// only its statistics move: chains and cycles still carry the statistics
// along, so they are reported the same way; several codes onto one is the
// usual way to add statistics up (a Nota), and a new code that is an
// article already is what that option is for (not reported); uncovered
// columns still point at an article that stays (Notas).

#include "recoding/RevisionLista.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <climits>
#include <functional>
#include <queue>

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "platform/lib/Lib_Util.h"
#include "platform/Fallo.h"
#include "platform/Texto.h"
#include "recoding/Corrida.h"
#include "recoding/FrmEMRecodifica.h"
#include "recoding/Grilla.h"
#include "recoding/TextoSql.h"

using Texto::Trim;

namespace {

const QString kFlecha = QStringLiteral(" → ");
constexpr int kAnchoPorDefecto = 25;
constexpr int kValoresPorConsulta = 200;  // values of one IN list

// Codes compared as the run compares them when it chooses the in-place
// plan (Texto::Iguales on the trimmed codes) and as the server's collation
// does: case folded one character at a time, so "ß" stays apart from "SS".
QString Clave(const QString& codigo) {
    return Trim(codigo).toCaseFolded();
}

// The key of LeeCodigosConBlancos.
QString ClaveConBlancos(const QString& codigo) {
    return Trim(codigo).toUpper();
}

QString TextoPar(const QString& viejo, const QString& nuevo) {
    return viejo + kFlecha + nuevo;
}

// "A", "A y B", "A, B y C".
QString Enumera(const QStringList& l) {
    if (l.size() <= 1) return l.value(0);
    return QStringList(l.mid(0, l.size() - 1)).join(QStringLiteral(", ")) + QStringLiteral(" y ") + l.last();
}

QString Nombre(const QString& tabla) {
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (simple.match(tabla).hasMatch()) return tabla;
    return QStringLiteral("[") + QString(tabla).replace(QStringLiteral("]"), QStringLiteral("]]")) +
           QStringLiteral("]");
}

// Runs a read-only query and calls `cada` for each row.
void Lee(const QString& sql, const std::function<void(const Recordset&)>& cada) {
    RecordsetPtr rs;
    try {
        gDB().AbrirRecordset(sql, rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
        while (rs && rs->State() != ado::adStateClosed && !rs->Eof()) {
            cada(*rs);
            rs->MoveNext();
        }
    } catch (...) {
        if (rs) gDB().CierraRecordset(rs);
        throw;
    }
    if (rs) gDB().CierraRecordset(rs);
}

// The width of the master's code column, read once per check; 25 when it
// cannot be read.
int AnchoCodigo() {
    RecordsetPtr rs;
    int ancho = 0;
    try {
        gDB().AbrirRecordset(QStringLiteral("select IDARTICULO from V_MA_ARTICULOS with(nolock) where 1 = 0"),
                             rs, ado::adOpenForwardOnly, ado::adLockReadOnly);
        if (rs && rs->State() != ado::adStateClosed) ancho = static_cast<int>(rs->Fields(0).DefinedSize());
    } catch (const Fallo&) {
        ancho = 0;
    }
    if (rs) gDB().CierraRecordset(rs);
    return ancho > 0 ? ancho : kAnchoPorDefecto;
}

// The codes as the plans write them between quotes: formatted to 25, or the
// master's stored form of a code kept with leading blanks.
QString FormaEnviada(const QString& codigo, const CodigosConBlancos& conBlancos) {
    if (codigo.startsWith(QLatin1Char(' '))) return FormatoGuardado(codigo, 25);
    return FormatoGuardado(CodigoGuardado(LibUtil().AlineaTexto(codigo, 25), conBlancos), 25);
}

// "'a','b',..." in chunks of kValoresPorConsulta.
QStringList ListasIn(const QStringList& valores) {
    QStringList r;
    for (int i = 0; i < valores.size(); i += kValoresPorConsulta) {
        QStringList parte;
        for (int k = i; k < std::min<int>(i + kValoresPorConsulta, valores.size()); ++k)
            parte << QStringLiteral("'") + TextoSql::Comillas(valores[k]) + QStringLiteral("'");
        r << parte.join(QLatin1Char(','));
    }
    return r;
}

// The master's stored code of each of `codigos` that is an article, by key.
QHash<QString, QString> LeeGuardados(const QStringList& codigos, const CodigosConBlancos& conBlancos) {
    QStringList valores;
    QSet<QString> vistos;
    for (const QString& c : codigos) {
        if (Trim(c).isEmpty()) continue;
        const QString v = FormatoGuardado(c, 25);
        if (!vistos.contains(v)) {
            vistos.insert(v);
            valores << v;
        }
    }
    QHash<QString, QString> r;
    for (const QString& in : ListasIn(valores))
        Lee(QStringLiteral("select IdArticulo from V_MA_ARTICULOS where IdArticulo in (") + in +
                QStringLiteral(")"),
            [&](const Recordset& rs) {
                const QString guardado =
                    LibUtil().ValorCampo(rs.Value(QStringLiteral("IdArticulo"))).toString();
                r.insert(Clave(guardado), guardado);
            });
    // Codes kept with leading blanks, typed without them.
    for (const QString& c : codigos) {
        const QString k = Clave(c);
        const auto b = conBlancos.constFind(ClaveConBlancos(c));
        if (!k.isEmpty() && !r.contains(k) && b != conBlancos.constEnd()) r.insert(k, b.value());
    }
    return r;
}

// The list read as the run reads it.
struct Lista {
    const QVector<ParLista>& p;
    bool estadisticas = false;
    int ancho = kAnchoPorDefecto;
    QVector<QString> kv, kn;           // keys
    QVector<bool> propio;              // equal codes: the in-place plan
    QVector<bool> largo;               // the new code does not fit: the pair fails
    QVector<bool> efectivo;            // the pair moves something of its own
    QHash<QString, int> porViejo;      // key of an effective pair's old code → its index
    QHash<QString, QString> vista;     // key → the code as first written in the list
    QHash<QString, QString> guardado;  // key → the master's stored code (articles only)
    QVector<bool> enCiclo;

    explicit Lista(const QVector<ParLista>& pares) : p(pares) {}
    int n() const { return p.size(); }
    QString V(const QString& k) const { return vista.value(k, k); }
    bool Existe(const QString& k) const { return guardado.contains(k); }
    QString Par(int i) const { return TextoPar(p[i].viejo, p[i].nuevo); }
    QString Pares(const QVector<int>& idx) const {
        QStringList l;
        for (int i : idx) l << Par(i);
        return l.join(QStringLiteral("; "));
    }
    QVector<int> Filas(const QVector<int>& idx) const {
        QVector<int> f;
        for (int i : idx) f << p[i].fila;
        return f;
    }
    // "A" or "las estadísticas de A".
    QString Que(const QString& k) const {
        return estadisticas ? QStringLiteral("las estadísticas de ") + V(k) : V(k);
    }
};

// Where each article (by the key of its original code) ends when the
// effective pairs run in `orden`; a pair whose old code holds nothing moves
// nothing. `alPaso` sees each pair with what its new code held before it.
QHash<QString, QString> Simula(const Lista& L, const QVector<int>& orden,
                               const std::function<void(int, const QStringList&)>& alPaso = {}) {
    QHash<QString, QStringList> tiene;
    for (auto it = L.guardado.cbegin(); it != L.guardado.cend(); ++it)
        tiene[it.key()] = QStringList{it.key()};
    for (int i : orden) {
        if (!L.efectivo[i]) continue;
        const QStringList antes = tiene.value(L.kn[i]);
        if (alPaso) alPaso(i, antes);
        const QStringList mueve = tiene.take(L.kv[i]);
        if (!mueve.isEmpty()) tiene[L.kn[i]] += mueve;
    }
    QHash<QString, QString> fin;
    for (auto it = tiene.cbegin(); it != tiene.cend(); ++it)
        for (const QString& a : it.value()) fin.insert(a, it.key());
    return fin;
}

// "A termina como C, B termina como C (A y B quedan fusionados en C)".
QString Destinos(const Lista& L, const QStringList& articulos, const QHash<QString, QString>& fin) {
    QStringList partes;
    QHash<QString, QStringList> juntos;
    QStringList codigos;
    for (const QString& a : articulos) {
        const QString c = fin.value(a, a);
        partes << L.Que(a) + QStringLiteral(" termina") +
                      (L.estadisticas ? QStringLiteral("n en ") : QStringLiteral(" como ")) + L.V(c);
        if (!juntos.contains(c)) codigos << c;
        juntos[c] << L.V(a);
    }
    QString r = partes.join(QStringLiteral(", "));
    for (const QString& c : codigos)
        if (juntos[c].size() > 1)
            r += L.estadisticas ? QStringLiteral(" (las estadísticas de ") + Enumera(juntos[c]) +
                                      QStringLiteral(" quedan sumadas en ") + L.V(c) + QStringLiteral(")")
                                : QStringLiteral(" (") + Enumera(juntos[c]) +
                                      QStringLiteral(" quedan fusionados en ") + L.V(c) + QStringLiteral(")");
    return r;
}

Hallazgo Nuevo(Gravedad g, TipoHallazgo t, const Lista& L, const QVector<int>& idx, const QString& efecto) {
    Hallazgo h;
    h.gravedad = g;
    h.tipo = t;
    h.filas = L.Filas(idx);
    h.pares = L.Pares(idx);
    h.efecto = efecto;
    return h;
}

// A free code for a cycle: no article, not in the list, not already
// proposed, fitting the code column.
QString CodigoTemporal(const Lista& L, QSet<QString>& usados, const CodigosConBlancos& conBlancos) {
    for (int k = 1; k < 1000; ++k) {
        QString c = QStringLiteral("ZZTMP%1").arg(k);
        if (c.size() > L.ancho) c = QStringLiteral("Z%1").arg(k);
        if (c.size() > L.ancho) return {};
        const QString clave = Clave(c);
        if (usados.contains(clave) || L.vista.contains(clave)) continue;
        if (LeeGuardados({c}, conBlancos).contains(clave)) continue;
        usados.insert(clave);
        return c;
    }
    return {};
}

void Ordena(QVector<Hallazgo>& h) {
    auto pos = [](const Hallazgo& x) { return x.filas.isEmpty() ? INT_MAX : x.filas.first(); };
    std::stable_sort(h.begin(), h.end(), [&](const Hallazgo& a, const Hallazgo& b) {
        if (a.gravedad != b.gravedad) return static_cast<int>(a.gravedad) < static_cast<int>(b.gravedad);
        return pos(a) < pos(b);
    });
}

bool EsTexto(int tipo) {
    return tipo == ado::adChar || tipo == ado::adVarChar || tipo == ado::adWChar || tipo == ado::adVarWChar;
}

// A column that holds article codes by its name.
bool ColumnaDeCodigo(const QString& tabla, const QString& columna) {
    if (Texto::Iguales(columna, QStringLiteral("IDARTICULO")) ||
        Texto::EmpiezaCon(columna, QStringLiteral("IdArticulo")) ||
        Texto::Iguales(columna, QStringLiteral("CodigoArticulo")))
        return true;
    // The bill of supplies names both its article and its supply by code.
    return Texto::Iguales(tabla, QStringLiteral("V_MA_INSUMOS")) &&
           (Texto::Contiene(columna, QStringLiteral("ARTICULO")) ||
            Texto::Contiene(columna, QStringLiteral("INSUMO")));
}

}  // namespace

// ---- names and counts --------------------------------------------------------------

QString NombreGravedad(Gravedad g) {
    switch (g) {
        case Gravedad::Rechazo:
            return QStringLiteral("Rechazo");
        case Gravedad::Aviso:
            return QStringLiteral("Aviso");
        case Gravedad::Nota:
            return QStringLiteral("Nota");
    }
    return {};
}

QString NombreTipoHallazgo(TipoHallazgo t) {
    switch (t) {
        case TipoHallazgo::ViejoRepetido:
            return QStringLiteral("ViejoRepetido");
        case TipoHallazgo::Cadena:
            return QStringLiteral("Cadena");
        case TipoHallazgo::Ciclo:
            return QStringLiteral("Ciclo");
        case TipoHallazgo::VariosEnUno:
            return QStringLiteral("VariosEnUno");
        case TipoHallazgo::NuevoExistente:
            return QStringLiteral("NuevoExistente");
        case TipoHallazgo::Largo:
            return QStringLiteral("Largo");
        case TipoHallazgo::Formato:
            return QStringLiteral("Formato");
        case TipoHallazgo::Cobertura:
            return QStringLiteral("Cobertura");
    }
    return {};
}

bool RevisionLista::HayRechazos() const {
    return Cuenta(Gravedad::Rechazo) > 0;
}
bool RevisionLista::HayAvisos() const {
    return Cuenta(Gravedad::Aviso) > 0;
}
int RevisionLista::Cuenta(Gravedad g) const {
    return static_cast<int>(std::count_if(hallazgos.cbegin(), hallazgos.cend(),
                                          [g](const Hallazgo& h) { return h.gravedad == g; }));
}

// ---- the grid --------------------------------------------------------------------------

QVector<ParLista> ParesDeGrilla(const Grilla& g) {
    QVector<ParLista> r;
    for (int i = 1; i < g.Rows(); ++i) {
        ParLista p;
        p.fila = i;
        p.viejo = Trim(g.TextMatrix(i, Grilla::IdArticulo));
        p.nuevoEscrito = g.TextMatrix(i, Grilla::ArticuloNuevo);
        p.nuevo = Trim(p.nuevoEscrito);
        if (p.viejo.isEmpty() || p.nuevo.isEmpty() || Trim(g.TextMatrix(i, Grilla::Descripcion)).isEmpty())
            continue;
        if (p.nuevoEscrito == p.nuevo) p.nuevoEscrito.clear();
        r << p;
    }
    return r;
}

void ReordenaGrilla(Grilla& g, const QVector<int>& orden) {
    const int filas = g.Rows();
    int ultima = filas - 1;  // data rows 1..ultima
    bool vacia = ultima >= 1;
    for (int c = 0; vacia && c < g.Cols(); ++c) vacia = g.TextMatrix(filas - 1, c).isEmpty();
    if (vacia) --ultima;
    QVector<int> nuevo;
    QVector<bool> puesta(filas, false);
    for (int f : orden)
        if (f >= 1 && f <= ultima && !puesta[f]) {
            puesta[f] = true;
            nuevo << f;
        }
    for (int f = 1; f <= ultima; ++f)
        if (!puesta[f]) nuevo << f;
    QVector<QVector<QString>> textos;
    for (int f : nuevo) {
        QVector<QString> fila;
        for (int c = 0; c < g.Cols(); ++c) fila << g.TextMatrix(f, c);
        textos << fila;
    }
    for (int k = 0; k < textos.size(); ++k)
        for (int c = 0; c < g.Cols(); ++c) g.SetTextMatrix(k + 1, c, textos[k][c]);
}

// ---- the list ----------------------------------------------------------------------------
// Each kind of finding has its own function over one view of the list (Lista).

namespace {

// The view: keys, stored forms and which pairs move something of their own.
void PreparaVista(Lista& L, const CodigosConBlancos& conBlancos) {
    const QVector<ParLista>& pares = L.p;
    const int n = L.n();
    L.ancho = AnchoCodigo();
    QStringList todos;
    for (const ParLista& p : pares) {
        L.kv << Clave(p.viejo);
        L.kn << Clave(p.nuevo);
        if (!L.vista.contains(L.kv.last())) L.vista.insert(L.kv.last(), p.viejo);
        if (!L.vista.contains(L.kn.last())) L.vista.insert(L.kn.last(), p.nuevo);
        todos << p.viejo << p.nuevo;
    }
    L.guardado = LeeGuardados(todos, conBlancos);
    QSet<QString> viejosVistos;
    for (int i = 0; i < n; ++i) {
        L.propio << (L.kv[i] == L.kn[i]);
        L.largo << (pares[i].nuevo.size() > L.ancho);
        const bool primero = !viejosVistos.contains(L.kv[i]);
        viejosVistos.insert(L.kv[i]);
        const bool ef = primero && !L.propio[i] && !L.largo[i];
        L.efectivo << ef;
        if (ef) L.porViejo.insert(L.kv[i], i);
    }
    L.enCiclo = QVector<bool>(n, false);
}

// The pairs `incluye` accepts, grouped by `clave(i)`: each group's pairs
// in list order, the groups in the order their key first appears.
template <class Clave, class Incluye>
QVector<QVector<int>> Grupos(int n, Clave clave, Incluye incluye) {
    using K = std::decay_t<decltype(clave(0))>;
    QHash<K, int> cual;
    QVector<QVector<int>> grupos;
    for (int i = 0; i < n; ++i) {
        if (!incluye(i)) continue;
        const K k = clave(i);
        auto it = cual.find(k);
        if (it == cual.end()) {
            it = cual.insert(k, static_cast<int>(grupos.size()));
            grupos.push_back({});
        }
        grupos[*it] << i;
    }
    return grupos;
}

// The same old code twice.
void ViejosRepetidos(const Lista& L, QVector<Hallazgo>& h) {
    const QVector<ParLista>& pares = L.p;
    for (const QVector<int>& g : Grupos(L.n(), [&](int i) { return L.kv[i]; }, [](int) { return true; })) {
        if (g.size() < 2) continue;
        const QString& k = L.kv[g.first()];
        QStringList nuevos;
        QSet<QString> claves;
        for (int i : g)
            if (!claves.contains(L.kn[i])) {
                claves.insert(L.kn[i]);
                nuevos << pares[i].nuevo;
            }
        const QString veces = QString::number(g.size()) + QStringLiteral(" veces");
        if (claves.size() == 1)
            h << Nuevo(
                Gravedad::Aviso, TipoHallazgo::ViejoRepetido, L, g,
                QStringLiteral("El código ") + L.V(k) + QStringLiteral(" figura ") + veces +
                    QStringLiteral(" con el mismo código nuevo ") + nuevos.first() +
                    QStringLiteral(": la corrida lo recodifica la primera vez y las siguientes no hacen "
                                   "nada. Deje un solo par."));
        else
            h << Nuevo(Gravedad::Rechazo, TipoHallazgo::ViejoRepetido, L, g,
                       QStringLiteral("El código ") + L.V(k) + QStringLiteral(" figura ") + veces +
                           QStringLiteral(" con distintos códigos nuevos (") + Enumera(nuevos) +
                           QStringLiteral("): la corrida lo pasa a ") + pares[g.first()].nuevo +
                           QStringLiteral(" y los demás pares terminan «bien» sin hacer nada, porque ") +
                           (L.estadisticas ? QStringLiteral("sus estadísticas ya se movieron")
                                           : L.V(k) + QStringLiteral(" ya no existe")) +
                           QStringLiteral(". Deje un solo par para ") + L.V(k) + QStringLiteral("."));
    }
}

// Cycles: each old code has at most one effective pair, so each key has at
// most one successor. Marks the pairs in a cycle.
void Ciclos(Lista& L, const CodigosConBlancos& conBlancos, QVector<Hallazgo>& h) {
    const QVector<ParLista>& pares = L.p;
    const int n = L.n();
    QHash<QString, int> estado;  // 1 on the current walk, 2 done
    QSet<QString> usados;
    for (int s = 0; s < n; ++s) {
        if (!L.efectivo[s] || estado.value(L.kv[s]) != 0) continue;
        QStringList camino;
        QString k = L.kv[s];
        while (L.porViejo.contains(k) && estado.value(k) == 0) {
            estado[k] = 1;
            camino << k;
            k = L.kn[L.porViejo[k]];
        }
        if (L.porViejo.contains(k) && estado.value(k) == 1) {
            // The cycle from k, started at its pair earliest in the list.
            QVector<int> ciclo;
            for (int j = camino.indexOf(k); j < camino.size(); ++j) ciclo << L.porViejo[camino[j]];
            std::sort(ciclo.begin(), ciclo.end());
            // A code of the cycle that is no article (a temporary code)
            // breaks it: run from there, the cycle is a chain.
            int existen = 0;
            for (int i : ciclo) existen += L.Existe(L.kv[i]) ? 1 : 0;
            if (existen == 0 || existen == ciclo.size()) {
                for (int i : ciclo) L.enCiclo[i] = true;
                QVector<int> vuelta{ciclo.first()};  // c1 → c2 → ... → ck
                while (true) {
                    const int sig = L.porViejo.value(L.kn[vuelta.last()]);
                    if (sig == ciclo.first()) break;
                    vuelta << sig;
                }
                Hallazgo x = Nuevo(Gravedad::Rechazo, TipoHallazgo::Ciclo, L, ciclo, {});
                QStringList codigos;
                for (int i : vuelta) codigos << pares[i].viejo;
                const QString t = CodigoTemporal(L, usados, conBlancos);
                const bool intercambio = vuelta.size() == 2;
                QString efecto = intercambio ? QStringLiteral("Intercambio: la corrida fusionaría ")
                                             : QStringLiteral("Ciclo: la corrida fusionaría ");
                efecto += L.estadisticas
                              ? QStringLiteral("las estadísticas de ") + Enumera(codigos) +
                                    QStringLiteral(" en un solo código para siempre.")
                              : (intercambio ? QStringLiteral("los artículos para siempre.")
                                             : QStringLiteral("los artículos ") + Enumera(codigos) +
                                                   QStringLiteral(" en uno solo para siempre."));
                if (t.isEmpty()) {
                    efecto += QStringLiteral(
                        " No se encontró un código temporal libre que quepa en la columna "
                        "de códigos: resuélvalo a mano.");
                } else {
                    // c1 → T; ck → c1; ...; c2 → c3; T → c2.
                    const ParLista& p1 = pares[vuelta.first()];
                    x.propuesta << ParLista{p1.fila, p1.viejo, t, {}};
                    for (int j = vuelta.size() - 1; j >= 1; --j) {
                        const ParLista& pj = pares[vuelta[j]];
                        x.propuesta << ParLista{pj.fila, pj.viejo, pj.nuevo, {}};
                    }
                    x.propuesta << ParLista{p1.fila, t, p1.nuevo, {}};
                    // The last pair goes in a second list: a file's old codes must
                    // exist when it is loaded, and the temporary one does only then.
                    QStringList pasos;
                    for (int k = 0; k + 1 < x.propuesta.size(); ++k)
                        pasos << TextoPar(x.propuesta[k].viejo, x.propuesta[k].nuevo);
                    efecto += QStringLiteral(" Use un código temporal libre: ") +
                              pasos.join(QStringLiteral("; ")) + QStringLiteral("; después, en otra lista, ") +
                              TextoPar(x.propuesta.last().viejo, x.propuesta.last().nuevo) + QStringLiteral(".");
                }
                x.efecto = efecto;
                h << x;
            }
        }
        for (const QString& c : camino) estado[c] = 2;
    }
}

// Links: the pair A→B and the pair B→C, outside cycles. When B is an
// article, B→C must run first (it frees B); when it is not, A→B must
// (B→C carries on what A→B put in B, as through a temporary code).
int Eslabon(const Lista& L, int i) {
    if (!L.efectivo[i] || L.enCiclo[i] || !L.porViejo.contains(L.kn[i])) return -1;
    const int q = L.porViejo[L.kn[i]];
    return q == i || L.enCiclo[q] ? -1 : q;
}
bool PrimeroElSiguiente(const Lista& L, int q) { return L.Existe(L.kv[q]); }

// The safe order: every link as above, otherwise the list's order. Shorter
// than the list when the links cannot all be kept.
QVector<int> OrdenSeguro(const Lista& L) {
    const int n = L.n();
    QVector<int> seguro;
    QVector<QVector<int>> despues(n);
    QVector<int> faltan(n, 0);
    for (int i = 0; i < n; ++i) {
        const int q = Eslabon(L, i);
        if (q < 0) continue;
        const int antes = PrimeroElSiguiente(L, q) ? q : i, luego = PrimeroElSiguiente(L, q) ? i : q;
        despues[antes] << luego;
        ++faltan[luego];
    }
    std::priority_queue<int, std::vector<int>, std::greater<int>> listos;
    for (int i = 0; i < n; ++i)
        if (faltan[i] == 0) listos.push(i);
    while (!listos.empty()) {
        const int i = listos.top();
        listos.pop();
        seguro << i;
        for (int j : despues[i])
            if (--faltan[j] == 0) listos.push(j);
    }
    return seguro;
}

// Chains: A→B with B→C, grouped with the pairs they share codes with, told
// with where each article ends in the list's order and in the safe one.
void Cadenas(const Lista& L, const QVector<int>& enLista, const QVector<int>& seguro, QVector<Hallazgo>& h) {
    const QVector<ParLista>& pares = L.p;
    const int n = L.n();
    const QHash<QString, QString> finLista = Simula(L, enLista);
    const QHash<QString, QString> finSeguro =
        seguro.size() == n ? Simula(L, seguro) : QHash<QString, QString>();
    auto textoOrden = [&](const QVector<int>& orden, const QVector<int>& del) {
        QStringList l;
        for (int i : orden)
            if (del.contains(i)) l << L.Par(i);
        return l.join(QStringLiteral("; "));
    };
    QVector<int> padre(n);
    for (int i = 0; i < n; ++i) padre[i] = i;
    std::function<int(int)> raiz = [&](int i) { return padre[i] == i ? i : padre[i] = raiz(padre[i]); };
    QVector<bool> enCadena(pares.size(), false);
    QHash<QString, int> porNuevo;
    for (int i = 0; i < n; ++i) {
        if (!L.efectivo[i] || L.enCiclo[i]) continue;
        if (const int q = Eslabon(L, i); q >= 0) {
            padre[raiz(i)] = raiz(q);
            enCadena[i] = enCadena[q] = true;
        }
        if (porNuevo.contains(L.kn[i]))
            padre[raiz(i)] = raiz(porNuevo[L.kn[i]]);
        else
            porNuevo.insert(L.kn[i], i);
    }
    for (const QVector<int>& g : Grupos(n, raiz, [&](int i) { return L.efectivo[i] && !L.enCiclo[i]; })) {
        bool hay = false, inseguro = false;
        QStringList reusados, dePaso;
        for (int i : g) {
            if (!enCadena[i]) continue;
            hay = true;
            if (const int q = Eslabon(L, i); q >= 0) {
                if (PrimeroElSiguiente(L, q) ? q > i : i > q) inseguro = true;
                QStringList& l = PrimeroElSiguiente(L, q) ? reusados : dePaso;
                if (!l.contains(pares[q].viejo)) l << pares[q].viejo;
            }
        }
        if (!hay) continue;
        QStringList articulos;
        for (int i : g) {
            for (const QString& k : {L.kv[i], L.kn[i]})
                if (L.Existe(k) && !articulos.contains(k)) articulos << k;
        }
        QString efecto;
        if (inseguro) {
            efecto = QStringLiteral("Cadena: en el orden de la lista (") + textoOrden(enLista, g) +
                     QStringLiteral("), ") + Destinos(L, articulos, finLista) +
                     QStringLiteral(". En orden seguro (") + textoOrden(seguro, g) +
                     QStringLiteral("), ") + Destinos(L, articulos, finSeguro) + QStringLiteral(".");
            QSet<QString> destinos;
            for (const QString& a : articulos) destinos.insert(finLista.value(a, a));
            const bool fusiona = destinos.size() < articulos.size();
            efecto += fusiona && !L.estadisticas
                          ? QStringLiteral(
                                " Una fusión no se puede deshacer: use el orden seguro si cada par "
                                "debe valer por sí mismo.")
                          : QStringLiteral(" Use el orden seguro si cada par debe valer por sí mismo.");
            h << Nuevo(Gravedad::Aviso, TipoHallazgo::Cadena, L, g, efecto);
        } else {
            efecto = QStringLiteral("Cadena en orden seguro (") + textoOrden(enLista, g) +
                     QStringLiteral("): ") + Destinos(L, articulos, finLista) + QStringLiteral(".");
            if (reusados.size() == 1)
                efecto += QStringLiteral(" El código ") + reusados.first() +
                          QStringLiteral(" pasa a otro artículo.");
            else if (reusados.size() > 1)
                efecto += QStringLiteral(" Los códigos ") + Enumera(reusados) +
                          QStringLiteral(" pasan a otros artículos.");
            if (dePaso.size() == 1)
                efecto +=
                    QStringLiteral(" El código ") + dePaso.first() + QStringLiteral(" es solo de paso.");
            else if (dePaso.size() > 1)
                efecto += QStringLiteral(" Los códigos ") + Enumera(dePaso) +
                          QStringLiteral(" son solo de paso.");
            h << Nuevo(Gravedad::Nota, TipoHallazgo::Cadena, L, g, efecto);
        }
    }
}

// Several old codes onto one new code; the pairs involved.
QVector<bool> VariosEnUno(const Lista& L, QVector<Hallazgo>& h) {
    const QVector<ParLista>& pares = L.p;
    const int n = L.n();
    QVector<bool> enVarios(n, false);
    for (const QVector<int>& g : Grupos(n, [&](int i) { return L.kn[i]; }, [&](int i) { return L.efectivo[i]; })) {
        if (g.size() < 2) continue;
        const QString& k = L.kn[g.first()];
        QStringList viejos;
        for (int i : g) {
            viejos << pares[i].viejo;
            enVarios[i] = true;
        }
        if (L.estadisticas) {
            h << Nuevo(Gravedad::Nota, TipoHallazgo::VariosEnUno, L, g,
                       QStringLiteral("Las estadísticas de ") + Enumera(viejos) +
                           QStringLiteral(" se suman en ") + L.V(k) +
                           QStringLiteral("; los artículos no se tocan."));
            continue;
        }
        QString efecto = Enumera(viejos) + QStringLiteral(" pasan al mismo código ") + L.V(k) +
                         QStringLiteral(": quedan fusionados en un solo artículo");
        if (L.Existe(k) && !L.porViejo.contains(k))
            efecto +=
                QStringLiteral(", junto con el artículo ") + L.V(k) + QStringLiteral(" que ya existe");
        efecto += QStringLiteral(". No se puede deshacer.");
        h << Nuevo(Gravedad::Aviso, TipoHallazgo::VariosEnUno, L, g, efecto);
    }
    return enVarios;
}

// A new code that is an article when its pair runs (in list order); chains,
// cycles and several-onto-one explain their own merges.
void NuevosExistentes(const Lista& L, const QVector<int>& enLista, const QVector<bool>& enVarios, bool soloMaestro,
                      QVector<Hallazgo>& h) {
    const QVector<ParLista>& pares = L.p;
    if (L.estadisticas) return;
    Simula(L, enLista, [&](int i, const QStringList& antes) {
        if (L.enCiclo[i] || enVarios[i] || L.porViejo.contains(L.kn[i])) return;
        if (!L.Existe(L.kn[i]) || !antes.contains(L.kn[i])) return;
        QString efecto = L.V(L.kn[i]) + QStringLiteral(" ya es un artículo: ") + pares[i].viejo +
                         QStringLiteral(" se fusiona en él");
        if (soloMaestro)
            efecto += QStringLiteral(
                          " y se borra; con «solo maestro» sus estadísticas y movimientos no se "
                          "mueven y quedan con el código ") +
                      pares[i].viejo + QStringLiteral(", que deja de existir");
        else
            efecto += QStringLiteral(" (sus estadísticas y movimientos pasan a ") + L.V(L.kn[i]) +
                      QStringLiteral(" y ") + pares[i].viejo + QStringLiteral(" se borra)");
        efecto += QStringLiteral(". No se puede deshacer.");
        h << Nuevo(Gravedad::Aviso, TipoHallazgo::NuevoExistente, L, {i}, efecto);
    });
}

// Too long for the code column.
void Largos(const Lista& L, QVector<Hallazgo>& h) {
    const QVector<ParLista>& pares = L.p;
    const int n = L.n();
    for (int i = 0; i < n; ++i)
        if (L.largo[i])
            h << Nuevo(Gravedad::Aviso, TipoHallazgo::Largo, L, {i},
                       QStringLiteral("El código nuevo ") + pares[i].nuevo + QStringLiteral(" tiene ") +
                           QString::number(pares[i].nuevo.size()) +
                           QStringLiteral(" caracteres y la columna de códigos admite ") +
                           QString::number(L.ancho) +
                           QStringLiteral(": ese par fallará en la corrida y se deshará."));
}

// The new code's form changed by the plans.
void Formatos(const Lista& L, QVector<Hallazgo>& h) {
    const QVector<ParLista>& pares = L.p;
    const int n = L.n();
    for (int i = 0; i < n; ++i) {
        const ParLista& p = pares[i];
        QStringList notas;
        if (!p.nuevoEscrito.isEmpty() && p.nuevoEscrito.startsWith(QLatin1Char(' ')))
            notas << QStringLiteral("el código nuevo se escribió con blancos al principio («") +
                         p.nuevoEscrito + QStringLiteral("»): la corrida lo graba sin ellos, como ") +
                         p.nuevo;
        if (L.propio[i] && !L.estadisticas && p.viejo != p.nuevo)
            notas << QStringLiteral("solo cambian mayúsculas y minúsculas: el plan en sitio reescribe ") +
                         p.viejo + QStringLiteral(" como ") + p.nuevo;
        if (!L.propio[i] && !L.largo[i] && L.Existe(L.kn[i])) {
            const QString guardado = L.guardado.value(L.kn[i]);
            if (guardado.startsWith(QLatin1Char(' ')))
                notas << QStringLiteral("el artículo ") + p.nuevo +
                             QStringLiteral(" está guardado con blancos al principio («") +
                             Texto::RTrim(guardado) + QStringLiteral("»): la corrida usa esa forma");
            else if (Trim(guardado) != p.nuevo && !L.porViejo.contains(L.kn[i]))  // not freed by a chain
                notas << QStringLiteral("el artículo existe como ") + Trim(guardado) +
                             QStringLiteral(": las filas movidas quedan escritas ") + p.nuevo;
        }
        if (notas.isEmpty()) continue;
        QString efecto = notas.join(QStringLiteral("; ")) + QStringLiteral(".");
        efecto[0] = efecto[0].toUpper();
        h << Nuevo(Gravedad::Nota, TipoHallazgo::Formato, L, {i}, efecto);
    }
}

}  // namespace

RevisionLista RevisaLista(const QVector<ParLista>& pares, const OpcionesPlan& op) {
    RevisionLista r;
    Lista L(pares);
    L.estadisticas = op.ChkEstadisticas;
    const int n = L.n();
    if (n == 0) return r;
    const CodigosConBlancos conBlancos = LeeCodigosConBlancos();
    PreparaVista(L, conBlancos);

    QVector<Hallazgo> h;
    ViejosRepetidos(L, h);
    Ciclos(L, conBlancos, h);
    bool hayCiclo = false;
    for (bool c : L.enCiclo) hayCiclo = hayCiclo || c;
    const QVector<int> seguro = OrdenSeguro(L);
    QVector<int> enLista(n);
    for (int i = 0; i < n; ++i) enLista[i] = i;
    Cadenas(L, enLista, seguro, h);
    if (!hayCiclo && seguro.size() == n && seguro != enLista)
        for (int i : seguro) r.ordenSeguro << pares[i].fila;
    const QVector<bool> enVarios = VariosEnUno(L, h);
    NuevosExistentes(L, enLista, enVarios, op.ChkSoloMaestro, h);
    Largos(L, h);
    Formatos(L, h);

    Ordena(h);
    r.hallazgos = h;
    return r;
}

// ---- coverage ----------------------------------------------------------------------------

QStringList ColumnasDeLosPlanes() {
    static const QRegularExpression sentencia(
        QStringLiteral("\\b(?:UPDATE|DELETE(?:\\s+FROM)?|FROM)\\s+(\\w+)\\b.*?\\bWHERE\\s+(\\w+)\\s*="),
        QRegularExpression::CaseInsensitiveOption);
    QSet<QString> r;
    OpcionesPlan conPrefijo;
    conPrefijo.CargaPorPrefijo = true;
    conPrefijo.TxtPrefijoNvo = QStringLiteral("1");
    OpcionesPlan estadisticas;
    estadisticas.ChkEstadisticas = true;
    const OpcionesPlan opciones[] = {OpcionesPlan{}, conPrefijo, estadisticas};
    for (const OpcionesPlan& op : opciones)
        for (const bool existe : {false, true})
            for (const QString& nuevo : {QStringLiteral("N"), QStringLiteral("o")}) {
                const Plan plan = ArmaPlan(QStringLiteral("O"), nuevo, op, existe, QStringLiteral("L"));
                for (int k = 0; k < plan.Cantidad; ++k) {
                    const QRegularExpressionMatch m =
                        sentencia.match(plan.Sentencias[static_cast<size_t>(k)]);
                    if (m.hasMatch())
                        r.insert(m.captured(1).toUpper() + QLatin1Char('.') + m.captured(2).toUpper());
                }
            }
    QStringList l(r.cbegin(), r.cend());
    l.sort();
    return l;
}

QVector<ColumnaSinCubrir> RevisaCobertura(const QStringList& codigosViejos) {
    const QSet<QString> cubiertas = [] {
        const QStringList l = ColumnasDeLosPlanes();
        return QSet<QString>(l.cbegin(), l.cend());
    }();
    Conexion& cn = gDB().Cnn();

    QSet<QString> tablas;
    {
        RecordsetPtr rs = cn.OpenSchema(ado::adSchemaTables);
        for (; rs && !rs->Eof(); rs->MoveNext())
            if (Texto::Iguales(Trim(rs->Value(QStringLiteral("TABLE_TYPE")).toString()),
                               QStringLiteral("TABLE")))
                tablas.insert(rs->Value(QStringLiteral("TABLE_NAME")).toString().toUpper());
    }
    QVector<ColumnaSinCubrir> r;
    {
        RecordsetPtr rs = cn.OpenSchema(ado::adSchemaColumns);
        for (; rs && !rs->Eof(); rs->MoveNext()) {
            const QString tabla = rs->Value(QStringLiteral("TABLE_NAME")).toString();
            const QString columna = rs->Value(QStringLiteral("COLUMN_NAME")).toString();
            if (!tablas.contains(tabla.toUpper()) || !ColumnaDeCodigo(tabla, columna)) continue;
            if (!EsTexto(rs->Value(QStringLiteral("DATA_TYPE")).toInt())) continue;  // codes are texts
            if (cubiertas.contains(tabla.toUpper() + QLatin1Char('.') + columna.toUpper())) continue;
            r << ColumnaSinCubrir{tabla, columna, 0};
        }
    }
    if (r.isEmpty()) return r;

    // The old codes as the plans look them up.
    const CodigosConBlancos conBlancos = LeeCodigosConBlancos();
    QStringList valores;
    QSet<QString> vistos;
    for (const QString& c : codigosViejos) {
        if (Trim(c).isEmpty()) continue;
        const QString v = FormaEnviada(c, conBlancos);
        if (!vistos.contains(v)) {
            vistos.insert(v);
            valores << v;
        }
    }
    const QStringList listas = ListasIn(valores);
    for (ColumnaSinCubrir& c : r) {
        try {
            for (const QString& in : listas)
                Lee(QStringLiteral("SELECT COUNT(*) FROM ") + Nombre(c.tabla) + QStringLiteral(" WHERE ") +
                        Nombre(c.columna) + QStringLiteral(" IN (") + in + QStringLiteral(")"),
                    [&](const Recordset& rs) { c.filas += rs.Fields(0).Value().toLongLong(); });
        } catch (const Fallo&) {
            c.filas = -1;
        }
    }
    return r;
}

// ---- the window's list ------------------------------------------------------------------

RevisionLista RevisaLista(const FrmEMRecodifica& frm) {
    const QVector<ParLista> pares = ParesDeGrilla(frm.MSFlexGrid1);
    OpcionesPlan op;
    op.ChkEstadisticas = frm.ChkEstadisticas;
    op.ChkSoloMaestro = frm.ChkSoloMaestro;
    op.CargaPorPrefijo = frm.CargaPorPrefijo;
    op.TxtPrefijoNvo = frm.TxtPrefijoNvo;
    RevisionLista r = RevisaLista(pares, op);
    if (pares.isEmpty()) return r;

    // The old codes the run sends: the size variants too; an in-place pair
    // keeps its code (case aside) unless the master stores it with blanks.
    const bool talles = UsaTalles();
    const CodigosConBlancos conBlancos = LeeCodigosConBlancos();
    QStringList viejos;
    QSet<QString> vistos;
    const int ancho = talles ? AnchoCodigo() : kAnchoPorDefecto;
    QHash<QString, int> talleEnviado;  // key of a size variant → the first pair that sends it
    for (int j = 0; j < pares.size(); ++j) {
        const ParLista& p = pares[j];
        if (const auto t = talleEnviado.constFind(Clave(p.viejo)); t != talleEnviado.constEnd()) {
            // A variant folded into its article's new code: gone (or, statistics
            // only, without statistics) when its own row comes.
            const ParLista& a = pares[t.value()];
            Hallazgo x;
            x.gravedad = Gravedad::Aviso;
            x.tipo = TipoHallazgo::VariosEnUno;
            x.filas = {p.fila};
            x.pares = TextoPar(p.viejo, p.nuevo);
            x.efecto = p.viejo + QStringLiteral(" es un talle de ") + a.viejo +
                       QStringLiteral(" y la fila ") + QString::number(a.fila) +
                       (op.ChkEstadisticas ? QStringLiteral(" ya pasa sus estadísticas a ") + a.nuevo +
                                                 QStringLiteral(" junto con las de su artículo")
                                           : QStringLiteral(" ya lo recodifica a ") + a.nuevo +
                                                 QStringLiteral(" junto con su artículo")) +
                       QStringLiteral(": cuando llegue la fila ") + QString::number(p.fila) +
                       QStringLiteral(", ") +
                       (op.ChkEstadisticas ? QStringLiteral("no le quedarán estadísticas que mover")
                                           : p.viejo + QStringLiteral(" ya no existirá")) +
                       QStringLiteral(" y el par ") + TextoPar(p.viejo, p.nuevo) +
                       QStringLiteral(" no hará nada. Para que el talle vaya a ") + p.nuevo +
                       QStringLiteral(", ponga ese par antes que el de ") + a.viejo + QStringLiteral(".");
            r.hallazgos << x;
        }
        if (Texto::Iguales(p.viejo, p.nuevo)) {
            if (conBlancos.contains(ClaveConBlancos(p.viejo)))
                viejos << conBlancos.value(ClaveConBlancos(p.viejo));
            continue;
        }
        const bool primero = !vistos.contains(Clave(p.viejo));
        vistos.insert(Clave(p.viejo));
        const QStringList variantes = talles ? VariantesDeTalle(p.viejo) : QStringList();
        viejos << variantes << p.viejo;
        // A new code too long fails every variant's batch: they stay.
        if (p.nuevo.size() <= ancho)
            for (const QString& c : variantes)
                if (!talleEnviado.contains(Clave(c))) talleEnviado.insert(Clave(c), j);
        // The run sends every size variant of the old code onto the same
        // new code: several articles onto one.
        if (variantes.isEmpty() || !primero || p.nuevo.size() > ancho) continue;
        QStringList v;
        for (const QString& c : variantes) v << Trim(c);
        Hallazgo x;
        x.gravedad = op.ChkEstadisticas ? Gravedad::Nota : Gravedad::Aviso;
        x.tipo = TipoHallazgo::VariosEnUno;
        x.filas = {p.fila};
        x.pares = TextoPar(p.viejo, p.nuevo);
        x.efecto =
            op.ChkEstadisticas
                ? QStringLiteral("Las estadísticas de los talles de ") + p.viejo + QStringLiteral(" (") +
                      Enumera(v) + QStringLiteral(") y las suyas se suman en ") + p.nuevo +
                      QStringLiteral("; los artículos no se tocan.")
                : p.viejo + QStringLiteral(" tiene talles (") + Enumera(v) +
                      QStringLiteral("): la corrida los pasa todos a ") + p.nuevo +
                      QStringLiteral(" junto con ") + p.viejo +
                      QStringLiteral(" y quedan fusionados en un solo artículo. No se puede deshacer.");
        r.hallazgos << x;
    }
    for (const ColumnaSinCubrir& c : RevisaCobertura(viejos)) {
        Hallazgo x;
        x.tipo = TipoHallazgo::Cobertura;
        x.pares = c.tabla + QLatin1Char('.') + c.columna;
        const QString donde = QStringLiteral("La columna ") + c.columna + QStringLiteral(" de ") + c.tabla +
                              QStringLiteral(" guarda códigos de artículo y ningún plan la actualiza: ");
        if (c.filas < 0) {
            x.gravedad = Gravedad::Aviso;
            x.efecto =
                donde + QStringLiteral("no se pudieron contar sus filas con códigos viejos de la lista.");
        } else if (c.filas == 0) {
            x.gravedad = Gravedad::Nota;
            x.efecto = donde + QStringLiteral("ninguna fila tiene códigos viejos de la lista.");
        } else {
            x.gravedad = op.ChkEstadisticas ? Gravedad::Nota : Gravedad::Aviso;
            const bool una = c.filas == 1;
            x.efecto =
                donde + QString::number(c.filas) +
                (una ? QStringLiteral(" fila tiene") : QStringLiteral(" filas tienen")) +
                QStringLiteral(" códigos viejos de la lista y ") +
                (op.ChkEstadisticas ? (una ? QStringLiteral("sigue") : QStringLiteral("siguen")) +
                                          QStringLiteral(" apuntando al artículo viejo, que se conserva.")
                                    : (una ? QStringLiteral("quedará") : QStringLiteral("quedarán")) +
                                          QStringLiteral(" con el código viejo."));
        }
        r.hallazgos << x;
    }
    Ordena(r.hallazgos);
    return r;
}
