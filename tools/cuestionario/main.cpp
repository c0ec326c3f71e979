// cuestionario: computes the 2019 questionnaire answers of a Tavoro folder without a window.
// --help (-h, /?) explains every option; --version prints the build's version.
//
//   cuestionario CARPETA_TAVORO --usuario CLAVE --password CLAVE [--pep CLAVE_CLIENTE ...]
//                [--pdf ARCHIVO] [--tiempos] [--sondeo] [--detalle CARPETA [--coma]] [--json]
//   cuestionario --consolidar CARPETA_1 CARPETA_2 ... --usuario CLAVE --password CLAVE
//                [--pep N:CLAVE_CLIENTE ...] [--pdf ARCHIVO] [--detalle CARPETA [--coma]]
//                [--tabla ARCHIVO] [--json]
//
// Reads Tavoro.INI and DataBase/Tavoro.mdb of the folder (only reads them), checks that nobody
// works in Tavoro and that the key is an administrator's, lists the detected PEP candidates as
// "PEP<TAB>clave<TAB>nombre", ticks the keys given with --pep and prints every report variable
// as "nombre<TAB>valor" in the order the questionnaire sets them (backslash, line feed, carriage
// return and tab inside a name or value are written \\, \n, \r and \t). --pdf also fills the
// questionnaire report and writes it as a PDF file without showing it. The outputs are written
// together once all of them are whole, each confirmed on standard error. --tiempos writes the milliseconds
// each variable took to standard error.
// --sondeo serves the event loop as the window does (between questions and from inside long
// database work) and writes to standard error the longest gap between the ticks of a 10 ms
// timer, from the login to the last answer: how long a window would have stopped answering.
// --detalle writes into a folder, per computed answer, the rows it counts or sums (a CSV file
// with ';' between fields, or ',' with --coma) and an index. --json prints the answers, the PEP
// candidates and the timings as one JSON document instead of lines. --consolidar runs several
// branch folders and combines their answers into one report (Consolida.h).
#include "common/IIMensajero.h"
#include "common/InterfacedPadre.h"
#include "common/Plataforma.h"
#include "common/Salidas.h"
#include "common/Version.h"
#include "corrida/Sucursal.h"
#include "questionnaire/ArchivosDetalle.h"
#include "questionnaire/Preparacion.h"
#include "report/IIManejadorReportes.h"
#include "report/RepGeneral.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Fuentes.h"
#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"
#include "tools/cuestionario/Consolida.h"
#include "tools/cuestionario/SalidaJson.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

