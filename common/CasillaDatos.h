#pragma once

#include "common/TablaMemoria.h"

#include <QCheckBox>
#include <QPointer>

// Check box bound to a Boolean field of an in-memory table: shows the field of the current row
// and follows its changes. Toggling it puts the row into editing and writes the new value as a
// pending change, which the table posts when its cursor moves. Typed Space or Backspace put the
// row into editing; Escape discards the pending change of the row.
class TCasillaDatos : public QCheckBox
{
    Q_OBJECT
public:
    explicit TCasillaDatos(QWidget* parent = nullptr);

    void Enlaza(TTablaMemoria* Tabla, const QString& sCampo);
    TTablaMemoria* Tabla() const { return F_Tabla; }
    QString Campo() const { return F_sCampo; }

    // Handles one character as if typed into the box (without the box's own key handling).
    void RecibeCaracter(QChar cTecla);

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool hayRegistro() const;
    void muestraValor();

    QPointer<TTablaMemoria> F_Tabla;
    QString F_sCampo;
};
