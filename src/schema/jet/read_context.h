// The pieces every decoding step of one open database needs.
#pragma once

#include "schema/jet/jet_format.h"
#include "schema/jet/page_reader.h"
#include "schema/jet/text_codec.h"

namespace zl::schema::jet {

// Pages, layout constants and text decoding of one database; all three outlive the context.
struct ReadContext {
    PageReader& reader;
    const JetFormat& format;
    const TextDecoder& text;
};

}  // namespace zl::schema::jet
