#include "ecr/cashier_permissions.h"

#include <charconv>

#include "base/key_value_file.h"
#include "base/number_text.h"

namespace kasa {

namespace {

using G = PermissionGroup;

constexpr std::array<PermissionInfo, kPermissionCount> kPermissions = {{
    {"c_sprzedaz", "Sprzedaż", G::kGeneral},
    {"c_strorno", "Storno", G::kSale},
    {"c_anuluj", "Anulacja paragonu", G::kSale},
    {"c_wplata", "Wpłaty / wypłaty", G::kSale},
    {"c_rabat_baza", "Rabat z bazy", G::kSale},
    {"c_rabat_reka", "Rabat z ręki", G::kSale},
    {"c_zmiana_ceny", "Zmiana ceny", G::kSale},
    {"c_otwarcie_szuflady", "Otwarcie szuflady", G::kSale},
    {"c_raport_szybki", "Raport szybki", G::kSale},
    {"c_raport", "RAPORTY", G::kGeneral},
    {"c_raport_ej", "Raportowanie z Kopii Elektronicznej", G::kReading},
    {"c_raport_zerujacy", "RAPORTY ZERUJĄCE", G::kZeroing},
    {"c_raport_lancuch", "Raport łańcuchowy", G::kReading},
    {"c_raport_dobowy", "Raport dobowy", G::kZeroing},
    {"c_raport_okresowy", "Raport okresowy", G::kReading},
    {"c_raport_kasjera", "Raporty kasjera", G::kZeroing},
    {"c_raport_zmiany", "Raport zmiany", G::kZeroing},
    {"c_raport_sprzedaz", "Raport sprzedaży", G::kZeroing},
    {"c_raport_magazyn", "Raport magazynowy", G::kReading},
    {"c_raport_form", "Raport form płatności", G::kReading},
    {"c_raport_opakowan", "Raport opakowań zwrotnych", G::kReading},
    {"c_raport_grup", "Raport grup towarowych", G::kReading},
    {"c_raport_baz", "Raporty baz danych", G::kReading},
    {"c_raport_PLU", "Raport PLU z Vat", G::kReading},
    {"c_raport_napisow", "Raport napisów stałych", G::kReading},
    {"c_programowanie", "Programowanie", G::kGeneral},
    {"c_konfiguracja", "Konfiguracja", G::kGeneral},
    {"c_komputer", "Komputer", G::kGeneral},
    {"c_serwis", "Serwis", G::kGeneral},
}};

constexpr std::string_view kBreak = ";;";

int BitOf(int permission) {
    return permission == kPermissionCount - 1 ? 31 : permission;
}

std::string Replaced(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, start)) {
        out.append(text.substr(start, at - start)).append(to);
        start = at + from.size();
    }
    return out.append(text.substr(start));
}

std::string Folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

WriteResult Refused(std::string message) {
    WriteResult result;
    result.message = std::move(message);
    return result;
}

std::string FileRefusal(const KeyValueFile& file) {
    if (file.ReadFailed() || file.NotText()) {
        return "Nie można odczytać pliku z profilami kasjerów\n" + file.FileName() + ".";
    }
    return {};
}

}  // namespace

const std::array<PermissionInfo, kPermissionCount>& Permissions() {
    return kPermissions;
}

PermissionMask PackPermissions(const PermissionFlags& flags) {
    PermissionMask mask = 0;
    for (int i = 0; i < kPermissionCount; ++i) {
        if (flags[static_cast<size_t>(i)]) {
            mask |= PermissionMask{1} << BitOf(i);
        }
    }
    return mask;
}

PermissionFlags UnpackPermissions(PermissionMask mask) {
    PermissionFlags flags{};
    for (int i = 0; i < kPermissionCount; ++i) {
        flags[static_cast<size_t>(i)] = ((mask >> BitOf(i)) & 1) != 0;
    }
    return flags;
}

std::string RegisterFormText(PermissionMask mask) {
    return "(0x" + HexText(~mask & kAllPermissions, 8) + ")";
}

std::string PermissionFieldText(PermissionMask mask) {
    return std::to_string(mask) + " " + RegisterFormText(mask);
}

