#include "TextosCuestionario.h"

#include "common/DialogosGuion.h"
#include "common/TablaMemoria.h"
#include "questionnaire/RepCuestQRTZ2019.h"
#include "questionnaire/TablaPEPs.h"
#include "report/IIManejadorReportes.h"

#include <memory>

namespace {

class TManejadorMudo : public IManejadorReportes
{
public:
    void AgregaDatoReporte(const QString&, const QString&, const QString&) override {}
    void MuestraReporte() override {}
};

// The questionnaire without a connection: the builders only compose text.
class TCuestionarioTextos : public TRepCuestZIDU2019
{
public:
    explicit TCuestionarioTextos(int nNumEmp)
        : TRepCuestZIDU2019(
              nullptr, [](const QString&) { return std::make_shared<TManejadorMudo>(); }, nullptr, 0, nNumEmp)
    {
    }
    using TRepCuestQRTZBasic::SetVersionSist;
    void SetTablaPEPs(TTablaMemoria* t) { F_vtPEPS = t; }
};

} // namespace

std::vector<TTextoConsulta> TextosCuestionario(int nNumEmp, double dVersion, const QStringList& PEPs)
{
    TTablaMemoria peps(CamposTablaPEPs());
    peps.Abre();
    for (const QString& p : PEPs) {
        peps.Agrega();
        peps.SetValor(QStringLiteral("ClaveCliente"), p);
        peps.SetValor(QStringLiteral("Nombre"), p);
        peps.SetValor(QStringLiteral("EsPEP"), true);
        peps.Publica();
    }
    // Without a connection the version read fails and says so in a box: keep it off the console.
    InstalaDialogos(std::make_shared<TDialogosGuion>());
    TCuestionarioTextos c(nNumEmp);
    InstalaDialogos(nullptr);
    c.SetVersionSist(dVersion);
    c.SetTablaPEPs(&peps);
    const QString emp = QString::number(nNumEmp);
    std::vector<TTextoConsulta> r;
    // Before the questions: login, connected users, company record, version, PEP detection.
    r.push_back({QStringLiteral("login"),
                 QStringLiteral("SELECT ClaveEmp, Password FROM tEmps WHERE UCASE(ClaveEmp) = "
                                "'ADMIN' and Nivel = 0")});
    r.push_back(
        {QStringLiteral("conectados"), QStringLiteral("SELECT COUNT(1) as TotalConectados FROM tCompUsr ")});
    r.push_back({QStringLiteral("empresa"), QStringLiteral("SELECT * FROM tEmpresa")});
    r.push_back({QStringLiteral("version"), QStringLiteral(" SELECT NumVersion  FROM tSistema ")});
    r.push_back({QStringLiteral("peps"),
                 QStringLiteral(
                     "SELECT DISTINCT tCliente.Nombre, tCliente.ApellidoPaterno,  tCliente.ApellidoMaterno, "
                     "tCliente.ClaveCliente FROM tRelevan, tCliente WHERE tRelevan.TipoRelev = 'I' AND "
                     "tRelevan.Fecha >= #01/01/2018# AND tRelevan.Fecha <= #12/31/2018# AND "
                     "tRelevan.Observaciones LIKE '%PEP%' AND tRelevan.NumEmp = ") +
                     emp + QStringLiteral(" AND tCliente.ClaveCliente = tRelevan.ClaveCliente")});
    for (int n = 1; n <= 47; ++n) {
        if (n == 42 || n == 43) {
            for (int m = 1; m <= 6; ++m)
                r.push_back({QStringLiteral("preg_%1_%2").arg(n).arg(m), c.DameRespuestaInciso(n, m)});
            continue;
        }
        const QString s = c.DameRespuesta(n);
        if (!s.isEmpty())
            r.push_back({QStringLiteral("preg_%1").arg(n), s});
    }
    return r;
}
