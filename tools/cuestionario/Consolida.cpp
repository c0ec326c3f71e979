#include "tools/cuestionario/Consolida.h"

#include "common/IIMensajero.h"
#include "common/InterfacedPadre.h"
#include "common/Salidas.h"
#include "common/TablaMemoria.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"
#include "questionnaire/ArchivosDetalle.h"
#include "questionnaire/Preparacion.h"
#include "questionnaire/RepCuestQRTZ2019.h"
#include "questionnaire/TablaPEPs.h"
#include "report/IIManejadorReportes.h"
#include "report/RepGeneral.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Fuentes.h"
#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"
#include "tools/cuestionario/SalidaJson.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

QTextStream& salida()
{
    static QTextStream s(stdout);
    return s;
}

// Records the answers of a branch as the questionnaire sets them, with the time each took.
class TManejadorRegistro : public IManejadorReportes
{
public:
    TManejadorRegistro() { F_Reloj.start(); }
    void AgregaDatoReporte(const QString&, const QString& sVariable, const QString& sDato) override
    {
        Variables.append({sVariable, sDato});
        Tiempos.append({sVariable, F_Reloj.nsecsElapsed() / 1000000.0});
        F_Reloj.restart();
    }
    void MuestraReporte() override {}

    TVariables Variables;
    QList<QPair<QString, double>> Tiempos;

private:
    QElapsedTimer F_Reloj;
};

class TMensajeroMudo : public TInterfacedPadre, public IMensajero
{
public:
    void MsjEnTx(const QString&) override {}
    void MsjTxTemp(const QString&) override {}
    void MsjTxEspera(const QString&, bool) override {}
    void CampoObligatorio(QLabel*, QWidget*) override {}
    void SettxLabel(QLabel*) override {}
    void SetbDefColorAlerta(bool) override {}
    bool GetbDefColorAlerta() override { return true; }
};

bool leeDetalles(IRepCuestionarioQRTZ& Cuestionario, TConexionBD* Conector, QList<TDetalle>& Detalles,
                 QList<TTablaDetalle>& Tablas, QString& sError)
{
    auto* Q = dynamic_cast<TRepCuestZIDU2019*>(&Cuestionario);
    if (!Q)
        return false;
    Detalles = DameDetalles(*Q);
    if (!LeeDetalles(*Q, Conector, Detalles, Tablas)) {
        sError = u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s;
        return false;
    }
    return true;
}

