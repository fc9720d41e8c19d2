#pragma once
// The converters by the names quillora-tool knows them by, with the provider tag the
// classifier gives their pages.

#include "convert/PageConverter.h"

#include <string_view>
#include <vector>

struct NamedConverter {
    std::string_view name;
    const wchar_t* providerTag;
    PageConverter convert;
};

const std::vector<NamedConverter>& Converters();
const NamedConverter* FindConverter(std::string_view name);
