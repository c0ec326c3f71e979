#pragma once

#include <QByteArray>
#include <QString>

// The program's 8-bit (ANSI) code page is Windows-1252 on every platform, as on the
// machines the host application runs on.
namespace CodigoAnsi {

// Converts to Windows-1252. Characters the code page lacks become '?' and clear *bExacto.
QByteArray DeTexto(const QString& sTexto, bool* bExacto = nullptr);
// Converts Windows-1252 bytes to text (the five unassigned bytes map to the same code points).
QString ATexto(const QByteArray& Bytes);
// Text as it survives a round trip through the code page.
QString Normaliza(const QString& sTexto);

} // namespace CodigoAnsi
