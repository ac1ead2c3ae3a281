#pragma once
// The spreadsheet model as Qt's item views see it: cells, headers, colours
// for pending texts and the new row, check boxes for bit columns. Pages are
// read by ModeloPlanilla as the view asks for the cells it shows.

#include <QAbstractTableModel>

class ModeloPlanilla;

class TablaPlanilla : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TablaPlanilla(ModeloPlanilla& modelo, QObject* padre = nullptr);
    ~TablaPlanilla() override;

    ModeloPlanilla& Modelo() { return modelo_; }

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol = Qt::EditRole) override;

    // The row's cells were changed outside setData (a text discarded).
    void FilaCambiada(int fila);

    // True for a cell whose text is not written.
    static constexpr int RolPendiente = Qt::UserRole + 1;

    static const QColor& ColorPendiente();
    static const QColor& ColorPendienteActual();   // the pending cell when selected
    static const QColor& ColorFilaNueva();

signals:
    // After a write that moved rows (a new key, a row inserted): where the
    // edited row is now.
    void FilaMovida(int fila, int columna);
    // After a write that was refused (the text is kept pending).
    void EdicionRechazada(int fila, int columna);

private:
    void AvisaErrorLectura() const;

    ModeloPlanilla& modelo_;
    // A write never changes the number of rows, only their places: while the
    // editor that wrote is still open, the view is repainted, not reset.
    bool escribiendo_ = false;
    bool movidas_ = false;
};
