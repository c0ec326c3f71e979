#include "questionnaire/RepCuestionarioQRTZ.h"

#include "common/IIMensajero.h"
#include "common/TablaMemoria.h"
#include "common/Texto.h"
#include "data/NombreClase.h"
#include "db/componentes/ConexionBD.h"
#include "questionnaire/BoolPersist.h"
#include "report/IIManejadorReportes.h"

#include <utility>

namespace {

const QString kCategoria = QStringLiteral("Cuestionario");

} // namespace

TRepCuestionarioQRTZ::TRepCuestionarioQRTZ(TConexionBD* Conector, const TCreaManejador& CreaManejador,
                                           const QString& sNomRep, std::shared_ptr<IMensajero> Mensajero,
                                           int nTotalPreg, int nNumEmp, const QString& sFIni,
                                           const QString& sFFin)
    : TTavoroBD(Conector), F_Mensajero(std::move(Mensajero)), F_mjReportes(CreaManejador(sNomRep)),
      F_nTotalPreguntas(nTotalPreg), F_sFIni(sFIni), F_sFFin(sFFin), F_sNumEmp(QString::number(nNumEmp))
{
    // A database that cannot be read now is reported by the first query of the step.
    QString sAdicional;
    if (F_Conector)
        EjecutaProtegido([this] { F_Conector->IniciaPaso(); }, sAdicional);
}

TRepCuestionarioQRTZ::~TRepCuestionarioQRTZ()
{
    if (F_Conector)
        F_Conector->TerminaPaso();
}

bool TRepCuestionarioQRTZ::MismaBaseDeDatos()
{
    QString sAdicional;
    if (!F_Conector || EjecutaProtegido([this] { F_Conector->CompruebaPaso(); }, sAdicional))
        return true;
    MuestraError(QStringLiteral("BD-101"), NombreClaseDe(*this), sAdicional);
    return false;
}

bool TRepCuestionarioQRTZ::ValidaAcceso(const QString& sUsuario, const QString& sPassw, bool bSoloAdmins)
{
    return TTavoroBD::ValidaAcceso(sUsuario, sPassw, bSoloAdmins);
}

bool TRepCuestionarioQRTZ::UsuariosConectados()
{
    return TTavoroBD::UsuariosConectados();
}

bool TRepCuestionarioQRTZ::DetectaPEPs(TTablaMemoria* vtPEPS)
{
    if (!vtPEPS)
        return false;
    vtPEPS->Abre();
    vtPEPS->BorraTodo();

    // Unusual-operation records of the period, for this company, whose remarks mention PEP.
    const QString sCondicion = QStringLiteral("tRelevan.TipoRelev = 'I' AND tRelevan.Fecha >= #") + F_sFIni +
                               QStringLiteral("# AND ") + QStringLiteral("tRelevan.Fecha <= #") + F_sFFin +
                               QStringLiteral("# AND ") +
                               QStringLiteral("tRelevan.Observaciones LIKE '%PEP%' AND ") +
                               QStringLiteral("tRelevan.NumEmp = ") + F_sNumEmp;
    // The distinct clients with such a record.
    const QString sConsulta =
        QStringLiteral(
            "SELECT DISTINCT tCliente.Nombre, tCliente.ApellidoPaterno,  tCliente.ApellidoMaterno, "
            "tCliente.ClaveCliente FROM tRelevan, tCliente WHERE ") +
        sCondicion + QStringLiteral(" AND ") +
        QStringLiteral("tCliente.ClaveCliente = tRelevan.ClaveCliente");
    if (!PideConsulta(sConsulta, *F_qConsultaGen))
        return false;
    if (!MismaBaseDeDatos()) {
        F_qConsultaGen->Cierra();
        return false;
    }
    if (F_qConsultaGen->EstaVacia()) {
        F_qConsultaGen->Cierra();
        return true;
    }

    int nContador = 0;
    QStringList Claves; // as the host writes them, longer than the list's field may keep
    F_qConsultaGen->Primero();
    while (!F_qConsultaGen->Fin()) {
        ++nContador;
        QString sNombre = QuitaBlancos(F_qConsultaGen->Campo(QStringLiteral("Nombre")).AsString());
        for (const char* sApellido : {"ApellidoPaterno", "ApellidoMaterno"}) {
            const QString s = QuitaBlancos(F_qConsultaGen->Campo(QString::fromLatin1(sApellido)).AsString());
            if (!s.isEmpty())
                sNombre += QLatin1Char(' ') + s;
        }
        const QString sClave = F_qConsultaGen->Campo(QStringLiteral("ClaveCliente")).AsString();
        Claves << sClave;

        vtPEPS->Agrega();
        vtPEPS->SetValor(QStringLiteral("IdPEP"), nContador);
        vtPEPS->SetValor(QStringLiteral("ClaveCliente"), sClave);
        vtPEPS->SetValor(QStringLiteral("Nombre"), sNombre);
        vtPEPS->SetValor(QStringLiteral("EsPEP"), false);
        vtPEPS->Publica();
        F_qConsultaGen->Siguiente();
    }
    F_qConsultaGen->Cierra();
    return AgregaRegistrosPEP(vtPEPS, Claves, sCondicion);
}

