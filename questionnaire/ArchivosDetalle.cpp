#include "questionnaire/ArchivosDetalle.h"

#include "common/Plataforma.h"
#include "common/Salidas.h"
#include "questionnaire/LibroDetalle.h"
#include "questionnaire/RepCuestQRTZ2019.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QThread>
#include <QWaitCondition>

#include <atomic>
#include <deque>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

TFormatoCsv TFormatoCsv::DelSistema()
{
    const QChar cLista = Plataforma::SeparadorListaSistema();
    const QChar cDecimal = Plataforma::SeparadorDecimalSistema();
    // A separator that numbers or texts carry unquoted would split them: the usual pair instead.
    if (cLista == cDecimal || cLista.isLetterOrNumber() || cLista == QLatin1Char('"'))
        return ConSeparador(cDecimal == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(','));
    return {cLista, cDecimal};
}

TFormatoCsv TFormatoCsv::ConSeparador(QChar c)
{
    return {c, c == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',')};
}

namespace ArchivosDetalle {

QString Campo(const QVariant& v, const TFormatoCsv& Formato)
{
    QString s;
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::Bool:
        return v.toBool() ? u"SI"_s : u"NO"_s;
    case QMetaType::Double:
    case QMetaType::Float:
        s = TextoNumero(v.toDouble());
        if (Formato.cDecimal != QLatin1Char('.'))
            s.replace(QLatin1Char('.'), Formato.cDecimal);
        return s;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return v.toString(); // a number, negative ones included, stays a number
    case QMetaType::QDateTime: {
        const QDateTime f = v.toDateTime();
        return f.toString(f.time() == QTime(0, 0) ? u"dd/MM/yyyy"_s : u"dd/MM/yyyy HH:mm:ss"_s);
    }
    default:
        s = v.toString();
        break;
    }
    s.replace(QChar(0), QChar(0xFFFD));
    if (!s.isEmpty() && (s[0] == QLatin1Char('=') || s[0] == QLatin1Char('+') || s[0] == QLatin1Char('-') ||
                         s[0] == QLatin1Char('@') || s[0] == QLatin1Char('\t') || s[0] == QLatin1Char('\r')))
        s.prepend(QLatin1Char('\''));
    if (s.contains(Formato.cSeparador) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char('\n')) ||
        s.contains(QLatin1Char('\r'))) {
        s.replace(u"\""_s, u"\"\""_s);
        s = QLatin1Char('"') + s + QLatin1Char('"');
    }
    return s;
}

QByteArray Linea(const QVariantList& Valores, const TFormatoCsv& Formato)
{
    QString s;
    for (int i = 0; i < Valores.size(); ++i) {
        if (i > 0)
            s += Formato.cSeparador;
        s += Campo(Valores[i], Formato);
    }
    s += u"\r\n"_s;
    return s.toUtf8();
}

namespace {

const QByteArray kMarcaUtf8("\xEF\xBB\xBF");

QVariantList variantes(const QStringList& l)
{
    QVariantList v;
    for (const QString& s : l)
        v << s;
    return v;
}

} // namespace

QByteArray Encabezado(const QStringList& Columnas, const TFormatoCsv& Formato)
{
    return kMarcaUtf8 + Linea(variantes(Columnas), Formato);
}

QByteArray Texto(const QStringList& Columnas, const QList<QVariantList>& Filas, const TFormatoCsv& Formato)
{
    QByteArray b = Encabezado(Columnas, Formato);
    for (const QVariantList& f : Filas)
        b += Linea(f, Formato);
    return b;
}

QList<QStringList> Lee(const QByteArray& Datos, QChar cSeparador)
{
    QString s = QString::fromUtf8(Datos);
    if (s.startsWith(QChar(0xFEFF)))
        s.remove(0, 1);
    QList<QStringList> Filas;
    QStringList Fila;
    QString sCampo;
    bool bComillas = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (bComillas) {
            if (c == QLatin1Char('"') && i + 1 < s.size() && s[i + 1] == QLatin1Char('"')) {
                sCampo += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                bComillas = false;
            } else {
                sCampo += c;
            }
        } else if (c == QLatin1Char('"')) {
            bComillas = true;
        } else if (c == cSeparador) {
            Fila << sCampo;
            sCampo.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < s.size() && s[i + 1] == QLatin1Char('\n')) {
            Fila << sCampo;
            Filas << Fila;
            Fila.clear();
            sCampo.clear();
            ++i;
        } else {
            sCampo += c;
        }
    }
    if (!sCampo.isEmpty() || !Fila.isEmpty())
        Filas << (Fila << sCampo);
    return Filas;
}

