#pragma once

// The stand-in for the outside mail program: it turns the e-mail gallery's
// page and thumbnails into one MIME message (multipart/related), the page as
// its text/html part and every picture that a "cid:" address of the page
// names as an image part with that Content-ID.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The names behind "cid:" in the page, each once, in page order. A name runs
// up to a blank, '>', a quote or the end.
std::vector<std::string> CidNames(std::string_view page);

std::string Base64Lines(std::string_view bytes);

// `readPart` gives the bytes of a named picture and raises when there is none.
// The boundary is chosen so that it occurs in no part.
std::string ComposeMailMessage(std::string_view page,
                               const std::function<std::string(const std::string& name)>& readPart);
