#include "ecr/cashier_permissions.h"

#include <gtest/gtest.h>

#include "support/scratch_folder.h"

namespace kasa {
namespace {

TEST(CashierPermissions, PackUnpackAndFieldText) {
    PermissionFlags all;
    all.fill(true);
    EXPECT_EQ(PackPermissions(all), 2415919103u);
    EXPECT_EQ(PermissionFieldText(PackPermissions(all)), "2415919103 (0x00000000)");
    EXPECT_EQ(PermissionFieldText(PackPermissions(PermissionFlags{})), "0 (0x8FFFFFFF)");
    PermissionFlags serwis{};
    serwis[28] = true;
    EXPECT_EQ(PackPermissions(serwis), 2147483648u);
    EXPECT_EQ(UnpackPermissions(0x70000000u), PermissionFlags{});
    EXPECT_EQ(UnpackPermissions(2415919103u), all);
    PermissionFlags seller = UnpackPermissions(191);
    EXPECT_TRUE(seller[7]);
    EXPECT_FALSE(seller[6]);
    EXPECT_EQ(PackPermissions(seller), 191u);
    std::string error;
    EXPECT_EQ(PermissionsFromNames("Sprzedaż, storno,Serwis", error), 0x80000003u);
    EXPECT_EQ(PermissionsFromNames("Sprzedaż,Lot", error), std::nullopt);
    EXPECT_EQ(error, "Nieznane uprawnienie: Lot.");
}

TEST(CashierPermissions, ProfileValues) {
    const PermissionProfile loaded = ParseProfile("Kasa 2", "191;;Słowo");
    EXPECT_EQ(loaded.mask, 191u);
    EXPECT_EQ(loaded.description, "Słowo");
    const PermissionProfile bare = ParseProfile("Kasa 3", "191 bez podziału");
    EXPECT_EQ(bare.mask, 0u);
    EXPECT_EQ(bare.description, "191 bez podziału");
    EXPECT_EQ(ProfileValue({2147483648u, "S", "Pierwsza\r\ndruga\ntrzecia"}),
              "2147483648;;Pierwsza;;druga;;trzecia");
    EXPECT_EQ(DescriptionHint("a;;b"), "a\nb");
    EXPECT_EQ(ProfileNameRefusal("Kierownik zmiany"), "");
    for (const char* bad : {"a=b", ";x", "[x", "a\nb", " "}) {
        EXPECT_NE(ProfileNameRefusal(bad), "") << bad;
    }
}

TEST(CashierPermissions, ProfileFileKeepsOtherSectionsAndSurvivesDamage) {
    testing::ScratchFolder folder;
    folder.Write("baza.pod", "[KASJERZY]\r\n1=Jan\r\n");
    const std::string path = folder.Path("baza.pod");
    ASSERT_TRUE(SaveProfile(path, {191, "Zmiana", "Kasa;;ranna"}).ok);
    ASSERT_TRUE(SaveProfile(path, {5, "Noc", ""}).ok);
    EXPECT_FALSE(SaveProfile(path, {5, "a=b", ""}).ok);
    ProfileList list = LoadProfiles(path);
    ASSERT_EQ(list.profiles.size(), 4u);
    EXPECT_EQ(list.profiles[0].name, "Wszystkie uprawnienia");
    EXPECT_EQ(list.profiles[2].name, "Zmiana");
    EXPECT_EQ(list.profiles[2].description, "Kasa;;ranna");
    EXPECT_EQ(list.profiles[3].mask, 5u);
    ASSERT_TRUE(DeleteProfile(path, "Zmiana").ok);
    EXPECT_EQ(folder.Read("baza.pod"),
              "[KASJERZY]\r\n1=Jan\r\n\r\n[UPRAWNIENIA KASJER\xD3W]\r\nNoc=5;;\r\n");

    const std::string damaged = std::string("\0\x01\x02\x03", 4) + std::string(100, '\0');
    folder.Write("zly.pod", damaged);
    list = LoadProfiles(folder.Path("zly.pod"));
    EXPECT_EQ(list.profiles.size(), 2u);
    EXPECT_NE(list.message, "");
    EXPECT_FALSE(SaveProfile(folder.Path("zly.pod"), {1, "X", ""}).ok);
    EXPECT_EQ(folder.Read("zly.pod"), damaged);
}

}  // namespace
}  // namespace kasa
