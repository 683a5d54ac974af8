#pragma once

// The string forms of BIFF records: BIFF8 strings in UTF-16 or compressed
// form, BIFF5 and BIFF7 byte strings in the workbook's code page.

#include <cstddef>
#include <string>

#include "sheets/xls/codepage.h"
#include "sheets/xls/record_cursor.h"

namespace vellumark::sheets::xls {

// BIFF8: a character count of `count_bytes` (1 or 2), an option byte and the
// characters.
std::string ReadBiff8String(RecordCursor& cursor, std::size_t count_bytes);

// BIFF8 shared-string entry: like above with a 2-byte count, followed by
// formatting runs and a Far-East phonetic block when the options say so;
// both are skipped, also when they run on into the next CONTINUE record.
std::string ReadSharedStringEntry(RecordCursor& cursor);

// BIFF5/BIFF7: a byte count of `count_bytes` (1 or 2) and the bytes.
std::string ReadBiff5Bytes(RecordCursor& cursor, std::size_t count_bytes);

}  // namespace vellumark::sheets::xls
