#include "cli/fault_option_help.h"

namespace kasa::cli {

const char* const kFaultOptionHelp =
    "  --usterka RODZAJ[:co=N|:po=N|:raz]\n"
    "                    usterka kasy: domyślnie raz, przy następnej odpowiedzi;\n"
    "                    co=N co N-ta odpowiedź, po=N każda od N-tej; można podać\n"
    "                    kilka razy. RODZAJ:\n"
    "                    brak-odpowiedzi  kasa nie odpowiada\n"
    "                    spozniona[=MS]   odpowiedź po MS ms (domyślnie 6000)\n"
    "                    podzielona[=MS]  odpowiedź w dwóch częściach MS ms od siebie\n"
    "                                     (domyślnie 100)\n"
    "                    suma             błędna suma kontrolna odpowiedzi\n"
    "                    stary-numer      najpierw odpowiedź z poprzednim numerem\n"
    "                    smieci-przed     przypadkowe bajty przed odpowiedzią\n"
    "                    smieci-po        przypadkowe bajty po odpowiedzi\n"
    "                    zerwanie         połowa odpowiedzi, potem linia milknie\n"
    "                    znikniecie       kasa znika razem z portem (wyjęty kabel USB)\n"
    "                    status=KOD       odpowiedź samym kodem statusu KOD (0–255)\n"
    "                    ignoruje-zapis   kasa potwierdza zapis (rekordu, nagłówka, stawek\n"
    "                                     VAT), ale nic nie zmienia; liczą się tylko\n"
    "                                     zapisy (ignoruje-zapis:po=1 – każdy)\n";

}  // namespace kasa::cli
