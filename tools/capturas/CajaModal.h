#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>

#include <functional>

// For programs that drive the window as a user does: answers the next modal message box with
// the button whose text is sBoton (a box without it is rejected), looking for the box every nMs
// milliseconds. Visto runs when the box shows, before the answer (a screenshot, a time).
inline void ContestaCaja(const QString& sBoton, std::function<void()> Visto = {}, int nMs = 20)
{
    auto* t = new QTimer;
    t->setInterval(nMs);
    QObject::connect(t, &QTimer::timeout, [t, sBoton, Visto] {
        auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!caja || !caja->isVisible())
            return;
        t->stop();
        t->deleteLater();
        if (Visto)
            Visto();
        for (QAbstractButton* b : caja->buttons())
            if (b->text() == sBoton) {
                b->click();
                return;
            }
        caja->reject();
    });
    t->start();
}
