#include "sim/demo_data.h"

#include <cstdint>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "sim/register_state.h"

namespace kasa::sim {

namespace {

struct DemoGoods {
    const char* name;
    const char* ean12;  // the code without its check digit
    const char* price;
    int vat;  // 0 = A .. 6 = G
    bool fractions;
    int packaging;
    int group;
};

constexpr DemoGoods kGoods[] = {
    {"Chleb żytni", "590123412345", "4.99", 2, false, 0, 1},
    {"Masło ekstra", "590000112233", "7.49", 2, false, 0, 2},
    {"Mleko 3,2% 1l", "590567800011", "3.29", 2, false, 0, 2},
    {"Jabłka kg", "200000000011", "3.99", 2, true, 0, 3},
    {"Woda źródlana", "590400012345", "1.99", 1, false, 1, 4},
    {"Ser żółty kg", "200000000028", "32.90", 2, true, 0, 2},
    {"Kiełbasa śląska", "590311122233", "24.50", 2, true, 0, 5},
    {"Śmietana 18%", "590567800028", "2.89", 2, false, 0, 2},
    {"Pączek z różą", "200000000035", "2.50", 1, false, 0, 1},
    {"Piwo jasne 0,5l", "590099900011", "3.79", 0, false, 1, 4},
    {"Sok pomarańcz.", "590400067890", "5.49", 1, false, 0, 4},
    {"Ogórki kiszone", "200000000042", "9.90", 2, true, 0, 3},
    {"Herbata czarna", "590011122299", "8.99", 0, false, 0, 6},
    {"Kawa mielona", "590011122305", "19.99", 0, false, 0, 6},
    {"Mąka pszenna", "590123400017", "3.49", 2, false, 0, 1},
};

std::string Fit(const char* text, size_t characters) {
    return Utf8Prefix(text, characters);
}

}  // namespace

int Ean13CheckDigit(const char* twelveDigits) {
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        const int digit = twelveDigits[i] - '0';
        sum += (i % 2 == 0) ? digit : 3 * digit;
    }
    return (10 - sum % 10) % 10;
}

void LoadDemoData(RegisterState& state) {
    const bool zen = state.type == RegisterType::Zen;

    // Goods: name, code, price, flag byte, stock, value, sold, value sold, group byte.
    int number = 1;
    for (const auto& g : kGoods) {
        std::string code = g.ean12;
        code += static_cast<char>('0' + Ean13CheckDigit(g.ean12));
        int flags = (g.packaging << 4) | g.vat;
        if (zen && g.fractions) {
            flags |= 8;
        }
        const int groupByte = zen ? 0 : 128 + g.group;
        auto& record = state.Record(7, number);
        record = {Fit(g.name, zen ? 15 : 16),
                  code,
                  g.price,
                  std::to_string(flags),
                  zen ? "12.000" : "120.500",
                  "0.00",
                  zen ? "0" : "35.250",
                  "0.00",
                  std::to_string(groupByte)};
        ++number;
    }

    state.Record(0, 1) = {"Butelka 0,5l", "0.50", "12.00", "7.00", "5.00", "0"};
    state.Record(0, 2) = {"Skrzynka", "10.00", "0.00", "0.00", "0.00", "0"};
    // A negative balance is kept as 100000000 - x.
    state.Record(0, 3) = {"Butelka zwrotna 1l", "0.70", "1.40", "4.20", "99999997.20", "0"};

    for (int key = 1; key <= 8; ++key) {
        const int quantity = 1;
        const int endOfTransaction = key == 8 ? 16 : 0;
        state.Record(1, key) = {std::to_string(key), std::to_string(quantity | endOfTransaction)};
    }

    const char* cashiers[] = {"Kierownik", "Anna", "Paweł", "Łucja"};
    for (int i = 0; i < 4; ++i) {
        std::vector<std::string> record = {Fit(cashiers[i], zen ? 6 : 10),
                                           i == 0 ? "1111" : std::to_string(2000 + i), "1", "2"};
        for (int amount = 0; amount < 20; ++amount) {
            record.push_back(amount == 0 ? "1520.40" : amount == 5 ? "300.00" : "0.00");
        }
        record.push_back(std::to_string(42 + i));
        if (zen) {
            record.push_back("0 0");
            record.push_back("0");
        } else {
            // Held as the program sends it: complemented and masked. Everything is
            // allowed for the manager, less for the rest.
            const uint32_t shown = i == 0 ? 0x8FFFFFFFu : 0x0000FFFFu;
            record.push_back(std::to_string(static_cast<int32_t>(~shown & 0x8FFFFFFFu)));
        }
        record.push_back("0");
        state.Record(2, i + 1) = record;
    }

    const char* forms[] = {"Gotówka", "Karta", "Czek", "Bon", "Euro", "Przelew"};
    const int formCount = zen ? 4 : 6;
    for (int i = 0; i < formCount; ++i) {
        state.Record(4, i + 1) = {forms[i], "0.00", i == 4 ? "4.250000" : "1.000000", "0"};
    }

    // Discounts 1-4 and surcharges 5-8 share one database; r = 1000 -/+ 10 * percent.
    state.Record(5, 1) = {"Rabat stały", "950", "0.00", "0"};
    state.Record(5, 2) = {"Rabat 15%", "850", "0.00", "0"};
    state.Record(5, 5) = {"Dopłata nocna", "1100", "0.00", "0"};
    state.Record(5, 6) = {"Dopłata 15%", "1150", "0.00", "0"};
}

}  // namespace kasa::sim