namespace {

QTextStream& salida()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& errores()
{
    static QTextStream s(stderr);
    return s;
}

int falla(const QString& sMensaje)
{
    salida().flush();
    errores() << sMensaje << Qt::endl;
    return 1;
}

// A value on one line of its own: backslash, line feed, carriage return and tab are written
// \\, \n, \r and \t, so no text of the database can start a line or split a field.
QString enUnaLinea(const QString& s)
{
    return LineaHerramienta(s);
}

// No message line and no pauses: the progress texts of the questionnaire are dropped. With
// bSirveEventos each message serves the event loop, as the window's messenger does.
class TMensajeroMudo : public TInterfacedPadre, public IMensajero
{
public:
    explicit TMensajeroMudo(bool bSirveEventos = false) : F_bSirveEventos(bSirveEventos) {}
    void MsjEnTx(const QString&) override { sirve(); }
    void MsjTxTemp(const QString&) override { sirve(); }
    void MsjTxEspera(const QString&, bool) override { sirve(); }
    void CampoObligatorio(QLabel*, QWidget*) override {}
    void SettxLabel(QLabel*) override {}
    void SetbDefColorAlerta(bool) override {}
    bool GetbDefColorAlerta() override { return true; }

private:
    void sirve()
    {
        if (F_bSirveEventos)
            QCoreApplication::processEvents();
    }
    bool F_bSirveEventos;
};

// The stall probe: a timer of 10 ms that records the largest gap between two of its ticks.
class TSonda
{
public:
    void Inicia()
    {
        QObject::connect(&F_Timer, &QTimer::timeout, [this] {
            const qint64 t = F_Reloj.elapsed();
            F_nMayor = std::max(F_nMayor, t - F_nUltimo);
            F_nUltimo = t;
        });
        F_Timer.start(10);
        F_Reloj.start();
    }
    qint64 Termina()
    {
        F_Timer.stop();
        return std::max(F_nMayor, F_Reloj.elapsed() - F_nUltimo);
    }

private:
    QTimer F_Timer;
    QElapsedTimer F_Reloj;
    qint64 F_nUltimo = 0;
    qint64 F_nMayor = 0;
};

struct TOpciones
{
    QString sCarpeta;
    QString sUsuario;
    QString sPassw;
    bool bUsuario = false;
    bool bPassw = false;
    QStringList PEPs;
    QString sPDF;
    bool bTiempos = false;
    bool bSondeo = false;
    bool bConsolidar = false;
    bool bComa = false;
    bool bSeparador = false;
    bool bAyuda = false;
    bool bVersion = false;
    QStringList Carpetas; // every folder given; more than one only with --consolidar
    TOpcionesSalida Salida;
};

const char* const kUso =
    "Uso: cuestionario CARPETA_TAVORO --usuario CLAVE --password CLAVE [--pep CLAVE_CLIENTE ...]\n"
    "                    [--pdf ARCHIVO] [--tiempos] [--sondeo]\n"
    "                    [--detalle CARPETA [--coma | --separador C]] [--json]\n"
    "       cuestionario --consolidar CARPETA_1 CARPETA_2 ... --usuario CLAVE --password CLAVE\n"
    "                    [--pep N:CLAVE_CLIENTE | --pep carpeta=RUTA:CLAVE_CLIENTE ...]\n"
    "                    [--distintas-empresas] [--pdf ARCHIVO] [--detalle CARPETA [--coma | --separador "
    "C]]\n"
    "                    [--tabla ARCHIVO] [--json]\n"
    "       cuestionario --help | --version";

// What every option does, after the usage lines of --help.
const char* const kAyuda =
    "Calcula sin ventana las respuestas del cuestionario 2019 de la carpeta de un Tavoro (la que\n"
    "contiene Tavoro.INI y DataBase). Solo lee la base de datos y Tavoro.INI; nunca los modifica.\n"
    "Escribe en la salida estándar los PEPs detectados (\"PEP<TAB>clave<TAB>nombre\") y cada\n"
    "variable del reporte (\"nombre<TAB>valor\"); los avisos y errores, en la salida de errores.\n"
    "\n"
    "Opciones:\n"
    "  --usuario CLAVE        Clave de un administrador del Tavoro (obligatoria).\n"
    "  --password CLAVE       Contraseña de ese usuario (obligatoria).\n"
    "  --pep CLAVE_CLIENTE    Marca como PEP a ese cliente detectado; se repite por cliente. Con\n"
    "                         --consolidar: N:CLAVE_CLIENTE (N, el número de la sucursal en el orden\n"
    "                         de las carpetas) o carpeta=RUTA:CLAVE_CLIENTE.\n"
    "  --pdf ARCHIVO          Escribe además el reporte en ese archivo PDF.\n"
    "  --detalle CARPETA      Escribe en esa carpeta, por cada respuesta, los registros que cuenta o\n"
    "                         suma (preg_09.csv a preg_46.csv), el índice indice.csv y el libro\n"
    "                         detalle.xlsx.\n"
    "  --coma                 Los archivos CSV de --detalle o --tabla separan los campos con coma\n"
    "                         (y los decimales con punto). Sin --coma ni --separador se usan el\n"
    "                         separador de listas y el decimal de la configuración regional.\n"
    "  --separador C          Los archivos CSV de --detalle o --tabla separan los campos con el\n"
    "                         carácter C (por ejemplo ; o el tabulador), y los decimales con coma\n"
    "                         (con punto si C es la coma).\n"
    "  --json                 Escribe las respuestas, los PEPs y los tiempos como un documento JSON\n"
    "                         en lugar de líneas.\n"
    "  --tiempos              Escribe en la salida de errores los milisegundos que tardó cada\n"
    "                         variable.\n"
    "  --sondeo               Atiende los eventos como la ventana y escribe en la salida de errores\n"
    "                         la pausa más larga entre dos avisos de un temporizador de 10 ms: cuánto\n"
    "                         dejaría de responder una ventana.\n"
    "  --consolidar           Calcula las carpetas de varias sucursales y las suma en un solo\n"
    "                         reporte.\n"
    "  --distintas-empresas   Con --consolidar, admite sucursales de empresas distintas.\n"
    "  --tabla ARCHIVO        Con --consolidar, escribe la tabla por sucursal en ese archivo CSV.\n"
    "  --help, -h, /?         Muestra esta ayuda.\n"
    "  --version              Muestra la versión del programa.\n"
    "\n"
    "Termina con 0 cuando todo se calculó y escribió, con 1 cuando algo falló (el mensaje dice\n"
    "qué) y con 2 cuando los argumentos no son válidos.";

// Returns an empty text when the arguments are valid, else the message for the user.
QString leeOpciones(const QStringList& args, TOpciones& o)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto valor = [&](QString& destino) -> bool {
            if (i + 1 >= args.size())
                return false;
            destino = args[++i];
            return true;
        };
        if (a == QLatin1String("--usuario")) {
            if (!(o.bUsuario = valor(o.sUsuario)))
                return QStringLiteral("Falta la clave después de --usuario.");
        } else if (a == QLatin1String("--password")) {
            if (!(o.bPassw = valor(o.sPassw)))
                return QStringLiteral("Falta la contraseña después de --password.");
        } else if (a == QLatin1String("--pep")) {
            QString s;
            if (!valor(s))
                return QStringLiteral("Falta la clave de cliente después de --pep.");
            o.PEPs << s;
        } else if (a == QLatin1String("--pdf")) {
            if (!valor(o.sPDF) || o.sPDF.isEmpty())
                return QStringLiteral("Falta el nombre del archivo después de --pdf.");
        } else if (a == QLatin1String("--tiempos")) {
            o.bTiempos = true;
        } else if (a == QLatin1String("--sondeo")) {
            o.bSondeo = true;
        } else if (a == QLatin1String("--detalle")) {
            if (!valor(o.Salida.sDetalle) || o.Salida.sDetalle.isEmpty())
                return QStringLiteral("Falta la carpeta después de --detalle.");
        } else if (a == QLatin1String("--tabla")) {
            if (!valor(o.Salida.sTabla) || o.Salida.sTabla.isEmpty())
                return QStringLiteral("Falta el nombre del archivo después de --tabla.");
        } else if (a == QLatin1String("--coma")) {
            o.Salida.Formato = TFormatoCsv::ConSeparador(QLatin1Char(','));
            o.bComa = true;
        } else if (a == QLatin1String("--separador")) {
            QString s;
            if (!valor(s) || s.size() != 1 || s[0].isLetterOrNumber() || s[0] == QLatin1Char('"') ||
                s[0] == QLatin1Char('.'))
                return QStringLiteral(
                    "Después de --separador va un solo carácter que separe los campos: ; , o "
                    "el tabulador.");
            o.Salida.Formato = TFormatoCsv::ConSeparador(s[0]);
            o.bSeparador = true;
        } else if (a == QLatin1String("--json")) {
            o.Salida.bJson = true;
        } else if (a == QLatin1String("--consolidar")) {
            o.bConsolidar = true;
        } else if (a == QLatin1String("--distintas-empresas")) {
            o.Salida.bDistintasEmpresas = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("/?")) {
            // Asked for where an option may stand, the help alone is shown.
            o.bAyuda = true;
            return QString();
        } else if (a == QLatin1String("--version")) {
            o.bVersion = true;
            return QString();
        } else if (a.startsWith(QLatin1String("--"))) {
            return QStringLiteral("Opción desconocida: %1").arg(a);
        } else {
            o.Carpetas << a;
        }
    }
    if (!o.bConsolidar && o.Carpetas.size() > 1)
        return QStringLiteral("Sobra el argumento: %1").arg(o.Carpetas[1]);
    if (!o.bConsolidar && !o.Salida.sTabla.isEmpty())
        return QStringLiteral("La opción --tabla es de --consolidar.");
    if ((o.bComa || o.bSeparador) && o.Salida.sDetalle.isEmpty() && o.Salida.sTabla.isEmpty())
        return QStringLiteral(
            "Las opciones --coma y --separador son para los archivos de --detalle o --tabla.");
    if (o.bComa && o.bSeparador)
        return QStringLiteral("Use --coma o --separador, no las dos: ambas eligen el separador de campos.");
    if (!o.bConsolidar && o.Salida.bDistintasEmpresas)
        return QStringLiteral("La opción --distintas-empresas es de --consolidar.");
    // The branches of a consolidation run on threads of their own, without the per-variable
    // clock or the event-loop probe of a single run.
    if (o.bConsolidar && (o.bTiempos || o.bSondeo))
        return QStringLiteral(
            "Las opciones --tiempos y --sondeo miden una sola carpeta; no van con --consolidar.");
    o.sCarpeta = o.Carpetas.value(0);
    if (o.sCarpeta.isEmpty())
        return QStringLiteral("Falta la carpeta del Tavoro.");
    if (!o.bUsuario)
        return QStringLiteral("Falta la opción --usuario con la clave de un administrador del Tavoro.");
    if (o.sUsuario.trimmed().isEmpty())
        return QStringLiteral("La clave después de --usuario está en blanco.");
    if (!o.bPassw)
        return QStringLiteral("Falta la opción --password con la contraseña de ese usuario.");
    return QString();
}

