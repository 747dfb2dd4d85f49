#pragma once

#include "platform/cd/Toc.h"

#include <cdio/cdio.h>

namespace lentaro::cd {

// The table of contents libcdio reads from an open drive or image; empty when it finds no tracks.
Toc tocFromCdio(CdIo_t* cdio);

} // namespace lentaro::cd
