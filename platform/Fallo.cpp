#include "platform/Fallo.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <new>
#include <stdexcept>

Fallo::Fallo(int32_t numero, QString descripcion, QString origen)
    : numero_(numero), descripcion_(std::move(descripcion)), origen_(std::move(origen)) {
    if (origen_.isEmpty()) origen_ = NombrePrograma();
    what_ = QStringLiteral("(%1) %2").arg(numero_).arg(descripcion_).toStdString();
}

Fallo FalloActual() {
    try {
        throw;
    } catch (const Fallo& f) {
        return f;
    } catch (const std::bad_alloc&) {
        return Fallo(NumeroFallo::SinMemoria, QStringLiteral("Memoria insuficiente"));
    } catch (const std::out_of_range& e) {
        return Fallo(NumeroFallo::Subindice, QString::fromLocal8Bit(e.what()));
    } catch (const std::overflow_error& e) {
        return Fallo(NumeroFallo::Desbordamiento, QString::fromLocal8Bit(e.what()));
    } catch (const std::exception& e) {
        return Fallo(NumeroFallo::ArgumentoInvalido, QString::fromLocal8Bit(e.what()));
    }
}

namespace {
QString& nombrePrograma() {
    static QString nombre;
    return nombre;
}
}  // namespace

QString NombrePrograma() {
    QString& n = nombrePrograma();
    if (n.isEmpty()) {
        if (QCoreApplication::instance() && !QCoreApplication::applicationFilePath().isEmpty())
            return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
        return QStringLiteral("quenvar");
    }
    return n;
}

void EstableceNombrePrograma(const QString& nombre) { nombrePrograma() = nombre; }