bool EsArchivoDelConjunto(const QString& sNombre)
{
    static const QRegularExpression reDetalle(u"^preg_\\d\\d(_\\d+)?\\.csv$"_s,
                                              QRegularExpression::CaseInsensitiveOption);
    return reDetalle.match(sNombre).hasMatch() || sNombre.compare(kIndice, Qt::CaseInsensitive) == 0 ||
           sNombre.compare(TLibroDetalle::kArchivo, Qt::CaseInsensitive) == 0 ||
           sNombre.compare(kSucursales, Qt::CaseInsensitive) == 0;
}

QStringList Existentes(const QString& sCarpeta)
{
    QStringList l;
    for (const QString& s : QDir(sCarpeta).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name))
        if (EsArchivoDelConjunto(s))
            l << s;
    return l;
}

TCarpetaPropuesta::TCarpetaPropuesta(const QString& sCarpeta) : F_sCarpeta(sCarpeta)
{
    if (!F_sCarpeta.isEmpty() && !QFileInfo::exists(F_sCarpeta) &&
        Salidas::MotivoRechazoCarpeta(F_sCarpeta).isEmpty())
        F_bCreada = QDir().mkpath(F_sCarpeta);
}

TCarpetaPropuesta::~TCarpetaPropuesta()
{
    // rmdir leaves a folder that holds anything.
    if (F_bCreada)
        QDir().rmdir(F_sCarpeta);
}

} // namespace ArchivosDetalle

// The writing thread and the batches of rows it takes.
struct TEscritorDetalle::THilo
{
    using TLote = std::vector<std::pair<int, QVariantList>>;
    static constexpr size_t kFilasPorLote = 512;
    static constexpr size_t kLotesEnEspera = 8;

    QMutex Candado;
    QWaitCondition HayLote;
    QWaitCondition HayLugar;
    std::deque<TLote> Cola;
    TLote Actual;
    bool bFin = false;
    std::atomic<bool> bFallo{false};
    std::unique_ptr<QThread> Hilo;
};

TEscritorDetalle::TEscritorDetalle(TFormatoCsv Formato) : F_Formato(Formato) {}

TEscritorDetalle::~TEscritorDetalle()
{
    Detiene();
}

void TEscritorDetalle::Detiene()
{
    esperaFilas(true);
    // Its work files closed and gone, so that the set's work folder can go too (Windows keeps
    // an open file).
    F_Libro.reset();
}

bool TEscritorDetalle::esperaFilas(bool bDescarta)
{
    if (!F_Hilo)
        return F_sError.isEmpty();
    THilo& h = *F_Hilo;
    {
        QMutexLocker Candado(&h.Candado);
        if (bDescarta)
            h.Cola.clear();
        else if (!h.Actual.empty())
            h.Cola.push_back(std::move(h.Actual));
        h.Actual.clear();
        h.bFin = true;
        h.HayLote.wakeAll();
    }
    if (h.Hilo)
        h.Hilo->wait();
    F_Hilo.reset();
    return F_sError.isEmpty();
}

