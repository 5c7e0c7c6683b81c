#pragma once

// The maker's web server: behind the links of the builder's start screen and
// the viewer's info box, and asked by the builder's update check.

#include <string_view>

inline constexpr std::string_view MakerWebServer = "www.example.com";
inline constexpr std::string_view MakerHomePage = "http://www.example.com";
static_assert(MakerHomePage.substr(7) == MakerWebServer);
