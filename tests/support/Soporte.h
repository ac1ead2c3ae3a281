#pragma once
// Test support: a scripted operator that fails the running test on an
// unanswered prompt, and a fresh application folder per test.

#include "platform/OperadorGuionado.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Installed as the process's operator for the lifetime of the object.
class OperadorDePrueba : public OperadorGuionado {
public:
    OperadorDePrueba();
    ~OperadorDePrueba() override;
    OperadorDePrueba(const OperadorDePrueba&) = delete;
    OperadorDePrueba& operator=(const OperadorDePrueba&) = delete;
};

// A fixture with its own application folder and scripted operator; at the
// end, every queued answer must have been used.
class PruebaConCarpeta : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    QString Carpeta() const { return dir_->path(); }
    QString Ruta(const QString& nombre) const;

    OperadorDePrueba op;

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

// A printable form of a text that shows control characters, for assertions.
std::string Visible(const QString& s);

// The folder of the built executables: $QUENVAR_BIN, else the build's.
#ifdef QUENVAR_BIN_DIR
inline QString CarpetaBinarios() {
    const QString env = qEnvironmentVariable("QUENVAR_BIN");
    return env.isEmpty() ? QStringLiteral(QUENVAR_BIN_DIR) : env;
}
#endif

// GoogleTest prints texts readably.
void PrintTo(const QString& s, std::ostream* os);
