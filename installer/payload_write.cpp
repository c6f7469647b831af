// Writing one row of the payload table to disk through extract_resource.
#include "installer/payload.h"

#include "files/resource_extract.h"

bool extract_payload(payload_row row, const char* folder)
{
    const payload_file* file = &payload_table[row];
    return extract_resource(file->resource_name, file->resource_type, file->file_name,
                            &file->modified, folder);
}
