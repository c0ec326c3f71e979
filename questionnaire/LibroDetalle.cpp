#include "questionnaire/LibroDetalle.h"

#include "common/ArchivosHost.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef QRTZ_XLSX
#include <xlsxwriter.h>
#endif

using namespace Qt::StringLiterals;

namespace LibroDetalle {

#ifdef QRTZ_XLSX

namespace {

class THoja
{
public:
    THoja(lxw_workbook* Libro, const QString& sNombre, lxw_format* Negrita, lxw_format* Fecha)
        : F_Hoja(workbook_add_worksheet(Libro, sNombre.toUtf8().constData())), F_Negrita(Negrita),
          F_Fecha(Fecha)
    {
    }
    bool Valida() const { return F_Hoja != nullptr; }

    void Encabezado(const QStringList& Columnas)
    {
        for (int c = 0; c < Columnas.size(); ++c) {
            worksheet_write_string(F_Hoja, 0, lxw_col_t(c), Columnas[c].toUtf8().constData(), F_Negrita);
            worksheet_set_column(F_Hoja, lxw_col_t(c), lxw_col_t(c), 14, nullptr);
        }
        worksheet_freeze_panes(F_Hoja, 1, 0);
    }

    void Celda(int nFila, int nColumna, const QVariant& v)
    {
        const auto f = lxw_row_t(nFila);
        const auto c = lxw_col_t(nColumna);
        switch (v.typeId()) {
        case QMetaType::UnknownType:
            return;
        case QMetaType::Bool:
            worksheet_write_string(F_Hoja, f, c, v.toBool() ? "SI" : "NO", nullptr);
            return;
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
            worksheet_write_number(F_Hoja, f, c, v.toDouble(), nullptr);
            return;
        case QMetaType::QDateTime: {
            const QDateTime d = v.toDateTime();
            lxw_datetime t{d.date().year(), d.date().month(),  d.date().day(),
                           d.time().hour(), d.time().minute(), d.time().second() + d.time().msec() / 1000.0};
            worksheet_write_datetime(F_Hoja, f, c, &t, F_Fecha);
            return;
        }
        default:
            worksheet_write_string(F_Hoja, f, c, v.toString().toUtf8().constData(), nullptr);
        }
    }

private:
    lxw_worksheet* F_Hoja;
    lxw_format* F_Negrita;
    lxw_format* F_Fecha;
};

} // namespace

bool Disponible()
{
    return true;
}

bool Escribe(const QString& sRuta, const QList<TDetalle>& Detalles, const QList<TTablaDetalle>& Tablas,
             const QMap<QString, QString>& Figuras, QString& sError)
{
    sError = u"No se pudo escribir el archivo %1."_s.arg(QDir::toNativeSeparators(sRuta));
    if (ArchivosHost::EsArchivoProtegido(sRuta))
        return false;
    const QString sTemporal = sRuta + u".tmp"_s;
    lxw_workbook* Libro = workbook_new(QFile::encodeName(sTemporal).constData());
    if (!Libro)
        return false;
    lxw_format* Negrita = workbook_add_format(Libro);
    format_set_bold(Negrita);
    lxw_format* Fecha = workbook_add_format(Libro);
    format_set_num_format(Fecha, "dd/mm/yyyy hh:mm:ss");

    THoja Indice(Libro, u"Indice"_s, Negrita, Fecha);
    Indice.Encabezado(
        {u"Pregunta"_s, u"Variable"_s, u"Descripcion"_s, u"Respuesta"_s, u"Filas"_s, u"Hoja"_s});
    for (int i = 0; i < Detalles.size() && i < Tablas.size(); ++i) {
        const TDetalle& d = Detalles[i];
        const QString sHoja = QFileInfo(ArchivoDetalle(d)).completeBaseName();
        const QVariantList Fila{qint64(d.nPregunta),
                                d.sVariable,
                                d.sDescripcion,
                                QString(Figuras.value(d.sVariable)).replace(u"\r\n"_s, u" | "_s),
                                qint64(Tablas[i].Filas.size()),
                                sHoja};
        for (int c = 0; c < Fila.size(); ++c)
            Indice.Celda(i + 1, c, Fila[c]);
        THoja Hoja(Libro, sHoja, Negrita, Fecha);
        if (!Hoja.Valida())
            break;
        Hoja.Encabezado(Tablas[i].Columnas);
        for (int f = 0; f < Tablas[i].Filas.size(); ++f)
            for (int c = 0; c < Tablas[i].Filas[f].size(); ++c)
                Hoja.Celda(f + 1, c, Tablas[i].Filas[f][c]);
    }
    if (workbook_close(Libro) != LXW_NO_ERROR) {
        QFile::remove(sTemporal);
        return false;
    }
    QFile::remove(sRuta);
    if (!QFile::rename(sTemporal, sRuta)) {
        QFile::remove(sTemporal);
        return false;
    }
    sError.clear();
    return true;
}

#else

bool Disponible()
{
    return false;
}

bool Escribe(const QString&, const QList<TDetalle>&, const QList<TTablaDetalle>&,
             const QMap<QString, QString>&, QString& sError)
{
    sError = u"Esta versión del programa no escribe libros de Excel; use los archivos CSV."_s;
    return false;
}

#endif

} // namespace LibroDetalle
