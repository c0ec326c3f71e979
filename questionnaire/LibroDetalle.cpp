#include "questionnaire/LibroDetalle.h"

#include "common/Plataforma.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <vector>

#ifdef QRTZ_XLSX
#include <xlsxwriter.h>
#endif

using namespace Qt::StringLiterals;

namespace {

QString fallaLibro(const QString& sRuta, int nError = 0)
{
    if (nError != 0)
        return u"No se pudo escribir el archivo %1: %2."_s.arg(QDir::toNativeSeparators(sRuta),
                                                               Plataforma::TextoError(nError));
    return u"No se pudo escribir el archivo %1."_s.arg(QDir::toNativeSeparators(sRuta));
}

} // namespace

#ifdef QRTZ_XLSX

namespace {

// Longest text a cell holds.
constexpr qsizetype kMaxTexto = 32767;

QByteArray textoCelda(QString s)
{
    // A NUL cannot be stored in a cell (nor does the library see past it): it becomes U+FFFD, as
    // in the CSV files.
    s.replace(QChar(0), QChar(0xFFFD));
    if (s.size() > kMaxTexto)
        s.truncate(kMaxTexto);
    return s.toUtf8();
}

} // namespace

struct TLibroDetalle::TDatos
{
    struct THoja
    {
        lxw_worksheet* pHoja = nullptr;
        QString sNombre;
        QStringList Columnas;
        lxw_row_t nFila = 0; // the last row written (the header is row 0)
        int nParte = 1;
        int nActual = -1; // the sheet its rows go on in, once it is full
    };

    QString sRuta;
    QByteArray Ruta;
    QByteArray Temporal;
    lxw_workbook* pLibro = nullptr;
    lxw_format* pNegrita = nullptr;
    lxw_format* pFecha = nullptr;
    std::vector<THoja> Hojas;
    bool bFallo = false;

    lxw_worksheet* agregaHoja(const QString& sNombre, const QStringList& Columnas)
    {
        Plataforma::TSilencioErrores Silencio;
        lxw_worksheet* h = workbook_add_worksheet(pLibro, sNombre.toUtf8().constData());
        if (!h)
            return nullptr;
        for (int c = 0; c < Columnas.size(); ++c) {
            worksheet_write_string(h, 0, lxw_col_t(c), textoCelda(Columnas[c]).constData(), pNegrita);
            worksheet_set_column(h, lxw_col_t(c), lxw_col_t(c), 14, nullptr);
        }
        worksheet_freeze_panes(h, 1, 0);
        return h;
    }

    bool celda(lxw_worksheet* h, lxw_row_t f, lxw_col_t c, const QVariant& v)
    {
        lxw_error e = LXW_NO_ERROR;
        switch (v.typeId()) {
        case QMetaType::UnknownType:
            return true;
        case QMetaType::Bool:
            e = worksheet_write_string(h, f, c, v.toBool() ? "SI" : "NO", nullptr);
            break;
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
            e = worksheet_write_number(h, f, c, v.toDouble(), nullptr);
            break;
        case QMetaType::QDateTime: {
            const QDateTime d = v.toDateTime();
            // The spreadsheet's dates begin in 1900; earlier ones are written as text.
            if (d.date().year() < 1900) {
                e = worksheet_write_string(h, f, c, d.toString(u"dd/MM/yyyy HH:mm:ss"_s).toUtf8().constData(),
                                           nullptr);
                break;
            }
            lxw_datetime t{d.date().year(), d.date().month(),  d.date().day(),
                           d.time().hour(), d.time().minute(), d.time().second() + d.time().msec() / 1000.0};
            e = worksheet_write_datetime(h, f, c, &t, pFecha);
            break;
        }
        default:
            e = worksheet_write_string(h, f, c, textoCelda(v.toString()).constData(), nullptr);
        }
        return e == LXW_NO_ERROR;
    }
};

bool TLibroDetalle::Disponible()
{
    return true;
}

TLibroDetalle::TLibroDetalle() : F_Datos(std::make_unique<TDatos>()) {}

TLibroDetalle::~TLibroDetalle()
{
    if (F_Datos->pLibro) {
        // The library has no way to drop a workbook but to write it; the file lies in a work
        // folder that is removed with it.
        Plataforma::TSilencioErrores Silencio;
        workbook_close(F_Datos->pLibro);
        QFile::remove(F_Datos->sRuta);
    }
}

