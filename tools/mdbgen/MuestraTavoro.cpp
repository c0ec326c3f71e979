#include "tools/mdbgen/MuestraTavoro.h"

#include <QDir>
#include <QSaveFile>
#include <QStringList>

#include <array>
#include <cmath>
#include <vector>

namespace {

using T = TTipoColumnaMdb;

// splitmix64: tiny, fast and the same on every platform, so a seed always gives the same file.
class TAleatorio
{
public:
    explicit TAleatorio(std::uint64_t nSemilla) : F_nEstado(nSemilla) {}
    std::uint64_t Siguiente()
    {
        std::uint64_t z = (F_nEstado += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Entre(int nMin, int nMax) // both included
    {
        return nMin + int(Siguiente() % std::uint64_t(nMax - nMin + 1));
    }
    double Uniforme() { return double(Siguiente() >> 11) * (1.0 / 9007199254740992.0); }
    bool Prob(double dP) { return Uniforme() < dP; }
    template <typename TLista> const auto& Uno(const TLista& L)
    {
        return L[std::size_t(Entre(0, int(std::size(L)) - 1))];
    }

private:
    std::uint64_t F_nEstado;
};

double dia(int nAnio, int nMes, int nDia)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(nAnio, nMes, nDia)));
}

// Hours 9:00 to 19:59 as a fraction of a day, to the second.
double hora(TAleatorio& A)
{
    return double(A.Entre(9 * 3600, 20 * 3600 - 1)) / 86400.0;
}

double redondea(double d, int nDecimales)
{
    const double f = std::pow(10.0, nDecimales);
    return std::round(d * f) / f;
}

const char* const kNombresH[] = {"JOSE",      "JUAN",      "LUIS",    "CARLOS",   "JORGE",   "MIGUEL ANGEL",
                                 "FRANCISCO", "ALEJANDRO", "ROBERTO", "FERNANDO", "RICARDO", "EDUARDO",
                                 "RAUL",      "SERGIO",    "ARTURO",  "JESUS",    "MARTIN",  "HECTOR",
                                 "JAVIER",    "DAVID",     "OSCAR",   "ANTONIO",  "PEDRO",   "RAMON"};
const char* const kNombresM[] = {"MARIA",      "GUADALUPE", "ROSA",      "ANA MARIA", "VERONICA", "LETICIA",
                                 "PATRICIA",   "ELIZABETH", "ALEJANDRA", "GABRIELA",  "MARTHA",   "LAURA",
                                 "SILVIA",     "ADRIANA",   "CLAUDIA",   "MONICA",    "YOLANDA",  "ARACELI",
                                 "MARÍA JOSÉ", "SOFÍA",     "BEATRIZ"};
const char* const kApellidos[] = {
    "HERNANDEZ", "GARCIA",  "MARTINEZ",  "LOPEZ",   "GONZALEZ", "RODRIGUEZ", "PEREZ",     "SANCHEZ",
    "RAMIREZ",   "CRUZ",    "FLORES",    "GOMEZ",   "MORALES",  "VAZQUEZ",   "REYES",     "JIMENEZ",
    "TORRES",    "DIAZ",    "GUTIERREZ", "RUIZ",    "MENDOZA",  "AGUILAR",   "ORTIZ",     "MORENO",
    "CASTILLO",  "ROMERO",  "ALVAREZ",   "MENDEZ",  "CHAVEZ",   "RIVERA",    "JUAREZ",    "RAMOS",
    "DOMINGUEZ", "HERRERA", "MEDINA",    "CASTRO",  "VARGAS",   "GUZMAN",    "VELAZQUEZ", "MUÑOZ",
    "IBAÑEZ",    "NUÑEZ",   "PEÑA",      "ORDOÑEZ", "GALVÁN",   "BELTRÁN"};
const char* const kNombresExtranjeros[] = {"JOHN",   "MICHAEL", "ROBERT",   "JAMES", "WILLIAM",
                                           "DAVID",  "MARY",    "JENNIFER", "LINDA", "SUSAN",
                                           "PIERRE", "HANS",    "KENJI",    "WEI"};
const char* const kApellidosExtranjeros[] = {"SMITH",  "JOHNSON", "WILLIAMS", "BROWN",    "JONES",
                                             "MILLER", "DAVIS",   "WILSON",   "ANDERSON", "TAYLOR",
                                             "DUBOIS", "MÜLLER",  "TANAKA",   "ZHANG"};
const char* const kRazones[] = {"COMERCIALIZADORA", "DISTRIBUIDORA",  "IMPORTADORA", "EXPORTADORA",
                                "SERVICIOS",        "CONSTRUCTORA",   "TRANSPORTES", "GRUPO",
                                "INMOBILIARIA",     "AGROINDUSTRIAS", "ABARROTES",   "AUTOPARTES",
                                "TEXTILES",         "FARMACIAS",      "HOTELERA"};
