#include "sucursales/VentanaSucursales.h"

#include "app/ExportaDetalle.h"
#include "common/IIDialogos.h"
#include "common/Salidas.h"
#include "corrida/ReporteConsolidado.h"
#include "corrida/Sucursales.h"
#include "questionnaire/ArchivosDetalle.h"
#include "questionnaire/LibroDetalle.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Reporte.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMutex>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

enum TColumna
{
    cSucursal,
    cCarpeta,
    cEmpresa,
    cRegistro,
    cBaseDatos,
    cUsuario,
    cContrasena,
    cEstado,
    cColumnas
};

const QString kHintPEP =
    u"Marque los clientes que sí son Personas Políticamente Expuestas; deje sin marcar a "
    u"los homónimos."_s;

// The password column shows its text as bullets and edits it masked.
class TDelegadoContrasena : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& v, const QLocale&) const override
    {
        return QString(v.toString().size(), QChar(0x25CF));
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& o, const QModelIndex& i) const override
    {
        auto* e = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, o, i));
        if (e)
            e->setEchoMode(QLineEdit::Password);
        return e;
    }
};

// Keys are typed in upper case, as Tavoro keeps them.
void mayusculas(QLineEdit* e)
{
    QObject::connect(e, &QLineEdit::textEdited, e, [e](const QString& s) {
        const int n = e->cursorPosition();
        e->setText(s.toUpper());
        e->setCursorPosition(n);
    });
}

QString textoPaso(const QString& sPaso)
{
    if (sPaso == u"Preparando"_s)
        return u"Revisando el acceso..."_s;
    if (sPaso == u"PEPs"_s)
        return u"Detectando PEPs..."_s;
    if (sPaso == u"Respuestas"_s)
        return u"Calculando las respuestas..."_s;
    if (sPaso == u"Detalle"_s)
        return u"Leyendo el detalle..."_s;
    if (sPaso == u"Lista"_s)
        return u"Lista"_s;
    return sPaso;
}

} // namespace

