#include "update/auto_upgrade.h"

namespace kasa {

UpgradeSource BuiltInUpgradeSource() {
    UpgradeSource source;
    source.baseAddress = SERWIS_UPDATE_URL;
    source.versionSuffix = SERWIS_UPDATE_VERSION_SUFFIX;
    source.programSuffix = SERWIS_UPDATE_PROGRAM_SUFFIX;
    // The build refuses an address without a valid key, so an unset key means no address.
    source.publicKey = PublicKeyFromHex(SERWIS_UPDATE_PUBLIC_KEY).value_or(SigningPublicKey{});
    return source;
}

}  // namespace kasa
