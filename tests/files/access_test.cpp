// The access grant: the new list composed from descriptors made in memory
// (Wine's security functions are faithful there), and failures on real paths.
#include <windows.h>
#include <sddl.h>
#include <string.h>

#include <vector>

#include "files/access_grant.h"
#include "files/access_list.h"
#include "frame/messages.h"
#include "tests/files/test_folder.h"

static std::string as_sddl(PSECURITY_DESCRIPTOR descriptor)
{
    char* text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION, &text, nullptr))
        return "unreadable";
    std::string result = text;
    LocalFree(text);
    return result;
}

// The platform's own spelling of a list given in SDDL (rights come back as
// "FA", "CC" and the like).
static std::string same(const char* sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    std::string result = as_sddl(descriptor);
    LocalFree(descriptor);
    return result;
}

static std::string composed(PSECURITY_DESCRIPTOR old, const char* grantee, DWORD mask, bool inheritable)
{
    PSID sid = nullptr;
    EXPECT_TRUE(ConvertStringSidToSidA(grantee, &sid));
    access_descriptor result;
    std::string text = std::string("failed: ") + error_step_text;
    if (compose_access_descriptor(old, sid, mask, inheritable, &result)) {
        text = as_sddl(&result.descriptor);
        release_access_descriptor(&result);
    }
    LocalFree(sid);
    return text;
}

static std::string composed(const char* old_sddl, const char* grantee, DWORD mask, bool inheritable)
{
    PSECURITY_DESCRIPTOR old = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(old_sddl, SDDL_REVISION_1, &old, nullptr));
    std::string text = composed(old, grantee, mask, inheritable);
    LocalFree(old);
    return text;
}

TEST(AccessList, ExplicitEntriesThenTheNewOneThenInheritedOnes)
{
    // The grantee's explicit allow and deny entries go; its inherited ones
    // stay. From the first inherited entry on, everything is kept as it is.
    const char* old = "D:(A;;0x1;;;BU)(D;;0x2;;;WD)(A;OI;0x4;;;WD)(A;;0x8;;;BU)(A;ID;0x10;;;WD)(D;ID;0x20;;;BU)"
                      "(A;;0x40;;;WD)";
    EXPECT_EQ(same("D:(A;;0x1;;;BU)(A;;0x8;;;BU)(A;;0xe01300ef;;;WD)(A;ID;0x10;;;WD)(D;ID;0x20;;;BU)(A;;0x40;;;WD)"),
              composed(old, "S-1-1-0", 0xE01300EF, false));
    EXPECT_EQ(same("D:(D;;0x2;;;WD)(A;OI;0x4;;;WD)(A;OICI;0x1f01ff;;;BU)(A;ID;0x10;;;WD)(D;ID;0x20;;;BU)(A;;0x40;;;WD)"),
              composed(old, "S-1-5-32-545", 0x1F01FF, true));
    // No list, or an empty one: the new entry alone.
    EXPECT_EQ(same("D:(A;;0x120089;;;BU)"), composed("", "S-1-5-32-545", 0x120089, false));
    EXPECT_EQ(same("D:(A;;0x120089;;;BU)"), composed("D:", "S-1-5-32-545", 0x120089, false));
    // A null list lets everybody do everything; it must not stay null.
    SECURITY_DESCRIPTOR open;
    InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
    EXPECT_EQ(same("D:(A;;0x120089;;;BU)"), composed(&open, "S-1-5-32-545", 0x120089, false));
}

TEST(AccessList, CarriesTheInheritanceStateOver)
{
    // AI auto-inherited, AR auto-inherit requested, P protected.
    EXPECT_EQ(same("D:ARAI(A;;0x1;;;WD)"), composed("D:AI", "S-1-1-0", 0x1, false));
    EXPECT_EQ(same("D:(A;;0x1;;;WD)"), composed("D:AR", "S-1-1-0", 0x1, false));
    EXPECT_EQ(same("D:P(A;;0x1;;;WD)"), composed("D:P", "S-1-1-0", 0x1, false));
    EXPECT_EQ(same("D:ARAI(A;;0x1;;;WD)"), composed("D:PAI", "S-1-1-0", 0x1, false));
}