TfrmSucursales::TfrmSucursales(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"frmSucursales"_s);
    setWindowTitle(u"Cuestionario QRTZ 2019 - Sucursales"_s);
    setAcceptDrops(true);
    resize(1000, 700);

    auto* Titulo = new QLabel(u"<b>Reporte consolidado de varias sucursales</b>"_s);
    auto* Pasos = new QLabel(
        u"1.- Agregue la carpeta del Tavoro de cada sucursal (una copia, una carpeta compartida como "
        u"\\\\SERVIDOR\\Tavoro, o arrástrela a esta ventana).<br>"
        u"2.- Escriba el usuario y la contraseña de un administrador: los mismos para todas las sucursales, "
        u"o "
        u"en la fila de cada una.<br>"
        u"3.- Revise las sucursales: se comprueba que nadie trabaje en el Tavoro y se detectan sus PEPs.<br>"
        u"4.- Marque en cada sucursal los clientes que sí son PEP y genere el reporte consolidado."_s);
    Pasos->setWordWrap(true);

    grdSucursales = new QTableWidget(0, cColumnas);
    grdSucursales->setObjectName(u"grdSucursales"_s);
    grdSucursales->setHorizontalHeaderLabels({u"Sucursal"_s, u"Carpeta"_s, u"Empresa"_s, u"Registro"_s,
                                              u"Base de datos"_s, u"Usuario"_s, u"Contraseña"_s,
                                              u"Estado"_s});
    grdSucursales->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdSucursales->setSelectionMode(QAbstractItemView::SingleSelection);
    grdSucursales->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    grdSucursales->setItemDelegateForColumn(cContrasena, new TDelegadoContrasena(grdSucursales));
    grdSucursales->horizontalHeader()->setStretchLastSection(true);
    grdSucursales->verticalHeader()->hide();
    grdSucursales->setToolTip(u"Las sucursales del reporte. Usuario y contraseña de una fila: solo si en esa "
                              u"sucursal son otros."_s);

    bnAgregar = new QPushButton(u"&Agregar carpeta..."_s);
    bnAgregar->setObjectName(u"bnAgregar"_s);
    bnQuitar = new QPushButton(u"&Quitar"_s);
    bnQuitar->setObjectName(u"bnQuitar"_s);
    auto* FilaCarpetas = new QHBoxLayout;
    FilaCarpetas->addWidget(bnAgregar);
    FilaCarpetas->addWidget(bnQuitar);
    FilaCarpetas->addStretch();

    edUsuario = new QLineEdit;
    edUsuario->setObjectName(u"edUsuario"_s);
    mayusculas(edUsuario);
    edPassw = new QLineEdit;
    edPassw->setObjectName(u"edPassw"_s);
    edPassw->setEchoMode(QLineEdit::Password);
    mayusculas(edPassw);
    auto* etUsuario = new QLabel(u"&Usuario (Administrador):"_s);
    etUsuario->setBuddy(edUsuario);
    auto* etPassw = new QLabel(u"C&ontraseña:"_s);
    etPassw->setBuddy(edPassw);
    bnRevisar = new QPushButton(u"&Revisar sucursales y detectar PEPs"_s);
    bnRevisar->setObjectName(u"bnRevisar"_s);
    auto* FilaAcceso = new QHBoxLayout;
    FilaAcceso->addWidget(etUsuario);
    FilaAcceso->addWidget(edUsuario);
    FilaAcceso->addWidget(etPassw);
    FilaAcceso->addWidget(edPassw);
    FilaAcceso->addWidget(bnRevisar);

    tabPEPs = new QTabWidget;
    tabPEPs->setObjectName(u"tabPEPs"_s);
    tabPEPs->setToolTip(kHintPEP);

    txMensajes = new QLabel;
    txMensajes->setObjectName(u"txMensajes"_s);
    bnGenerar = new QPushButton(u"&Generar reporte consolidado"_s);
    bnGenerar->setObjectName(u"bnGenerar"_s);
    bnCancelar = new QPushButton(u"&Cancelar"_s);
    bnCancelar->setObjectName(u"bnCancelar"_s);
    bnCancelar->setEnabled(false);
    auto* FilaFin = new QHBoxLayout;
    FilaFin->addWidget(txMensajes, 1);
    FilaFin->addWidget(bnGenerar);
    FilaFin->addWidget(bnCancelar);

    auto* Marco = new QVBoxLayout(this);
    Marco->addWidget(Titulo);
    Marco->addWidget(Pasos);
    Marco->addWidget(grdSucursales, 2);
    Marco->addLayout(FilaCarpetas);
    Marco->addLayout(FilaAcceso);
    Marco->addWidget(new QLabel(u"Candidatos a PEP de cada sucursal:"_s));
    Marco->addWidget(tabPEPs, 3);
    Marco->addLayout(FilaFin);

    connect(bnAgregar, &QPushButton::clicked, this, [this] {
        const QString s =
            Dialogos().EligeCarpeta(u"Agregar sucursal: elija la carpeta del Tavoro"_s, QString());
        if (!s.isEmpty())
            AgregaCarpeta(s);
    });
    connect(bnQuitar, &QPushButton::clicked, this, &TfrmSucursales::QuitaSeleccionada);
    connect(bnRevisar, &QPushButton::clicked, this, &TfrmSucursales::Revisa);
    connect(bnGenerar, &QPushButton::clicked, this, &TfrmSucursales::Genera);
    connect(bnCancelar, &QPushButton::clicked, this, [this] {
        F_bCancelar = true;
        txMensajes->setText(u"Cancelando..."_s);
    });
    connect(edUsuario, &QLineEdit::textEdited, this, &TfrmSucursales::invalidaRevision);
    connect(edPassw, &QLineEdit::textEdited, this, &TfrmSucursales::invalidaRevision);
    connect(grdSucursales, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* i) {
        if (i->column() == cUsuario || i->column() == cContrasena)
            invalidaRevision();
    });
    setTabOrder(grdSucursales, bnAgregar);
    setTabOrder(bnAgregar, bnQuitar);
    setTabOrder(bnQuitar, edUsuario);
    setTabOrder(edUsuario, edPassw);
    setTabOrder(edPassw, bnRevisar);
    setTabOrder(bnRevisar, tabPEPs);
    setTabOrder(tabPEPs, bnGenerar);
    setTabOrder(bnGenerar, bnCancelar);
}