bool TEscritorDetalle::Inicia(const QString& sCarpeta, const QList<TDetalle>& Detalles,
                              const QStringList& ColumnasPrevias, TGrupoSalidas& Grupo, QString& sError)
{
    TCarpetaSalida Carpeta(sCarpeta);
    if (!Carpeta.Prepara(Grupo, sError))
        return false;
    F_sCarpeta = Carpeta.Carpeta();
    F_sTrabajo = Carpeta.Trabajo();
    F_pGrupo = &Grupo;
    F_Detalles = Detalles;
    F_Reemplazados = ArchivosDetalle::Existentes(F_sCarpeta);
    F_Libro = std::make_unique<TLibroDetalle>();
    if (!F_Libro->Abre(
            F_sTrabajo,
            {u"Pregunta"_s, u"Variable"_s, u"Descripción"_s, u"Respuesta"_s, u"Filas"_s, u"Hoja"_s}, sError))
        return false;
    for (const TDetalle& d : Detalles) {
        const QString sArchivo = ArchivoDetalle(d);
        QStringList Columnas = ColumnasPrevias;
        for (const QString& c : ColumnasDetalle(d.Clase))
            Columnas << TituloColumna(c);
        TArchivoSalida& a = Grupo.Archivo(Carpeta.Ruta(sArchivo), F_sTrabajo);
        if (!a.Abre() || !a.Escribe(ArchivosDetalle::Encabezado(Columnas, F_Formato))) {
            sError = a.Error();
            return false;
        }
        F_Csv << &a;
        F_Filas << 0;
        F_Archivos << sArchivo;
        F_Hojas << F_Libro->Hoja(QFileInfo(sArchivo).completeBaseName(), Columnas);
        if (F_Hojas.last() < 0) {
            sError = u"No se pudo escribir el archivo %1."_s.arg(
                QDir::toNativeSeparators(Carpeta.Ruta(TLibroDetalle::kArchivo)));
            return false;
        }
    }
    F_Hilo = std::make_unique<THilo>();
    THilo* h = F_Hilo.get();
    h->Hilo.reset(QThread::create([this, h] {
        for (;;) {
            THilo::TLote Lote;
            {
                QMutexLocker Candado(&h->Candado);
                while (h->Cola.empty() && !h->bFin)
                    h->HayLote.wait(&h->Candado);
                if (h->Cola.empty())
                    return;
                Lote = std::move(h->Cola.front());
                h->Cola.pop_front();
                h->HayLugar.wakeOne();
            }
            for (const auto& [nDetalle, Valores] : Lote)
                if (!escribeFila(nDetalle, Valores)) {
                    QMutexLocker Candado(&h->Candado);
                    h->bFallo = true;
                    h->Cola.clear();
                    h->HayLugar.wakeAll();
                    return;
                }
        }
    }));
    h->Hilo->start();
    // Where the system gives no thread, the rows are written as they come.
    if (!h->Hilo->isRunning() && !h->Hilo->isFinished())
        F_Hilo.reset();
    return true;
}

bool TEscritorDetalle::Fila(int nDetalle, const QVariantList& Valores)
{
    if (nDetalle < 0 || nDetalle >= F_Csv.size())
        return false;
    if (!F_Hilo)
        return escribeFila(nDetalle, Valores);
    THilo& h = *F_Hilo;
    if (h.bFallo) {
        esperaFilas(true);
        return false;
    }
    h.Actual.emplace_back(nDetalle, Valores);
    if (h.Actual.size() < THilo::kFilasPorLote)
        return true;
    QMutexLocker Candado(&h.Candado);
    while (h.Cola.size() >= THilo::kLotesEnEspera && !h.bFallo)
        h.HayLugar.wait(&h.Candado);
    h.Cola.push_back(std::move(h.Actual));
    h.Actual.clear();
    h.HayLote.wakeOne();
    return true;
}

bool TEscritorDetalle::escribeFila(int nDetalle, const QVariantList& Valores)
{
    if (!F_sError.isEmpty())
        return false;
    // Details that share a statement get the very same row (the same list): its line is made
    // once. The list kept here holds that row's data, so no other row can be taken for it.
    if (Valores.constData() != F_UltimaFila.constData() || F_UltimaFila.isEmpty()) {
        F_UltimaFila = Valores;
        F_UltimaLinea = ArchivosDetalle::Linea(Valores, F_Formato);
    }
    if (!F_Csv[nDetalle]->Escribe(F_UltimaLinea)) {
        F_sError = F_Csv[nDetalle]->Error();
        return false;
    }
    if (!F_Libro->Fila(F_Hojas[nDetalle], Valores)) {
        F_sError = u"No se pudo escribir el archivo %1."_s.arg(
            QDir::toNativeSeparators(QDir(F_sCarpeta).filePath(TLibroDetalle::kArchivo)));
        return false;
    }
    ++F_Filas[nDetalle];
    return true;
}

bool TEscritorDetalle::Agrega(const QString& sNombre, const QByteArray& Datos)
{
    if (!esperaFilas(false) || !F_pGrupo)
        return false;
    TArchivoSalida& a = F_pGrupo->Archivo(QDir(F_sCarpeta).filePath(sNombre), F_sTrabajo);
    if (!a.Abre() || !a.Escribe(Datos) || !a.Cierra()) {
        F_sError = a.Error();
        return false;
    }
    F_Archivos << sNombre;
    return true;
}

