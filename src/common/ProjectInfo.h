#pragma once

#include <string>

/// Fixed texts built into the program: what the about window, the application
/// title and the header of an exported data file say about Tessra itself.
/// Plain C++ so that every layer can use them; texts are UTF-8.
namespace tessra::project {

inline constexpr char ProductName[] = "Tessra";
inline constexpr char VersionText[] = "1.9";
inline constexpr int BuildNumber = 107;
inline constexpr char BuildDate[] = "March 9, 2003";
inline constexpr char Copyright[] = "Copyright \u00A9 2003 The Tessra developers";
inline constexpr char HomePage[] = "https://tessra.org";
/// One line saying what the program is: the about window shows it, and the
/// application title is the product name, " - " and this line.
inline constexpr char Description[] = "a front end for two-dimensional simulation models";
inline constexpr char Notes[]
    = "A generic modeling framework for two-dimensional simulation under 32-bit MS-Windows.";

/// "Tessra - " followed by the description: the application's title from start-up
/// until the first window title update replaces it.
inline std::string applicationTitle()
{
    return std::string(ProductName) + " - " + Description;
}

} // namespace tessra::project
