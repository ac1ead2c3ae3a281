#pragma once
// The access dialog's behaviour: the registered databases of BASES.TXT,
// the typed server, database, user and password, accepting (which sets the
// session's user), registering a connection and the desktop shortcut. The
// window (frmAccesoVentana) owns the pixels, forwards every event here and
// repaints from this state.

#include <QString>
#include <QStringList>

// The controls the form moves the focus to.
enum class ControlAcceso {
    Ninguno,
    TxtUserId,
    TxtUserPassword,
    TxtDbName,
    TxtServidor,
    TxtPuerto,
    CboPlataformaDB,
    lstBases,
    bcAceptar,
};

// A text box: its text, whether it shows its prompt (in the prompt colour)
// and its selection (0-based start, length).
struct CajaTexto {
    QString Text;
    bool Indicacion = false;
    int SelStart = 0;
    int SelLength = 0;
};

// A list or combo box: its entries and the selected one (-1 = none).
struct ListaTexto {
    QStringList List;
    int ListIndex = -1;

    QString Text() const { return ListIndex >= 0 && ListIndex < List.size() ? List[ListIndex] : QString(); }
    void Clear() {
        List.clear();
        ListIndex = -1;
    }
};

// What the form asks of its window.
class VistaAcceso {
public:
    virtual ~VistaAcceso() = default;
    virtual void Centra() = 0;                  // centre on the screen
    virtual void Enfoca(ControlAcceso c) = 0;   // move the focus
    virtual void Oculta() = 0;                  // hide (ends the modal show)
    virtual void Repinta() = 0;                 // show the form's state again
};

class frmAcceso {
public:
    // The maker's site behind Label8.
    static inline const QString kDireccionWeb = QStringLiteral("www.quenvar.example");
    static inline const QString kSitioWeb = QStringLiteral("https://www.quenvar.example");
    static constexpr long kPuertoPorDefecto = 1433;

    frmAcceso();
    void EstableceVista(VistaAcceso* vista) { vista_ = vista; }

    // ---- form state ------------------------------------------------------------
    CajaTexto TxtUserId;
    CajaTexto TxtUserPassword;
    CajaTexto TxtDbName;
    CajaTexto TxtServidor;
    CajaTexto TxtPuerto;
    ListaTexto lstBases;
    ListaTexto CboPlataformaDB;   // "SQL Server", "ORACLE"
    bool Aceptar = false;
    QString ArchivoBases;
    QString ServidorRegistrado;
    QString BaseRegistrada;
    QString UsuarioRegistrado;
    QString ClaveRegistrada;
    QString ServidorAlternativo;  // nothing sets it
    long Puerto = 0;
    bool Visible = false;                          // set by the window while shown
    ControlAcceso Foco = ControlAcceso::Ninguno;   // where the form last moved the focus

    // Sets a box's text as typing or code does; the box's Change event runs
    // when the text changes. A box whose text stops being its prompt leaves
    // the prompt colour.
    void AsignaTexto(CajaTexto& caja, const QString& texto);
    // The prompt of a box ("" for the password, the port and unknown boxes).
    QString IndicacionDe(const CajaTexto& caja) const;
    // What the operator typed: empty while the box shows its prompt.
    QString Valor(const CajaTexto& caja) const;
    // The server to connect to: the server box, with ":" + the port box
    // when that port is not the default and the server names none.
    QString ServidorConPuerto() const;

    // ---- events ----------------------------------------------------------------
    void Form_Load();
    void bcAceptar_Click();
    void bcCancelar_Click();
    void lstBases_Click();
    void lstBases_DblClick();
    void lstBases_KeyDown(int KeyCode, int Shift);
    void Label8_Click();
    void TxtDbName_Change();
    void TxtServidor_Change();
    void TxtUserPassword_Change();
    void TxtUserId_GotFocus();
    void TxtUserId_KeyPress(int KeyAscii);
    void TxtUserPassword_KeyPress(int KeyAscii);
    void TxtDbName_KeyPress(int KeyAscii);
    void TxtServidor_KeyPress(int KeyAscii);
    void CmdRegistrar_Click();
    void CmdLineaComando_Click();

    // ---- routines ----------------------------------------------------------------
    void llenarlist();
    // Finds the entry whose trimmed name equals the trimmed Nombre (letter
    // case counts) and copies it into the registered values.
    void DatosBase(const QString& Nombre);
    void AsignarDatosBase();
    void MensajeInicial(CajaTexto& ObjTxt);
    void RegistrarBases();
    // Whether a connection with these values opens on the main session's
    // connection object (left closed).
    bool ExisteBaseDeDatos(const QString& Servidor, const QString& Dbname, const QString& Usuario,
                           const QString& Password, const QString& Proveedor);
    // Appends one line to BASES.TXT (created when missing). Raises a Fallo
    // when the file cannot be read or written.
    void AgregaBase(const QString& Nombre, const QString& Dbname, const QString& Usuario, const QString& Password,
                    const QString& Servidor, const QString& Instancia, bool EsOracle);
    // Runs the command, minimised, and waits for it.
    bool EjecutarCmdRegDB(const QString& Archivo, QString& ErrDevuelto);

    // The shortcut's command line for the typed server, database and user.
    QString ArgumentosAccesoDirecto() const;
    // The application's title (its executable name when blank).
    static QString TituloAplicacion();

private:
    // "SERVER / DATABASE" of the typed server (cut before its first ":")
    // and database.
    QString NombreEntrada() const;
    void FijaArchivoBases();
    void Enfoca(ControlAcceso c);
    void Oculta();
    void Repinta();
    // The register steps (the main session's state is restored around them).
    void Registra();

    VistaAcceso* vista_ = nullptr;
};
