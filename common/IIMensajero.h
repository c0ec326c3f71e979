#pragma once

#include "common/IIInterfacedPadre.h"

#include <QString>

class QLabel;
class QWidget;

// Status messenger of a window: drives its one-line message area and flashes the label of a
// mandatory field. Widget types are only forward-declared here, so code below the window can
// hold a messenger without linking the widget libraries.
class IMensajero : public virtual IInterfacedPadre
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E10}"};

    virtual void MsjEnTx(const QString& sTexto) = 0;                     // permanent message
    virtual void MsjTxTemp(const QString& sTexto) = 0;                   // cleared after 3 s
    virtual void MsjTxEspera(const QString& sTexto, bool bTLargo) = 0;   // message plus 1000/400 ms pause
    virtual void CampoObligatorio(QLabel* txLabel, QWidget* edEdit) = 0; // flash label, focus edit
    virtual void SettxLabel(QLabel* txLabel) = 0;                        // write txLabel
    virtual void SetbDefColorAlerta(bool bValor) = 0;
    virtual bool GetbDefColorAlerta() = 0;
};
