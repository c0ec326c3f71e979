#include "app/Arranque.h"
#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/CasillaDatos.h"
#include "common/DialogosGuion.h"
#include "common/RejillaDatos.h"
#include "common/TablaMemoria.h"
#include "reportengine/Fuentes.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

namespace {

const QColor kVerdeAzul(0x00, 0x80, 0x80);

} // namespace

// The PEP review list of the main window: a read-only grid over the PEP table whose mark
// column draws check boxes and whose focused mark cell carries a real, bound check box.
class TestListaPEPs : public QObject
{
    Q_OBJECT

    std::shared_ptr<TDialogosGuion> guion;
    std::unique_ptr<TdmMain> dm;
    std::unique_ptr<TfrmPrincipal> frm;
    TTablaMemoria* t = nullptr;
    TRejillaDatos* grd = nullptr;
    QWidget* pnChkBox = nullptr;
    TCasillaDatos* casilla = nullptr;

    // Fills the table as the detection does: every mark false.
    void llena(const QStringList& Nombres)
    {
        t->Abre();
        t->BorraTodo();
        for (int i = 0; i < Nombres.size(); ++i) {
            t->Agrega();
            t->SetValor("IdPEP", i + 1);
            t->SetValor("ClaveCliente", QString("C%1").arg(i + 1));
            t->SetValor("Nombre", Nombres[i]);
            t->SetValor("EsPEP", false);
            t->Publica();
        }
    }
    bool marca(int nFila) const { return t->ValorEn(nFila, t->IndiceCampo("EsPEP")).toBool(); }
    QList<bool> marcas() const
    {
        QList<bool> l;
        for (int i = 0; i < t->NumRegistros(); ++i)
            l << marca(i);
        return l;
    }
    QPoint centro(int nFila, int nColumna) const { return grd->RectCelda(nFila, nColumna).center(); }
    void clic(int nFila, int nColumna)
    {
        QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, centro(nFila, nColumna));
    }
    // Where the floating check box must sit: over the cell, in the window's coordinates.
    QPoint sitioPanel(int nFila) const
    {
        return grd->viewport()->mapTo(frm.get(), grd->RectCelda(nFila, 0).topLeft());
    }
    QImage imagenCelda(int nFila, int nColumna) const
    {
        return grd->grab().toImage().copy(grd->RectCelda(nFila, nColumna).translated(grd->viewport()->pos()));
    }
    // What the window shows on screen now (its backing store), not a fresh rendering.
    QImage pantalla() const
    {
        return frm->screen()->grabWindow(frm->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    QImage render(QWidget* w) const { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // The screen shows the floating check box over the current mark cell, and every other part
    // of the window as a fresh rendering would paint it (no stale box, no grid text).
    bool casillaEnPantalla(int nFila)
    {
        const QRect rCelda(sitioPanel(nFila), QSize(84, 16));
        return QTest::qWaitFor([&] {
            if (!pnChkBox->isVisible() || pnChkBox->pos() != rCelda.topLeft())
                return false;
            const QImage p = pantalla();
            return p.copy(rCelda) == render(pnChkBox) && p == render(frm.get());
        });
    }
    // Claves of the marked rows, read as the report's queries read them.
    QStringList lector()
    {
        QStringList l;
        for (t->Primero(); !t->Fin(); t->Siguiente()) {
            if (t->ValorBool("EsPEP"))
                l << t->ValorTexto("ClaveCliente");
        }
        return l;
    }
    // Window shown and active, three rows painted, the grid enabled.
    bool conTresFilas()
    {
        llena({"ANA", "BETO", "CARLA"});
        return QTest::qWaitFor([&] { return grd->isEnabled(); });
    }

private slots:
    void init()
    {
        guion = std::make_shared<TDialogosGuion>();
        guion->Respuestas.enqueue(true);
        InstalaDialogos(guion);
        dm = std::make_unique<TdmMain>();
        frm = std::make_unique<TfrmPrincipal>(*dm);
        t = dm->vtPEPs;
        grd = frm->findChild<TRejillaDatos*>("grdPEPs");
        pnChkBox = frm->findChild<QWidget*>("pnChkBox");
        casilla = frm->findChild<TCasillaDatos*>("DBCheckBox");
        QVERIFY(grd && pnChkBox && casilla);
        frm->show();
        frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frm.get()));
        QTRY_COMPARE(guion->Cajas.size(), 1);
    }
    void cleanup()
    {
        frm.reset();
        dm.reset();
        InstalaDialogos(nullptr);
    }

    void antesDeDetectarSoloTitulos()
    {
        QTest::qWait(50);
        QVERIFY(!grd->isEnabled());
        QVERIFY(pnChkBox->isHidden());
        QCOMPARE(grd->model()->rowCount(), 0);
        QCOMPARE(grd->model()->columnCount(), 2);
        QCOMPARE(grd->model()->headerData(0, Qt::Horizontal).toString(), QString("Marcar PEP"));
        QCOMPARE(grd->model()->headerData(1, Qt::Horizontal).toString(), QString("Nombre del Usuario"));
        QCOMPARE(grd->horizontalHeader()->sectionSize(0), 84 + 1); // plus the column line
        QCOMPARE(grd->horizontalHeader()->sectionSize(1), 391 + 1);
        QVERIFY(grd->verticalHeader()->isHidden());
        QCOMPARE(grd->horizontalHeader()->palette().color(QPalette::ButtonText), kVerdeAzul);
        QCOMPARE(grd->horizontalHeader()->font().pixelSize(), 11);
        QCOMPARE(QFontInfo(grd->horizontalHeader()->font()).family(), QString("Tahoma"));
        // Below the titles the grid is blank.
        const QImage cuerpo = grd->viewport()->grab().toImage();
        for (int y = 0; y < cuerpo.height(); y += 3)
            for (int x = 0; x < cuerpo.width(); x += 3)
                QCOMPARE(QColor(cuerpo.pixel(x, y)), QColor(Qt::white));
        QVERIFY(!grd->isEnabled());
    }

    void filasAparecenSinMarcaYHabilitan()
    {
        llena({"ANA", "BETO", "CARLA"});
        QVERIFY(!grd->isEnabled());
        QTRY_VERIFY(grd->isEnabled());
        QCOMPARE(grd->model()->rowCount(), 3);
        QCOMPARE(grd->model()->index(1, 1).data().toString(), QString("BETO"));
        // The focus is in the user box, so every mark cell shows a check-box image; the current
        // row (the last one filled) shows selected across both columns.
        const QImage sinMarca = imagenCelda(0, 0);
        QCOMPARE(imagenCelda(1, 0), sinMarca);
        QVERIFY(imagenCelda(2, 0) != sinMarca);
        const QImage nombre = imagenCelda(2, 1);
        const QColor seleccion = nombre.pixelColor(nombre.width() - 4, nombre.height() / 2);
        QVERIFY(seleccion != QColor(Qt::white));
        QCOMPARE(imagenCelda(2, 0).pixelColor(1, 1), seleccion);
        QCOMPARE(imagenCelda(1, 1).pixelColor(1, 1), QColor(Qt::white));
        QVERIFY(imagenCelda(0, 1) != sinMarca);
        t->IrA(1);
        t->Edita();
        t->SetValor("EsPEP", true);
        t->Publica();
        QVERIFY(imagenCelda(1, 0) != sinMarca);
        QCOMPARE(imagenCelda(0, 0), sinMarca);
    }

    // A click on a mark cell toggles and posts at once; the cell then carries the check box,
    // whose own click toggles again, pending until a reader moves the cursor.
    void clicEnMarcaYEnCasilla()
    {
        QVERIFY(conTresFilas());
        QCOMPARE(t->RegActual(), 2);
        clic(0, 0);
        QCOMPARE(t->RegActual(), 0);
        QCOMPARE(marcas(), (QList<bool>{true, false, false}));
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Navegando);
        QTRY_VERIFY(pnChkBox->isVisible());
        QCOMPARE(pnChkBox->pos(), sitioPanel(0));
        QVERIFY(casilla->isChecked());

        QTest::mouseClick(casilla, Qt::LeftButton, {}, QPoint(6, 8));
        QVERIFY(!casilla->isChecked());
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Editando);
        QCOMPARE(lector(), QStringList());
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Navegando);
        QCOMPARE(marcas(), (QList<bool>{false, false, false}));
    }

    void clicEnNombreSoloMueveLaFila()
    {
        QVERIFY(conTresFilas());
        clic(1, 1);
        QCOMPARE(t->RegActual(), 1);
        QCOMPARE(marcas(), (QList<bool>{false, false, false}));
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Navegando);
        QTest::qWait(30);
        QVERIFY(pnChkBox->isHidden());
    }

    void casillaSigueAlFocoYTabLaOculta()
    {
        QVERIFY(conTresFilas());
        clic(0, 1);
        QTest::keyClick(grd, Qt::Key_Left);
        QTRY_VERIFY(pnChkBox->isVisible());
        QCOMPARE(pnChkBox->pos(), sitioPanel(0));
        QTest::keyClick(grd, Qt::Key_Down);
        QCOMPARE(t->RegActual(), 1);
        QTRY_COMPARE(pnChkBox->pos(), sitioPanel(1));
        QTest::keyClick(grd, Qt::Key_Tab);
        QCOMPARE(grd->currentIndex().column(), 1);
        QVERIFY(pnChkBox->isHidden());
        QCOMPARE(frm->focusWidget(), grd);
        QTest::keyClick(grd, Qt::Key_Backtab);
        QCOMPARE(grd->currentIndex().column(), 0);
        QTRY_VERIFY(pnChkBox->isVisible());
    }

    // A character typed in the mark column goes to the check box, which takes the focus; Space
    // or Backspace put the row into editing without toggling it.
    void caracterPasaALaCasilla_data()
    {
        QTest::addColumn<int>("nColumna");
        QTest::addColumn<int>("nTecla");
        QTest::addColumn<bool>("bPasa");
        QTest::addColumn<bool>("bEditando");
        QTest::newRow("letra") << 0 << int(Qt::Key_X) << true << false;
        QTest::newRow("espacio") << 0 << int(Qt::Key_Space) << true << true;
        QTest::newRow("retroceso") << 0 << int(Qt::Key_Backspace) << true << true;
        QTest::newRow("letra en la columna de nombres") << 1 << int(Qt::Key_C) << false << false;
    }
    void caracterPasaALaCasilla()
    {
        QFETCH(int, nColumna);
        QFETCH(int, nTecla);
        QFETCH(bool, bPasa);
        QFETCH(bool, bEditando);
        QVERIFY(conTresFilas());
        grd->setFocus();
        grd->setCurrentIndex(grd->model()->index(0, nColumna));
        QTest::keyClick(grd, Qt::Key(nTecla));
        QCOMPARE(frm->focusWidget(), bPasa ? static_cast<QWidget*>(casilla) : grd);
        QCOMPARE(t->RegActual(), 0);
        QCOMPARE(t->Estado(),
                 bEditando ? TTablaMemoria::TEstado::Editando : TTablaMemoria::TEstado::Navegando);
        QCOMPARE(marcas(), (QList<bool>{false, false, false}));
    }

    void espacioEnLaCasillaMarcaYEscapeDescarta()
    {
        QVERIFY(conTresFilas());
        grd->setFocus();
        grd->setCurrentIndex(grd->model()->index(1, 0));
        QTest::keyClick(grd, Qt::Key_A);
        QCOMPARE(frm->focusWidget(), casilla);
        QTest::keyClick(casilla, Qt::Key_Space);
        QVERIFY(casilla->isChecked());
        QVERIFY(t->ValorBool("EsPEP"));
        QTest::keyClick(casilla, Qt::Key_Escape);
        QVERIFY(!casilla->isChecked());
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Navegando);
        QCOMPARE(lector(), QStringList());
    }

    // A mark made with the check box and never posted is seen by a reader that goes to the
    // first row, even while the box keeps the focus.
    void marcaSinPublicarLaVeElLector()
    {
        QVERIFY(conTresFilas());
        clic(1, 0); // posts a mark on row 2
        QTRY_VERIFY(pnChkBox->isVisible());
        clic(2, 0); // and on row 3
        QTRY_COMPARE(pnChkBox->pos(), sitioPanel(2));
        QTest::mouseClick(casilla, Qt::LeftButton, {}, QPoint(6, 8)); // unmarks row 3, pending
        QCOMPARE(frm->focusWidget(), casilla);
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Editando);
        QCOMPARE(lector(), QStringList{"C2"});
    }

    // However the current row changes, the box is painted at its new place, shows the mark of
    // that row, and the cell under it never shows the grid's "True"/"False" or its selection.
    void casillaSePintaDondeEstaLaFila_data()
    {
        QTest::addColumn<QString>("sMovimiento");
        QTest::addColumn<int>("nFila");
        QTest::newRow("flecha abajo") << "abajo" << 2;
        QTest::newRow("flecha arriba") << "arriba" << 0;
        QTest::newRow("Mayús+Tab desde el nombre") << "mayustab" << 2;
        QTest::newRow("clic en otra fila") << "clic" << 2;
    }
    void casillaSePintaDondeEstaLaFila()
    {
        QFETCH(QString, sMovimiento);
        QFETCH(int, nFila);
        QVERIFY(conTresFilas());
        clic(1, 0); // marks row 2 and brings the box
        QVERIFY(casillaEnPantalla(1));
        if (sMovimiento == "abajo") {
            QTest::keyClick(grd, Qt::Key_Down);
        } else if (sMovimiento == "arriba") {
            QTest::keyClick(grd, Qt::Key_Up);
        } else if (sMovimiento == "mayustab") {
            clic(2, 1);
            QTRY_VERIFY(pnChkBox->isHidden());
            QTest::keyClick(grd, Qt::Key_Backtab, Qt::ShiftModifier);
        } else {
            clic(2, 0);
        }
        QCOMPARE(t->RegActual(), nFila);
        QVERIFY(casillaEnPantalla(nFila));
        QCOMPARE(casilla->isChecked(), marca(nFila));
        // The cell under the box, painted by the grid alone, is the plain face of the selected
        // row: no "True"/"False", no check-box image.
        const QImage celda = imagenCelda(nFila, 0);
        const QColor fondo = grd->FondoFilaActual().color();
        QVERIFY(fondo != QColor(Qt::white));
        QCOMPARE(celda.pixelColor(2, 2), fondo);
        QCOMPARE(celda.pixelColor(celda.width() - 3, celda.height() - 3), fondo);
        QCOMPARE(celda.pixelColor(celda.width() / 2, celda.height() / 2), fondo);
    }

    // Above, below and beside the box the panel has the face of the row it covers: the
    // selection's, as the name beside it.
    void panelConElFondoDeLaRejilla()
    {
        QVERIFY(conTresFilas());
        clic(0, 0);
        QVERIFY(casillaEnPantalla(0));
        const QImage p = render(pnChkBox);
        QCOMPARE(p.size(), QSize(84, 16));
        const QImage nombre = imagenCelda(0, 1);
        const QColor fondo = nombre.pixelColor(nombre.width() - 4, nombre.height() / 2);
        QCOMPARE(fondo, grd->FondoFilaActual().color());
        QVERIFY(fondo != QColor(Qt::white));
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) {
                const bool bCasilla = x >= 35 && x < 48 && y >= 1 && y < 15;
                if (!bCasilla)
                    QVERIFY2(p.pixelColor(x, y) == fondo,
                             qPrintable(QString("%1,%2 %3").arg(x).arg(y).arg(p.pixelColor(x, y).name())));
            }
    }

    // Resting the mouse over a mark or the titles shows the list's hint; over a name, the hint,
    // the client's key and the record that listed the client, to tell namesakes apart.
    void hintDeLaLista_data()
    {
        QTest::addColumn<bool>("bFilas");
        QTest::addColumn<bool>("bTitulos");
        QTest::addColumn<int>("nColumna");
        QTest::addColumn<QString>("sHint");
        const QString sLista = "Haga click en el recuadro si el Usuario es un PEP";
        QTest::newRow("nombre") << true << false << 1
                                << sLista + QString::fromUtf8(
                                                "\nClave del cliente: C2\nOperación inusual: PEP DIPUTADO");
        QTest::newRow("marca") << true << false << 0 << sLista;
        QTest::newRow("títulos") << true << true << 1 << sLista;
        QTest::newRow("antes de detectar") << false << false << 1 << sLista;
    }
    void hintDeLaLista()
    {
        QFETCH(bool, bFilas);
        QFETCH(bool, bTitulos);
        QFETCH(int, nColumna);
        QFETCH(QString, sHint);
        if (bFilas) {
            QVERIFY(conTresFilas());
            t->IrA(1);
            t->Edita();
            t->SetValor("Registro", "PEP DIPUTADO");
            t->Publica();
        }
        QToolTip::hideText();
        QWidget* Area = bTitulos ? grd->horizontalHeader()->viewport() : grd->viewport();
        const QPoint pos =
            bTitulos || !bFilas ? QPoint(grd->columnViewportPosition(nColumna) + 20, 8) : centro(1, nColumna);
        QTest::mouseMove(Area, pos - QPoint(3, 0));
        QTest::mouseMove(Area, pos);
        QTRY_COMPARE(QToolTip::text(), sHint);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(casilla->toolTip(), QString("Haga click en el recuadro si el Usuario es un PEP"));
    }

    // A detection with rows and then one with none: under the notice nothing of the old list
    // shows, neither the check box nor the grid's scroll bar.
    void avisoTapaCasillaYBarra()
    {
        QVERIFY(conTresFilas());
        clic(2, 0);
        QVERIFY(casillaEnPantalla(2));
        llena({});
        frm->MuestraIgnorar(true);
        QTRY_VERIFY(pnChkBox->isHidden());
        QTest::qWait(50);
        QVERIFY(pnChkBox->isHidden());
        QVERIFY(!grd->verticalScrollBar()->isVisible());
        // Where the grid was, frame included, the screen shows the notice and nothing else.
        QWidget* aviso = frm->findChild<QWidget*>("pnIgnorar");
        const QRect rGrid = grd->geometry();
        QVERIFY(aviso->geometry().contains(rGrid));
        QTRY_VERIFY(pantalla() == render(frm.get()));
        QCOMPARE(pantalla().copy(rGrid), render(aviso).copy(rGrid.translated(-aviso->pos())));
    }

    void sinAltasNiBajasConElTeclado()
    {
        QVERIFY(conTresFilas());
        clic(2, 1);
        const QList<QPair<int, Qt::KeyboardModifiers>> teclas{
            {Qt::Key_Insert, Qt::NoModifier},      {Qt::Key_Delete, Qt::NoModifier},
            {Qt::Key_Delete, Qt::ControlModifier}, {Qt::Key_Down, Qt::NoModifier},
            {Qt::Key_PageDown, Qt::NoModifier},    {Qt::Key_End, Qt::ControlModifier},
            {Qt::Key_Return, Qt::NoModifier},      {Qt::Key_F2, Qt::NoModifier},
            {Qt::Key_Escape, Qt::NoModifier}};
        for (const auto& [nTecla, Mods] : teclas)
            QTest::keyClick(grd, Qt::Key(nTecla), Mods);
        QCOMPARE(t->NumRegistros(), 3);
        QCOMPARE(grd->model()->rowCount(), 3);
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Navegando);
        QCOMPARE(marcas(), (QList<bool>{false, false, false}));
    }

    // In the floating box the keys of a list move the grid's current row and the box goes with
    // it; the focus stays in the box, so the next Space ticks the row reached, never a button.
    void flechasEnLaCasillaMuevenLaFila_data()
    {
        QTest::addColumn<int>("nDesde");
        QTest::addColumn<int>("nTecla");
        QTest::addColumn<int>("nHasta"); // -1: the grid's page below nDesde
        QTest::newRow("abajo") << 0 << int(Qt::Key_Down) << 1;
        QTest::newRow("arriba") << 2 << int(Qt::Key_Up) << 1;
        QTest::newRow("arriba en la primera") << 0 << int(Qt::Key_Up) << 0;
        QTest::newRow("abajo en la última") << 29 << int(Qt::Key_Down) << 29;
        QTest::newRow("inicio") << 12 << int(Qt::Key_Home) << 0;
        QTest::newRow("fin") << 0 << int(Qt::Key_End) << 29;
        QTest::newRow("avanzar página") << 0 << int(Qt::Key_PageDown) << -1;
        QTest::newRow("retroceder página en la primera") << 0 << int(Qt::Key_PageUp) << 0;
    }
    void flechasEnLaCasillaMuevenLaFila()
    {
        QFETCH(int, nDesde);
        QFETCH(int, nTecla);
        QFETCH(int, nHasta);
        QStringList Nombres;
        for (int i = 0; i < 30; ++i)
            Nombres << QString("NOMBRE %1").arg(i);
        llena(Nombres);
        QTRY_VERIFY(grd->isEnabled());
        frm->bnGenReporte->setEnabled(true);
        grd->setFocus();
        grd->setCurrentIndex(grd->model()->index(nDesde, 0));
        QTest::keyClick(grd, Qt::Key_Space); // to the box, as the Part of the list says
        QCOMPARE(frm->focusWidget(), casilla);
        QTest::keyClick(casilla, Qt::Key(nTecla));
        const int nPagina = grd->viewport()->height() / 16 - 1;
        const int nFila = nHasta >= 0 ? nHasta : nDesde + nPagina;
        QVERIFY(nPagina >= 4);
        QCOMPARE(frm->focusWidget(), casilla);
        QCOMPARE(t->RegActual(), nFila);
        QCOMPARE(grd->currentIndex(), grd->model()->index(nFila, 0));
        QVERIFY(casillaEnPantalla(nFila));
        QTest::keyClick(casilla, Qt::Key_Space);
        QCOMPARE(frm->focusWidget(), casilla);
        QCOMPARE(lector(), QStringList{QString("C%1").arg(nFila + 1)});
    }

    // Tab walks the cells and leaves the grid past the last one (Shift+Tab before the first),
    // passing the floating box by; Ctrl+Tab leaves from any cell.
    void tabuladorSaleDeLaLista_data()
    {
        QTest::addColumn<int>("nFila");
        QTest::addColumn<int>("nColumna");
        QTest::addColumn<int>("nTecla");
        QTest::addColumn<int>("nMods");
        QTest::addColumn<QString>("sFoco"); // "grid" stays, with the current cell below
        QTest::addColumn<int>("nFilaFinal");
        QTest::addColumn<int>("nColumnaFinal");
        const int Sin = int(Qt::NoModifier);
        const int Ctrl = int(Qt::ControlModifier);
        const int Mayus = int(Qt::ShiftModifier);
        QTest::newRow("Tab de la marca al nombre") << 1 << 0 << int(Qt::Key_Tab) << Sin << "grid" << 1 << 1;
        QTest::newRow("Tab del nombre a la fila siguiente")
            << 0 << 1 << int(Qt::Key_Tab) << Sin << "grid" << 1 << 0;
        QTest::newRow("Tab en la última celda")
            << 2 << 1 << int(Qt::Key_Tab) << Sin << "bnGenReporte" << 2 << 1;
        QTest::newRow("Mayús+Tab en la primera celda")
            << 0 << 0 << int(Qt::Key_Backtab) << Mayus << "bnDetectaPEPs" << 0 << 0;
        QTest::newRow("Mayús+Tab del nombre a la marca")
            << 2 << 1 << int(Qt::Key_Backtab) << Mayus << "grid" << 2 << 0;
        QTest::newRow("Ctrl+Tab en la marca")
            << 0 << 0 << int(Qt::Key_Tab) << Ctrl << "bnGenReporte" << 0 << 0;
        QTest::newRow("Ctrl+Mayús+Tab en el nombre")
            << 1 << 1 << int(Qt::Key_Backtab) << (Ctrl | Mayus) << "bnDetectaPEPs" << 1 << 1;
    }
    void tabuladorSaleDeLaLista()
    {
        QFETCH(int, nFila);
        QFETCH(int, nColumna);
        QFETCH(int, nTecla);
        QFETCH(int, nMods);
        QFETCH(QString, sFoco);
        QFETCH(int, nFilaFinal);
        QFETCH(int, nColumnaFinal);
        QVERIFY(conTresFilas());
        frm->bnGenReporte->setEnabled(true);
        grd->setFocus();
        grd->setCurrentIndex(grd->model()->index(nFila, nColumna));
        if (nColumna == 0)
            QTRY_VERIFY(pnChkBox->isVisible());
        QTest::keyClick(grd, Qt::Key(nTecla), Qt::KeyboardModifiers(nMods));
        QWidget* Esperado = sFoco == "grid" ? static_cast<QWidget*>(grd) : frm->findChild<QWidget*>(sFoco);
        QCOMPARE(frm->focusWidget(), Esperado);
        QCOMPARE(grd->currentIndex(), grd->model()->index(nFilaFinal, nColumnaFinal));
        QCOMPARE(marcas(), (QList<bool>{false, false, false}));
    }

    void nombreLargoSeCortaA100()
    {
        const QString sLargo = QString("NOMBRE MUY LARGO ").repeated(8).left(130);
        llena({sLargo});
        QCOMPARE(grd->model()->index(0, 1).data().toString(), sLargo.left(100));
    }
};

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    RegistraFuentes();
    QApplication::setQuitOnLastWindowClosed(false);
    TestListaPEPs t;
    return QTest::qExec(&t, argc, argv);
}

#include "TestListaPEPs.moc"
