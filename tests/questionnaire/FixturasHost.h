#pragma once

#include <QString>
#include <QStringList>

// Host folders (Tavoro.INI and the database) for the end-to-end tests. Every answer the tests
// expect is worked out by hand from the rows written here; the comments in FixturasHost.cpp
// give the reasoning.
namespace FixturasHost {

inline const QString kUsuario = QStringLiteral("ADMIN");
inline const QString kPassword = QStringLiteral("CLAVE1");

struct TOpciones
{
    QString sDirBD = QStringLiteral("DataBase"); // folder and file names as written on disk
    QString sArchivoBD = QStringLiteral("Tavoro.mdb");
    QString sArchivoIni = QStringLiteral("Tavoro.INI");
    QString sIni = QStringLiteral("[Control]\r\nEmpresaActiva=1\r\n");
    bool bUsuarioConectado = false; // a row in tCompUsr
    // EscribePrincipal only: width of the client key columns, and extra clients (keys as given)
    // with one 2018 purchase and one PEP record each.
    int nAnchoClave = 20;
    QStringList ClavesExtra;
    QStringList NombresExtra; // their names, in order ("EXTRA" beyond the list)
};

// The exchange house of most cases: company 1, branch in Tijuana, host version dVersion
// (tCliente always has Fideicomiso), operations in and around 2018.
bool EscribePrincipal(const QString& sCarpeta, double dVersion, const TOpciones& Op = {});
// A company without operations in 2018: tSistema without rows, tCliente without Fideicomiso,
// no branch city, eleven activities in the operations of 2017.
bool EscribeHistoria(const QString& sCarpeta);
// Only public-general operations, no city at all, no tSistema and no tMsgInterno table: the
// version read fails and so does question 22.
bool EscribeIncompleta(const QString& sCarpeta);

} // namespace FixturasHost
