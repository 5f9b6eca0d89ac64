#include "ecr/clock_settings.h"

#include <ctime>

#include "base/local_time.h"
#include "base/number_text.h"
#include "base/user_interface.h"
#include "ecr/record_codec.h"
#include "ecr/vat_totals.h"

namespace kasa {

namespace {

int FromBcd(uint8_t b) {
    return (b >> 4) * 10 + (b & 15);
}

int DaysInMonth(int month, int year) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year % 4 == 0) {
        return 29;
    }
    return month >= 1 && month <= 12 ? kDays[month - 1] : 31;
}

std::string TwoDigits(int v) {
    return (v < 10 ? "0" : "") + DecimalText(v);
}

}  // namespace

ClockValue ClockFromBytes(const uint8_t bytes[7]) {
    ClockValue v;
    v.second = static_cast<uint16_t>(FromBcd(bytes[0]));
    v.minute = static_cast<uint16_t>(FromBcd(bytes[1]));
    v.hour = static_cast<uint16_t>(FromBcd(bytes[2]));
    v.day = static_cast<uint16_t>(FromBcd(bytes[3]));
    v.month = static_cast<uint16_t>(FromBcd(bytes[4]));
    const int high = FromBcd(bytes[6]);
    v.year = static_cast<uint16_t>(high != 0 ? high * 100 + FromBcd(bytes[5])
                                             : 2000 + FromBcd(bytes[5]));
    return v;
}

bool ReadClock(ECRClass& ecr, ClockValue& value) {
    if (!ecr.ReadAnswer('L', 'l')) {
        return false;
    }
    iBuffer bytes(ecr.answerBuffer);
    bytes.FromHexText();
    if (bytes.Length() < 7) {
        return false;
    }
    value = ClockFromBytes(bytes.Data());
    return true;
}

bool SetClock(ECRClass& ecr, const ClockValue& value) {
    if (!ecr.InitTransmission()) {
        return false;
    }
    iBuffer& request = ecr.BeginRequest();
    request.AppendByte('Y');
    const int year = value.year < 100 ? value.year + 2000 : value.year;
    for (const int part : {value.second, value.minute, value.hour, value.day, value.month}) {
        EncodeField(request, kFieldTwoDigits, static_cast<int32_t>(part));
    }
    EncodeField(request, kFieldCount4, static_cast<int32_t>(year));
    // A register in fiscal mode answers with a refusal, which must not pass for success.
    return ecr.Request(request) && ecr.statusCode == 0;
}

bool SendSettings(ECRClass& ecr, int optionBits) {
    if (!ecr.InitTransmission()) {
        return false;
    }
    iBuffer& request = ecr.BeginRequest({optionBits});
    request.AppendByte('W');
    return ecr.Request(request) && ecr.statusCode == 0;
}

ClockValue ClockTick(const ClockValue& value) {
    ClockValue v = value;
    if (++v.second < 60) {
        return v;
    }
    v.second = 0;
    if (++v.minute < 60) {
        return v;
    }
    v.minute = 0;
    if (++v.hour < 24) {
        return v;
    }
    v.hour = 0;
    if (++v.day <= DaysInMonth(v.month, v.year)) {
        return v;
    }
    v.day = 1;
    if (++v.month <= 12) {
        return v;
    }
    v.month = 1;
    ++v.year;
    return v;
}

std::string ClockText(const ClockValue& v) {
    std::string year = DecimalText(v.year);
    year.insert(0, year.size() < 4 ? 4 - year.size() : 0, '0');
    return year + "-" + TwoDigits(v.month) + "-" + TwoDigits(v.day) + " " + TwoDigits(v.hour) +
           ":" + TwoDigits(v.minute) + ":" + TwoDigits(v.second);
}

ClockValue LocalClockValue() {
    const std::time_t now = std::time(nullptr);
    const std::tm tm = LocalTimeOf(now);
    ClockValue v;
    v.year = static_cast<uint16_t>(tm.tm_year + 1900);
    v.month = static_cast<uint16_t>(tm.tm_mon + 1);
    v.day = static_cast<uint16_t>(tm.tm_mday);
    v.hour = static_cast<uint16_t>(tm.tm_hour);
    v.minute = static_cast<uint16_t>(tm.tm_min);
    v.second = static_cast<uint16_t>(tm.tm_sec);
    return v;
}

RegisterSettingsMapping MapRegisterSettings(const RegisterSettingsChoice& choice) {
    RegisterSettingsMapping m;
    // Item 2 reads "Wyświetlacz-OFF, RS-OFF", so both flags are off.
    static constexpr int kDisplay[] = {1, 0, 1, 0};
    static constexpr int kRs[] = {0, 0, 1, 1};
    const int item =
        choice.errorHandling >= 0 && choice.errorHandling < 4 ? choice.errorHandling : 0;
    m.display = kDisplay[item];
    m.rs = kRs[item];
    if (m.display == 1 && m.rs == 0) {
        m.mode = 0;
    } else if (m.display == 1 && m.rs == 1) {
        m.mode = 2;
    } else if (m.display == 0 && m.rs == 1) {
        m.mode = 3;
    } else {
        m.mode = 1;
    }
    m.optionBits = (choice.amountEntry != 0 ? 1 : 0) | (choice.afterSale != 0 ? 2 : 0) |
                   (choice.workMode != 0 ? 4 : 0);
    return m;
}

bool ShowClock(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
               ClockValue& value) {
    if (busy) {
        ui.Message(caption, kBusyMessage);
        return false;
    }
    ClockValue read;
    if (!ReadClock(ecr, read)) {
        ui.Message(caption, kClockFailureMessage);
        return false;
    }
    value = read;
    ecr.CloseTransmission();
    return true;
}

bool ProgramClock(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                  bool fiscalChecked, const ClockValue& now) {
    if (ProgrammingRefused(ecr, ui, caption, busy, fiscalChecked,
                           "Programowanie zegara z interfejsu szeregowego\njest możliwe tylko "
                           "w trybie niefiskalnym.")) {
        return false;
    }
    if (!SetClock(ecr, now)) {
        ui.Message(caption, ecr.WithRegisterReason(kClockFailureMessage));
        return false;
    }
    ecr.CloseTransmission();
    return true;
}

bool SendRegisterSettings(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                          const RegisterSettingsChoice& choice, uint8_t statusFlags[2]) {
    const RegisterSettingsMapping m = MapRegisterSettings(choice);
    if (busy) {
        ui.Message(caption,
                   "Uruchomiony jest proces odczytu.\nPoczekaj na jego zakończenie i\nwcisnij "
                   "przycisk ponownie.");
        return false;
    }
    ecr.savedMode = m.mode;
    statusFlags[0] = static_cast<uint8_t>(m.display);
    statusFlags[1] = static_cast<uint8_t>(m.rs);
    if (!SendSettings(ecr, m.optionBits)) {
        ui.Message(caption, kClockFailureMessage);
        return false;
    }
    ecr.CloseTransmission();
    return true;
}

}  // namespace kasa
