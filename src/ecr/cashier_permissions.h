// A VESPER cashier's permissions: 29 flags packed into the cashier record's value, and the
// named profiles a technician keeps in a profile file to tick them in one go.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/atomic_file.h"

namespace kasa {

// Only the low 32 bits are used; permission 28 lives in bit 31, bits 28 to 30 stay 0.
using PermissionMask = uint64_t;
inline constexpr int kPermissionCount = 29;
inline constexpr PermissionMask kAllPermissions = 0x8FFFFFFF;
using PermissionFlags = std::array<bool, kPermissionCount>;

enum class PermissionGroup { kGeneral, kSale, kReading, kZeroing };

struct PermissionInfo {
    const char* boxName;
    const char* caption;
    PermissionGroup group;
};

// In bit order.
const std::array<PermissionInfo, kPermissionCount>& Permissions();
// The three general boxes that switch a group on and off: sale, reading and zeroing reports.
inline constexpr int kSaleSwitch = 0;
inline constexpr int kReadingSwitch = 9;
inline constexpr int kZeroingSwitch = 11;

PermissionMask PackPermissions(const PermissionFlags& flags);
PermissionFlags UnpackPermissions(PermissionMask mask);

// "%Ld (0x%08LX)": the mask, then the form sent to the register (its complement).
std::string PermissionFieldText(PermissionMask mask);
std::string RegisterFormText(PermissionMask mask);

struct PermissionProfile {
    PermissionMask mask = 0;
    std::string name;
    std::string description;  // ";;" marks a line break
};

inline constexpr const char* kProfileSection = "UPRAWNIENIA KASJERÓW";

std::vector<PermissionProfile> BuiltInProfiles();
// A value "mask;;description"; without ";;" the mask is 0 and the whole value describes.
PermissionProfile ParseProfile(std::string_view name, std::string_view value);
// The value stored for a profile; line breaks of the description become ";;".
std::string ProfileValue(const PermissionProfile& profile);
// The description as the list's hint shows it: ";;" becomes a line break.
std::string DescriptionHint(std::string_view description);
// Why a name cannot be a key of the profile file, or empty when it can.
std::string ProfileNameRefusal(std::string_view name);

struct ProfileList {
    std::vector<PermissionProfile> profiles;  // the built-in ones first
    std::string message;                      // why the file's profiles are missing
};
// An empty path gives the built-in profiles only.
ProfileList LoadProfiles(const std::string& path);
// Writes or removes one key of the profile section, keeping the rest of the file.
WriteResult SaveProfile(const std::string& path, const PermissionProfile& profile);
WriteResult DeleteProfile(const std::string& path, const std::string& name);

// The mask of permissions named by their captions, separated by commas (any case);
// nothing when a name is unknown, with the reason in `error`.
std::optional<PermissionMask> PermissionsFromNames(std::string_view names, std::string& error);

}  // namespace kasa
