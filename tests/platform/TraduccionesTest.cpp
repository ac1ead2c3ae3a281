// Qt's own dialogs read in Spanish once the program loads Qt's translations
// (a process of its own: the translations stay for the rest of it).

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/qt/Traducciones.h"

TEST(Traducciones, LosDialogosDeQtEnCastellano) {
    QDialogButtonBox antes(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(antes.button(QDialogButtonBox::Cancel)->text().remove('&'), QString("Cancel"));
    ASSERT_TRUE(CargaTraduccionesQt()) << "falta el paquete qt6-translations-l10n";
    QDialogButtonBox botones(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(botones.button(QDialogButtonBox::Cancel)->text().remove('&'), QString("Cancelar"));
    EXPECT_EQ(botones.button(QDialogButtonBox::Save)->text().remove('&'), QString("Guardar"));
    // The file dialog's own texts.
    EXPECT_NE(QFileDialog::tr("&Open"), "&Open");
    EXPECT_TRUE(CargaTraduccionesQt());
}
