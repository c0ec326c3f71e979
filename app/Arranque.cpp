#include "app/Arranque.h"

#include <QApplication>
#include <QWidget>

int EjecutaPrograma(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(QStringLiteral("Cuestionario QRTZ 2019"));
    w.show();
    return app.exec();
}
