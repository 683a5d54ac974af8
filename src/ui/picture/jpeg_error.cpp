#include "ui/picture/jpeg_error.h"

#include <jerror.h>

namespace vellumark::jpeg_internal {
namespace {

[[noreturn]] void JumpBack(j_common_ptr codec) {
  auto* manager = reinterpret_cast<ErrorManager*>(codec->err);
  manager->base.format_message(codec, manager->message);
  std::longjmp(manager->jump, 1);
}

bool MeansDamagedData(int message_code) {
  switch (message_code) {
    case JWRN_JPEG_EOF:        // the file ended before the picture did
    case JWRN_HIT_MARKER:      // a data segment ended early
    case JWRN_HUFF_BAD_CODE:   // undecodable entropy-coded data
    case JWRN_MUST_RESYNC:     // lost track of restart markers
    case JWRN_NOT_SEQUENTIAL:  // scans out of order
    case JWRN_BOGUS_PROGRESSION:
      return true;
    default:
      return false;
  }
}

void ErrorExit(j_common_ptr codec) { JumpBack(codec); }

// Level -1 is a warning; trace messages (level >= 0) are dropped, as is
// anything libjpeg would print to stderr.
void EmitMessage(j_common_ptr codec, int level) {
  if (level < 0) {
    codec->err->num_warnings++;
    if (MeansDamagedData(codec->err->msg_code)) JumpBack(codec);
  }
}

void OutputMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallErrorManager(ErrorManager* manager) {
  jpeg_error_mgr* base = jpeg_std_error(&manager->base);
  base->error_exit = ErrorExit;
  base->emit_message = EmitMessage;
  base->output_message = OutputMessage;
  manager->message[0] = '\0';
  return base;
}

}  // namespace vellumark::jpeg_internal
