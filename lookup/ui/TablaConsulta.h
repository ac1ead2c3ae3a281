#pragma once
// The list lookup's rows as Qt's item views see them: texts, checks, stock
// colours in bold, headers. Values are read from the model, never from what
// a cell shows.

#include <QAbstractTableModel>

class Lib_FrmCons3;

class TablaConsulta : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TablaConsulta(Lib_FrmCons3& modelo, QObject* padre = nullptr);

    Lib_FrmCons3& Modelo() { return modelo_; }
    // After the model loaded again or sorted its rows.
    void Recarga();

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valor, int rol = Qt::EditRole) override;

    // The raw value of a cell.
    static constexpr int RolValor = Qt::UserRole + 1;

private:
    Lib_FrmCons3& modelo_;
};

// A colour value of the suite (a number in BGR order, or a colour name).
QColor ColorSuite(const QVariant& v);
