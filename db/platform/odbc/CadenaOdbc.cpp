#include "db/platform/odbc/CadenaOdbc.h"

#include <QFileInfo>

#include "platform/Texto.h"

namespace CadenaOdbc {

namespace {

QString Entorno(const char* variable, const QString& omision) {
    const QString v = Texto::Trim(qEnvironmentVariable(variable));
    return v.isEmpty() ? omision : v;
}

// The value of the first item with one of the keys (compared without case).
QString Busca(const QList<QPair<QString, QString>>& items, std::initializer_list<const char*> claves) {
    for (const char* clave : claves)
        for (const auto& it : items)
            if (Texto::Iguales(it.first, QLatin1String(clave))) return it.second;
    return {};
}

bool Registrado(const QString& controlador, const QStringList& instalados) {
    if (controlador.contains(QLatin1Char('/'))) return QFileInfo::exists(controlador);
    for (const QString& i : instalados)
        if (Texto::Iguales(i, controlador)) return true;
    return false;
}

QString Item(const QString& clave, const QString& valor) {
    return clave + QLatin1Char('=') + Valor(valor) + QLatin1Char(';');
}

QString ItemControlador(const QString& nombre) {
    QString v = nombre;
    v.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1String("Driver={") + v + QLatin1String("};");
}

QString NoInstalado(const QString& controlador) {
    return QStringLiteral("El controlador ODBC \"%1\" no está instalado.").arg(controlador);
}

// Server=SRV, SRV\INST, SRV,port, SRV:port, tcp:SRV; a port overrides the instance.
void Servidor(const QString& texto, const QString& puertoItem, QString& host, QString& puerto) {
    QString s = Texto::Trim(texto);
    if (s.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) s = s.mid(4);
    puerto = Texto::Trim(puertoItem);
    int sep = s.lastIndexOf(QLatin1Char(','));
    if (sep < 0 && s.count(QLatin1Char(':')) == 1) sep = s.indexOf(QLatin1Char(':'));
    if (sep >= 0) {
        const QString p = Texto::Trim(s.mid(sep + 1));
        if (puerto.isEmpty()) puerto = p;
        s = Texto::Trim(s.left(sep));
    }
    if (!puerto.isEmpty()) {
        const int barra = s.indexOf(QLatin1Char('\\'));
        if (barra >= 0) s = s.left(barra);
    }
    const int barra = s.indexOf(QLatin1Char('\\'));
    const QString maquina = barra >= 0 ? s.left(barra) : s;
    if (maquina == QLatin1String(".") || Texto::Iguales(maquina, QLatin1String("(local)")))
        s = QLatin1String("127.0.0.1") + s.mid(maquina.size());
    host = s;
}

}  // namespace

QList<QPair<QString, QString>> Items(const QString& cadena) {
    QList<QPair<QString, QString>> items;
    int i = 0;
    const int n = cadena.size();
    while (i < n) {
        const int igual = cadena.indexOf(QLatin1Char('='), i);
        const int fin = cadena.indexOf(QLatin1Char(';'), i);
        if (igual < 0 || (fin >= 0 && fin < igual)) {  // an item without "=" is skipped
            if (fin < 0) break;
            i = fin + 1;
            continue;
        }
        const QString clave = Texto::Trim(cadena.mid(i, igual - i));
        int j = igual + 1;
        while (j < n && cadena[j] == QLatin1Char(' ')) ++j;
        QString valor;
        if (j < n && cadena[j] == QLatin1Char('{')) {
            ++j;
            while (j < n) {
                if (cadena[j] == QLatin1Char('}')) {
                    if (j + 1 < n && cadena[j + 1] == QLatin1Char('}')) {
                        valor += QLatin1Char('}');
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                valor += cadena[j++];
            }
            const int f = cadena.indexOf(QLatin1Char(';'), j);
            i = f < 0 ? n : f + 1;
        } else {
            const int f = cadena.indexOf(QLatin1Char(';'), j);
            valor = Texto::Trim(cadena.mid(j, (f < 0 ? n : f) - j));
            i = f < 0 ? n : f + 1;
        }
        if (!clave.isEmpty()) items.append({clave, valor});
    }
    return items;
}

QString Valor(const QString& v) {
    const bool llaves = v.contains(QLatin1Char(';')) || v.contains(QLatin1Char('{')) ||
                        v.contains(QLatin1Char('}')) || v.contains(QLatin1Char('=')) ||
                        v.startsWith(QLatin1Char(' ')) || v.endsWith(QLatin1Char(' '));
    if (!llaves) return v;
    QString e = v;
    e.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + e + QLatin1Char('}');
}

Destino Construye(const ParametrosConexion& p, const QStringList& instalados) {
    Destino d;
    const auto items = Items(p.cadenaOriginal);
    const QString proveedor = Texto::Trim(p.proveedor.isEmpty() ? Busca(items, {"Provider"}) : p.proveedor);
    const QString controlador = Busca(items, {"Driver"});
    const QString dsn = Busca(items, {"DSN"});
    auto campo = [&](const QString& valor, std::initializer_list<const char*> claves) {
        return valor.isEmpty() ? Busca(items, claves) : valor;
    };
    const QString usuario = campo(p.usuario, {"UId", "User Id", "UID", "User"});
    const QString clave = campo(p.clave, {"Pwd", "Password"});

    // Any driver or DSN named in the string: the string as written.
    if (!controlador.isEmpty() || !dsn.isEmpty()) {
        if (!controlador.isEmpty() && !Registrado(controlador, instalados)) {
            d.motivo = NoInstalado(controlador);
            return d;
        }
        for (const auto& it : items) {
            if (Texto::Iguales(it.first, QLatin1String("Provider"))) continue;
            d.cadena += Texto::Iguales(it.first, QLatin1String("Driver")) ? ItemControlador(it.second)
                                                                          : Item(it.first, it.second);
        }
        d.controlador = controlador.isEmpty() ? dsn : controlador;
        return d;
    }

    if (Texto::EmpiezaCon(proveedor, QLatin1String("OraOLEDB"))) {
        const QString nombre = Entorno("QUENVAR_ODBC_ORACLE", {});
        if (nombre.isEmpty()) {
            d.motivo =
                QStringLiteral("No hay un controlador ODBC de Oracle configurado (QUENVAR_ODBC_ORACLE).");
            return d;
        }
        if (!Registrado(nombre, instalados)) {
            d.motivo = NoInstalado(nombre);
            return d;
        }
        d.controlador = nombre;
        d.cadena = ItemControlador(nombre) +
                   Item(QStringLiteral("DBQ"), campo(p.origenDatos, {"Data Source"})) +
                   Item(QStringLiteral("UID"), usuario) + Item(QStringLiteral("PWD"), clave);
        return d;
    }

    if (Texto::EmpiezaCon(proveedor, QLatin1String("Microsoft.Jet.OLEDB"))) {
        const QString nombre = Entorno("QUENVAR_ODBC_ACCESS", QStringLiteral("MDBTools"));
        if (!Registrado(nombre, instalados)) {
            d.motivo = NoInstalado(nombre) +
                       QStringLiteral(" Para abrir bases de Access hace falta el controlador de MDB Tools.");
            return d;
        }
        d.controlador = nombre;
        QString base = campo(p.origenDatos, {"Data Source"});
        if (base.isEmpty()) base = p.baseDatos;
        d.cadena = ItemControlador(nombre) + Item(QStringLiteral("DBQ"), base);
        return d;
    }

    if (!Texto::Iguales(proveedor, QLatin1String("SQLOLEDB")) && !proveedor.isEmpty()) {
        d.motivo = QStringLiteral("El proveedor \"%1\" no está disponible.").arg(proveedor);
        return d;
    }

    const QString nombre = Entorno("QUENVAR_ODBC_SQLSERVER", QStringLiteral("FreeTDS"));
    if (!Registrado(nombre, instalados)) {
        d.motivo = NoInstalado(nombre);
        return d;
    }
    QString host, puerto;
    Servidor(campo(p.servidor, {"Server", "Data Source", "Address"}), Busca(items, {"Port"}), host, puerto);
    d.controlador = nombre;
    d.sqlServer = true;
    d.cadena = ItemControlador(nombre) + Item(QStringLiteral("Server"), host);
    if (!puerto.isEmpty()) d.cadena += Item(QStringLiteral("Port"), puerto);
    const QString base = campo(p.baseDatos, {"Database", "Initial Catalog"});
    if (!base.isEmpty()) d.cadena += Item(QStringLiteral("Database"), base);
    d.cadena += Item(QStringLiteral("UID"), usuario) + Item(QStringLiteral("PWD"), clave);
    const bool freeTds = Texto::Contiene(nombre, QLatin1String("FreeTDS")) ||
                         Texto::Contiene(nombre, QLatin1String("tdsodbc"));
    if (freeTds) {
        QString version = Busca(items, {"TDS_Version"});
        QString juego = Busca(items, {"ClientCharset"});
        d.cadena += Item(QStringLiteral("TDS_Version"), version.isEmpty() ? QStringLiteral("7.3") : version);
        // The driver speaks UTF-8 to the narrow ODBC calls.
        d.cadena += Item(QStringLiteral("ClientCharset"), juego.isEmpty() ? QStringLiteral("UTF-8") : juego);
    }
    const QString app = Busca(items, {"APP", "Application Name"});
    if (!app.isEmpty()) d.cadena += Item(QStringLiteral("APP"), app);
    const QString wsid = Busca(items, {"WSID", "Workstation ID"});
    if (!wsid.isEmpty()) d.cadena += Item(QStringLiteral("WSID"), wsid);
    const QString confiable = Busca(items, {"Trusted_Connection"});
    if (!confiable.isEmpty()) d.cadena += Item(QStringLiteral("Trusted_Connection"), confiable);
    return d;
}

}  // namespace CadenaOdbc