// One branch, as the tool runs one host folder; sError tells why it stopped.
bool correSucursal(TSucursalCuestionario& S, TCorridaJson& J, const QString& sUsuario, const QString& sPassw,
                   const QStringList& Marcas, QString& sError)
{
    if (!QFileInfo(S.sCarpeta).isDir()) {
        sError = u"no existe la carpeta."_s;
        return false;
    }
    // Each branch on a registry of its own: the main connection is one per registry.
    ColectorConexiones = CreaColectorConxs();
    QElapsedTimer Reloj;
    Reloj.start();
    auto Manejador = std::make_shared<TManejadorRegistro>();
    const auto r = Preparacion::PreparaCuestionario(S.sCarpeta, sUsuario.toUpper(), sPassw.toUpper(),
                                                    [Manejador](const QString&) { return Manejador; },
                                                    std::make_shared<TMensajeroMudo>(), {});
    using Preparacion::TFalla;
    switch (r.Falla) {
    case TFalla::Ninguna:
        break;
    case TFalla::SinBaseDatos:
        sError = u"la carpeta no es la del Tavoro (no tiene DataBase\\Tavoro.mdb)."_s;
        return false;
    case TFalla::SinConexion:
        sError = u"no se pudo abrir la base de datos %1."_s.arg(
            QDir::toNativeSeparators(Preparacion::RutaBD(S.sCarpeta)));
        return false;
    case TFalla::SinNumEmpresa:
        sError = u"No se pudo extraer el Número de la Empresa predeterminada."_s;
        return false;
    case TFalla::UsuarioConectado:
        sError = u"Hay un usuario conectado a la BD. Cierre Tavoro antes de continuar."_s;
        return false;
    case TFalla::AccesoRechazado:
        sError = u"La contraseña es incorrecta o, el usuario no tiene permisos de administrador."_s;
        return false;
    }
    const auto& Cuestionario = r.Cuestionario;
    TConexionBD* Conector = r.Conexion;
    auto vtPEPs = std::make_unique<TTablaMemoria>(CamposTablaPEPs());
    if (!Cuestionario->DetectaPEPs(vtPEPs.get())) {
        sError = u"No fue posible detectar los PEPs. Llame a Soporte Técnico."_s;
        return false;
    }
    for (const QString& sClave : Marcas) {
        bool bEncontrada = false;
        for (vtPEPs->Primero(); !vtPEPs->Fin(); vtPEPs->Siguiente()) {
            if (vtPEPs->ValorTextoOriginal(u"ClaveCliente"_s) == sClave) {
                vtPEPs->Edita();
                vtPEPs->SetValor(u"EsPEP"_s, true);
                vtPEPs->Publica();
                bEncontrada = true;
            }
        }
        if (!bEncontrada) {
            sError = u"El cliente %1 no está entre los PEPs detectados."_s.arg(sClave);
            return false;
        }
    }
    for (vtPEPs->Primero(); !vtPEPs->Fin(); vtPEPs->Siguiente())
        J.PEPs.append({vtPEPs->ValorTextoOriginal(u"ClaveCliente"_s), vtPEPs->ValorTexto(u"Nombre"_s),
                       vtPEPs->ValorBool(u"EsPEP"_s)});
    if (!Cuestionario->GeneraReporte(vtPEPs.get())) {
        sError = u"No fue posible generar el reporte. Llame a Soporte Técnico."_s;
        return false;
    }
    if (!leeDetalles(*Cuestionario, Conector, S.Detalles, S.Tablas, sError))
        return false;
    S.Variables = Manejador->Variables;
    J.sCarpeta = S.sCarpeta;
    J.Variables = Manejador->Variables;
    J.Tiempos = Manejador->Tiempos;
    J.dTotalMs = Reloj.nsecsElapsed() / 1000000.0;
    return true;
}

// The consolidated report: the template filled with the combined answers, the per-branch page
// added at its end, written into Pdf (open).
bool escribePDF(const TConsolidado& C, TArchivoSalida& Pdf, QString& sError)
{
    RegistraFuentes();
    const auto objTextoRico = CreaObjTextoRico();
    const auto expPDF = CreaExpPDF();
    const auto Rep = CreaRepGeneral(objTextoRico.get(), expPDF.get());
    const auto Manejador = CreaManejadorReportes(Rep.get(), u"Encuesta ZIDU 2019"_s);
    for (const auto& [sVariable, sValor] : C.Variables)
        Manejador->AgregaDatoReporte(sCategoriaCuestionario, sVariable, sValor);
    TPaginaPlantilla p = Rep->Paginas().back();
    p.sNombre = u"Pagina_Sucursales"_s;
    p.Encabezado.Area.sHtml = HtmlPaginaSucursales(C);
    p.Pie.Area.sHtml = u"<p class=\"pie\">Anexo: cifras por sucursal</p>"_s;
    Rep->Paginas().push_back(std::move(p));
    Rep->SetFileName(u"Encuesta ZIDU 2019"_s);
    if (!Rep->PreparaReporte(true)) {
        sError = u"No fue posible preparar el reporte. Llame a Soporte Técnico."_s;
        return false;
    }
    return expPDF->Escribe(*Rep, Pdf, nullptr, sError);
}

} // namespace

QByteArray CsvTablaSucursales(const TConsolidado& C, QChar cSeparador)
{
    return ArchivosDetalle::Texto(C.Columnas, C.Filas, cSeparador);
}