const char* const kRazones2[] = {"DEL NORTE", "DEL PACIFICO",  "LA FRONTERA", "DE BAJA CALIFORNIA",
                                 "DEL VALLE", "SAN JOSE",      "EL ÁGUILA",   "INTERNACIONAL",
                                 "TIJUANA",   "DE LA COSTA",   "PENINSULAR",  "INTEGRAL",
                                 "DEL GOLFO", "HERMANOS RUIZ", "MEXICANA"};

struct TEstado
{
    const char* sNombre;
    int nPais;
    std::vector<const char*> Ciudades;
};

// Mexican states with cities (border and tourist cities first, where exchange houses work),
// and a few foreign ones for foreign clients.
const std::vector<TEstado>& estados()
{
    static const std::vector<TEstado> v = {
        {"AGUASCALIENTES", 1, {"AGUASCALIENTES"}},
        {"BAJA CALIFORNIA", 1, {"TIJUANA", "MEXICALI", "ENSENADA", "TECATE", "PLAYAS DE ROSARITO"}},
        {"BAJA CALIFORNIA SUR", 1, {"LA PAZ", "LOS CABOS"}},
        {"CAMPECHE", 1, {"CAMPECHE"}},
        {"CHIAPAS", 1, {"TUXTLA GUTIÉRREZ", "TAPACHULA"}},
        {"CHIHUAHUA", 1, {"CIUDAD JUÁREZ", "CHIHUAHUA"}},
        {"CIUDAD DE MÉXICO", 1, {"CIUDAD DE MÉXICO"}},
        {"COAHUILA", 1, {"SALTILLO", "PIEDRAS NEGRAS", "TORREÓN"}},
        {"COLIMA", 1, {"COLIMA", "MANZANILLO"}},
        {"DURANGO", 1, {"DURANGO"}},
        {"ESTADO DE MÉXICO", 1, {"TOLUCA", "NAUCALPAN"}},
        {"GUANAJUATO", 1, {"LEÓN", "GUANAJUATO"}},
        {"GUERRERO", 1, {"ACAPULCO", "CHILPANCINGO"}},
        {"HIDALGO", 1, {"PACHUCA"}},
        {"JALISCO", 1, {"GUADALAJARA", "PUERTO VALLARTA"}},
        {"MICHOACÁN", 1, {"MORELIA", "URUAPAN"}},
        {"MORELOS", 1, {"CUERNAVACA"}},
        {"NAYARIT", 1, {"TEPIC"}},
        {"NUEVO LEÓN", 1, {"MONTERREY"}},
        {"OAXACA", 1, {"OAXACA"}},
        {"PUEBLA", 1, {"PUEBLA"}},
        {"QUERÉTARO", 1, {"QUERÉTARO"}},
        {"QUINTANA ROO", 1, {"CANCÚN", "CHETUMAL", "PLAYA DEL CARMEN"}},
        {"SAN LUIS POTOSÍ", 1, {"SAN LUIS POTOSÍ"}},
        {"SINALOA", 1, {"CULIACÁN", "MAZATLÁN"}},
        {"SONORA", 1, {"HERMOSILLO", "NOGALES", "SAN LUIS RÍO COLORADO"}},
        {"TABASCO", 1, {"VILLAHERMOSA"}},
        {"TAMAULIPAS", 1, {"NUEVO LAREDO", "REYNOSA", "MATAMOROS"}},
        {"TLAXCALA", 1, {"TLAXCALA"}},
        {"VERACRUZ", 1, {"VERACRUZ", "XALAPA"}},
        {"YUCATÁN", 1, {"MÉRIDA"}},
        {"ZACATECAS", 1, {"ZACATECAS"}},
        {"CALIFORNIA", 2, {"SAN DIEGO", "LOS ÁNGELES"}},
        {"TEXAS", 2, {"EL PASO", "HOUSTON"}},
        {"ONTARIO", 3, {"TORONTO"}},
        {"MADRID", 4, {"MADRID"}},
    };
    return v;
}

struct TDivisa
{
    int nNumero;
    const char* sSimbolo;
    const char* sDescripcion;
    bool bPagare;
    double dFactor;        // value against the dollar
    int nDecimales;        // of the quoted rate
    int nMin, nMax, nPaso; // amount bought or sold: nMin..nMax times nPaso
};

const std::array<TDivisa, 7> kDivisas = {{
    {1, "USD", "DÓLAR AMERICANO", false, 1.0, 2, 2, 300, 10},
    {2, "EUR", "EURO", false, 1.14, 2, 2, 200, 10},
    {3, "CAD", "DÓLAR CANADIENSE", false, 0.76, 2, 2, 200, 10},
    {4, "GBP", "LIBRA ESTERLINA", false, 1.31, 2, 2, 100, 10},
    {5, "JPY", "YEN JAPONÉS", false, 0.0091, 4, 1, 200, 1000},
    {6, "CHF", "FRANCO SUIZO", false, 1.02, 2, 2, 100, 10},
    {7, "USD", "DÓLAR AMERICANO (DOCUMENTO)", true, 1.0, 2, 1, 50, 100},
}};