bool TRepCuestionarioQRTZ::AgregaRegistrosPEP(TTablaMemoria* vtPEPS, const QStringList& Claves,
                                              const QString& sCondicion)
{
    // Each listed client's earliest matching record, in a few words: what the officer needs to
    // tell a namesake from the person the record is about.
    const QString sConsulta =
        QStringLiteral("SELECT tRelevan.ClaveCliente, tRelevan.Fecha, tRelevan.Observaciones "
                       "FROM tRelevan WHERE ") +
        sCondicion + QStringLiteral(" ORDER BY tRelevan.ClaveCliente, tRelevan.Fecha");
    if (!PideConsulta(sConsulta, *F_qConsultaGen))
        return false;
    QHash<QString, QString> Primeros;
    for (F_qConsultaGen->Primero(); !F_qConsultaGen->Fin(); F_qConsultaGen->Siguiente()) {
        const QString sClave = F_qConsultaGen->Campo(QStringLiteral("ClaveCliente")).AsString();
        if (!Primeros.contains(sClave))
            Primeros.insert(
                sClave, PrimerasPalabras(F_qConsultaGen->Campo(QStringLiteral("Observaciones")).AsString()));
    }
    F_qConsultaGen->Cierra();
    if (!MismaBaseDeDatos())
        return false;
    int nFila = 0;
    for (vtPEPS->Primero(); !vtPEPS->Fin() && nFila < Claves.size(); vtPEPS->Siguiente(), ++nFila) {
        vtPEPS->Edita();
        vtPEPS->SetValor(QStringLiteral("Registro"), Primeros.value(Claves[nFila]));
        vtPEPS->Publica();
    }
    return true;
}

QString PrimerasPalabras(const QString& sTexto, int nPalabras)
{
    const QStringList Palabras = sTexto.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString s = Palabras.mid(0, nPalabras).join(QLatin1Char(' '));
    if (Palabras.size() > nPalabras)
        s += QStringLiteral("…");
    return s;
}