QString LineaHerramienta(QString s)
{
    s.replace(u"\\"_s, u"\\\\"_s);
    s.replace(u"\n"_s, u"\\n"_s);
    s.replace(u"\r"_s, u"\\r"_s);
    s.replace(u"\t"_s, u"\\t"_s);
    return s;
}

void ConfirmaPDF(const QString& sArchivo)
{
    QTextStream(stderr) << u"Se escribió el archivo PDF %1."_s.arg(
                               QDir::toNativeSeparators(QFileInfo(sArchivo).absoluteFilePath()))
                        << Qt::endl;
}

void ConfirmaTabla(const QString& sArchivo)
{
    QTextStream(stderr) << u"Se escribió la tabla por sucursal %1."_s.arg(
                               QDir::toNativeSeparators(QFileInfo(sArchivo).absoluteFilePath()))
                        << Qt::endl;
}

void ConfirmaDetalle(const TEscritorDetalle& Detalle)
{
    QTextStream e(stderr);
    e << u"Se escribió el detalle en la carpeta %1: %2."_s.arg(QDir::toNativeSeparators(Detalle.Carpeta()),
                                                               Detalle.Archivos().join(u", "_s))
      << Qt::endl;
    if (!Detalle.Reemplazados().isEmpty())
        e << u"Se reemplazaron los archivos de detalle que ya había en esa carpeta (%1)."_s.arg(
                 Detalle.Reemplazados().join(u", "_s))
          << Qt::endl;
}

bool EscribeDetalleDeCorrida(IRepCuestionarioQRTZ& Cuestionario, TConexionBD* Conector,
                             const TVariables& Variables, const QString& sCarpeta, TEscritorDetalle& Detalle,
                             TGrupoSalidas& Grupo, QString& sError)
{
    auto* Q = dynamic_cast<TRepCuestZIDU2019*>(&Cuestionario);
    if (!Q) {
        sError = u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s;
        return false;
    }
    QMap<QString, QString> Figuras;
    for (const auto& [sVariable, sValor] : Variables)
        Figuras[sVariable] = sValor;
    return EscribeDetalle(*Q, Conector, Figuras, sCarpeta, Detalle, Grupo, sError) ==
           TLecturaDetalle::Completa;
}

