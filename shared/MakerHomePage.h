#pragma once

// The maker's web site, behind the links of the builder's start screen and
// the viewer's info box.

#include <string_view>

inline constexpr std::string_view MakerHomePage = "http://www.example.com";