bool TEscritorDetalle::Termina(const QMap<QString, QString>& Figuras, QString& sError)
{
    if (!esperaFilas(false) || !F_pGrupo) {
        sError = F_sError;
        return false;
    }
    QList<QVariantList> Indice;
    for (int i = 0; i < F_Detalles.size(); ++i) {
        const TDetalle& d = F_Detalles[i];
        QString sFigura = Figuras.value(d.sVariable);
        sFigura.replace(u"\r\n"_s, u" | "_s);
        // An answer that is a number is written as one (with the file's decimal mark).
        static const QRegularExpression reNumero(u"^-?\\d+(\\.\\d+)?$"_s);
        QVariant Figura = sFigura;
        if (reNumero.match(sFigura).hasMatch())
            Figura = sFigura.contains(QLatin1Char('.')) ? QVariant(sFigura.toDouble())
                                                        : QVariant(sFigura.toLongLong());
        Indice.append({qint64(d.nPregunta), d.sVariable, d.sDescripcion, Figura, F_Filas[i], F_Archivos[i]});
        if (!F_Csv[i]->Cierra()) {
            sError = F_Csv[i]->Error();
            return false;
        }
    }
    if (!Agrega(ArchivosDetalle::kIndice,
                ArchivosDetalle::Texto({u"Pregunta"_s, u"Variable"_s, u"Descripción"_s, u"Respuesta"_s,
                                        u"Filas"_s, u"Archivo"_s},
                                       Indice, F_Formato))) {
        sError = F_sError;
        return false;
    }
    for (QVariantList f : Indice) {
        f[5] = QFileInfo(f[5].toString()).completeBaseName();
        if (!F_Libro->Fila(0, f)) {
            sError = u"No se pudo escribir el archivo %1."_s.arg(
                QDir::toNativeSeparators(QDir(F_sCarpeta).filePath(TLibroDetalle::kArchivo)));
            return false;
        }
    }
    TArchivoSalida& Libro = F_pGrupo->Archivo(QDir(F_sCarpeta).filePath(TLibroDetalle::kArchivo), F_sTrabajo);
    if (!Libro.Abre() || !F_Libro->Cierra(Libro, sError) || !Libro.Cierra()) {
        if (!Libro.Error().isEmpty())
            sError = Libro.Error();
        return false;
    }
    F_Libro.reset();
    F_Archivos << TLibroDetalle::kArchivo;
    // The files of an earlier set that this one does not write again go when it is placed.
    for (const QString& s : F_Reemplazados)
        if (!F_Archivos.contains(s, Qt::CaseInsensitive))
            F_pGrupo->Retira(QDir(F_sCarpeta).filePath(s));
    return true;
}

TLecturaDetalle EscribeDetalle(TRepCuestZIDU2019& Q, TConexionBD* Conector,
                               const QMap<QString, QString>& Figuras, const QString& sCarpeta,
                               TEscritorDetalle& Escritor, TGrupoSalidas& Grupo, QString& sError,
                               const std::function<bool(int, int)>& Avance)
{
    const QList<TDetalle> Detalles = DameDetalles(Q);
    if (!Escritor.Inicia(sCarpeta, Detalles, {}, Grupo, sError)) {
        Escritor.Detiene();
        return TLecturaDetalle::Fallida;
    }
    bool bEscrito = true;
    const TLecturaDetalle r = RecorreDetalles(
        Q, Conector, Detalles,
        [&](int d, const QVariantList& Valores) { return bEscrito = Escritor.Fila(d, Valores); }, Avance);
    if (!bEscrito) {
        sError = Escritor.Error();
        Escritor.Detiene();
        return TLecturaDetalle::Fallida;
    }
    if (r != TLecturaDetalle::Completa) {
        Escritor.Detiene();
        sError = r == TLecturaDetalle::Detenida
                     ? QString()
                     : u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s;
        return r;
    }
    if (!Escritor.Termina(Figuras, sError)) {
        Escritor.Detiene();
        return TLecturaDetalle::Fallida;
    }
    return TLecturaDetalle::Completa;
}
