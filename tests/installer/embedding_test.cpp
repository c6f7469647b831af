// The built programs' resources, read as data files: the installer of each
// build carries the payload folder's six files and that build's uninstaller,
// in German (Germany), beside the shared icon group and version block; both
// programs carry one manifest, found where the loader looks for it
// (tests/e2e/manifest_check.py reads what it says).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/installer/machine.h"

namespace {

// DATEI1 to DATEI7; DATEI6 is the uninstaller.
const char* const payload_names[] = {
    "VezOdorQFZ27_x86.DLL", "VezOdorQFZ27_x64.DLL", "VezOdorQFZ27_wow64.DLL",
    "Quarzfeld V2.06 Belegungsschaubild.pdf", "Quarzfeld V2.06 Belegungsschaubild.ico", nullptr,
    "VezOdorQFZ27_arm64.DLL"};
const int payload_rows = sizeof payload_names / sizeof payload_names[0];

struct resource_bytes {
    bool found;
    std::string bytes;
};

resource_bytes find_payload(HMODULE module, int row)
{
    std::string name = "DATEI" + std::to_string(row) + "_NAME";
    std::string type = "DATEI" + std::to_string(row) + "_TYPE";
    HRSRC found = FindResourceExA(module, type.c_str(), name.c_str(),
                                  MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    if (!found)
        return {false, ""};
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return {true, std::string(data, SizeofResource(module, found))};
}

BOOL CALLBACK count_manifest(HMODULE, LPCSTR, LPSTR, LONG_PTR count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

void check_programs(const std::string& folder)
{
    std::string installer = folder + "/Install_VezOdorQFZ27.exe";
    std::string uninstaller = folder + "/Uninstall_VezOdorQFZ27.exe";
    SetLastError(0xdeadbeef);
    HMODULE module = LoadLibraryExA(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << installer << ": error " << GetLastError();
    for (int row = 1; row <= payload_rows; ++row) {
        resource_bytes resource = find_payload(module, row);
        std::string expected =
            row == 6 ? read_file(uninstaller) : payload_file(payload_names[row - 1]);
        ASSERT_TRUE(resource.found) << "DATEI" << row << " in German (Germany)";
        EXPECT_FALSE(expected.empty()) << "DATEI" << row;
        EXPECT_TRUE(resource.bytes == expected)
            << "DATEI" << row << ": " << resource.bytes.size() << " bytes embedded, "
            << expected.size() << " expected";
    }
    // The names are looked up ignoring letter case, as the installer asks for them.
    EXPECT_NE(nullptr, FindResourceA(module, "Datei6_name", "Datei6_type"));
    EXPECT_NE(nullptr, FindResourceA(module, "Datei7_name", "Datei7_type"));
    EXPECT_EQ(nullptr, FindResourceA(module, "Datei8_name", "Datei8_type"));
    EXPECT_NE(nullptr, FindResourceA(module, "AAPROGRAMICON", RT_GROUP_ICON));
    EXPECT_NE(nullptr, FindResourceA(module, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION));
    FreeLibrary(module);

    for (const std::string& program : {installer, uninstaller}) {
        HMODULE image = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, image) << program;
        int manifests = 0;
        EnumResourceNamesA(image, RT_MANIFEST, count_manifest, reinterpret_cast<LONG_PTR>(&manifests));
        EXPECT_EQ(1, manifests) << program;
        EXPECT_NE(nullptr, FindResourceExA(image, RT_MANIFEST, MAKEINTRESOURCEA(1),
                                           MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)))
            << program << ": no manifest 1 in the neutral language";
        FreeLibrary(image);
    }
}

TEST(InstallerPayload, TestBuildCarriesPayloadAndItsOwnUninstaller)
{
    check_programs(QF_TEST_PROGRAM_DIR);
}

TEST(InstallerPayload, ShippingBuildCarriesPayloadAndItsOwnUninstaller)
{
#ifdef QF_TEST_SHIPPING_PROGRAM_DIR
    check_programs(QF_TEST_SHIPPING_PROGRAM_DIR);
#else
    GTEST_SKIP() << "no shipping build given (QF_SHIPPING_DIR)";
#endif
}

}  // namespace
