#include "data/ConsultasSQL.h"
#include "common/ArchivosHost.h"
#include "common/Texto.h"

#include "data/ErroresBD.h"
#include "data/NombreClase.h"
#include "db/componentes/ProveedorBD.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::function<QDateTime()> TConsultasSQL::Reloj = [] { return QDateTime::currentDateTime(); };

TConsultasSQL::TConsultasSQL(TConexionBD* Conector)
    : TInterfacedPadre(CreaErroresBD()), F_Conector(Conector), F_qConsultaGen(std::make_unique<TConsultaBD>())
{
    F_qConsultaGen->SetConexion(F_Conector);
}

TConsultasSQL::~TConsultasSQL() = default;

bool TConsultasSQL::PideConsulta(const QString& sConsulta, TConsultaBD& qQuery)
{
    qQuery.Cierra();
    qQuery.LimpiaSQL();
    QString sAdicional;
    if (EjecutaProtegido(
            [&] {
                qQuery.AgregaSQL(sConsulta);
                qQuery.Abre();
            },
            sAdicional))
        return true;
    qQuery.Cierra();
    // A statement the user stopped is no database error.
    if (!sAdicional.startsWith(ClaseErrorCancelado + QStringLiteral(" - ")))
        MuestraError(QStringLiteral("BD-101"), NombreClaseDe(*this), sAdicional);
    return false;
}

bool TConsultasSQL::RecorreConsulta(const QString& sConsulta, TConsultaBD& qQuery,
                                    const std::function<bool(const TConsultaBD&)>& Fila)
{
    qQuery.Cierra();
    qQuery.LimpiaSQL();
    bool bCompleta = true;
    QString sAdicional;
    if (EjecutaProtegido(
            [&] {
                qQuery.AgregaSQL(sConsulta);
                qQuery.Recorre([&](const TConsultaBD& q) { return bCompleta = Fila(q); });
            },
            sAdicional))
        return bCompleta;
    qQuery.Cierra();
    if (!sAdicional.startsWith(ClaseErrorCancelado + QStringLiteral(" - ")))
        MuestraError(QStringLiteral("BD-101"), NombreClaseDe(*this), sAdicional);
    return false;
}

bool TConsultasSQL::EjecutaConsulta(const QString& sConsulta, TConsultaBD& qQuery)
{
    qQuery.Cierra();
    qQuery.LimpiaSQL();
    QString sAdicional;
    if (EjecutaProtegido(
            [&] {
                qQuery.AgregaSQL(sConsulta);
                qQuery.Ejecuta();
                qQuery.Cierra();
            },
            sAdicional))
        return true;
    qQuery.Cierra();
    MuestraError(QStringLiteral("BD-101"), NombreClaseDe(*this), sAdicional);
    return false;
}

void TConsultasSQL::LimpiaTabla(const QString& sNomTabla, const QString& sCondicion)
{
    QString s = QStringLiteral("DELETE FROM ") + sNomTabla;
    if (!sCondicion.isEmpty())
        s += QStringLiteral(" ") + QStringLiteral("WHERE ") + sCondicion;
    EjecutaConsulta(s, *F_qConsultaGen);
}

void TConsultasSQL::InicializaTabla(const QString& sNomTabla)
{
    EjecutaConsulta(QStringLiteral("TRUNCATE TABLE ") + sNomTabla, *F_qConsultaGen);
}

void TConsultasSQL::RespaldaBD(const QString& sRutaOrigen, const QString& sRutaDestino)
{
    QString sDestino = sRutaDestino;
    if (EsBlanco(sRutaDestino)) {
        const QFileInfo origen(sRutaOrigen);
        const QString sCarpeta = origen.path() + QLatin1Char('/') + QStringLiteral("/Respaldos/");
        QDir().mkpath(sCarpeta);
        sDestino = sCarpeta + QStringLiteral("RESP_") + Reloj().toString(QStringLiteral("yyyy_MM_dd_HH_mm")) +
                   QStringLiteral("_") + origen.fileName();
    }
    // The outcome is not reported. The copy goes to a temporary file that replaces the target
    // only when complete: a missing source or a failed copy leaves an earlier backup in place,
    // and a target that is the source itself is never touched.
    ArchivosHost::CopiaSegura(sRutaOrigen, sDestino);
}
