// Composing the widened access list in memory: from an old descriptor, the
// grantee's identifier, the access mask and the inheritable flag to a new
// absolute descriptor. grant_access reads and writes; this is the part between.
#pragma once
#include <windows.h>

struct access_descriptor {
    SECURITY_DESCRIPTOR descriptor;   // absolute; its list is the one below
    ACL* list;                        // owned; freed by release_access_descriptor
};

// The new list holds, in order: the old explicit entries except the grantee's
// allow and deny entries, one allow entry for the grantee (flags 3 when
// inheritable, else 0), then all old inherited entries. The old list's
// inheritance state is carried over in the control bits. False on the first
// failing step, recorded with check_step; nothing is then left to release.
bool compose_access_descriptor(PSECURITY_DESCRIPTOR old_descriptor, PSID grantee,
                               DWORD access_mask, bool inheritable, access_descriptor* result);
void release_access_descriptor(access_descriptor* result);