TfrmSucursales::~TfrmSucursales() = default;

void TfrmSucursales::estado(int nFila, const QString& sTexto)
{
    if (auto* i = grdSucursales->item(nFila, cEstado)) {
        i->setText(sTexto);
        i->setToolTip(sTexto);
    }
}

void TfrmSucursales::numeraFilas()
{
    const QSignalBlocker b(grdSucursales);
    for (int i = 0; i < F_Ramas.size(); ++i) {
        grdSucursales->item(i, cSucursal)->setText(u"Sucursal %1"_s.arg(i + 1));
        tabPEPs->setTabText(i, u"Sucursal %1"_s.arg(i + 1));
    }
}

void TfrmSucursales::invalidaRevision()
{
    if (F_bOcupado)
        return;
    for (int i = 0; i < F_Ramas.size(); ++i)
        if (F_Ramas[i].bRevisada) {
            F_Ramas[i].bRevisada = false;
            F_Ramas[i].Lista->setRowCount(0);
            estado(i, u"Por revisar"_s);
        }
}

void TfrmSucursales::ocupado(bool b)
{
    F_bOcupado = b;
    for (QWidget* w :
         std::initializer_list<QWidget*>{bnAgregar, bnQuitar, bnRevisar, bnGenerar, edUsuario, edPassw})
        w->setEnabled(!b);
    grdSucursales->setEditTriggers(b ? QAbstractItemView::NoEditTriggers
                                     : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                           QAbstractItemView::AnyKeyPressed);
    bnCancelar->setEnabled(b);
    if (b)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QString TfrmSucursales::usuario(int nFila) const
{
    const QString s = grdSucursales->item(nFila, cUsuario)->text().trimmed();
    return s.isEmpty() ? edUsuario->text() : s;
}

QString TfrmSucursales::password(int nFila) const
{
    const QString s = grdSucursales->item(nFila, cContrasena)->text();
    return grdSucursales->item(nFila, cUsuario)->text().trimmed().isEmpty() ? edPassw->text() : s;
}

bool TfrmSucursales::AgregaCarpeta(const QString& sCarpetaDada)
{
    const QString sCarpeta = QDir::cleanPath(QDir::fromNativeSeparators(sCarpetaDada));
    if (!QFileInfo(Preparacion::RutaBD(sCarpeta)).isFile()) {
        Dialogos().MuestraMensaje(u"La carpeta %1 no es la del Tavoro (no tiene %2)."_s.arg(
            QDir::toNativeSeparators(sCarpeta), QDir::toNativeSeparators(u"DataBase/Tavoro.mdb"_s)));
        return false;
    }
    const QString sCanonica = QFileInfo(sCarpeta).canonicalFilePath();
    for (int i = 0; i < F_Ramas.size(); ++i)
        if (QFileInfo(F_Ramas[i].sCarpeta).canonicalFilePath() == sCanonica) {
            Dialogos().MuestraMensaje(
                u"La carpeta %1 ya está en la lista (Sucursal %2)."_s.arg(QDir::toNativeSeparators(sCarpeta))
                    .arg(i + 1));
            return false;
        }
    TRama r;
    r.sCarpeta = sCarpeta;
    r.FechaBD = QFileInfo(Preparacion::RutaBD(sCarpeta)).lastModified();
    QString sEstado = u"Por revisar"_s;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto cursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        TSucursal s(sCarpeta);
        if (s.Abre())
            r.Empresa = s.Empresa();
        else
            sEstado = s.Error();
    }
    r.Lista = new QTableWidget(0, 3);
    r.Lista->setObjectName(u"grdPEPs%1"_s.arg(F_Ramas.size() + 1));
    r.Lista->setHorizontalHeaderLabels({u"PEP"_s, u"Clave"_s, u"Nombre"_s});
    r.Lista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    r.Lista->setSelectionBehavior(QAbstractItemView::SelectRows);
    r.Lista->setSelectionMode(QAbstractItemView::SingleSelection);
    r.Lista->horizontalHeader()->setStretchLastSection(true);
    r.Lista->verticalHeader()->hide();
    r.Lista->setToolTip(kHintPEP);
    // Space ticks the current row, as in a list of check boxes, whichever column is current.
    r.Lista->installEventFilter(this);

    const int n = int(F_Ramas.size());
    {
        const QSignalBlocker b(grdSucursales);
        grdSucursales->insertRow(n);
        const auto celda = [&](int c, const QString& s, bool bEditable = false) {
            auto* i = new QTableWidgetItem(s);
            i->setFlags(bEditable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                  : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            i->setToolTip(s);
            grdSucursales->setItem(n, c, i);
        };
        celda(cSucursal, QString());
        celda(cCarpeta, QDir::toNativeSeparators(sCarpeta));
        celda(cEmpresa, r.Empresa.sRazonSocial);
        celda(cRegistro, r.Empresa.sRegistroQRTZ);
        celda(cBaseDatos, r.FechaBD.toString(u"dd/MM/yyyy HH:mm"_s));
        celda(cUsuario, QString(), true);
        celda(cContrasena, QString(), true);
        celda(cEstado, sEstado);
    }
    tabPEPs->addTab(r.Lista, QString());
    F_Ramas << r;
    numeraFilas();
    grdSucursales->resizeColumnsToContents();
    txMensajes->setText(u"%1 sucursales en la lista."_s.arg(F_Ramas.size()));
    return true;
}

void TfrmSucursales::QuitaSeleccionada()
{
    const int n = grdSucursales->currentRow();
    if (n < 0 || n >= F_Ramas.size() || F_bOcupado)
        return;
    grdSucursales->removeRow(n);
    delete tabPEPs->widget(n);
    F_Ramas.removeAt(n);
    numeraFilas();
}

bool TfrmSucursales::Revisa()
{
    if (F_bOcupado)
        return false;
    if (F_Ramas.isEmpty()) {
        Dialogos().MuestraMensaje(u"Agregue primero la carpeta del Tavoro de cada sucursal."_s);
        return false;
    }
    if (edUsuario->text().trimmed().isEmpty()) {
        Dialogos().MuestraMensaje(u"Por favor, escriba su usuario (Administrador)."_s);
        edUsuario->setFocus();
        return false;
    }
    ocupado(true);
    F_bCancelar = false;
    const auto fin = qScopeGuard([this] { ocupado(false); });
    bool bTodas = true;
    for (int i = 0; i < F_Ramas.size() && !F_bCancelar; ++i) {
        TRama& r = F_Ramas[i];
        estado(i, u"Revisando..."_s);
        txMensajes->setText(u"Revisando la sucursal %1 de %2..."_s.arg(i + 1).arg(F_Ramas.size()));
        QCoreApplication::processEvents();
        TOpcionesSucursal o;
        o.Aviso = [this] {
            QCoreApplication::processEvents();
            return !F_bCancelar;
        };
        TSucursal s(r.sCarpeta, o);
        if (!s.Prepara(usuario(i), password(i)) || !s.DetectaPEPs()) {
            estado(i, s.Error());
            bTodas = false;
            continue;
        }
        r.Empresa = s.Empresa();
        grdSucursales->item(i, cEmpresa)->setText(r.Empresa.sRazonSocial);
        grdSucursales->item(i, cRegistro)->setText(r.Empresa.sRegistroQRTZ);
        const QList<TPEPCandidato> l = s.Candidatos();
        r.Lista->setRowCount(int(l.size()));
        for (int k = 0; k < l.size(); ++k) {
            auto* Marca = new QTableWidgetItem;
            Marca->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            Marca->setCheckState(Qt::Unchecked);
            r.Lista->setItem(k, 0, Marca);
            auto* Clave = new QTableWidgetItem(l[k].sClave);
            Clave->setData(Qt::UserRole, l[k].sClave);
            r.Lista->setItem(k, 1, Clave);
            auto* Nombre = new QTableWidgetItem(l[k].sNombre);
            Nombre->setToolTip(u"Clave %1: %2"_s.arg(l[k].sClave, l[k].sNombre));
            r.Lista->setItem(k, 2, Nombre);
        }
        r.Lista->resizeColumnsToContents();
        grdSucursales->resizeColumnsToContents();
        if (!l.isEmpty())
            r.Lista->setCurrentCell(0, 0);
        r.bRevisada = true;
        estado(i, l.isEmpty() ? u"Lista: sin candidatos a PEP"_s
                              : u"Lista: %1 candidatos a PEP"_s.arg(l.size()));
    }
    if (F_bCancelar) {
        txMensajes->setText(u"Proceso cancelado."_s);
        return false;
    }
    txMensajes->setText(
        bTodas ? u"Las sucursales están listas: marque sus PEPs y genere el reporte consolidado."_s
               : u"Hay sucursales con error: vea la columna Estado."_s);
    return bTodas;
}

bool TfrmSucursales::Genera()
{
    if (F_bOcupado)
        return false;
    if (F_Ramas.size() < 2) {
        Dialogos().MuestraMensaje(u"Indique al menos dos carpetas del Tavoro para consolidar."_s);
        return false;
    }
    for (int i = 0; i < F_Ramas.size(); ++i)
        if (!F_Ramas[i].bRevisada) {
            Dialogos().MuestraMensaje(
                u"Revise primero las sucursales (Sucursal %1 no está lista)."_s.arg(i + 1));
            return false;
        }
    TOpcionesConsolidacion o;
    for (int i = 0; i < F_Ramas.size(); ++i) {
        o.Carpetas << F_Ramas[i].sCarpeta;
        o.Usuarios << usuario(i);
        o.Passwords << password(i);
        QStringList Marcas;
        QTableWidget* l = F_Ramas[i].Lista;
        for (int k = 0; k < l->rowCount(); ++k)
            if (l->item(k, 0)->checkState() == Qt::Checked)
                Marcas << l->item(k, 1)->data(Qt::UserRole).toString();
        o.MarcasPorSucursal << Marcas;
    }
    o.bConservaDetalle = true;
    // The branches report their steps from their threads; the window shows them while it waits.
    QMutex Candado;
    std::vector<QString> Pasos(size_t(F_Ramas.size()));
    o.Avance = [&](int n, const QString& s) {
        QMutexLocker c(&Candado);
        Pasos[size_t(n - 1)] = s;
    };
    o.Continua = [this] { return !F_bCancelar; };
    o.AlEsperar = [&] {
        int nListas = 0;
        {
            QMutexLocker c(&Candado);
            for (size_t i = 0; i < Pasos.size(); ++i) {
                if (!Pasos[i].isEmpty())
                    estado(int(i), textoPaso(Pasos[i]));
                nListas += Pasos[i] == u"Lista"_s ? 1 : 0;
            }
        }
        txMensajes->setText(
            u"Generando el reporte consolidado: %1 de %2 sucursales listas..."_s.arg(nListas).arg(
                Pasos.size()));
        QCoreApplication::processEvents();
    };

    TConsolidacion Consolidacion;
    bool bHecho;
    {
        ocupado(true);
        F_bCancelar = false;
        const auto fin = qScopeGuard([this] { ocupado(false); });
        bHecho = Consolidacion.Corre(o);
        o.AlEsperar();
        if (!bHecho && Consolidacion.EmpresasDistintas()) {
            QApplication::restoreOverrideCursor();
            const bool bSi = Dialogos().PreguntaAdvertencia(
                QString(Consolidacion.Error()).replace(u" No se escribió nada."_s, QString()) +
                u" ¿Desea consolidarlas de todos modos?"_s);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            if (bSi) {
                o.bDistintasEmpresas = true;
                bHecho = Consolidacion.Corre(o);
                o.AlEsperar();
            } else {
                txMensajes->setText(u"Proceso cancelado."_s);
                return false;
            }
        }
    }
    // "Cancelar" pressed while the last branch was finishing still means: show nothing.
    if (bHecho && F_bCancelar) {
        txMensajes->setText(u"Proceso cancelado."_s);
        return false;
    }
    if (!bHecho) {
        txMensajes->setText(Consolidacion.Detenida() ? u"Proceso cancelado."_s
                                                     : u"No fue posible generar el reporte consolidado."_s);
        if (!Consolidacion.Detenida())
            Dialogos().MuestraMensaje(Consolidacion.Error());
        return false;
    }

    TReporteConsolidado Reporte(Consolidacion.Consolidado());
    // The consolidated report belongs to no branch's folder: its PDF and its detail folder are
    // proposed in the user's documents, the detail in a folder beside the PDF named after it.
    TExportaPDF* Pdf = Reporte.Reporte().GetExportaPDF();
    if (Pdf && Pdf->sCarpeta.isEmpty())
        Pdf->sCarpeta = CarpetaDocumentos
                            ? CarpetaDocumentos()
                            : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    Reporte.Reporte().AccionesVista = {
        {u"acExportaDetalle"_s, u"Exportar detalle…"_s,
         u"Las filas que cuenta o suma cada respuesta de todas las sucursales, en archivos CSV y un libro de Excel"_s,
         [&Consolidacion, &Reporte](QWidget*) {
             TDestinoDetalle Destino;
             if (!EligeDestinoDetalle(Reporte.Reporte(), Destino))
                 return;
             const QString& sCarpeta = Destino.sCarpeta;
             QApplication::setOverrideCursor(Qt::WaitCursor);
             TGrupoSalidas Grupo;
             TEscritorDetalle Escritor(Destino.Formato);
             QString sError;
             bool bBien = Consolidacion.EscribeDetalle(sCarpeta, Escritor, Grupo, sError);
             if (bBien && !Grupo.Coloca()) {
                 bBien = false;
                 sError = Grupo.Error();
             }
             Escritor.Detiene();
             if (!bBien)
                 Grupo.Descarta();
             QApplication::restoreOverrideCursor();
             Dialogos().MuestraMensaje(bBien ? u"Se escribió el detalle consolidado en la carpeta %1 "
                                               u"(índice: %2; tabla por sucursal: %3; "
                                               u"libro de Excel: %4; un archivo CSV por respuesta)."_s.arg(
                                                   QDir::toNativeSeparators(Escritor.Carpeta()),
                                                   ArchivosDetalle::kIndice, ArchivosDetalle::kSucursales,
                                                   TLibroDetalle::kArchivo)
                                             : sError);
         },
         QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)}};
    if (AlMostrarReporte)
        AlMostrarReporte(Reporte.Reporte());
    Reporte.Reporte().MuestraVistaPrevia(true);
    txMensajes->setText(u"El reporte consolidado se generó correctamente."_s);
    return true;
}

bool TfrmSucursales::eventFilter(QObject* watched, QEvent* event)
{
    auto* l = qobject_cast<QTableWidget*>(watched);
    if (l && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        l->currentRow() >= 0 && !F_bOcupado) {
        QTableWidgetItem* c = l->item(l->currentRow(), 0);
        c->setCheckState(c->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmSucursales::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && !F_bOcupado)
        event->acceptProposedAction();
}

void TfrmSucursales::dropEvent(QDropEvent* event)
{
    for (const QUrl& u : event->mimeData()->urls())
        if (u.isLocalFile() && QFileInfo(u.toLocalFile()).isDir())
            AgregaCarpeta(u.toLocalFile());
    event->acceptProposedAction();
}

void TfrmSucursales::closeEvent(QCloseEvent* event)
{
    // A run under way is stopped first; the window closes once it has.
    if (F_bOcupado) {
        F_bCancelar = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