bool TLibroDetalle::Abre(const QString& sRuta, const QString& sCarpetaTemporal,
                         const QStringList& ColumnasIndice, QString& sError)
{
    TDatos& d = *F_Datos;
    d.sRuta = sRuta;
    d.Ruta = QFile::encodeName(sRuta);
    d.Temporal = QFile::encodeName(sCarpetaTemporal);
#ifdef Q_OS_WIN
    d.Ruta = QDir::toNativeSeparators(sRuta).toUtf8();
    d.Temporal = QDir::toNativeSeparators(sCarpetaTemporal).toUtf8();
#endif
    lxw_workbook_options Opciones{};
    Opciones.constant_memory = LXW_TRUE;
    Opciones.tmpdir = d.Temporal.data();
    {
        Plataforma::TSilencioErrores Silencio;
        d.pLibro = workbook_new_opt(d.Ruta.constData(), &Opciones);
    }
    if (!d.pLibro) {
        sError = fallaLibro(sRuta);
        return false;
    }
    d.pNegrita = workbook_add_format(d.pLibro);
    format_set_bold(d.pNegrita);
    d.pFecha = workbook_add_format(d.pLibro);
    format_set_num_format(d.pFecha, "dd/mm/yyyy hh:mm:ss");
    if (Hoja(u"Indice"_s, ColumnasIndice) != 0) {
        sError = fallaLibro(sRuta);
        return false;
    }
    return true;
}

int TLibroDetalle::Hoja(const QString& sNombre, const QStringList& Columnas)
{
    TDatos& d = *F_Datos;
    if (!d.pLibro)
        return -1;
    lxw_worksheet* h = d.agregaHoja(sNombre, Columnas);
    if (!h) {
        d.bFallo = true;
        return -1;
    }
    d.Hojas.push_back({h, sNombre, Columnas});
    return int(d.Hojas.size()) - 1;
}

bool TLibroDetalle::Fila(int nHoja, const QVariantList& Valores)
{
    TDatos& d = *F_Datos;
    if (!d.pLibro || nHoja < 0 || nHoja >= int(d.Hojas.size()))
        return false;
    int n = nHoja;
    while (d.Hojas[size_t(n)].nActual >= 0)
        n = d.Hojas[size_t(n)].nActual;
    if (d.Hojas[size_t(n)].nFila + 1 >= LXW_ROW_MAX) {
        const int nParte = d.Hojas[size_t(n)].nParte + 1;
        const QString sNombre = u"%1 (%2)"_s.arg(d.Hojas[size_t(nHoja)].sNombre).arg(nParte);
        lxw_worksheet* h = d.agregaHoja(sNombre, d.Hojas[size_t(nHoja)].Columnas);
        if (!h) {
            d.bFallo = true;
            return false;
        }
        d.Hojas.push_back({h, sNombre, d.Hojas[size_t(nHoja)].Columnas, 0, nParte});
        const int nNueva = int(d.Hojas.size()) - 1;
        d.Hojas[size_t(n)].nActual = nNueva;
        n = nNueva;
    }
    TDatos::THoja& h = d.Hojas[size_t(n)];
    ++h.nFila;
    for (int c = 0; c < Valores.size(); ++c)
        if (!d.celda(h.pHoja, h.nFila, lxw_col_t(c), Valores[c])) {
            d.bFallo = true;
            return false;
        }
    return true;
}

bool TLibroDetalle::Cierra(QString& sError)
{
    TDatos& d = *F_Datos;
    if (!d.pLibro) {
        sError = fallaLibro(d.sRuta);
        return false;
    }
    lxw_error e;
    int nError = 0;
    {
        Plataforma::TSilencioErrores Silencio;
        e = workbook_close(d.pLibro);
        // The library keeps no reason of its own; the system's last one is the likely cause.
        if (e != LXW_NO_ERROR)
            nError = Plataforma::UltimoError();
    }
    d.pLibro = nullptr;
    if (e != LXW_NO_ERROR || d.bFallo) {
        QFile::remove(d.sRuta);
        sError = fallaLibro(d.sRuta, nError);
        return false;
    }
    return true;
}

#else

struct TLibroDetalle::TDatos
{
};

bool TLibroDetalle::Disponible()
{
    return false;
}

TLibroDetalle::TLibroDetalle() : F_Datos(std::make_unique<TDatos>()) {}
TLibroDetalle::~TLibroDetalle() = default;

bool TLibroDetalle::Abre(const QString& sRuta, const QString&, const QStringList&, QString& sError)
{
    sError =
        fallaLibro(sRuta) + u" Esta versión del programa no escribe libros de Excel; use los archivos CSV."_s;
    return false;
}

int TLibroDetalle::Hoja(const QString&, const QStringList&)
{
    return -1;
}

bool TLibroDetalle::Fila(int, const QVariantList&)
{
    return false;
}

bool TLibroDetalle::Cierra(QString& sError)
{
    sError = u"Esta versión del programa no escribe libros de Excel; use los archivos CSV."_s;
    return false;
}

#endif