// Dollar in pesos, one value per month from January 2016 to December 2019.
const double kDolarMensual[48] = {
    17.9, 18.1, 17.6, 17.5, 18.2, 18.6, 18.7, 18.5, 19.2, 18.9, 20.1, 20.6, // 2016
    21.4, 20.3, 19.3, 18.8, 18.8, 18.1, 17.8, 17.8, 17.8, 18.8, 19.1, 19.2, // 2017
    18.9, 18.6, 18.6, 18.4, 19.6, 20.3, 18.9, 18.9, 19.0, 19.2, 20.3, 20.1, // 2018
    19.2, 19.2, 19.3, 19.0, 19.3, 19.3, 19.0, 19.7, 19.6, 19.3, 19.4, 19.1, // 2019
};

struct TCliente
{
    QString sClave;
    int nEmpresa;
};

bool falla(QString* psError, const QString& s)
{
    if (psError)
        *psError = s;
    return false;
}

class TConstructor
{
public:
    TConstructor(TEscritorMdb& E, QString* psError) : F_E(E), F_psError(psError) {}
    int Tabla(const TDefinicionTabla& D)
    {
        const int n = F_E.AgregaTabla(D);
        if (n < 0)
            F_bOk = falla(F_psError, F_E.Error());
        return n;
    }
    void Fila(int nTabla, const QVariantList& V)
    {
        if (F_bOk && !F_E.AgregaFila(nTabla, V))
            F_bOk = falla(F_psError, F_E.Error());
    }
    bool Ok() const { return F_bOk; }

private:
    TEscritorMdb& F_E;
    QString* F_psError;
    bool F_bOk = true;
};

} // namespace