bool TRepCuestionarioQRTZ::GeneraReporte(TTablaMemoria* vtPEPS)
{
    F_vtPEPS = vtPEPS;
    const std::shared_ptr<IBoolPersist> bExito = CreaBoolPersist(true);

    F_Mensajero->MsjTxEspera(QStringLiteral("Iniciando..."), false);
    F_mjReportes->AgregaDatoReporte(kCategoria, QStringLiteral("NombreCC"), GetEmpresa().sRazonSocial);
    F_mjReportes->AgregaDatoReporte(kCategoria, QStringLiteral("RegCC"),
                                    QStringLiteral("089") + GetEmpresa().sRegistroQRTZ);

    for (int n = 1; n <= F_nTotalPreguntas; ++n) {
        QString sResultado;
        if (n == 42 || n == 43) {
            // Every sub-item is read; a failure among them is noticed after the sixth.
            for (int m = 1; m <= 6; ++m) {
                bExito->SetValor(PideResultado(DameRespuestaInciso(n, m), sResultado));
                F_mjReportes->AgregaDatoReporte(kCategoria, QStringLiteral("preg_%1_%2").arg(n).arg(m),
                                                sResultado);
            }
        } else {
            bExito->SetValor(PideResultado(DameRespuesta(n), sResultado));
            if (n == 30)
                sResultado = sResultado == QLatin1String("0") ? QStringLiteral("NO") : QStringLiteral("SI");
            F_mjReportes->AgregaDatoReporte(kCategoria, QStringLiteral("preg_%1").arg(n), sResultado);
        }

        if (!bExito->GetValor()) {
            F_Mensajero->MsjTxEspera(QStringLiteral("Error..."), false);
            break;
        }
        const int nPorcentaje = n * 100 / F_nTotalPreguntas;
        if (nPorcentaje >= 100)
            F_Mensajero->MsjTxEspera(QStringLiteral("Por favor espere... 100%"), false);
        else
            F_Mensajero->MsjEnTx(QStringLiteral("Por favor espere... ") + QString::number(nPorcentaje) +
                                 QStringLiteral("%"));
    }

    // Answers read from two states of the database would make a mixed report: none is shown.
    if (bExito->GetValor() && !MismaBaseDeDatos()) {
        bExito->SetValor(false);
        F_Mensajero->MsjTxEspera(QStringLiteral("Error..."), false);
    }
    if (bExito->GetValor()) {
        F_Mensajero->MsjTxEspera(QStringLiteral("Preparando reporte..."), false);
        F_mjReportes->MuestraReporte();
    }
    return bExito->GetValor();
}

void TRepCuestionarioQRTZ::PrecargaReporte()
{
    if (!F_Conector)
        return;
    TTablaMemoria* const Marcas = std::exchange(F_vtPEPS, nullptr);
    QStringList Consultas;
    const auto agrega = [&Consultas](const QString& sConsulta) {
        if (!sConsulta.isEmpty() && sConsulta != kRespuestaError)
            Consultas << sConsulta;
    };
    for (int n = 1; n <= F_nTotalPreguntas; ++n) {
        if (n == 42 || n == 43) {
            for (int m = 1; m <= 6; ++m)
                agrega(DameRespuestaInciso(n, m));
        } else {
            agrega(DameRespuesta(n));
        }
    }
    F_vtPEPS = Marcas;
    F_Conector->PrecargaTablas(Consultas);
}

bool TRepCuestionarioQRTZ::PideResultado(const QString& sConsulta, QString& sResultado)
{
    sResultado = kRespuestaError;
    if (sConsulta.isEmpty()) {
        sResultado.clear();
        return true;
    }
    if (sConsulta == kRespuestaError)
        return false;
    if (!PideConsulta(sConsulta, *F_qConsultaGen))
        return false;
    if (F_qConsultaGen->EstaVacia()) {
        F_qConsultaGen->Cierra();
        return false;
    }

    // The last row closes the answer; it is the answer only when it is the only row.
    const int nRegistros = F_qConsultaGen->NumRegistros();
    const int nLeer = nRegistros == 1 ? 1 : nRegistros - 1;
    QString sRespuesta;
    F_qConsultaGen->Primero();
    for (int i = 0; i < nLeer; ++i) {
        const QString sValor = F_qConsultaGen->Campo(QStringLiteral("Resultado")).AsString();
        if (sRespuesta.isEmpty())
            sRespuesta = sValor;
        else
            sRespuesta += QStringLiteral("\r\n") + sValor;
        F_qConsultaGen->Siguiente();
    }
    sResultado = sRespuesta;
    F_qConsultaGen->Cierra();
    return true;
}
