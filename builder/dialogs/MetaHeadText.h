#pragma once

// The text inserted into the head of the generated pages; the meta tags editor
// changes it. Its first value is DefaultMetaHeadText.

#include <string>
#include <string_view>

extern const std::string_view DefaultMetaHeadText;
extern std::string MetaHeadText;
