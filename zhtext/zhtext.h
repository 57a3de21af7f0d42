// zhtext: a library for programs that process Chinese text in GBK.
// Including this header brings in every public header of the library.
#ifndef ZHTEXT_ZHTEXT_H_
#define ZHTEXT_ZHTEXT_H_

#include "zhtext/encoding/cp936.h"
#include "zhtext/encoding/diagnostics.h"
#include "zhtext/encoding/gbk_chars.h"
#include "zhtext/encoding/gbk_table.h"
#include "zhtext/encoding/utf8_coder.h"
#include "zhtext/platform/case_compare.h"
#include "zhtext/platform/filesystem.h"
#include "zhtext/platform/mutex.h"
#include "zhtext/platform/process.h"
#include "zhtext/platform/sleep.h"
#include "zhtext/platform/tcp_socket.h"
#include "zhtext/util/log.h"
#include "zhtext/util/string_utils.h"
#include "zhtext/util/text_mode.h"

#endif  // ZHTEXT_ZHTEXT_H_
