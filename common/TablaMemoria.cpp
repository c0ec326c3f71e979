#include "common/TablaMemoria.h"

#include "common/CodigoAnsi.h"

#include <stdexcept>

TTablaMemoria::TTablaMemoria(QList<TCampo> Campos, QObject* parent)
    : QObject(parent), F_Campos(std::move(Campos))
{
}

int TTablaMemoria::IndiceCampo(const QString& sNombre) const
{
    for (int i = 0; i < F_Campos.size(); ++i) {
        if (F_Campos[i].sNombre.compare(sNombre, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int TTablaMemoria::indiceObligado(const QString& sCampo) const
{
    const int i = IndiceCampo(sCampo);
    if (i < 0)
        throw std::runtime_error(QStringLiteral("Campo no encontrado: %1").arg(sCampo).toStdString());
    return i;
}

void TTablaMemoria::setEstado(TEstado e)
{
    if (F_Estado == e)
        return;
    F_Estado = e;
    emit EstadoCambiado();
}

void TTablaMemoria::Abre()
{
    if (!Activa()) {
        setEstado(TEstado::Navegando);
        mueveA(F_Filas.empty() ? -1 : 0);
    }
}

void TTablaMemoria::Cierra()
{
    if (!Activa())
        return;
    publicaPendiente();
    setEstado(TEstado::Inactiva);
}

void TTablaMemoria::BorraTodo()
{
    if (!Activa())
        throw std::runtime_error("La tabla no está abierta");
    F_Pendiente.clear();
    F_Filas.clear();
    F_nSigAuto = 1;
    setEstado(TEstado::Navegando);
    F_nActual = -1;
    F_bFin = true;
    emit FilasCambiadas();
    emit RegistroActualCambiado(F_nActual);
}

void TTablaMemoria::Agrega()
{
    if (!Activa())
        throw std::runtime_error("La tabla no está abierta");
    publicaPendiente();
    TFila fila(2 * F_Campos.size());
    for (int i = 0; i < F_Campos.size(); ++i) {
        if (F_Campos[i].Tipo == TTipoCampo::AutoIncremento)
            fila[i] = F_nSigAuto;
    }
    F_Filas.push_back(fila);
    F_Pendiente = fila;
    setEstado(TEstado::Insertando);
    F_nActual = int(F_Filas.size()) - 1;
    F_bFin = false;
    emit FilasCambiadas();
    emit RegistroActualCambiado(F_nActual);
}

void TTablaMemoria::Edita()
{
    if (F_Estado == TEstado::Editando || F_Estado == TEstado::Insertando)
        return;
    if (!Activa() || F_nActual < 0)
        throw std::runtime_error("No hay registro actual para editar");
    F_Pendiente = F_Filas[F_nActual];
    setEstado(TEstado::Editando);
}

void TTablaMemoria::Publica()
{
    if (F_Estado != TEstado::Editando && F_Estado != TEstado::Insertando)
        return;
    F_Filas[F_nActual] = F_Pendiente;
    for (int i = 0; i < F_Campos.size(); ++i) {
        if (F_Campos[i].Tipo == TTipoCampo::AutoIncremento && F_Pendiente[i].isValid())
            F_nSigAuto = std::max(F_nSigAuto, F_Pendiente[i].toInt() + 1);
    }
    F_Pendiente.clear();
    setEstado(TEstado::Navegando);
    emit DatosCambiados(F_nActual);
}

void TTablaMemoria::Cancela()
{
    if (F_Estado == TEstado::Editando) {
        F_Pendiente.clear();
        setEstado(TEstado::Navegando);
        emit DatosCambiados(F_nActual);
    } else if (F_Estado == TEstado::Insertando) {
        F_Pendiente.clear();
        F_Filas.erase(F_Filas.begin() + F_nActual);
        setEstado(TEstado::Navegando);
        F_nActual = F_Filas.empty() ? -1 : int(F_Filas.size()) - 1;
        F_bFin = F_Filas.empty();
        emit FilasCambiadas();
        emit RegistroActualCambiado(F_nActual);
    }
}

void TTablaMemoria::publicaPendiente()
{
    Publica();
}

void TTablaMemoria::mueveA(int nFila)
{
    const int anterior = F_nActual;
    F_nActual = nFila;
    if (anterior != F_nActual)
        emit RegistroActualCambiado(F_nActual);
}

void TTablaMemoria::Primero()
{
    if (!Activa())
        throw std::runtime_error("La tabla no está abierta");
    publicaPendiente();
    F_bFin = F_Filas.empty();
    mueveA(F_Filas.empty() ? -1 : 0);
}

void TTablaMemoria::Siguiente()
{
    if (!Activa())
        throw std::runtime_error("La tabla no está abierta");
    publicaPendiente();
    if (F_nActual + 1 >= int(F_Filas.size())) {
        F_bFin = true; // stays on the last row, as a cursor does
        return;
    }
    F_bFin = false;
    mueveA(F_nActual + 1);
}

void TTablaMemoria::IrA(int nFila)
{
    if (!Activa() || nFila < 0 || nFila >= int(F_Filas.size()))
        return;
    if (nFila != F_nActual)
        publicaPendiente();
    F_bFin = false;
    mueveA(nFila);
}

QVariant TTablaMemoria::Valor(const QString& sCampo) const
{
    const int i = indiceObligado(sCampo);
    if (F_nActual < 0)
        return QVariant();
    if (F_Estado == TEstado::Editando || F_Estado == TEstado::Insertando)
        return F_Pendiente[i];
    return F_Filas[F_nActual][i];
}

QVariant TTablaMemoria::ajusta(int nCampo, const QVariant& v) const
{
    if (v.isNull())
        return QVariant();
    const TCampo& c = F_Campos[nCampo];
    switch (c.Tipo) {
    case TTipoCampo::Texto: {
        QString s = CodigoAnsi::Normaliza(v.toString());
        if (c.nAncho > 0 && s.size() > c.nAncho)
            s.truncate(c.nAncho);
        return s;
    }
    case TTipoCampo::Booleano:
        return v.toBool();
    case TTipoCampo::Entero:
    case TTipoCampo::AutoIncremento:
        return v.toInt();
    }
    return v;
}

void TTablaMemoria::SetValor(const QString& sCampo, const QVariant& vValor)
{
    const int i = indiceObligado(sCampo);
    if (F_Estado != TEstado::Editando && F_Estado != TEstado::Insertando)
        throw std::runtime_error("La tabla no está en modo de edición");
    F_Pendiente[i] = ajusta(i, vValor);
    F_Pendiente[F_Campos.size() + i] = vValor;
    emit DatosCambiados(F_nActual);
}

QVariant TTablaMemoria::ValorOriginal(const QString& sCampo) const
{
    const int i = indiceObligado(sCampo);
    if (F_nActual < 0)
        return QVariant();
    const TFila& Fila =
        F_Estado == TEstado::Editando || F_Estado == TEstado::Insertando ? F_Pendiente : F_Filas[F_nActual];
    return F_Campos[i].Tipo == TTipoCampo::Texto ? Fila[F_Campos.size() + i] : Fila[i];
}

QVariant TTablaMemoria::ValorEn(int nFila, int nCampo) const
{
    if (nFila < 0 || nFila >= int(F_Filas.size()) || nCampo < 0 || nCampo >= F_Campos.size())
        return QVariant();
    if (nFila == F_nActual && (F_Estado == TEstado::Editando || F_Estado == TEstado::Insertando))
        return F_Pendiente[nCampo];
    return F_Filas[nFila][nCampo];
}