int ejecuta(const TOpciones& o)
{
    if (!QFileInfo(o.sCarpeta).isDir())
        return falla(
            QStringLiteral("Error: no existe la carpeta %1.").arg(QDir::toNativeSeparators(o.sCarpeta)));
    const QString sRutaBD = Preparacion::RutaBD(o.sCarpeta);
    if (!QFileInfo(sRutaBD).isFile())
        return falla(QStringLiteral("Error: la carpeta %1 no es la del Tavoro (no tiene %2).")
                         .arg(QDir::toNativeSeparators(o.sCarpeta),
                              QDir::toNativeSeparators(QStringLiteral("DataBase/Tavoro.mdb"))));

    // The outputs are checked before anything runs: never a file of the host nor its database
    // folder, whatever the name, link or mount that leads there.
    Preparacion::ProtegeHost(o.sCarpeta);
    QString sError;
    if (!o.sPDF.isEmpty() && !(sError = Salidas::MotivoRechazo(o.sPDF)).isEmpty())
        return falla(sError);
    if (!o.Salida.sDetalle.isEmpty() &&
        !(sError = Salidas::MotivoRechazoCarpeta(o.Salida.sDetalle)).isEmpty())
        return falla(sError);

    // The report components, as the data module holds them, only when a PDF is wanted.
    std::unique_ptr<TObjTextoRico> objTextoRico;
    std::unique_ptr<TExportaPDF> expPDF;
    std::unique_ptr<TReporte> repGeneral;
    std::shared_ptr<IManejadorReportes> Real;
    const QString sNombreReporte = QStringLiteral("Encuesta ZIDU 2019");
    if (!o.sPDF.isEmpty()) {
        RegistraFuentes();
        objTextoRico = CreaObjTextoRico();
        expPDF = CreaExpPDF();
        repGeneral = CreaRepGeneral(objTextoRico.get(), expPDF.get());
        Real = CreaManejadorReportes(repGeneral.get(), sNombreReporte);
    }
    QElapsedTimer Reloj;
    Reloj.start();
    QElapsedTimer RelojVariable;
    RelojVariable.start();
    TSonda Sonda;
    bool bPreparado = false;

    // Each variable is printed as the questionnaire sets it (and fills the report); the preview is
    // not shown: the pages are prepared and the PDF written with the run's other outputs.
    TOpcionesSucursal Op;
    Op.Mensajero = std::make_shared<TMensajeroMudo>(o.bSondeo);
    if (o.bSondeo) {
        Op.Aviso = [] {
            QCoreApplication::processEvents();
            return true;
        };
        Op.AlAdmitir = [&Sonda] { Sonda.Inicia(); };
    }
    Op.AlResponder = [&](const QString& sVariable, const QString& sDato) {
        const double dMs = RelojVariable.nsecsElapsed() / 1000000.0;
        RelojVariable.restart();
        if (!o.Salida.bJson)
            salida() << sVariable << '\t' << enUnaLinea(sDato) << '\n';
        if (o.bTiempos)
            errores() << sVariable << '\t' << dMs << " ms\n";
        if (Real)
            Real->AgregaDatoReporte(sCategoriaCuestionario, sVariable, sDato);
    };
    Op.AlTerminar = [&] {
        if (!repGeneral)
            return;
        repGeneral->SetFileName(sNombreReporte);
        bPreparado = repGeneral->PreparaReporte(true);
    };
    TSucursal Sucursal(o.sCarpeta, Op);
    if (!Sucursal.Prepara(o.sUsuario, o.sPassw) || !Sucursal.DetectaPEPs())
        return falla(Sucursal.Error());
    for (const TPEPCandidato& p : Sucursal.Candidatos())
        if (!o.Salida.bJson)
            salida() << "PEP\t" << enUnaLinea(p.sClave) << '\t' << enUnaLinea(p.sNombre) << '\n';
    if (!Sucursal.Marca(o.PEPs) || !Sucursal.GeneraReporte())
        return falla(Sucursal.Error());

    // The outputs are written whole beside their places and put there together, or none is.
    TGrupoSalidas Grupo;
    if (!o.sPDF.isEmpty()) {
        if (!bPreparado)
            return falla(QStringLiteral("No fue posible preparar el reporte. Llame a Soporte Técnico."));
        TArchivoSalida& Pdf = Grupo.Archivo(o.sPDF);
        if (!Pdf.Abre() || !expPDF->Escribe(*repGeneral, Pdf, nullptr, sError))
            return falla(Pdf.Error().isEmpty() ? sError : Pdf.Error());
    }
    TEscritorDetalle Detalle(o.Salida.Formato);
    if (!o.Salida.sDetalle.isEmpty() &&
        !EscribeDetalleDeCorrida(Sucursal, o.Salida.sDetalle, Detalle, Grupo, sError))
        return falla(sError);
    if (!Grupo.Coloca())
        return falla(Grupo.Error());
    if (!o.sPDF.isEmpty())
        ConfirmaPDF(o.sPDF);
    if (!o.Salida.sDetalle.isEmpty())
        ConfirmaDetalle(Detalle);
    if (o.Salida.bJson) {
        TCorridaJson Corrida;
        Corrida.sCarpeta = o.sCarpeta;
        Corrida.Variables = Sucursal.Variables();
        Corrida.Tiempos = Sucursal.Tiempos();
        Corrida.PEPs = Sucursal.Candidatos();
        Corrida.dTotalMs = Reloj.nsecsElapsed() / 1000000.0;
        salida() << QString::fromUtf8(TextoJson(ObjetoCorrida(Corrida)));
    }
    salida().flush();
    if (o.bSondeo)
        errores() << "sondeo: pausa más larga " << Sonda.Termina() << " ms" << Qt::endl;
    return 0;
}

} // namespace