std::unique_ptr<TEscritorMdb> CreaBaseMuestraTavoro(const TOpcionesMuestra& Op, QString* psError)
{
    if (Op.nOperaciones < 0 || Op.nOperaciones > 20000000) {
        falla(psError, QStringLiteral("El número de operaciones debe ir de 0 a 20,000,000."));
        return nullptr;
    }
    if (Op.nAnios < 1 || Op.nAnios > 50) {
        falla(psError, QStringLiteral("El número de años debe ir de 1 a 50."));
        return nullptr;
    }
    if (Op.nClientes < 0 || Op.nClientes > 1000000) {
        falla(psError, QStringLiteral("El número de clientes debe ir de 0 a 1,000,000."));
        return nullptr;
    }
    if (!(Op.dEnProceso >= 0 && Op.dEnProceso <= 1)) {
        falla(psError, QStringLiteral("La parte de operaciones en proceso debe ir de 0 a 1."));
        return nullptr;
    }
    TOpcionesMdb OpMdb;
    OpMdb.sPassword = MuestraTavoro::kPassword;
    OpMdb.dtCreacion = QDateTime(QDate(2015, 11, 23), QTime(10, 17, 42));
    auto pE = std::make_unique<TEscritorMdb>(OpMdb);
    TConstructor C(*pE, psError);
    TAleatorio A(Op.nSemilla);
    const QVariant Nulo;
    const double dAlta = dia(2015, 11, 23);

    // Employees: the administrator, a cashier and an assistant without password.
    const int tEmps = C.Tabla({"tEmps",
                               {{"ClaveEmp", T::Texto, 10},
                                {"Nombre", T::Texto, 60},
                                {"Password", T::Texto, 20},
                                {"Nivel", T::Entero},
                                {"NumEmp", T::EnteroLargo},
                                {"Activo", T::SiNo}}});
    C.Fila(tEmps, {MuestraTavoro::kUsuarioAdmin, "ADMINISTRADOR DEL SISTEMA", MuestraTavoro::kPasswordAdmin,
                   0, 1, true});
    C.Fila(tEmps, {"CAJERO1", "LAURA MENDOZA RUIZ", "CAJA2018", 1, 1, true});
    C.Fila(tEmps, {"AUXILIAR", "PEDRO GALVÁN NUÑEZ", Nulo, 2, 1, true});

    // Nobody connected.
    C.Tabla({"tCompUsr",
             {{"ClaveEmp", T::Texto, 10},
              {"Equipo", T::Texto, 50},
              {"FechaEntrada", T::FechaHora},
              {"NumEmp", T::EnteroLargo}}});

    // Geography.
    const int tPaises = C.Tabla({"tPaises", {{"ClavePais", T::EnteroLargo}, {"Pais", T::Texto, 50}}});
    const char* const kPaises[] = {"MÉXICO", "ESTADOS UNIDOS", "CANADÁ", "ESPAÑA"};
    for (int i = 0; i < 4; ++i)
        C.Fila(tPaises, {i + 1, kPaises[i]});
    const int tEstados =
        C.Tabla({"tEstados",
                 {{"ClaveEstado", T::EnteroLargo}, {"Estado", T::Texto, 50}, {"ClavePais", T::EnteroLargo}}});
    const int tCiudad = C.Tabla(
        {"tCiudad",
         {{"ClaveCiudad", T::EnteroLargo}, {"Ciudad", T::Texto, 60}, {"ClaveEstado", T::EnteroLargo}}});
    std::vector<int> CiudadesMx, CiudadesBC, CiudadesExt;
    int nCiudad = 0;
    int nTijuana = 0, nSucursal = 0, nMexicali = 0;
    for (std::size_t e = 0; e < estados().size(); ++e) {
        const TEstado& Es = estados()[e];
        C.Fila(tEstados, {int(e) + 1, Es.sNombre, Es.nPais});
        for (const char* sCiudad : Es.Ciudades) {
            ++nCiudad;
            C.Fila(tCiudad, {nCiudad, sCiudad, int(e) + 1});
            (Es.nPais == 1 ? CiudadesMx : CiudadesExt).push_back(nCiudad);
            if (QByteArray(Es.sNombre) == "BAJA CALIFORNIA")
                CiudadesBC.push_back(nCiudad);
            if (QByteArray(sCiudad) == "TIJUANA")
                nTijuana = nCiudad;
            if (QString::fromUtf8(sCiudad) == Op.sCiudadSucursal)
                nSucursal = nCiudad;
            if (QByteArray(sCiudad) == "MEXICALI")
                nMexicali = nCiudad;
        }
    }

    // The exchange house: head office in Mexicali, this branch in Tijuana unless asked otherwise.
    const int tEmpresa = C.Tabla({"tEmpresa",
                                  {{"NumEmp", T::EnteroLargo},
                                   {"Empresa", T::Texto, 120},
                                   {"RFC", T::Texto, 13},
                                   {"RegistroCC", T::Texto, 20},
                                   {"NomComercial", T::Texto, 100},
                                   {"Domicilio", T::Texto, 150},
                                   {"CveCiudSuc", T::EnteroLargo},
                                   {"ClaveCiudad", T::EnteroLargo}}});
    C.Fila(tEmpresa, {MuestraTavoro::kEmpresaActiva, Op.sEmpresa, "CCF051123KJ4", Op.sRegistroCC,
                      "CAMBIOS LA FRONTERA", "AV. REVOLUCIÓN 1234, ZONA CENTRO", nSucursal, nMexicali});

    const int tSistema =
        C.Tabla({"tSistema",
                 {{"NumVersion", T::Doble}, {"FechaVersion", T::FechaHora}, {"Descripcion", T::Texto, 50}}});
    C.Fila(tSistema, {30.0, dia(2018, 10, 15), "VERSIÓN 30"});

    // Activities: the regulated ones the questionnaire recognises by code, and ordinary ones.
    const int tSector = C.Tabla(
        {"tSector",
         {{"ClaveSector", T::EnteroLargo}, {"Sector", T::Texto, 100}, {"ClaveActividad", T::Texto, 7}}});
    struct TSector
    {
        const char* sNombre;
        const char* sActividad;
    };
    const TSector kSectores[] = {
        {"NO APLICA", "0000000"},
        {"CASAS DE CAMBIO", "9503005"},
        {"CENTROS CAMBIARIOS", "6999992"},
        {"SOCIEDADES FINANCIERAS DE OBJETO MÚLTIPLE", "8123094"},
        {"UNIONES DE CRÉDITO", "9911018"},
        {"CASAS DE BOLSA", "8219025"},
        {"BANCA MÚLTIPLE", "8100000"},
        {"EMPLEADO DEL SECTOR PRIVADO", "9800015"},
        {"COMERCIO AL POR MENOR DE ABARROTES", "6211013"},
        {"COMPRAVENTA DE AUTOMÓVILES", "6231017"},
        {"RESTAURANTES", "8711013"},
        {"HOTELES", "8721011"},
        {"AGRICULTURA", "0111013"},
        {"GANADERÍA", "0211011"},
        {"CONSTRUCCIÓN DE INMUEBLES", "4111011"},
        {"TRANSPORTE DE CARGA", "7111011"},
        {"SERVICIOS PROFESIONALES", "8411011"},
        {"AGENCIAS DE VIAJES", "8523016"},
        {"IMPORTACIÓN Y EXPORTACIÓN", "6511014"},
        {"ESTUDIANTE", "9800031"},
        {"HOGAR", "9800023"},
        {"JUBILADO", "9800040"},
    };
    const int nSectores = int(std::size(kSectores));
    for (int i = 0; i < nSectores; ++i)
        C.Fila(tSector, {i + 1, kSectores[i].sNombre, kSectores[i].sActividad});
    constexpr int kNoAplica = 1, kCasaCambio = 2, kCentroCambiario = 3, kSofom = 4, kUnionCredito = 5,
                  kCasaBolsa = 6, kBanco = 7, kPrimerOrdinario = 8, kEstudiante = 20;

    const int tNivRiesgo =
        C.Tabla({"tNivRiesgo", {{"ClaveNivel", T::EnteroLargo}, {"NivelRiesgo", T::Texto, 20}}});
    C.Fila(tNivRiesgo, {1, "BAJO"});
    C.Fila(tNivRiesgo, {2, "MEDIO"});
    C.Fila(tNivRiesgo, {3, "ALTO"});

    const int tDivisas = C.Tabla({"tDivisas",
                                  {{"NumeroDivisa", T::EnteroLargo},
                                   {"Simbolo", T::Texto, 5},
                                   {"Descripcion", T::Texto, 50},
                                   {"Pagare", T::SiNo}}});
    for (const TDivisa& D : kDivisas)
        C.Fila(tDivisas, {D.nNumero, D.sSimbolo, D.sDescripcion, D.bPagare});

    // Clients.
    const int tCliente = C.Tabla({"tCliente",
                                  {{"ClaveCliente", T::Texto, 20},
                                   {"Nombre", T::Texto, 150},
                                   {"ApellidoPaterno", T::Texto, 50},
                                   {"ApellidoMaterno", T::Texto, 50},
                                   {"PersonaMoral", T::SiNo},
                                   {"Extranjero", T::SiNo},
                                   {"ClaveSector", T::EnteroLargo},
                                   {"Fideicomiso", T::SiNo},
                                   {"ClaveRiesgo", T::EnteroLargo},
                                   {"ClaveCiudad", T::EnteroLargo},
                                   {"NumEmp", T::EnteroLargo},
                                   {"RFC", T::Texto, 13},
                                   {"FechaAlta", T::FechaHora}}});
    std::vector<TCliente> Clientes;
    std::vector<TCliente> ClientesNaturalesNacionales;
    const QString sPublicoGeneral = QStringLiteral("10000000");
    auto cliente = [&](const QString& sNombre, const QVariant& vPaterno, const QVariant& vMaterno,
                       bool bMoral, bool bExtranjero, int nSector, bool bFide, int nRiesgo,
                       const QVariant& vCiudad, int nEmpresa) {
        const QString sClave =
            Clientes.empty() ? sPublicoGeneral : QString::number(10000000 + int(Clientes.size()));
        QString sRfc;
        if (!bExtranjero) {
            sRfc = (bMoral ? sNombre.left(3) : vPaterno.toString().left(2) + sNombre.left(2)).toUpper();
            sRfc += QString::number(A.Entre(600101, 991231)).rightJustified(6, u'0');
            sRfc += QStringLiteral("A%1").arg(A.Entre(10, 99));
        }
        C.Fila(tCliente,
               {sClave, sNombre, vPaterno, vMaterno, bMoral, bExtranjero, nSector, bFide, nRiesgo, vCiudad,
                nEmpresa, sRfc.isEmpty() ? Nulo : QVariant(sRfc.left(13)), dAlta + A.Entre(0, 1300)});
        Clientes.push_back({sClave, nEmpresa});
        if (!bMoral && !bExtranjero && nEmpresa == 1 && sClave != sPublicoGeneral)
            ClientesNaturalesNacionales.push_back({sClave, nEmpresa});
    };
    auto ciudadLocal = [&]() -> QVariant {
        return A.Prob(0.7) ? CiudadesBC[std::size_t(A.Entre(0, int(CiudadesBC.size()) - 1))]
                           : CiudadesMx[std::size_t(A.Entre(0, int(CiudadesMx.size()) - 1))];
    };
    cliente("PUBLICO EN GENERAL", Nulo, Nulo, false, false, kNoAplica, false, 1, Nulo, 1);
    // Regulated entities, trusts and technology-finance institutions.
    cliente("CASA DE CAMBIO DEL PACIFICO, S.A. DE C.V.", Nulo, Nulo, true, false, kCasaCambio, false, 2,
            nTijuana, 1);
    cliente("CENTRO CAMBIARIO EL DORADO, S.A. DE C.V.", Nulo, Nulo, true, false, kCentroCambiario, false, 2,
            nMexicali, 1);
    cliente("FINANCIERA DEL NOROESTE, S.A. DE C.V., SOFOM, E.N.R.", Nulo, Nulo, true, false, kSofom, false, 1,
            nTijuana, 1);
    cliente("UNION DE CREDITO AGRICOLA DE MEXICALI, S.A. DE C.V.", Nulo, Nulo, true, false, kUnionCredito,
            false, 1, nMexicali, 1);
    cliente("VALORES Y BOLSA DEL NORTE, S.A. DE C.V., CASA DE BOLSA", Nulo, Nulo, true, false, kCasaBolsa,
            false, 2, Nulo, 1);
    cliente("BANCO REGIONAL FRONTERIZO, S.A., INSTITUCION DE BANCA MULTIPLE", Nulo, Nulo, true, false, kBanco,
            false, 1, nTijuana, 1);
    cliente("FIDEICOMISO F/1045 DESARROLLO PLAYAS", Nulo, Nulo, true, false, kPrimerOrdinario + 6, true, 3,
            nTijuana, 1);
    cliente("FIDEICOMISO DE INVERSION INMOBILIARIA COSTA AZUL", Nulo, Nulo, true, false, kPrimerOrdinario + 6,
            true, 2, Nulo, 1);
    cliente("FONDEADORA DIGITAL, S.A.P.I. DE C.V., INSTITUCION DE FINANCIAMIENTO COLECTIVO", Nulo, Nulo, true,
            false, kPrimerOrdinario + 8, false, 2, nTijuana, 1);
    cliente("Prestamos Entre Amigos, S.A.P.I. de C.V., Institucion de Financiamiento Colectivo", Nulo, Nulo,
            true, false, kPrimerOrdinario + 8, false, 2, Nulo, 1);
    cliente("PAGOS AL INSTANTE, S.A. DE C.V., INSTITUCION DE DE FONDOS DE PAGO ELECTRONICO", Nulo, Nulo, true,
            false, kPrimerOrdinario + 8, false, 3, nMexicali, 1);
    const int nClientes = Op.nClientes > 0 ? std::max(Op.nClientes, int(Clientes.size()) + 1)
                                           : std::max(60, std::min(Op.nOperaciones / 12, 60000));
    while (int(Clientes.size()) < nClientes) {
        const int nEmpresa = A.Prob(0.04) ? 2 : 1;
        const int nRiesgo = A.Prob(0.70) ? 1 : (A.Prob(0.73) ? 2 : 3);
        const int nSector = A.Prob(0.15) ? kNoAplica : A.Entre(kPrimerOrdinario, nSectores);
        if (A.Prob(0.18)) {
            const QString sNombre =
                QStringLiteral("%1 %2, S.A. DE C.V.").arg(A.Uno(kRazones), A.Uno(kRazones2));
            const bool bExtranjera = A.Prob(0.05);
            cliente(bExtranjera ? QStringLiteral("%1 %2 INC.").arg(A.Uno(kRazones2), "TRADING") : sNombre,
                    Nulo, Nulo, true, bExtranjera, nSector, A.Prob(0.02), nRiesgo,
                    bExtranjera ? QVariant(A.Uno(CiudadesExt)) : ciudadLocal(), nEmpresa);
        } else if (A.Prob(0.10)) {
            cliente(A.Uno(kNombresExtranjeros), QString::fromUtf8(A.Uno(kApellidosExtranjeros)), Nulo, false,
                    true, A.Prob(0.5) ? kNoAplica : nSector, false, nRiesgo,
                    A.Prob(0.6) ? QVariant(A.Uno(CiudadesExt)) : ciudadLocal(), nEmpresa);
        } else {
            const QString sNombre = QString::fromUtf8(A.Prob(0.5) ? A.Uno(kNombresH) : A.Uno(kNombresM));
            const QVariant vMaterno = A.Prob(0.03) ? Nulo : QVariant(QString::fromUtf8(A.Uno(kApellidos)));
            cliente(sNombre, QString::fromUtf8(A.Uno(kApellidos)), vMaterno, false, false,
                    A.Prob(0.05) ? kEstudiante : nSector, false, nRiesgo, A.Prob(0.06) ? Nulo : ciudadLocal(),
                    nEmpresa);
        }
    }

    // Operations: folios of one to three lines over the last years up to 2019 (2016-2019 unless
    // told otherwise), about one in twelve kept in the table of operations in process.
    const TDefinicionTabla DefOps{QString(),
                                  {{"Tipo", T::Texto, 1},
                                   {"Folio", T::EnteroLargo},
                                   {"Fecha", T::FechaHora},
                                   {"NumeroDivisa", T::EnteroLargo},
                                   {"Cotizacion", T::Moneda},
                                   {"Cantidad", T::Doble},
                                   {"ClaveCliente", T::Texto, 20},
                                   {"NumEmp", T::EnteroLargo},
                                   {"Cancelado", T::SiNo}}};
    TDefinicionTabla Def = DefOps;
    Def.sNombre = QStringLiteral("tMovtos");
    const int tMovtos = C.Tabla(Def);
    Def.sNombre = QStringLiteral("tProces");
    const int tProces = C.Tabla(Def);
    std::vector<int> ClientesEmpresa1, ClientesEmpresa2;
    for (int i = 1; i < int(Clientes.size()); ++i)
        (Clientes[std::size_t(i)].nEmpresa == 1 ? ClientesEmpresa1 : ClientesEmpresa2).push_back(i);
    const QString sCompra = QStringLiteral("C"), sVenta = QStringLiteral("V");
    const double dInicio = dia(2020 - Op.nAnios, 1, 4), dFin = dia(2019, 12, 28);
    const int nFoliosEstimados = std::max(1, int(Op.nOperaciones / 1.15));
    int nFilas = 0;
    int nFolio = 100000;
    QVariantList Fila;
    Fila.reserve(9);
    while (nFilas < Op.nOperaciones && C.Ok()) {
        ++nFolio;
        const double dDia =
            std::floor(dInicio + (dFin - dInicio) * double(nFolio - 100001) / nFoliosEstimados);
        const double dFecha = std::min(dDia, dFin) + hora(A);
        const QDate Fecha = QDate(1899, 12, 30).addDays(qint64(dFecha));
        const int nMes = std::clamp((Fecha.year() - 2016) * 12 + Fecha.month() - 1, 0, 47);
        const double dDolar = kDolarMensual[nMes] + (A.Uniforme() - 0.5) * 0.3;
        const bool bCompra = A.Prob(0.55);
        const int nEmpresa = A.Prob(0.04) ? 2 : 1;
        QString sCliente = sPublicoGeneral;
        if (nEmpresa == 2 && !ClientesEmpresa2.empty())
            sCliente = Clientes[std::size_t(A.Uno(ClientesEmpresa2))].sClave;
        else if (nEmpresa == 1 && !A.Prob(0.35))
            sCliente = Clientes[std::size_t(A.Uno(ClientesEmpresa1))].sClave;
        const bool bCancelado = A.Prob(0.025);
        const int tDestino = A.Prob(Op.dEnProceso) ? tProces : tMovtos;
        const int nLineas = A.Prob(0.88) ? 1 : (A.Prob(0.75) ? 2 : 3);
        const bool bMismaDivisa = A.Prob(0.5);
        const double u = A.Uniforme();
        int nDivisa = u < 0.75   ? 0
                      : u < 0.85 ? 1
                      : u < 0.90 ? 2
                      : u < 0.93 ? 3
                      : u < 0.95 ? 4
                      : u < 0.97 ? 5
                                 : 6;
        double dCotizacion = 0;
        for (int l = 0; l < nLineas && nFilas < Op.nOperaciones; ++l) {
            if (l == 0 || !bMismaDivisa) {
                if (l > 0)
                    nDivisa = (nDivisa + A.Entre(1, 5)) % int(kDivisas.size());
                const TDivisa& D = kDivisas[std::size_t(nDivisa)];
                const double dBase = dDolar * D.dFactor;
                dCotizacion = redondea(dBase * (bCompra ? 0.982 : 1.018), D.nDecimales);
            }
            const TDivisa& D = kDivisas[std::size_t(nDivisa)];
            double dCantidad = double(A.Entre(D.nMin, D.nMax) * D.nPaso);
            if (A.Prob(0.01))
                dCantidad *= 8; // an occasional large operation
            Fila.clear();
            Fila << (bCompra ? sCompra : sVenta) << nFolio << dFecha << D.nNumero << dCotizacion << dCantidad
                 << sCliente << nEmpresa << bCancelado;
            C.Fila(tDestino, Fila);
            ++nFilas;
        }
    }

    // Alerts: unusual ('I') and worrying ('P') operations, some reported; a few clients whose
    // unusual-operation records of 2018 mention a politically exposed person.
    const int tRelevan = C.Tabla({"tRelevan",
                                  {{"NoRelevan", T::EnteroLargo},
                                   {"Fecha", T::FechaHora},
                                   {"TipoRelev", T::Texto, 1},
                                   {"EliminXAnt", T::SiNo},
                                   {"Reportada", T::SiNo},
                                   {"FecReporte", T::FechaHora},
                                   {"Observaciones", T::Memo},
                                   {"ClaveCliente", T::Texto, 20},
                                   {"NumEmp", T::EnteroLargo}}});
    int nRelevan = 0;
    auto alerta = [&](double dFecha, const char* sTipo, bool bElimin, bool bReportada,
                      const QVariant& vFecReporte, const QString& sObs, const QString& sCliente,
                      int nEmpresa) {
        C.Fila(tRelevan,
               {++nRelevan, dFecha, sTipo, bElimin, bReportada, vFecReporte, sObs, sCliente, nEmpresa});
    };
    const QStringList kObservaciones = {
        QStringLiteral("OPERACIÓN EN EFECTIVO POR ARRIBA DEL PROMEDIO HABITUAL DEL CLIENTE."),
        QStringLiteral("CLIENTE FRACCIONA OPERACIONES EN EL MISMO DÍA PARA NO REBASAR EL LÍMITE."),
        QStringLiteral("MONTO INUSUAL"),
        QStringLiteral("EL CLIENTE SE NEGÓ A PROPORCIONAR INFORMACIÓN SOBRE EL ORIGEN DE LOS RECURSOS; SE "
                       "SOLICITÓ IDENTIFICACIÓN ADICIONAL Y COMPROBANTE DE DOMICILIO, QUE NO PRESENTÓ."),
        QStringLiteral("EMPLEADO REALIZA OPERACIONES FUERA DE SU HORARIO."),
        QStringLiteral("OPERACIONES FRECUENTES CON BILLETES DE baja denominación"),
    };
    const int nAlertas = std::max(40, Op.nOperaciones / 150);
    for (int i = 0; i < nAlertas && C.Ok(); ++i) {
        const double dFecha = dInicio + std::floor((dFin - dInicio) * i / nAlertas) + hora(A);
        const bool bInusual = A.Prob(0.6);
        const bool bReportada = A.Prob(0.4);
        QVariant vFecReporte = Nulo;
        if (bReportada)
            vFecReporte = std::floor(dFecha) + A.Entre(1, 30);
        else if (A.Prob(0.2))
            vFecReporte = 0.0;
        const int nEmpresa = A.Prob(0.05) ? 2 : 1;
        const std::vector<int>& Lista = nEmpresa == 1 ? ClientesEmpresa1 : ClientesEmpresa2;
        const QString sCliente = Lista.empty() ? sPublicoGeneral : Clientes[std::size_t(A.Uno(Lista))].sClave;
        alerta(dFecha, bInusual ? "I" : "P", A.Prob(0.05), bReportada, vFecReporte, A.Uno(kObservaciones),
               sCliente, nEmpresa);
    }
    // Marked as reported, with no report date: counts as registered but not as reported.
    alerta(dia(2018, 4, 10) + 0.5, "I", false, true, 0.0, QStringLiteral("REPORTE PENDIENTE DE FECHA"),
           sPublicoGeneral, 1);
    const auto& Pep = ClientesNaturalesNacionales;
    if (Pep.size() >= 5) {
        alerta(dia(2018, 2, 14) + 0.45, "I", false, true, dia(2018, 3, 1),
               QStringLiteral(
                   "CLIENTE ES PEP: PRESIDENTE MUNICIPAL SUPLENTE. SE APLICA DEBIDA DILIGENCIA REFORZADA."),
               Pep[0].sClave, 1);
        alerta(dia(2018, 7, 3) + 0.61, "I", false, false, Nulo,
               QStringLiteral(
                   "Persona políticamente expuesta (PEP) nacional; operación en efectivo por 9,800 USD."),
               Pep[1].sClave, 1);
        alerta(
            dia(2018, 9, 21) + 0.38, "I", false, false, Nulo,
            QStringLiteral("CÓNYUGE DE DIPUTADO LOCAL, CONSIDERADO PEP POR PARENTESCO. ") +
                QStringLiteral("SE DOCUMENTA EL ORIGEN DE LOS RECURSOS CON ESTADOS DE CUENTA. ").repeated(90),
            Pep[2].sClave, 1);
        alerta(dia(2018, 11, 5) + 0.7, "I", false, true, dia(2018, 11, 30),
               QStringLiteral("SEGUNDO AVISO: PEP"), Pep[2].sClave, 1);
        alerta(dia(2018, 12, 31) + 0.9, "I", false, false, Nulo,
               QStringLiteral("EXFUNCIONARIO ESTATAL (PEP)"), Pep[3].sClave, 1);
        // Not PEP candidates: another period, another kind, another company.
        alerta(dia(2017, 6, 12) + 0.5, "I", false, false, Nulo, QStringLiteral("PEP EXTRANJERO"),
               Pep[4].sClave, 1);
        alerta(dia(2018, 5, 2) + 0.5, "P", false, false, Nulo, QStringLiteral("POSIBLE PEP, SIN CONFIRMAR"),
               Pep[4].sClave, 1);
        if (!ClientesEmpresa2.empty())
            alerta(dia(2018, 8, 8) + 0.5, "I", false, false, Nulo, QStringLiteral("PEP DE OTRA SUCURSAL"),
                   Clientes[std::size_t(ClientesEmpresa2[0])].sClave, 2);
    }

    const int tMsgInterno = C.Tabla({"tMsgInterno",
                                     {{"Numero", T::EnteroLargo},
                                      {"Fecha", T::FechaHora},
                                      {"ClaveEmp", T::Texto, 10},
                                      {"Mensaje", T::Memo},
                                      {"NumEmp", T::EnteroLargo}}});
    const int nMensajes = std::max(12, Op.nOperaciones / 1000);
    for (int i = 0; i < nMensajes && C.Ok(); ++i)
        C.Fila(tMsgInterno,
               {i + 1, dInicio + std::floor((dFin - dInicio) * i / nMensajes) + hora(A),
                A.Prob(0.5) ? "CAJERO1" : "AUXILIAR",
                QStringLiteral("Aviso interno: cliente con comportamiento inusual en ventanilla (%1).")
                    .arg(i + 1),
                1});
    if (!C.Ok())
        return nullptr;
    return pE;
}

bool GeneraMuestraTavoro(const QString& sCarpeta, const TOpcionesMuestra& Op, QString* psError)
{
    auto pE = CreaBaseMuestraTavoro(Op, psError);
    if (!pE)
        return false;
    QDir Dir(sCarpeta);
    if (!Dir.mkpath(QStringLiteral("DataBase")))
        return falla(psError,
                     QStringLiteral("No se puede crear la carpeta %1.").arg(Dir.filePath("DataBase")));
    QSaveFile Ini(Dir.filePath(QStringLiteral("Tavoro.INI")));
    const QByteArray Texto =
        QStringLiteral("[Control]\r\nEmpresaActiva=%1\r\n").arg(MuestraTavoro::kEmpresaActiva).toLatin1();
    if (!Ini.open(QIODevice::WriteOnly) || Ini.write(Texto) != Texto.size() || !Ini.commit())
        return falla(psError,
                     QStringLiteral("No se puede escribir %1: %2").arg(Ini.fileName(), Ini.errorString()));
    if (!pE->Guarda(Dir.filePath(QStringLiteral("DataBase/Tavoro.mdb"))))
        return falla(psError, pE->Error());
    return true;
}
