#include "platform/qt/OperadorQt.h"

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QScreen>
#include <QSpacerItem>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <algorithm>
#include <vector>

#include "platform/Fallo.h"
#include "platform/Texto.h"

namespace {

QString Titulo(const QString& titulo) {
    return titulo.isEmpty() ? NombrePrograma() : titulo;
}

// Line breaks as the suite writes them (CR LF, or a lone CR) shown as such.
QString Lineas(QString texto) {
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return texto;
}

QWidget* Dueno() {
    return QApplication::activeWindow();
}

}  // namespace

void PorEncimaDelCartel(QWidget& dialogo) { dialogo.setWindowFlag(Qt::WindowStaysOnTopHint, true); }

void UltimaColumnaEnvuelve(QTableView& tabla) {
    QAbstractItemModel* m = tabla.model();
    const int columnas = m ? m->columnCount() : 0;
    tabla.setWordWrap(true);
    tabla.resizeColumnsToContents();
    for (int j = 0; j + 1 < columnas; ++j) tabla.setColumnWidth(j, std::min(tabla.columnWidth(j), 260));
    if (columnas > 0) tabla.setColumnWidth(columnas - 1, 100);
    tabla.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tabla.horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    tabla.horizontalHeader()->setStretchLastSection(true);
    QObject::connect(tabla.horizontalHeader(), &QHeaderView::sectionResized, &tabla,
                     [&tabla] { tabla.resizeRowsToContents(); });
    // Once laid out, the wrapped rows take the height of their text.
    QTimer::singleShot(0, &tabla, [&tabla] { tabla.resizeRowsToContents(); });
}

namespace {

struct Boton {
    int codigo;
    const char* leyenda;
};

std::vector<Boton> BotonesDelJuego(int juego) {
    const Boton ok{vbOK, "Aceptar"};
    const Boton cancelar{vbCancel, "Cancelar"};
    const Boton anular{vbAbort, "Anular"};
    const Boton reintentar{vbRetry, "Reintentar"};
    const Boton omitir{vbIgnore, "Omitir"};
    const Boton si{vbYes, "Sí"};
    const Boton no{vbNo, "No"};
    switch (juego) {
        case vbOKCancel:
            return {ok, cancelar};
        case vbAbortRetryIgnore:
            return {anular, reintentar, omitir};
        case vbYesNoCancel:
            return {si, no, cancelar};
        case vbYesNo:
            return {si, no};
        case vbRetryCancel:
            return {reintentar, cancelar};
        default:
            return {ok};
    }
}

QMessageBox::Icon IconoDe(int icono) {
    switch (icono) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// Keeps a box without a way out (Yes/No, Abort/Retry/Ignore) open until a
// button is pressed: Escape and closing the window do nothing.
class SinEscape : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) return true;
        if (e->type() == QEvent::Close) {
            e->ignore();
            return true;
        }
        return QObject::eventFilter(o, e);
    }
};

}  // namespace

int AnchoDelTitulo(const QWidget& w) {
    QFont negrita = w.font();
    negrita.setBold(true);
    // The caption in a bold title bar, with room for the icon and the three buttons.
    const int pedido = QFontMetrics(negrita).horizontalAdvance(w.windowTitle()) + 140;
    const QScreen* s = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
    const int pantalla = s ? s->availableGeometry().width() : 1024;
    // A message box grows no wider than this; past it its text wraps anywhere.
    const int tope = pantalla <= 1024 ? pantalla : std::min(pantalla - 480, 1000);
    return std::min(pedido, tope);
}

