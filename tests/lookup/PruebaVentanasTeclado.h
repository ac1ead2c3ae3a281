#pragma once
// The lookup windows driven as a person drives them: the window made active,
// every key delivered to the focused widget, as the platform delivers it.

#include "tests/lookup/PruebaVentanasConsulta.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

class PruebaVentanasTeclado : public PruebaVentanasConsulta {
protected:
    // Shows the window and waits until it is the active one.
    static bool Activa(QWidget& w) {
        w.show();
        QApplication::setActiveWindow(&w);
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    }
    static QWidget* Foco() { return QApplication::focusWidget(); }
    static void Tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWidget* f = Foco();
        ASSERT_NE(f, nullptr) << "ningún control tiene el foco";
        QTest::keyClick(f, k, m);
    }
    // Each character to the widget focused at that moment.
    static void Escribe(const QString& texto) {
        for (const QChar c : texto) {
            QWidget* f = Foco();
            ASSERT_NE(f, nullptr) << "ningún control tiene el foco";
            QTest::keyClicks(f, QString(c));
        }
    }
};
