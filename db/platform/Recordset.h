#pragma once
// An ADO-shaped record set. Rows are held on the client once the query has
// run (the suite opens with a client-side cursor); a dynamic, optimistic
// record set over one base table writes AddNew/Update/Delete back to it.

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class Conexion;
struct EstadoRecordset;

// One column of the current row.
class Campo {
public:
    QString Name() const;
    int Type() const;            // ADO data type code
    long DefinedSize() const;    // characters for texts, bytes otherwise
    int Precision() const;
    int NumericScale() const;
    // adFldKeyColumn for a column of the base table's primary key,
    // adFldIsNullable | adFldMayBeNull when it admits NULL, adFldLong for
    // long texts and binaries, adFldUpdatable unless the engine fills it
    // (identity).
    long Attributes() const;
    QVariant Value() const;      // null QVariant for NULL; fails with 3021 at BOF/EOF
    void SetValue(const QVariant& v);  // only while editing (AddNew, or any row of an updatable set)

private:
    friend class Recordset;
    Campo(std::shared_ptr<EstadoRecordset> rs, int indice) : rs_(std::move(rs)), i_(indice) {}
    std::shared_ptr<EstadoRecordset> rs_;
    int i_;
};

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Runs the query on the connection and stands on the first row.
    // Fails with 3705 when already open, 3709 when the connection is not
    // open, and with the server's failure (entries in the connection's
    // Errors) when the query fails.
    void Open(const QString& source, Conexion& activeConnection, int cursorType = 0, int lockType = 1,
              int options = -1);
    // Fails with 3704 when closed, 3219 while an edit is pending.
    void Close();
    int State() const;

    bool Bof() const;   // BOF
    bool Eof() const;   // EOF
    long RecordCount() const;
    long AbsolutePosition() const;  // 1-based; -1 when at BOF/EOF
    void MoveFirst();
    void MoveLast();
    void MoveNext();     // fails with 3021 at EOF
    void MovePrevious(); // fails with 3021 at BOF; forward-only sets refuse it (3251)

    int FieldCount() const;
    Campo Fields(int indice) const;              // 0-based; 3265 out of range
    Campo Fields(const QString& nombre) const;   // case-insensitive; 3265 when missing
    QVariant Value(const QString& nombre) const { return Fields(nombre).Value(); }

    void AddNew();        // read-only sets refuse it (3251)
    void Update();        // writes the pending edit; the server's failure is raised
    void Delete();        // the current row
    void CancelUpdate();  // drops the pending edit
    int EditMode() const;

    // The next row set of the request that produced this one; nothing when
    // there is none.
    std::shared_ptr<Recordset> NextRecordset();

    int CursorType() const;
    int LockType() const;
    QString Source() const;

    // Used by the connection to hand over a result it already has.
    static std::shared_ptr<Recordset> DesdeResultado(std::shared_ptr<EstadoRecordset> estado);

private:
    std::shared_ptr<EstadoRecordset> s_;
};

using RecordsetPtr = std::shared_ptr<Recordset>;