TEST(AccessList, OtherEntryTypesAreCopiedUnreadAndNoEntryIsReadPastItsEnd)
{
    // Audit and callback entries name Everyone where basic entries keep their
    // identifier; an allow entry is too short for any identifier; a deny entry
    // holds Everyone's identifier without its sub-authority. The list ends
    // right before an inaccessible page, so reading past any entry faults.
    std::vector<BYTE> everyone = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, scratch(1024);
    ACL* built = (ACL*)scratch.data();
    ASSERT_TRUE(InitializeAcl(built, (DWORD)scratch.size(), ACL_REVISION));
    auto add_raw = [&](BYTE type, std::vector<BYTE> body) {
        body.insert(body.begin(), {type, 0, (BYTE)(body.size() + 8), 0, 0xFF, 0, 0, 0});
        ASSERT_TRUE(AddAce(built, ACL_REVISION, MAXDWORD, body.data(), (DWORD)body.size())) << (int)type;
    };
    add_raw(SYSTEM_AUDIT_ACE_TYPE, everyone);
    std::vector<BYTE> callback = everyone;
    callback.insert(callback.end(), {0xCA, 0x11, 0xBA, 0xC4});
    add_raw(ACCESS_ALLOWED_CALLBACK_ACE_TYPE, callback);
    add_raw(ACCESS_ALLOWED_ACE_TYPE, {});
    add_raw(ACCESS_DENIED_ACE_TYPE, std::vector<BYTE>(everyone.begin(), everyone.begin() + 8));
    ACL_SIZE_INFORMATION size;
    ASSERT_TRUE(GetAclInformation(built, &size, sizeof size, AclSizeInformation));

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    BYTE* pages = (BYTE*)VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_COMMIT, PAGE_READWRITE);
    DWORD protection;
    ASSERT_TRUE(VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &protection));
    ACL* guarded = (ACL*)(pages + system.dwPageSize - size.AclBytesInUse);
    memcpy(guarded, built, size.AclBytesInUse);
    guarded->AclSize = (WORD)size.AclBytesInUse;
    SECURITY_DESCRIPTOR old;
    InitializeSecurityDescriptor(&old, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&old, TRUE, guarded, FALSE);

    access_descriptor result;
    ASSERT_TRUE(compose_access_descriptor(&old, everyone.data(), 0x1F, false, &result)) << error_step_text;
    EXPECT_EQ(5, result.list->AceCount);
    EXPECT_EQ(0, memcmp(guarded + 1, result.list + 1, size.AclBytesInUse - sizeof(ACL))) << "entries changed";
    ACCESS_ALLOWED_ACE* added = nullptr;
    ASSERT_TRUE(GetAce(result.list, 4, (void**)&added));
    EXPECT_EQ(0x1Fu, added->Mask);
    EXPECT_TRUE(EqualSid(&added->SidStart, everyone.data()));
    release_access_descriptor(&result);
    VirtualFree(pages, 0, MEM_RELEASE);
}

using AccessGrant = TestFolder;

TEST_F(AccessGrant, FailuresNameTheirStepAndANewFolderIsGranted)
{
    // A missing path fails at the first size query with a code other than 122.
    EXPECT_FALSE(grant_access(path("missing").c_str(), nullptr, 0xE01300EF, false));
    EXPECT_STREQ("GetFileSecurity 1 failed", error_step_text);
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, last_error_code) << error_text;
    EXPECT_FALSE(grant_access(folder.c_str(), "qf no such account 4711", 0xE01300EF, false));
    EXPECT_STREQ("LookupAccountName 1 failed", error_step_text);
    EXPECT_EQ(0u, std::string(error_text).find("Fehlercode 1332")) << error_text;

    // Wine takes the write too (it maps the list onto the Unix permission bits).
    char user[256];
    DWORD length = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &length));
    EXPECT_TRUE(grant_access(folder.c_str(), nullptr, 0xE01300EF, false)) << error_step_text << error_text;
    EXPECT_TRUE(grant_access(folder.c_str(), user, 0x1F01FF, true)) << error_step_text << error_text;
    EXPECT_STREQ("GetFileSecurity 1 failed", error_step_text);   // the last size query
}
