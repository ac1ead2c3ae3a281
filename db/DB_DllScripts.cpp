// The statement-by-statement runner of Oracle connections.
#include "db/DB_Dll.h"

#include "platform/ArchivoTexto.h"
#include "platform/Texto.h"

#include <array>

using namespace Texto;

namespace {

const std::array<QString, 12> kPalabras = {
    QStringLiteral("INSERT "), QStringLiteral("DELETE "),          QStringLiteral("UPDATE "),
    QStringLiteral("CREATE "), QStringLiteral("DROP "),            QStringLiteral("ALTER "),
    QStringLiteral("SET TRANSACTION"), QStringLiteral("COMMIT"),   QStringLiteral("ROLLBACK"),
    QStringLiteral("IF NOT EXIST"),    QStringLiteral("IF EXIST"), QStringLiteral("GRANT "),
};

QString Normaliza(QString t) {
    const QString LB = ArchivoTexto::CRLF;
    t = Reemplaza(t, QStringLiteral("SET NOCOUNT ON"), QString());
    t = Reemplaza(t, QStringLiteral("SET NOCOUNT OFF"), QString());
    t = Reemplaza(t, QStringLiteral(" GO "), QStringLiteral(" "));
    t = Reemplaza(t, LB + QStringLiteral("GO "), QStringLiteral(" "));
    t = Reemplaza(t, LB + QStringLiteral("GO "), QStringLiteral(" "));
    t = Reemplaza(t, LB + QStringLiteral("GO") + LB, QStringLiteral(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t = Reemplaza(t, QStringLiteral("BEGIN TRANSACTION"), QStringLiteral("SET TRANSACTION"));
    t = Reemplaza(t, QStringLiteral("BEGIN TRANS"), QStringLiteral("SET TRANSACTION"));
    t = Reemplaza(t, QStringLiteral("COMMIT TRANSACTION"), QStringLiteral("COMMIT"));
    t = Reemplaza(t, QStringLiteral("COMMIT TRANS"), QStringLiteral("COMMIT"));
    t = Reemplaza(t, QStringLiteral("ROLLBACK TRANSACTION"), QStringLiteral("ROLLBACK"));
    t = Reemplaza(t, QStringLiteral("ROLLBACK TRANS"), QStringLiteral("ROLLBACK"));
    return t;
}

// The smallest 1-based position at or after `desde` where a keyword occurs; 0 for none.
int ProximaPalabra(const QString& t, int desde) {
    int mejor = 0;
    if (desde > t.size()) return 0;
    for (const QString& k : kPalabras) {
        const int p = InStr(desde, t, k);
        if (p > 0 && (mejor == 0 || p < mejor)) mejor = p;
    }
    return mejor;
}

}  // namespace

QString DB_Dll::FiltraSentencia(QString& texto) {
    if (Contiene(texto, QStringLiteral("SET NOCOUNT")) || Contiene(texto, QStringLiteral("IF NOT EXIST"))) texto.clear();
    return texto;
}

void DB_Dll::EjecutaScriptSQL(QString& SentenciaSQL, long& RecordsAffected) {
    SentenciaSQL = Normaliza(SentenciaSQL);
    for (;;) {
        const int inicio = ProximaPalabra(SentenciaSQL, 1);
        if (inicio == 0) break;
        const int siguiente = ProximaPalabra(SentenciaSQL, inicio + 1);
        const int fin = siguiente == 0 ? static_cast<int>(SentenciaSQL.size()) : siguiente - 1;
        const QString sentencia = Trim(Mid(SentenciaSQL, inicio, fin - inicio + 1));
        const QString resto = Trim(Mid(SentenciaSQL, fin + 1));
        // The line feeds left by the normalisation do not make a transaction
        // statement anything else.
        const QString palabra = sentencia.trimmed();
        if (Iguales(palabra, QStringLiteral("SET TRANSACTION"))) {
            Cnn().BeginTrans();
        } else if (Iguales(palabra, QStringLiteral("COMMIT"))) {
            Cnn().CommitTrans();
        } else if (Iguales(palabra, QStringLiteral("ROLLBACK"))) {
            Cnn().RollbackTrans();
        } else {
            QString traducida = ORACLE_Dicc(sentencia);
            FiltraSentencia(traducida);
            if (!Trim(traducida).isEmpty()) {
                long n = 0;
                Cnn().Execute(traducida, &n, -1);
                if (n > 0) RecordsAffected += n;
            }
        }
        // Cut once it ran: a statement that failed stays in the text, so a
        // caller that reconnects and runs the rest runs it again.
        SentenciaSQL = resto;
    }
    Errores& e = Cnn().Errors();
    if (e.Count() == 1 && e.Item(0).Number == 265929) e.Clear();
}
