// make_art RESOURCES: draws the programs' pictures and sounds into the given
// resources folder (art/ and sounds/ below it).

#include <exception>
#include <iostream>

#include "tools/make-art/src/ArtSet.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_art RESOURCES-FOLDER\n";
        return 2;
    }
    try {
        const auto files = MakeArt();
        WriteArt(files, argv[1]);
        std::cout << "make_art: " << files.size() << " files written to " << argv[1] << "\n";
    } catch (const std::exception& e) {
        std::cerr << "make_art: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
