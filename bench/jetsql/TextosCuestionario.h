#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The Jet SQL texts one "Generar reporte" runs on the host database, composed by the
// questionnaire's own builders (company, host version and ticked PEP keys given).
struct TTextoConsulta
{
    QString sNombre; // "preg_9", "preg_42_3", "login", ...
    QString sSql;
};

std::vector<TTextoConsulta> TextosCuestionario(int nNumEmp, double dVersion, const QStringList& PEPs);
