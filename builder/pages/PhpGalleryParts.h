#pragma once

// What a PHP gallery adds to a web build: the PHP calls in its pages and the
// support, password, comment and counter files written after the pictures.
// The PHP gallery unit provides it; until the wizard holds one, PHP galleries
// are refused before anything is written.

#include <string>

#include "builder/pages/GalleryPageSettings.h"

class TForm1;

class TPhpGalleryParts {
public:
    virtual ~TPhpGalleryParts() = default;
    // The inserts of every page of this build, from the wizard's PHP switches.
    virtual TPhpInserts PageInserts(TForm1& wizard) = 0;
    // Called at the end of the build, also after a stop; `folder` ends with "/".
    virtual void WriteFiles(TForm1& wizard, const std::string& folder) = 0;
};