void AnchoParaElTitulo(QMessageBox& box) {
    auto* rejilla = qobject_cast<QGridLayout*>(box.layout());
    if (!rejilla) return;
    // An empty row as wide as the title: the box sizes itself from its layout.
    rejilla->addItem(new QSpacerItem(AnchoDelTitulo(box), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                     rejilla->rowCount(), 0, 1, rejilla->columnCount());
}

int OperadorQt::Mensaje(const QString& texto, int botones, const QString& titulo) {
    QMessageBox box(Dueno());
    box.setWindowTitle(Titulo(titulo));
    box.setTextFormat(Qt::PlainText);
    box.setText(Lineas(texto));
    box.setIcon(IconoDe(BotonesMensaje::Icono(botones)));

    const int juego = BotonesMensaje::Juego(botones);
    const std::vector<Boton> lista = BotonesDelJuego(juego);
    std::vector<QPushButton*> creados;
    QPushButton* escape = nullptr;
    for (const Boton& b : lista) {
        // One role for all: the buttons keep the suite's order, left to right.
        QPushButton* p = box.addButton(QString::fromUtf8(b.leyenda), QMessageBox::ActionRole);
        creados.push_back(p);
        if (b.codigo == vbCancel) escape = p;
    }
    if (juego == vbOKOnly || lista.size() == 1) escape = creados.front();
    // A default button beyond the set falls back to the first one.
    const std::size_t defecto = static_cast<std::size_t>(BotonesMensaje::PorDefecto(botones));
    box.setDefaultButton(creados[defecto < creados.size() ? defecto : 0]);

    SinEscape filtro;
    if (escape)
        box.setEscapeButton(escape);
    else
        box.installEventFilter(&filtro);

    AnchoParaElTitulo(box);
    PorEncimaDelCartel(box);
    box.exec();
    for (std::size_t i = 0; i < creados.size(); ++i)
        if (box.clickedButton() == creados[i]) return lista[i].codigo;
    // Closed without a button (only by the program itself): the answer
    // that declines or leaves.
    if (escape) {
        for (std::size_t i = 0; i < creados.size(); ++i)
            if (creados[i] == escape) return lista[i].codigo;
    }
    return juego == vbAbortRetryIgnore ? vbAbort : vbNo;
}

std::optional<QString> OperadorQt::Entrada(const QString& texto, const QString& titulo,
                                           const QString& defecto) {
    QInputDialog d(Dueno());
    d.setInputMode(QInputDialog::TextInput);
    d.setWindowTitle(Titulo(titulo));
    d.setLabelText(Lineas(texto));
    d.setTextValue(defecto);
    d.setOkButtonText(QStringLiteral("Aceptar"));
    d.setCancelButtonText(QStringLiteral("Cancelar"));
    d.setMinimumWidth(AnchoDelTitulo(d));
    PorEncimaDelCartel(d);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    return d.textValue();
}

QString FiltroQt(const QString& filtro) {
    QStringList piezas = filtro.split(QLatin1Char('|'));
    if (!piezas.isEmpty() && piezas.last().isEmpty()) piezas.removeLast();
    QStringList r;
    for (qsizetype i = 0; i < piezas.size(); i += 2) {
        QString desc = Texto::Trim(piezas[i]);
        const QString patron = i + 1 < piezas.size() ? Texto::Trim(piezas[i + 1]) : QString();
        QStringList pats;
        for (const QString& p : patron.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!Texto::Trim(p).isEmpty()) pats.append(Texto::Trim(p));
        if (pats.isEmpty()) pats.append(QStringLiteral("*"));
        // "Texto (*.txt)|*.txt|": the pattern already shown is not repeated.
        const QString yaPuesto = QStringLiteral("(") + patron + QStringLiteral(")");
        if (!patron.isEmpty() && desc.endsWith(yaPuesto, Qt::CaseInsensitive))
            desc = Texto::Trim(desc.left(desc.size() - yaPuesto.size()));
        if (desc.isEmpty()) desc = pats.join(QLatin1Char(' '));
        r.append(desc + QStringLiteral(" (") + pats.join(QLatin1Char(' ')) + QStringLiteral(")"));
    }
    return r.join(QStringLiteral(";;"));
}

RespuestaArchivo OperadorQt::Archivo(const PedidoArchivo& pedido) {
    QFileDialog d(Dueno());
    d.setOption(QFileDialog::DontUseNativeDialog);   // Spanish captions everywhere
    d.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, in Spanish
    d.setWindowTitle(Titulo(pedido.titulo));
    d.setAcceptMode(pedido.guardar ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(pedido.guardar || !pedido.opcion ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    d.setLabelText(QFileDialog::LookIn, QStringLiteral("Buscar en:"));
    d.setLabelText(QFileDialog::FileName, QStringLiteral("Nombre:"));
    d.setLabelText(QFileDialog::FileType, QStringLiteral("Tipo:"));
    d.setLabelText(QFileDialog::Accept, pedido.guardar ? QStringLiteral("Guardar") : QStringLiteral("Abrir"));
    d.setLabelText(QFileDialog::Reject, QStringLiteral("Cancelar"));
    const QString filtro = FiltroQt(pedido.filtro);
    if (!filtro.isEmpty()) d.setNameFilter(filtro);
    QString ext = Texto::Trim(pedido.extension);
    while (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
    if (!ext.isEmpty()) d.setDefaultSuffix(ext);
    if (!pedido.carpeta.isEmpty()) d.setDirectory(pedido.carpeta);
    if (!pedido.nombre.isEmpty()) d.selectFile(pedido.nombre);

    RespuestaArchivo r;
    for (;;) {
        PorEncimaDelCartel(d);
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return r;
        QString nombre = d.selectedFiles().first();
        if (!ext.isEmpty() && QFileInfo(nombre).suffix().isEmpty()) nombre += QLatin1Char('.') + ext;
        if (pedido.guardar && pedido.opcion && QFileInfo::exists(nombre)) {
            const QString q = QStringLiteral("El archivo %1 ya existe.\n¿Desea reemplazarlo?")
                                  .arg(QDir::toNativeSeparators(nombre));
            if (Mensaje(q, vbYesNo + vbExclamation + vbDefaultButton2, d.windowTitle()) != vbYes) continue;
        }
        r.cancelado = false;
        r.nombre = nombre;
        return r;
    }
}

QUrl UrlDocumento(const QString& documento) {
    QString d = Texto::Trim(documento);
    if (d.size() >= 2 && d.startsWith(QLatin1Char('"')) && d.endsWith(QLatin1Char('"')))
        d = d.mid(1, d.size() - 2);
    const qsizetype dosPuntos = d.indexOf(QLatin1Char(':'));
    if (dosPuntos >= 2) {
        QUrl u(d, QUrl::TolerantMode);
        if (u.isValid() && u.scheme().size() >= 2) return u;
    }
    return QUrl::fromLocalFile(QDir::fromNativeSeparators(d));
}

bool OperadorQt::AbreDocumento(const QString& documento, int) {
    return QDesktopServices::openUrl(UrlDocumento(documento));
}

int OperadorQt::EjecutaPrograma(const QString& programa, const QStringList& argumentos, bool espera, int) {
    if (!espera) return QProcess::startDetached(programa, argumentos) ? 0 : -1;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(programa, argumentos);
    if (!p.waitForStarted()) return -1;
    p.waitForFinished(-1);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void OperadorQt::ProcesaEventos() {
    QCoreApplication::processEvents();
}

int OperadorQt::Eleccion(const PedidoEleccion& pedido) {
    QDialog d(Dueno());
    d.setObjectName(QStringLiteral("DialogoEleccion"));
    d.setWindowTitle(Titulo(pedido.titulo));
    auto* caja = new QVBoxLayout(&d);
    auto* texto = new QLabel(Lineas(pedido.texto), &d);
    texto->setWordWrap(true);
    caja->addWidget(texto);

    auto* tabla = new QTableWidget(static_cast<int>(pedido.filas.size()), static_cast<int>(pedido.columnas.size()), &d);
    tabla->setObjectName(QStringLiteral("TablaEleccion"));
    tabla->setHorizontalHeaderLabels(pedido.columnas);
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabla->setWordWrap(true);
    tabla->verticalHeader()->setVisible(false);
    for (int i = 0; i < pedido.filas.size(); ++i)
        for (int j = 0; j < pedido.filas[i].size() && j < pedido.columnas.size(); ++j)
            tabla->setItem(i, j, new QTableWidgetItem(pedido.filas[i][j]));
    UltimaColumnaEnvuelve(*tabla);
    caja->addWidget(tabla, 1);

    int elegido = pedido.cancelar;
    auto* fila = new QHBoxLayout;
    fila->addStretch(1);
    for (int b = 0; b < pedido.botones.size(); ++b) {
        auto* p = new QPushButton(pedido.botones[b], &d);
        p->setObjectName(QStringLiteral("BotonEleccion%1").arg(b));
        p->setEnabled(pedido.Habilitado(b));
        p->setAutoDefault(b == pedido.porDefecto);
        p->setDefault(b == pedido.porDefecto && pedido.Habilitado(b));
        QObject::connect(p, &QPushButton::clicked, &d, [&d, &elegido, b] {
            elegido = b;
            d.accept();
        });
        fila->addWidget(p);
    }
    caja->addLayout(fila);
    d.resize(900, 480);
    PorEncimaDelCartel(d);
    // Escape and the close button leave with the cancelling button's answer.
    if (d.exec() != QDialog::Accepted) return pedido.cancelar;
    return elegido;
}