// The tool speaks Spanish on its own; the libraries' diagnostics (font lookup, runtime folder)
// are not for its user.
void soloErroresGraves(QtMsgType Tipo, const QMessageLogContext&, const QString& sMensaje)
{
    if (Tipo == QtCriticalMsg || Tipo == QtFatalMsg)
        errores() << sMensaje << Qt::endl;
}

namespace {

int corre(int argc, char** argv)
{
    qInstallMessageHandler(soloErroresGraves);
    Plataforma::ConsolaUtf8();
    // The PDF is laid out with the GUI library's fonts and text layout, but no window is shown.
    bool bPDF = false;
    for (int i = 1; i < argc; ++i)
        bPDF = bPDF || qstrcmp(argv[i], "--pdf") == 0;
#ifndef Q_OS_WIN
    // Without a display server the offscreen platform serves; Windows' own platform needs no
    // display and is the one that sees the system's fonts.
    if (bPDF && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    std::unique_ptr<QCoreApplication> app =
        bPDF ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    // A name whose bytes are not text (Latin-1 on a UTF-8 system) would reach the files under
    // another name: it is refused, shown as its bytes.
    for (int i = 1; i < argc; ++i) {
        QString sEscapado;
        if (!Plataforma::NombreRepresentable(QByteArray(argv[i]), sEscapado)) {
            errores() << QStringLiteral(
                             "El argumento \"%1\" no es un nombre que este programa pueda usar: no está "
                             "escrito en UTF-8. Cambie el nombre de la carpeta o del archivo.")
                             .arg(sEscapado)
                      << Qt::endl;
            return 2;
        }
    }
    TOpciones o;
    const QString sError = leeOpciones(QCoreApplication::arguments(), o);
    if (!sError.isEmpty()) {
        errores() << sError << '\n' << kUso << "\nLa opción --help explica cada opción." << Qt::endl;
        return 2;
    }
    if (o.bAyuda) {
        salida() << kUso << "\n\n" << kAyuda << Qt::endl;
        return 0;
    }
    if (o.bVersion) {
        salida() << "cuestionario " << kVersionQRTZ << Qt::endl;
        return 0;
    }
    try {
        return o.bConsolidar ? ConsolidaCarpetas(o.Carpetas, o.sUsuario, o.sPassw, o.PEPs, o.sPDF, o.Salida)
                             : ejecuta(o);
    } catch (const std::exception& e) {
        return falla(QStringLiteral("Error: %1").arg(QString::fromUtf8(e.what())));
    }
}

} // namespace

int main(int argc, char** argv)
{
    return Plataforma::TerminaProceso(corre(argc, argv));
}
