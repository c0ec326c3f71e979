#pragma once

#include "common/IIDialogos.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

// Scripted dialog service for tests: records every box shown and answers questions from a
// queue (an empty queue answers "No"). An optional hook runs when a box is shown, so a test
// can look at the window while the "modal" box is up.
class TDialogosGuion : public IDialogos
{
public:
    enum class TTipo
    {
        Mensaje,
        Advertencia,
        ErrorEvento,
        Carpeta, // the folder dialog; its text is the dialog's caption
        Opcion   // a choice; its text is the question
    };
    struct TCaja
    {
        TTipo Tipo;
        QString sTexto;
        QString sInicial; // the folder dialog's starting folder
    };

    void MuestraMensaje(const QString& sTexto) override { registra(TTipo::Mensaje, sTexto); }
    bool PreguntaAdvertencia(const QString& sTexto) override
    {
        registra(TTipo::Advertencia, sTexto);
        return Respuestas.isEmpty() ? false : Respuestas.dequeue();
    }
    void MuestraErrorEvento(const QString& sTexto) override { registra(TTipo::ErrorEvento, sTexto); }
    // Answers from Carpetas (an empty queue cancels).
    QString EligeCarpeta(const QString& sTitulo, const QString& sInicial) override
    {
        registra(TTipo::Carpeta, sTitulo, sInicial);
        return Carpetas.isEmpty() ? QString() : Carpetas.dequeue();
    }

    // Answers from Opciones (an empty queue keeps what is proposed; -1 cancels).
    int EligeOpcion(const QString&, const QString& sTexto, const QStringList&, int nPropuesta) override
    {
        registra(TTipo::Opcion, sTexto);
        return Opciones.isEmpty() ? nPropuesta : Opciones.dequeue();
    }

    QStringList Textos() const
    {
        QStringList l;
        for (const auto& c : Cajas)
            l << c.sTexto;
        return l;
    }

    QList<TCaja> Cajas;
    QQueue<bool> Respuestas;
    QQueue<QString> Carpetas;
    QQueue<int> Opciones;
    std::function<void(const TCaja&)> AlMostrar;

private:
    void registra(TTipo Tipo, const QString& sTexto, const QString& sInicial = {})
    {
        Cajas.append({Tipo, sTexto, sInicial});
        if (AlMostrar)
            AlMostrar(Cajas.last());
    }
};