int ConsolidaCarpetas(const QStringList& Carpetas, const QString& sUsuario, const QString& sPassw,
                      const QStringList& Marcas, const QString& sPDF, const TOpcionesSalida& Salida)
{
    QTextStream errores(stderr);
    const auto falla = [&](const QString& s) {
        errores << s << Qt::endl;
        return 1;
    };
    if (Carpetas.size() < 2)
        return falla(u"Indique al menos dos carpetas del Tavoro para consolidar."_s);

    // The ticks by branch: its number (from 1) or its folder as given, a colon, the client key.
    QList<QStringList> MarcasPorSucursal(Carpetas.size());
    for (const QString& m : Marcas) {
        int nSucursal = -1;
        QString sClave;
        for (int i = 0; i < Carpetas.size() && nSucursal < 0; ++i) {
            for (const QString& sPrefijo :
                 {Carpetas[i] + QLatin1Char(':'), QString::number(i + 1) + QLatin1Char(':')})
                if (nSucursal < 0 && m.startsWith(sPrefijo)) {
                    nSucursal = i;
                    sClave = m.mid(sPrefijo.size());
                }
        }
        if (nSucursal < 0 || sClave.isEmpty())
            return falla(
                u"La opción --pep %1 no indica la sucursal: escriba su número o su carpeta, dos puntos y la "
                u"clave del cliente (por ejemplo --pep 2:C01)."_s.arg(m));
        MarcasPorSucursal[nSucursal] << sClave;
    }
    // Outputs are checked before any branch runs, and written only after every branch succeeded.
    QString sError;
    for (const QString& c : Carpetas)
        Preparacion::ProtegeHost(c);
    if (!Salida.sDetalle.isEmpty() && !(sError = Salidas::MotivoRechazoCarpeta(Salida.sDetalle)).isEmpty())
        return falla(sError);
    for (const QString& sArchivo : {sPDF, Salida.sTabla})
        if (!sArchivo.isEmpty() && !(sError = Salidas::MotivoRechazo(sArchivo)).isEmpty())
            return falla(sError);

    QList<TSucursalCuestionario> Sucursales;
    QList<TCorridaJson> Corridas;
    for (int i = 0; i < Carpetas.size(); ++i) {
        TSucursalCuestionario S;
        TCorridaJson J;
        S.sCarpeta = Carpetas[i];
        S.sNombre = u"Sucursal %1 (%2)"_s.arg(i + 1).arg(QFileInfo(QDir::cleanPath(Carpetas[i])).fileName());
        const bool bOk = correSucursal(S, J, sUsuario, sPassw, MarcasPorSucursal[i], sError);
        ColectorConexiones = CreaColectorConxs();
        if (!bOk)
            return falla(u"%1, carpeta %2: %3 No se escribió nada."_s.arg(
                S.sNombre, QDir::toNativeSeparators(S.sCarpeta), sError));
        Sucursales << S;
        Corridas << J;
    }
    const TConsolidado C = ConsolidaSucursales(Sucursales);

    // The outputs are written whole beside their places and put there together, or none is.
    TGrupoSalidas Grupo;
    if (!sPDF.isEmpty()) {
        TArchivoSalida& Pdf = Grupo.Archivo(sPDF);
        if (!Pdf.Abre() || !escribePDF(C, Pdf, sError))
            return falla(Pdf.Error().isEmpty() ? sError : Pdf.Error());
    }
    if (!Salida.sTabla.isEmpty()) {
        TArchivoSalida& Tabla = Grupo.Archivo(Salida.sTabla);
        if (!Tabla.Abre() || !Tabla.Escribe(CsvTablaSucursales(C, Salida.cSeparador)) || !Tabla.Cierra())
            return falla(Tabla.Error());
    }
    TEscritorDetalle Detalle(Salida.cSeparador);
    if (!Salida.sDetalle.isEmpty()) {
        QMap<QString, QString> Figuras;
        for (const auto& [sVariable, sValor] : C.Variables)
            Figuras[sVariable] = sValor;
        if (!Detalle.Inicia(Salida.sDetalle, C.Detalles, {u"Sucursal"_s}, Grupo, sError))
            return falla(sError);
        for (int d = 0; d < C.Tablas.size(); ++d)
            for (const QVariantList& f : C.Tablas[d].Filas)
                if (!Detalle.Fila(d, f))
                    return falla(Detalle.Error());
        if (!Detalle.Agrega(ArchivosDetalle::kSucursales, CsvTablaSucursales(C, Salida.cSeparador)) ||
            !Detalle.Termina(Figuras, sError))
            return falla(Detalle.Error().isEmpty() ? sError : Detalle.Error());
    }
    if (!Grupo.Coloca())
        return falla(Grupo.Error());
    if (!sPDF.isEmpty())
        ConfirmaPDF(sPDF);
    if (!Salida.sTabla.isEmpty())
        ConfirmaTabla(Salida.sTabla);
    if (!Salida.sDetalle.isEmpty())
        ConfirmaDetalle(Detalle);

    if (Salida.bJson) {
        salida() << QString::fromUtf8(TextoJson(ObjetoConsolidado(Corridas, C)));
    } else {
        for (int i = 0; i < Corridas.size(); ++i)
            for (const TPEPCandidato& p : Corridas[i].PEPs)
                salida() << "PEP\t" << (i + 1) << ':' << LineaHerramienta(p.sClave) << '\t'
                         << LineaHerramienta(p.sNombre) << '\n';
        for (const auto& [sVariable, sValor] : C.Variables)
            salida() << sVariable << '\t' << LineaHerramienta(sValor) << '\n';
    }
    salida().flush();
    return 0;
}