std::vector<PermissionProfile> BuiltInProfiles() {
    return {{kAllPermissions, "Wszystkie uprawnienia",
             "Domyślny profil obsługi.;;Kasjer ma prawo zrobić wszystko.;;Posiada wszystkie "
             "uprawnienia administratora."},
            {191, "Sprzedawca",
             "Domyślny drugi profil.;;Kasjer obsługuje sprzedaż.;;Brak dostępu do funkcji "
             "zdalnych;;raportowania oraz programowania."}};
}

PermissionProfile ParseProfile(std::string_view name, std::string_view value) {
    PermissionProfile profile;
    profile.name = std::string(name);
    const size_t at = value.find(kBreak);
    if (at == std::string_view::npos) {
        profile.description = std::string(value);
        return profile;
    }
    const std::string_view number = Trimmed(value.substr(0, at));
    std::from_chars(number.data(), number.data() + number.size(), profile.mask);
    profile.description = std::string(value.substr(at + kBreak.size()));
    return profile;
}

std::string ProfileValue(const PermissionProfile& profile) {
    std::string description = Replaced(profile.description, "\r\n", kBreak);
    description = Replaced(Replaced(description, "\n", kBreak), "\r", kBreak);
    return std::to_string(profile.mask) + std::string(kBreak) + description;
}

std::string DescriptionHint(std::string_view description) {
    return Replaced(description, kBreak, "\n");
}

std::string ProfileNameRefusal(std::string_view name) {
    if (Trimmed(name).empty()) {
        return "Nazwa profilu nie może być pusta.";
    }
    if (name.find('=') != std::string_view::npos || name.front() == ';' || name.front() == '[' ||
        name.find_first_of("\r\n") != std::string_view::npos) {
        return "Nazwa profilu nie może zawierać znaku „=” ani podziału wiersza\ni nie może "
               "zaczynać się od „;” ani „[”.";
    }
    return {};
}

ProfileList LoadProfiles(const std::string& path) {
    ProfileList list{BuiltInProfiles(), {}};
    if (path.empty()) {
        return list;
    }
    const KeyValueFile file(LiteralFileName{}, path);
    // A file not made yet is no fault: the first saved profile makes it.
    list.message = FileRefusal(file);
    for (const std::string& key : file.KeyNames(kProfileSection)) {
        list.profiles.push_back(ParseProfile(key, file.ReadString(kProfileSection, key)));
    }
    return list;
}

WriteResult SaveProfile(const std::string& path, const PermissionProfile& profile) {
    if (std::string refusal = ProfileNameRefusal(profile.name); !refusal.empty()) {
        return Refused(std::move(refusal));
    }
    KeyValueFile file(LiteralFileName{}, path);
    if (std::string refusal = FileRefusal(file); !refusal.empty()) {
        return Refused(std::move(refusal));
    }
    file.WriteString(kProfileSection, profile.name, ProfileValue(profile));
    return file.Write();
}

WriteResult DeleteProfile(const std::string& path, const std::string& name) {
    KeyValueFile file(LiteralFileName{}, path);
    if (std::string refusal = FileRefusal(file); !refusal.empty()) {
        return Refused(std::move(refusal));
    }
    file.DeleteKey(kProfileSection, name);
    return file.Write();
}

std::optional<PermissionMask> PermissionsFromNames(std::string_view names, std::string& error) {
    PermissionFlags flags{};
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(',', start);
        if (end == std::string_view::npos) {
            end = names.size();
        }
        const std::string_view given = Trimmed(names.substr(start, end - start));
        const std::string name = Folded(given);
        start = end + 1;
        if (name.empty()) {
            continue;
        }
        bool found = false;
        for (int i = 0; i < kPermissionCount; ++i) {
            if (Folded(kPermissions[static_cast<size_t>(i)].caption) == name ||
                Folded(kPermissions[static_cast<size_t>(i)].boxName) == name) {
                flags[static_cast<size_t>(i)] = found = true;
            }
        }
        if (!found) {
            error = "Nieznane uprawnienie: " + std::string(given) + ".";
            return std::nullopt;
        }
    }
    return PackPermissions(flags);
}

}  // namespace kasa
